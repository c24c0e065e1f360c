// Presses big enough to fill the output box in the background: the box and
// the random source change only with a whole, finished fill; commands that
// come in meanwhile are refused and never see half an output.

#include "field_count.h"
#include "main_window.h"
#include "output_box.h"
#include "picks_number.h"
#include "progress_dialogs.h"
#include "random_source.h"
#include "selection.h"
#include "temp_files.h"
#include "window_fixture.h"
#include "word_list.h"

#include <QClipboard>
#include <QLineEdit>
#include <QMimeData>
#include <QProgressDialog>
#include <QPushButton>
#include <QScrollBar>
#include <QUrl>
#include <QtTest>

#include <functional>

using namespace tavilon;

class TestBackgroundFill : public QObject {
    Q_OBJECT

    static constexpr int FillWait = 120'000; // a loaded two-core machine is slow, not wrong
    static constexpr const char* BigPress = "200000";

    TempFiles files_;
    std::string list_;
    std::uint64_t count_ = 0;
    FileIdentity file_;

    MainWindow& showWithList(WindowFixture& f)
    {
        MainWindow& form = f.windows->mainWindow().show();
        if (!QTest::qWaitForWindowExposed(&form))
            qWarning("main window not exposed");
        form.showCountedList(QString::fromStdString(list_), count_, {}, file_);
        return form;
    }

    // What a press of `picks` appends when the source stands at `from`,
    // which then stands where the press leaves it.
    std::string coreText(const char* picks, RandomSource& from, std::uint64_t linesInBox = 0)
    {
        const auto pressed = press({picksNumber(picks).picks.value(), count_, list_, file_, linesInBox}, from);
        std::string text; // with the box's CR LF line ends
        for (const char c : pressed.value().words)
            text += c == '\n' ? std::string("\r\n") : std::string(1, c);
        return text;
    }

private slots:
    void initTestCase()
    {
        QByteArray bytes;
        for (int i = 0; i < 700; ++i)
            bytes += (i % 7 == 0 ? "w\xC2\xA0" : "word") + QByteArray::number(i) + "\n"; // some with U+00A0
        list_ = files_.write("w.txt", bytes);
        count_ = fieldCountValue(countFields(list_, {}, nullptr, &file_).value());
    }
    void init() { processRandomSource().reset(); }

    void cancelLeavesBoxAndSourceAsBefore_data()
    {
        QTest::addColumn<int>("afterMs");
        QTest::addColumn<int>("sleepMs"); // the window takes no events meanwhile
        QTest::newRow("at once") << 0 << 0;
        QTest::newRow("while it runs") << 150 << 0;
        // The work is most likely over, its news not yet taken by the window.
        QTest::newRow("after the work, before the window hears") << 0 << 4000;
    }
    void cancelLeavesBoxAndSourceAsBefore()
    {
        QFETCH(int, afterMs);
        QFETCH(int, sleepMs);
        WindowFixture f;
        MainWindow& form = showWithList(f);
        form.picksBox()->setText("3");
        form.onSelectClicked(); // the source no longer stands at its start
        form.outputBox()->insertPlainText(QString::fromUtf8("typed\u2028here"));
        const QString before = form.outputBox()->text();
        const auto lines = std::uint64_t(form.outputBox()->lineCount());
        const RandomSource source = processRandomSource();

        form.picksBox()->setText(BigPress);
        form.onSelectClicked();
        QVERIFY(form.isFilling());
        QTest::qWait(afterMs);
        QTest::qSleep(sleepMs);
        form.cancelFill();
        QTRY_VERIFY_WITH_TIMEOUT(!form.isFilling(), FillWait);
        QCOMPARE(form.outputBox()->text(), before);
        QCOMPARE(processRandomSource().state(), source.state());
        QVERIFY(f.services.messages.isEmpty()); // a cancel says nothing
        QVERIFY(!form.outputBox()->isReadOnly());

        // The next press draws exactly what the cancelled one would have.
        form.picksBox()->setText("20000");
        form.onSelectClicked();
        QTRY_VERIFY_WITH_TIMEOUT(!form.isFilling(), FillWait);
        RandomSource from = source;
        QCOMPARE(form.outputBox()->text(), before + QString::fromStdString(coreText("20000", from, lines)));
    }

    void cancelFromTheProgressDialog()
    {
        WindowFixture f;
        MainWindow& form = showWithList(f);
        form.outputBox()->setText("kept\r\n");
        form.picksBox()->setText("999999"); // as many as the box takes
        form.onSelectClicked();
        QTRY_VERIFY_WITH_TIMEOUT(visibleProgressDialog() || !form.isFilling(), FillWait);
        if (!form.isFilling())
            QSKIP("the fill ended before its progress was shown");
        QTest::keyClick(visibleProgressDialog(), Qt::Key_Escape); // Escape is the dialog's Cancel
        QTRY_VERIFY_WITH_TIMEOUT(!form.isFilling(), FillWait);
        QCOMPARE(form.outputBox()->text(), QStringLiteral("kept\r\n"));
        QCOMPARE(processRandomSource().state(), RandomSource::StartState);
        QVERIFY(!visibleProgressDialog());
        QVERIFY(!QApplication::overrideCursor());
    }

    void commandsDuringAFillAreRefused()
    {
        WindowFixture f;
        MainWindow& form = showWithList(f);
        form.outputBox()->setText("kept\r\n");
        form.picksBox()->setText(BigPress);
        form.onSelectClicked();
        QVERIFY(form.isFilling());

        const std::function<void()> commands[] = {
            [&] { form.onCopyClicked(); },
            [&] { form.onClearClicked(); },
            [&] { QTest::keyClick(&form, Qt::Key_Escape); }, // presses Clear
            [&] { form.onSelectClicked(); },
            [&] { form.onSaveTriggered(); },
            [&] { form.onLoadTriggered(); },
            [&] {
                QMimeData data;
                data.setUrls({QUrl::fromLocalFile(QString::fromStdString(files_.write("other.txt", "x\ny\nz\n")))});
                dropOnto(form.outputBox()->viewport(), data);
            },
        };
        for (const auto& command : commands)
            command();
        QCOMPARE(f.services.messages.size(), qsizetype(std::size(commands)));
        for (const auto& message : f.services.messages)
            QVERIFY2(message.text.contains("still being written"), qPrintable(message.text));
        QCOMPARE(f.services.clipboard, QStringLiteral("(untouched)"));
        QVERIFY(!f.windows->saveDialog().isLoaded());
        QVERIFY(!f.windows->openDialog().isLoaded());
        QCOMPARE(form.pathBox()->text(), QString::fromStdString(list_));
        QCOMPARE(form.countBox()->text(), QString::number(count_));

        // Typing and pasting into the box wait for the fill: nothing goes in.
        form.outputBox()->setFocus();
        QTest::keyClicks(form.outputBox(), "typed");
        QApplication::clipboard()->setText("pasted");
        form.outputBox()->paste();
        QCOMPARE(form.outputBox()->text(), QStringLiteral("kept\r\n"));

        QTRY_VERIFY_WITH_TIMEOUT(!form.isFilling(), FillWait);
        RandomSource fresh;
        const QString expected = "kept\r\n" + QString::fromStdString(coreText(BigPress, fresh, 1));
        form.onCopyClicked();
        QCOMPARE(f.services.clipboard, expected);
        QCOMPARE(form.outputBox()->lineCount(), 200'001);
        QCOMPARE(f.services.messages.size(), qsizetype(std::size(commands))); // nothing more to say
        // Afterwards the box takes typing again.
        form.outputBox()->moveCursor(QTextCursor::End);
        QTest::keyClicks(form.outputBox(), "z");
        QCOMPARE(form.outputBox()->text(), expected + "z");
    }

    void aFinishedFillKeepsTextAndCursor()
    {
        WindowFixture f;
        MainWindow& form = showWithList(f);
        const QString before = QString::fromUtf8("a\u00A0b\u2028c\r\n\tno line end");
        form.outputBox()->setText(before);
        QTextCursor cursor = form.outputBox()->textCursor();
        cursor.setPosition(2);
        cursor.setPosition(5, QTextCursor::KeepAnchor);
        form.outputBox()->setTextCursor(cursor);

        form.picksBox()->setText(BigPress);
        form.onSelectClicked();
        QTRY_VERIFY_WITH_TIMEOUT(!form.isFilling(), FillWait);

        RandomSource source;
        const QString added = QString::fromStdString(coreText(BigPress, source, 2));
        QCOMPARE(form.outputBox()->text(), before + added); // the first pick goes on the unended line
        QCOMPARE(processRandomSource().state(), source.state());
        QCOMPARE(form.outputBox()->textCursor().anchor(), 2);
        QCOMPARE(form.outputBox()->textCursor().position(), 5);
        QCOMPARE(form.outputBox()->lineWrapMode(), QPlainTextEdit::WidgetWidth);
        QVERIFY(!QApplication::overrideCursor());
        QVERIFY(f.services.messages.isEmpty());
        // The box still edits and counts as before, on its new text.
        form.outputBox()->moveCursor(QTextCursor::End);
        QTest::keyClick(form.outputBox(), Qt::Key_Return);
        QCOMPARE(form.outputBox()->lineCount(), 200'002);
    }

    void aFailedFillSaysWhyAndChangesNothing()
    {
        WindowFixture f;
        MainWindow& form = showWithList(f);
        form.outputBox()->setText("kept\r\n");
        const std::string changed = files_.write("changes.txt", "one\ntwo\n");
        FileIdentity file;
        const std::string count = countFields(changed, {}, nullptr, &file).value();
        form.showCountedList(QString::fromStdString(changed), fieldCountValue(count), {}, file);
        files_.write("changes.txt", "one\ntwo\nthree\n"); // changed since it was counted
        form.picksBox()->setText(BigPress);
        form.onSelectClicked();
        QTRY_VERIFY_WITH_TIMEOUT(!form.isFilling(), FillWait);
        QCOMPARE(f.services.messages.size(), 1);
        QVERIFY2(f.services.lastMessage().startsWith("No words were picked"), qPrintable(f.services.lastMessage()));
        QCOMPARE(form.outputBox()->text(), QStringLiteral("kept\r\n"));
        QCOMPARE(processRandomSource().state(), RandomSource::StartState);
        QVERIFY(!form.outputBox()->isReadOnly());
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
        MainWindow& form = showWithList(f);
        form.picksBox()->setText("999999");
        QTimer::singleShot(0, [&] {
            form.onSelectClicked();
            QTimer::singleShot(50, [&] {
                if (byExit)
                    form.onExitTriggered();
                else
                    form.close();
            });
        });
        QTimer::singleShot(FillWait, [] { QCoreApplication::exit(99); });
        QCOMPARE(QApplication::exec(), 0);
        QVERIFY(!f.windows->mainWindow().isLoaded());
        QCOMPARE(processRandomSource().state(), RandomSource::StartState);
        QVERIFY(!QApplication::overrideCursor());
    }
};

QTEST_MAIN(TestBackgroundFill)
#include "test_background_fill.moc"
