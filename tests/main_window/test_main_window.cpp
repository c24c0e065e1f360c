#include "main_window.h"
#include "output_box.h"
#include "random_source.h"
#include "selection.h"
#include "window_fixture.h"

#include <QClipboard>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>

using namespace tavilon;
using namespace Qt::StringLiterals;

class TestMainWindow : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    QString at(const QString& name) const { return dir_.filePath(name); }
    static void select(MainWindow& window, const QString& picks)
    {
        window.picksBox()->clear();
        QTest::keyClicks(window.picksBox(), picks);
        QTest::mouseClick(window.selectButton(), Qt::LeftButton);
    }

private slots:
    void init() { processRandomSource().reset(); }

    // Copy keeps every character; a clipboard that does not take says so.
    void copy_data()
    {
        QTest::addColumn<QString>("output");
        QTest::addColumn<bool>("clipboardWorks");
        QTest::newRow("no-break space, tab, line separator") << QString::fromUtf8("a\u00A0b\r\nc\td\u2028x") << true;
        QTest::newRow("clipboard not available") << QStringLiteral("kept\r\n") << false;
    }
    void copy()
    {
        QFETCH(QString, output);
        QFETCH(bool, clipboardWorks);
        WindowFixture f;
        MainWindow& window = f.main();
        window.outputBox()->setText(output);
        f.services.clipboardWorks = clipboardWorks;
        QTest::mouseClick(window.copyButton(), Qt::LeftButton);
        QCOMPARE(f.services.clipboard, output);
        QCOMPARE(f.services.lastMessage().contains("clipboard is not available"), !clipboardWorks);
        QVERIFY(QtDesktopServices().setClipboardText(output)); // the real one reads its text back
    }

    // Tab leaves the output box instead of typing into it and visits the
    // boxes and buttons in order; the window grows to 16384 px a side at most.
    void tabOrderAndLargestSize()
    {
        WindowFixture f;
        MainWindow& window = f.main();
        window.selectButton()->setEnabled(true);
        for (QWidget* expected : QList<QWidget*>{window.outputBox(), window.selectButton(), window.picksBox(), window.copyButton(),
                                  window.pathBox(), window.clearButton(), window.outputBox()}) {
            QCOMPARE(QApplication::focusWidget(), expected);
            QTest::keyClick(expected, Qt::Key_Tab);
        }
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
        QCOMPARE(QApplication::focusWidget(), window.clearButton());
        QVERIFY(window.outputBox()->text().isEmpty());
        window.resize(65535, 65535);
        QCOMPARE(window.size(), QSize(MainWindow::MaxWindowSide, MainWindow::MaxWindowSide));
    }

    // What the number box keeps as it is typed into, key by key, and what a
    // press then shows and adds.
    void numberOfPicks_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("afterTyping");
        QTest::addColumn<QString>("afterSelect");
        QTest::addColumn<int>("lines");
        QTest::newRow("empty") << "" << "" << "1" << 1;
        QTest::newRow("00") << "00" << "00" << "00" << 0;
        QTest::newRow("-3") << "-3" << "3" << "3" << 3; // "-" alone empties the box first
        QTest::newRow("1e3") << "1e3" << "3" << "3" << 3; // "1e" is not a number
        QTest::newRow("12a") << "12a" << "" << "1" << 1;
    }
    void numberOfPicks()
    {
        QFETCH(QString, typed);
        writeFile(at("ab.txt"), "a\nb\n");
        WindowFixture f;
        MainWindow& window = f.mainWithList(at("ab.txt"));
        QTest::keyClicks(window.picksBox(), typed);
        QTEST(window.picksBox()->text(), "afterTyping");
        QTest::mouseClick(window.selectButton(), Qt::LeftButton);
        QTEST(window.picksBox()->text(), "afterSelect");
        QTEST(int(window.outputBox()->lineCount()), "lines");
        QVERIFY(f.services.messages.isEmpty());
    }

    // The picks are the core's, press after press, after any text; Escape
    // clears the output and nothing else.
    void selectGivesTheCoresPicks()
    {
        QByteArray bytes;
        for (int i = 0; i < 500; ++i)
            bytes += "word" + QByteArray::number(i) + "\r\n";
        writeFile(at("w.txt"), bytes);
        WindowFixture f;
        MainWindow& window = f.mainWithList(at("w.txt"));
        window.outputBox()->setText("typed");
        select(window, "");
        select(window, "4");
        RandomSource fresh;
        const std::string list = at("w.txt").toStdString();
        std::string expected = "typed" + press({1, 500, list}, fresh).value().words;
        expected += press({4, 500, list}, fresh).value().words;
        QCOMPARE(window.outputBox()->text(), QString::fromStdString(expected).replace('\n', "\r\n"));
        QTest::keyClick(&window, Qt::Key_Escape);
        QVERIFY(window.outputBox()->text().isEmpty());
        QCOMPARE(window.countBox()->text() + window.picksBox()->text(), QStringLiteral("5004"));
    }

    // A press that cannot pick says why and changes neither the output nor
    // the random source.
    void refusedPressesChangeNothing_data()
    {
        QTest::addColumn<QString>("change");
        QTest::addColumn<QString>("says");
        QTest::newRow("list deleted") << "delete" << "No such file";
        QTest::newRow("replaced by a list as long") << "replace" << "changed since it was counted";
        QTest::newRow("path edited") << "edit" << "no longer names the word list";
        QTest::newRow("a word too long for the box") << "long" << "characters long";
        QTest::newRow("box full") << "full" << "Save the output and clear it first";
    }
    void refusedPressesChangeNothing()
    {
        QFETCH(QString, change);
        QFETCH(QString, says);
        writeFile(at("list.txt"), change == "long" ? QByteArray(10'001, 'q') : "a\nb\nc\n"_ba);
        WindowFixture f;
        MainWindow& window = f.mainWithList(at("list.txt"));
        const QString before = change == "full" ? QString("x\r\n").repeated(int(MaxOutputLines) - 2) : "kept\r\n";
        window.outputBox()->setText(before);
        if (change == "delete" || change == "replace")
            QFile::remove(at("list.txt"));
        if (change == "replace") { // as a save by another program leaves it
            writeFile(at("other.txt"), "x\ny\nz\n");
            QVERIFY(QFile::rename(at("other.txt"), at("list.txt")));
        }
        if (change == "edit")
            window.pathBox()->setText(at("other.txt"));
        select(window, "3");
        QVERIFY2(f.services.lastMessage().contains(says), qPrintable(f.services.lastMessage()));
        QCOMPARE(window.outputBox()->text(), before);
        QCOMPARE(processRandomSource().state(), RandomSource::StartState);
    }

    // A paste or drop with a line over 10,000 characters is refused.
    void overlongPastesAndDrops_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("taken");
        QTest::newRow("one line over the limit") << "a\nb\n" + QString(10'001, 'y') << false;
        QTest::newRow("at the limit") << QString(10'000, 'z') << true;
    }
    void overlongPastesAndDrops()
    {
        QFETCH(QString, text);
        QFETCH(bool, taken);
        for (bool drop : {false, true}) {
            WindowFixture f;
            MainWindow& window = f.main();
            window.outputBox()->setText("kept\r\n");
            QMimeData data;
            data.setText(text);
            QGuiApplication::clipboard()->setText(text);
            if (drop)
                dropOnto(window.outputBox()->viewport(), data);
            else
                QTest::keyClick(window.outputBox(), Qt::Key_V, Qt::ControlModifier);
            QCOMPARE(window.outputBox()->text() != "kept\r\n", taken);
            QCOMPARE(f.services.lastMessage().contains("Nothing was pasted"), !taken);
        }
    }
};

QTEST_MAIN(TestMainWindow)
#include "test_main_window.moc"
