// Presses big enough to fill the output box in the background: the box and
// the random source change only with a whole, finished fill; commands that
// come in meanwhile are refused and never see half an output.

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
    QString list_;

    // The window with the list loaded and `picks` in the number box.
    static MainWindow& ready(WindowFixture& f, const QString& list, const char* picks, const QString& output)
    {
        MainWindow& window = f.mainWithList(list);
        window.outputBox()->setText(output);
        window.picksBox()->setText(picks);
        return window;
    }
    // What a press of `picks` appends when the source stands at `from`.
    std::string coreText(const char* picks, RandomSource& from, std::uint64_t linesInBox)
    {
        return press({picks, "700", list_.toStdString(), std::nullopt, linesInBox}, from).value().appendText;
    }

private slots:
    void initTestCase()
    {
        QByteArray bytes;
        for (int i = 0; i < 700; ++i)
            bytes += (i % 7 == 0 ? "w\xC2\xA0" : "word") + QByteArray::number(i) + "\n"; // some with U+00A0
        list_ = dir_.filePath("w.txt");
        writeFile(list_, bytes);
    }
    void init() { processRandomSource().reset(); }

    void cancelLeavesBoxAndSourceAsBefore_data()
    {
        QTest::addColumn<int>("afterMs");
        QTest::addColumn<int>("sleepMs"); // the window takes no events meanwhile
        QTest::newRow("at once") << 0 << 0;
        QTest::newRow("while it runs") << 150 << 0;
        QTest::newRow("after the work, before the window hears") << 0 << 4000;
    }
    void cancelLeavesBoxAndSourceAsBefore()
    {
        QFETCH(int, afterMs);
        QFETCH(int, sleepMs);
        WindowFixture f;
        const QString before = QString::fromUtf8("typed\u2028here");
        MainWindow& window = ready(f, list_, "200000", before);
        QTest::mouseClick(window.selectButton(), Qt::LeftButton);
        QVERIFY(window.isFilling());
        QTest::qWait(afterMs);
        QTest::qSleep(sleepMs);
        window.cancelFill();
        QTRY_VERIFY_WITH_TIMEOUT(!window.isFilling(), FillWait);
        QCOMPARE(window.outputBox()->text(), before);
        QCOMPARE(processRandomSource().state(), RandomSource::StartState);
        QVERIFY(f.services.messages.isEmpty()); // a cancel says nothing
        QVERIFY(!window.outputBox()->isReadOnly());
    }

    void cancelFromTheProgressDialog()
    {
        WindowFixture f;
        MainWindow& window = ready(f, list_, "999999", "kept\r\n");
        QTest::mouseClick(window.selectButton(), Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(visibleProgressDialog() || !window.isFilling(), FillWait);
        if (!window.isFilling())
            QSKIP("the fill ended before its progress was shown");
        QTest::keyClick(visibleProgressDialog(), Qt::Key_Escape); // Escape is the dialog's Cancel
        QTRY_VERIFY_WITH_TIMEOUT(!window.isFilling(), FillWait);
        QCOMPARE(window.outputBox()->text(), QStringLiteral("kept\r\n"));
        QCOMPARE(processRandomSource().state(), RandomSource::StartState);
        QVERIFY(!visibleProgressDialog() && !QApplication::overrideCursor());
    }

    // Every command that would act on the output waits, and says so; the
    // finished fill is the press's text after the old one, cursor kept.
    void commandsWaitForTheFill()
    {
        WindowFixture f;
        const QString before = QString::fromUtf8("a\u00A0b\r\nno line end");
        MainWindow& window = ready(f, list_, "200000", before);
        QTextCursor cursor = window.outputBox()->textCursor();
        cursor.setPosition(2);
        cursor.setPosition(5, QTextCursor::KeepAnchor);
        window.outputBox()->setTextCursor(cursor);
        QTest::mouseClick(window.selectButton(), Qt::LeftButton);
        QVERIFY(window.isFilling());

        QTest::mouseClick(window.copyButton(), Qt::LeftButton);
        QTest::mouseClick(window.clearButton(), Qt::LeftButton);
        QTest::keyClick(&window, Qt::Key_Escape);
        QTest::mouseClick(window.selectButton(), Qt::LeftButton);
        window.findChild<QAction*>("save")->trigger();
        window.findChild<QAction*>("load")->trigger();
        writeFile(dir_.filePath("other.txt"), "x\n");
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(dir_.filePath("other.txt"))});
        dropOnto(window.outputBox()->viewport(), data);
        QCOMPARE(f.services.messages.size(), 7);
        for (const auto& message : f.services.messages)
            QVERIFY2(message.second.contains("still being written"), qPrintable(message.second));
        QVERIFY(!f.windows.saveDialog() && !f.windows.openDialog());
        QCOMPARE(window.pathBox()->text(), list_);
        // The box takes no typing or pasting meanwhile.
        QTest::keyClicks(window.outputBox(), "typed");
        QGuiApplication::clipboard()->setText("pasted");
        QTest::keyClick(window.outputBox(), Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(window.outputBox()->text(), before);

        QTRY_VERIFY_WITH_TIMEOUT(!window.isFilling(), FillWait);
        RandomSource fresh;
        const QString expected = before + QString::fromStdString(coreText("200000", fresh, 2));
        QCOMPARE(window.outputBox()->text(), expected);
        QCOMPARE(processRandomSource().state(), fresh.state());
        QCOMPARE(window.outputBox()->textCursor().anchor(), 2);
        QCOMPARE(window.outputBox()->textCursor().position(), 5);
        QCOMPARE(f.services.clipboard, QStringLiteral("(untouched)"));
        QCOMPARE(f.services.messages.size(), 7);
        QVERIFY(!QApplication::overrideCursor());
        window.outputBox()->moveCursor(QTextCursor::End);
        QTest::keyClicks(window.outputBox(), "z"); // the box takes typing again
        QCOMPARE(window.outputBox()->text(), expected + "z");
    }

    void aFailedFillSaysWhyAndChangesNothing()
    {
        WindowFixture f;
        const QString changing = dir_.filePath("changes.txt");
        writeFile(changing, "one\ntwo\n");
        MainWindow& window = ready(f, changing, "200000", "kept\r\n");
        writeFile(changing, "one\ntwo\nthree\n"); // changed since it was counted
        QTest::mouseClick(window.selectButton(), Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(!window.isFilling(), FillWait);
        QCOMPARE(f.services.messages.size(), 1);
        QVERIFY(f.services.lastMessage().startsWith("No words were picked"));
        QCOMPARE(window.outputBox()->text(), QStringLiteral("kept\r\n"));
        QCOMPARE(processRandomSource().state(), RandomSource::StartState);
    }

    void leavingDuringAFillDropsIt_data()
    {
        QTest::addColumn<bool>("byExit");
        QTest::newRow("File > Exit") << true;
        QTest::newRow("window closed") << false;
    }
    void leavingDuringAFillDropsIt()
    {
        QFETCH(bool, byExit);
        WindowFixture f;
        MainWindow& window = ready(f, list_, "999999", {});
        QTimer::singleShot(0, [&] {
            QTest::mouseClick(window.selectButton(), Qt::LeftButton);
            QTimer::singleShot(50, [&] {
                if (byExit)
                    window.findChild<QAction*>("exit")->trigger();
                else
                    window.close();
            });
        });
        QTimer::singleShot(FillWait, [] { QCoreApplication::exit(99); });
        QCOMPARE(QApplication::exec(), 0);
        QVERIFY(!f.windows.mainWindow());
        QCOMPARE(processRandomSource().state(), RandomSource::StartState);
        QVERIFY(!QApplication::overrideCursor());
    }
};

QTEST_MAIN(TestBackgroundFill)
#include "test_background_fill.moc"
