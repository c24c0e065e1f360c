// Presses of more than 10,000 picks fill the output box in the background:
// the box and the random source change only with a whole, finished fill, and
// commands that come meanwhile wait.

#include "main_window.h"
#include "output_box.h"
#include "progress_dialogs.h"
#include "random_source.h"
#include "selection.h"
#include "window_fixture.h"

#include <QClipboard>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>

using namespace tavilon;

class TestBackgroundFill : public QObject {
    Q_OBJECT

    static constexpr int FillWait = 120'000; // a loaded two-core machine is slow, not wrong
    QTemporaryDir dir_;
    QString list_ = dir_.filePath("w.txt");

    // Presses Select for `picks` on `list`, after `output`.
    static MainWindow& pressed(WindowFixture& f, const QString& list, const char* picks, const QString& output)
    {
        MainWindow& window = f.mainWithList(list);
        window.outputBox()->setText(output);
        window.picksBox()->setText(picks);
        QTest::mouseClick(window.selectButton(), Qt::LeftButton);
        return window;
    }

private slots:
    void initTestCase()
    {
        QByteArray bytes;
        for (int i = 0; i < 700; ++i)
            bytes += (i % 7 == 0 ? "w\xC2\xA0" : "word") + QByteArray::number(i) + "\n"; // some with U+00A0
        writeFile(list_, bytes);
    }
    void init() { processRandomSource().reset(); }

    // Cancelled at once, while it runs, after the work but before the window
    // hears of it, from the progress dialog, by closing the window or by
    // File > Exit: nothing changes, and nothing is said.
    void cancelLeavesEverythingAsBefore_data()
    {
        QTest::addColumn<int>("afterMs");
        QTest::addColumn<QString>("how");
        QTest::newRow("at once") << 0 << "cancel";
        QTest::newRow("while it runs") << 150 << "cancel";
        QTest::newRow("after the work, before the window hears") << -4000 << "cancel";
        QTest::newRow("from the progress dialog") << 0 << "dialog";
        QTest::newRow("window closed") << 50 << "close";
        QTest::newRow("File > Exit") << 50 << "exit";
    }
    void cancelLeavesEverythingAsBefore()
    {
        QFETCH(int, afterMs);
        QFETCH(QString, how);
        WindowFixture f;
        const QString before = QString::fromUtf8("typed\u2028here");
        MainWindow& window = pressed(f, list_, "999999", before);
        QVERIFY(window.isFilling());
        QTest::qWait(std::max(afterMs, 0));
        QTest::qSleep(std::max(-afterMs, 0)); // asleep, the window takes no events
        if (how == "dialog") {
            QTRY_VERIFY_WITH_TIMEOUT(visibleProgressDialog() || !window.isFilling(), FillWait);
            if (!window.isFilling())
                QSKIP("the fill ended before its progress was shown");
            QTest::keyClick(visibleProgressDialog(), Qt::Key_Escape); // Escape is the dialog's Cancel
        }
        if (how == "close" || how == "exit") {
            QTimer::singleShot(0, [&] {
                if (how == "exit")
                    window.findChild<QAction*>("exit")->trigger();
                else
                    window.close();
            });
            QTimer::singleShot(FillWait, [] { QCoreApplication::exit(99); });
            QCOMPARE(QApplication::exec(), 0); // the program ends
        } else {
            if (how == "cancel")
                window.cancelFill();
            QTRY_VERIFY_WITH_TIMEOUT(!window.isFilling(), FillWait);
            QCOMPARE(window.outputBox()->text(), before);
            QVERIFY(!window.outputBox()->isReadOnly());
        }
        QCOMPARE(processRandomSource().state(), RandomSource::StartState);
        QVERIFY(f.services.messages.isEmpty() && !visibleProgressDialog() && !QApplication::overrideCursor());
    }

    // Every command that would act on the output waits, and says so; the
    // finished fill is the press's text after the old one.
    void commandsWaitForTheFill()
    {
        WindowFixture f;
        const QString before = QString::fromUtf8("a\u00A0b\r\nno line end");
        MainWindow& window = f.mainWithList(list_);
        window.outputBox()->setText(before);
        window.picksBox()->setText("200000");
        QTest::mouseClick(window.selectButton(), Qt::LeftButton);
        QVERIFY(window.isFilling());

        for (QPushButton* button : {window.copyButton(), window.clearButton(), window.selectButton()})
            QTest::mouseClick(button, Qt::LeftButton);
        QTest::keyClick(&window, Qt::Key_Escape);
        window.findChild<QAction*>("save")->trigger();
        window.findChild<QAction*>("load")->trigger();
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(list_)});
        dropOnto(window.outputBox()->viewport(), data);
        QCOMPARE(f.services.messages.filter("still being written").size(), 7);
        QVERIFY(!f.windows.saveDialog() && !f.windows.openDialog());
        QTest::keyClicks(window.outputBox(), "typed");
        QGuiApplication::clipboard()->setText("pasted");
        QTest::keyClick(window.outputBox(), Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(window.outputBox()->text(), before);

        QTRY_VERIFY_WITH_TIMEOUT(!window.isFilling(), FillWait);
        RandomSource fresh;
        const QString expected = before
            + QString::fromStdString(press({200000, 700, list_.toStdString(), std::nullopt, 2}, fresh).value().words).replace('\n', "\r\n");
        QCOMPARE(window.outputBox()->text(), expected);
        QCOMPARE(processRandomSource().state(), fresh.state());
        QCOMPARE(f.services.messages.size(), 7);
        QCOMPARE(f.services.clipboard, QStringLiteral("(untouched)"));
        window.outputBox()->moveCursor(QTextCursor::End);
        QTest::keyClicks(window.outputBox(), "z"); // the box takes typing again
        QCOMPARE(window.outputBox()->text(), expected + "z");
    }

    void aFailedFillSaysWhyAndChangesNothing()
    {
        WindowFixture f;
        const QString changing = dir_.filePath("changes.txt");
        writeFile(changing, "one\ntwo\n");
        MainWindow& window = f.mainWithList(changing);
        writeFile(changing, "one\ntwo\nthree\n"); // changed since it was counted
        window.picksBox()->setText("200000");
        QTest::mouseClick(window.selectButton(), Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(!window.isFilling(), FillWait);
        QCOMPARE(f.services.messages.size(), 1);
        QVERIFY(f.services.lastMessage().startsWith("No words were picked"));
        QVERIFY(window.outputBox()->text().isEmpty());
        QCOMPARE(processRandomSource().state(), RandomSource::StartState);
    }
};

QTEST_MAIN(TestBackgroundFill)
#include "test_background_fill.moc"
