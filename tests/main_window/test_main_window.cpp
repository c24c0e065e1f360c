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

class TestMainWindow : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    QString at(const QString& name) const { return dir_.filePath(name); }

    static void typePicks(MainWindow& window, const QString& typed)
    {
        window.picksBox()->clear();
        QTest::keyClicks(window.picksBox(), typed);
    }

private slots:
    void init() { processRandomSource().reset(); }

    void copyKeepsEveryCharacter_data()
    {
        QTest::addColumn<QString>("output");
        QTest::newRow("no-break space, tab") << QString::fromUtf8("a\u00A0b\r\nc\td\r\n");
        QTest::newRow("line separator, no final line end") << QString::fromUtf8("a\u2028b\r\nx");
        QTest::newRow("empty") << QString();
    }
    void copyKeepsEveryCharacter()
    {
        QFETCH(QString, output);
        WindowFixture f;
        MainWindow& window = f.main();
        window.outputBox()->setText(output);
        QTest::mouseClick(window.copyButton(), Qt::LeftButton);
        QCOMPARE(f.services.clipboard, output);
        QVERIFY(f.services.messages.isEmpty());
    }

    void aClipboardThatFailsIsReported()
    {
        QVERIFY(QtDesktopServices().setClipboardText("a\r\nb\r\n")); // the real one reads its text back
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("a\r\nb\r\n"));
        WindowFixture f;
        MainWindow& window = f.main();
        window.outputBox()->setText("kept\r\n");
        f.services.clipboardWorks = false;
        QTest::mouseClick(window.copyButton(), Qt::LeftButton);
        QVERIFY(f.services.lastMessage().contains("clipboard is not available"));
        QCOMPARE(window.outputBox()->text(), QStringLiteral("kept\r\n"));
    }

    // Tab leaves the output box instead of typing into it, visits the boxes
    // and buttons in their order, and Shift+Tab walks back.
    void tabMovesTheFocusInOrder()
    {
        WindowFixture f;
        MainWindow& window = f.main();
        window.selectButton()->setEnabled(true);
        const QList<QWidget*> order{window.outputBox(), window.selectButton(), window.picksBox(),
                                    window.copyButton(), window.pathBox(), window.clearButton()};
        for (QWidget* expected : order + QList<QWidget*>{window.outputBox()}) {
            QCOMPARE(QApplication::focusWidget(), expected);
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        }
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
        QCOMPARE(QApplication::focusWidget(), window.clearButton());
        QVERIFY(window.outputBox()->text().isEmpty());
    }

    void windowSizeIsBounded()
    {
        WindowFixture f;
        MainWindow& window = f.main();
        window.resize(65535, 65535);
        QCOMPARE(window.size(), QSize(MainWindow::MaxWindowSide, MainWindow::MaxWindowSide));
    }

    // What the number box keeps as it is typed into, key by key, and what a
    // press then shows and adds.
    void numberOfPicks_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("boxAfterTyping");
        QTest::addColumn<QString>("boxAfterSelect");
        QTest::addColumn<int>("lines");
        QTest::addColumn<QString>("says");
        QTest::newRow("empty") << "" << "" << "1" << 1 << "";
        QTest::newRow("0") << "0" << "0" << "1" << 1 << "";
        QTest::newRow("00") << "00" << "00" << "00" << 0 << "";
        QTest::newRow("-3") << "-3" << "3" << "3" << 3 << ""; // "-" alone empties the box first
        QTest::newRow("2.5") << "2.5" << "2.5" << "2.5" << 2 << "";
        QTest::newRow("1e3") << "1e3" << "3" << "3" << 3 << ""; // "1e" is not a number
        QTest::newRow("12a") << "12a" << "" << "1" << 1 << "";
        QTest::newRow("above the limit") << "1000001" << "1000001" << "1000001" << 0 << "At most";
    }
    void numberOfPicks()
    {
        QFETCH(QString, typed);
        QFETCH(QString, boxAfterTyping);
        QFETCH(QString, boxAfterSelect);
        QFETCH(int, lines);
        QFETCH(QString, says);
        writeFile(at("ab.txt"), "a\nb\n");
        WindowFixture f;
        MainWindow& window = f.mainWithList(at("ab.txt"));
        typePicks(window, typed);
        QCOMPARE(window.picksBox()->text(), boxAfterTyping);
        QTest::mouseClick(window.selectButton(), Qt::LeftButton);
        QCOMPARE(window.picksBox()->text(), boxAfterSelect);
        QCOMPARE(window.outputBox()->lineCount(), qint64(lines));
        QCOMPARE(f.services.lastMessage().contains(says), true);
        QCOMPARE(f.services.messages.isEmpty(), says.isEmpty());
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
        QTest::mouseClick(window.selectButton(), Qt::LeftButton);
        typePicks(window, "4");
        QTest::mouseClick(window.selectButton(), Qt::LeftButton);
        RandomSource fresh;
        const std::string list = at("w.txt").toStdString();
        std::string expected = "typed" + press({"1", "500", list}, fresh).value().appendText;
        expected += press({"4", "500", list}, fresh).value().appendText;
        QCOMPARE(window.outputBox()->text(), QString::fromStdString(expected));
        QTest::keyClick(&window, Qt::Key_Escape);
        QVERIFY(window.outputBox()->text().isEmpty());
        QCOMPARE(window.countBox()->text(), QStringLiteral("500"));
        QCOMPARE(window.picksBox()->text(), QStringLiteral("4"));
    }

    // A press that cannot pick says why and changes nothing: not the output,
    // not the random source.
    void refusedPressesChangeNothing_data()
    {
        QTest::addColumn<QString>("change");
        QTest::addColumn<QString>("says");
        QTest::newRow("list deleted") << "delete" << "No such file";
        QTest::newRow("list shortened") << "shorten" << "changed since it was counted";
        QTest::newRow("replaced by a list as long") << "replace" << "changed since it was counted";
        QTest::newRow("path edited") << "edit" << "no longer names the word list";
        QTest::newRow("a word too long for the box") << "long word" << "characters long";
        QTest::newRow("box full") << "full" << "Save the output and clear it first";
        QTest::newRow("a list without words") << "empty" << "no words";
    }
    void refusedPressesChangeNothing()
    {
        QFETCH(QString, change);
        QFETCH(QString, says);
        writeFile(at("list.txt"), change == "long word" ? QByteArray(10'001, 'q') : change == "empty" ? QByteArray(" \n\n") : QByteArray("a\nb\nc\n"));
        WindowFixture f;
        MainWindow& window = f.mainWithList(at("list.txt"));
        const QString before = change == "full" ? QString("x\r\n").repeated(int(MaxOutputLines) - 2) : "kept\r\n";
        window.outputBox()->setText(before);
        if (change == "delete")
            QFile::remove(at("list.txt"));
        else if (change == "shorten")
            writeFile(at("list.txt"), "a\n");
        if (change == "replace") { // as a save by another program leaves it
            writeFile(at("other.txt"), "x\ny\nz\n");
            QFile::remove(at("list.txt"));
            QVERIFY(QFile::rename(at("other.txt"), at("list.txt")));
        }
        if (change == "edit")
            window.pathBox()->setText(at("other.txt"));
        typePicks(window, "3");
        QTest::mouseClick(window.selectButton(), Qt::LeftButton);
        QVERIFY2(f.services.lastMessage().contains(says), qPrintable(f.services.lastMessage()));
        QCOMPARE(window.outputBox()->text(), before);
        QCOMPARE(processRandomSource().state(), RandomSource::StartState);
    }

    void overlongPastesAndDropsAreRefused_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("taken");
        QTest::newRow("one line over the limit") << "a\nb\n" + QString(10'001, 'y') << false;
        QTest::newRow("at the limit") << QString(10'000, 'z') << true;
    }
    void overlongPastesAndDropsAreRefused()
    {
        QFETCH(QString, text);
        QFETCH(bool, taken);
        for (bool drop : {false, true}) {
            WindowFixture f;
            MainWindow& window = f.main();
            window.outputBox()->setText("kept\r\n");
            QMimeData data;
            data.setText(text);
            if (drop) {
                dropOnto(window.outputBox()->viewport(), data);
            } else {
                QGuiApplication::clipboard()->setText(text);
                QTest::keyClick(window.outputBox(), Qt::Key_V, Qt::ControlModifier);
            }
            QCOMPARE(window.outputBox()->text() != "kept\r\n", taken);
            QCOMPARE(f.services.lastMessage().contains("Nothing was pasted"), !taken);
        }
    }
};

QTEST_MAIN(TestMainWindow)
#include "test_main_window.moc"
