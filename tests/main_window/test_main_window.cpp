#include "field_count.h"
#include "main_window.h"
#include "output_box.h"
#include "random_source.h"
#include "selection.h"
#include "temp_files.h"
#include "window_fixture.h"
#include "word_list.h"

#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>

#include <functional>

using namespace tavilon;

class TestMainWindow : public QObject {
    Q_OBJECT

    MainWindow& showMain(WindowFixture& f)
    {
        MainWindow& form = f.windows->mainWindow().show();
        if (!QTest::qWaitForWindowExposed(&form))
            qWarning("main window not exposed");
        return form;
    }

    // A counted list, as the open dialog leaves the main window.
    void loadList(MainWindow& form, const std::string& path)
    {
        FileIdentity file;
        const std::string count = countFields(path, {}, nullptr, &file).value();
        form.showCountedList(QString::fromStdString(path), fieldCountValue(count), {}, file);
    }

private slots:
    void copyKeepsEveryCharacter_data()
    {
        QTest::addColumn<QString>("output");
        QTest::newRow("no-break space") << QString::fromUtf8("a\u00A0b\r\n");
        QTest::newRow("line separator") << QString::fromUtf8("a\u2028b\r\nc\r\n");
        QTest::newRow("tab") << QString::fromUtf8("a\tb\r\n");
        QTest::newRow("all three, no final line end") << QString::fromUtf8("\u00A0\t\u2028\r\nx");
        QTest::newRow("empty output copies the empty text") << QString();
    }
    void copyKeepsEveryCharacter()
    {
        QFETCH(QString, output);
        WindowFixture f;
        MainWindow& form = showMain(f);
        form.outputBox()->setText(output);
        QCOMPARE(form.outputBox()->text(), output);
        form.onCopyClicked();
        QCOMPARE(f.services.clipboard, output);
        QCOMPARE(form.outputBox()->lineCount(), output.count(QStringLiteral("\r\n")) + (output.isEmpty() || output.endsWith('\n') ? 0 : 1));
    }

    // Tab leaves the output box instead of typing into it, visits the boxes
    // and buttons in their order, and Shift+Tab walks back.
    void tabMovesTheFocusInOrder()
    {
        WindowFixture f;
        MainWindow& form = showMain(f);
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(form.outputBox()));
        form.selectButton()->setEnabled(true);
        QList<QWidget*> seen;
        for (int i = 0; i < 10 && (seen.isEmpty() || QApplication::focusWidget() != form.outputBox()); ++i) {
            seen << QApplication::focusWidget();
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        }
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(form.outputBox()));
        QCOMPARE(seen.mid(0, 5), (QList<QWidget*>{form.outputBox(), form.selectButton(), form.picksBox(),
                                                  form.copyButton(), form.pathBox()}));
        QVERIFY(seen.contains(form.clearButton()));
        QTest::keyClick(form.outputBox(), Qt::Key_Backtab);
        QCOMPARE(QApplication::focusWidget(), seen.back());
        QVERIFY(form.outputBox()->text().isEmpty()); // no tab typed into the output
    }

    void windowSizeIsBounded()
    {
        WindowFixture f;
        MainWindow& form = showMain(f);
        for (int side : {65535, 50000}) {
            form.resize(side, side);
            QVERIFY(form.width() <= MainWindow::MaxWindowSide && form.height() <= MainWindow::MaxWindowSide);
        }
        form.resize(551, 500);
        QCOMPARE(form.width(), 551);
    }

    void init() { processRandomSource().reset(); }

    void startState()
    {
        WindowFixture f;
        MainWindow& form = showMain(f);
        QCOMPARE(form.windowTitle(), QStringLiteral("Brenvask Tavilon"));
        QVERIFY(form.outputBox()->text().isEmpty());
        QVERIFY(form.countBox()->text().isEmpty());
        QVERIFY(form.pathBox()->text().isEmpty());
        QVERIFY(form.picksBox()->text().isEmpty());
        QVERIFY(!form.selectButton()->isEnabled());
        QVERIFY(!form.countBox()->isEnabled());
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(form.outputBox()));
    }

    void captionsFitTheirControls()
    {
        WindowFixture f;
        MainWindow& form = showMain(f);
        for (const char* name : {"Label1", "Label2", "Label3"}) {
            auto* label = form.findChild<QLabel*>(name);
            const QRect needed = label->fontMetrics().boundingRect(QRect(0, 0, label->width(), 1000),
                                                                   Qt::TextWordWrap, label->text());
            // Whole lines fit; the last line's descent may reach one pixel past.
            const int lines = (needed.height() + label->fontMetrics().lineSpacing() / 2) / label->fontMetrics().lineSpacing();
            QVERIFY2(lines * label->fontMetrics().lineSpacing() <= label->height() && needed.width() <= label->width(), name);
        }
        // The label ends where the text box beside it begins.
        auto fitsBeside = [&](const char* labelName, QWidget* box) {
            auto* label = form.findChild<QLabel*>(labelName);
            const int textWidth = label->fontMetrics().horizontalAdvance(label->text());
            return label->x() + textWidth <= box->x();
        };
        QVERIFY(fitsBeside("Label2", form.pathBox()));
        QVERIFY(fitsBeside("Label1", form.countBox()));
        for (QPushButton* button : {form.copyButton(), form.clearButton(), form.selectButton()}) {
            const QRect needed = button->fontMetrics().boundingRect(QRect(0, 0, button->width() - 6, 1000),
                                                                    Qt::TextWordWrap, button->text());
            QVERIFY2(needed.width() <= button->width() - 4 && needed.height() <= button->height() - 4,
                     qPrintable(button->text()));
        }
        // The text boxes lie in front of the labels they overlap.
        const QObjectList order = form.findChild<QWidget*>("Frame1")->children();
        QVERIFY(order.indexOf(form.pathBox()) > order.indexOf(form.findChild<QLabel*>("Label2")));
        QVERIFY(order.indexOf(form.countBox()) > order.indexOf(form.findChild<QLabel*>("Label1")));
    }

    void barItemDoesNothing()
    {
        WindowFixture f;
        MainWindow& form = showMain(f);
        form.findChild<QAction*>("f")->trigger();
        QVERIFY(!f.windows->openDialog().isLoaded());
        QVERIFY(!f.windows->saveDialog().isLoaded());
        QVERIFY(!f.windows->aboutWindow().isLoaded());
        QVERIFY(f.services.messages.isEmpty());
        QVERIFY(form.isVisible());
        for (QAction* a : form.findChildren<QAction*>())
            QVERIFY2(a->shortcut().isEmpty(), qPrintable(a->objectName())); // no key steals one from a box
    }

    void changeCheckInsideWrites()
    {
        WindowFixture f;
        MainWindow& form = showMain(f);
        QSignalSpy changes(form.picksBox(), &QLineEdit::textChanged);
        form.picksBox()->setText(QStringLiteral("1e5"));
        QCOMPARE(form.picksBox()->text(), QStringLiteral("1e5"));
        form.picksBox()->setText(QStringLiteral("12a"));
        QCOMPARE(form.picksBox()->text(), QString()); // emptied inside the write
        QCOMPARE(changes.count(), 3);
        form.countBox()->setText(QStringLiteral("1500"));
        QCOMPARE(form.countBox()->text(), QStringLiteral("1500"));
        form.countBox()->setText(QStringLiteral("x"));
        QCOMPARE(form.countBox()->text(), QString());
    }

    void clearKeepsEverythingElse()
    {
        TempFiles files;
        const std::string list = files.write("w.txt", "alpha\nbeta\n");
        WindowFixture f;
        MainWindow& form = showMain(f);
        form.onClearClicked();
        QVERIFY(form.outputBox()->text().isEmpty());
        loadList(form, list);
        form.picksBox()->setText("3");
        form.onSelectClicked();
        QVERIFY(!form.outputBox()->text().isEmpty());
        QTest::keyClick(&form, Qt::Key_Escape); // Escape presses "Clear"
        QVERIFY(form.outputBox()->text().isEmpty());
        QCOMPARE(form.pathBox()->text(), QString::fromStdString(list));
        QCOMPARE(form.countBox()->text(), QStringLiteral("2"));
        QCOMPARE(form.picksBox()->text(), QStringLiteral("3"));
        QVERIFY(form.selectButton()->isEnabled());
    }

    void selectGivesTheSamePicksAsTheCore()
    {
        TempFiles files;
        QByteArray bytes;
        for (int i = 0; i < 500; ++i)
            bytes += "word" + QByteArray::number(i) + "\r\n";
        const std::string list = files.write("w.txt", bytes);
        WindowFixture f;
        MainWindow& form = showMain(f);
        loadList(form, list);
        QVERIFY(form.selectButton()->isEnabled());
        form.onSelectClicked(); // empty box: one pick, and the box shows 1
        QCOMPARE(form.picksBox()->text(), QStringLiteral("1"));
        form.picksBox()->setText("4");
        QTest::mouseClick(form.selectButton(), Qt::LeftButton);

        RandomSource fresh;
        std::string expected = press({1, 500, list}, fresh).value().words;
        expected += press({4, 500, list}, fresh).value().words;
        QCOMPARE(form.outputBox()->text(), QString::fromStdString(expected).replace('\n', "\r\n"));
        QVERIFY(f.services.messages.isEmpty());
    }

    void picksFollowTextWithoutALineEnd()
    {
        TempFiles files;
        const std::string list = files.write("one.txt", "only\n");
        WindowFixture f;
        MainWindow& form = showMain(f);
        loadList(form, list);
        form.outputBox()->setText("typed");
        form.onSelectClicked();
        QCOMPARE(form.outputBox()->text(), QStringLiteral("typedonly\r\n"));
    }

    void realClipboardTakesTheText()
    {
        QtDesktopServices desktop;
        QVERIFY(desktop.setClipboardText("a\r\nb\r\n"));
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("a\r\nb\r\n"));
    }

    void aClipboardThatFailsIsReported()
    {
        WindowFixture f;
        MainWindow& form = showMain(f);
        form.outputBox()->setText("keep me\r\n");
        f.services.clipboardWorks = false;
        form.onCopyClicked();
        QCOMPARE(f.services.messages.size(), 1);
        QVERIFY(f.services.lastMessage().contains("clipboard"));
        QCOMPARE(form.outputBox()->text(), QStringLiteral("keep me\r\n"));
    }

    void theOutputLimitIsKept()
    {
        TempFiles files;
        const std::string list = files.write("w.txt", "a\nb\n");
        WindowFixture f;
        MainWindow& form = showMain(f);
        loadList(form, list);
        form.outputBox()->setText(QString("x\r\n").repeated(int(MaxOutputLines) - 2));
        form.picksBox()->setText("3");
        form.onSelectClicked();
        QVERIFY(f.services.lastMessage().contains("Save the output and clear it first"));
        QCOMPARE(form.outputBox()->lineCount(), qint64(MaxOutputLines) - 2);
        form.picksBox()->setText("2");
        form.onSelectClicked();
        QCOMPARE(form.outputBox()->lineCount(), qint64(MaxOutputLines));
    }

    void menuWindowsOpenOnce()
    {
        WindowFixture f;
        MainWindow& form = showMain(f);
        form.findChild<QAction*>("uj")->trigger();
        QWidget* about = f.windows->aboutWindow().widget();
        QVERIFY(about && about->isVisible());
        form.onAboutTriggered();
        QCOMPARE(f.windows->aboutWindow().widget(), about);
        QCOMPARE(QApplication::topLevelWidgets().count(about), 1);
        form.onLoadTriggered();
        form.onLoadTriggered();
        QVERIFY(f.windows->openDialog().isLoaded());
        int dialogs = 0;
        for (QWidget* w : QApplication::topLevelWidgets())
            dialogs += w->objectName() == "frmDialog";
        QCOMPARE(dialogs, 1);
    }

    // Runs the event loop until the program would end, or gives up.
    static bool runsToTheEnd(const std::function<void()>& step, int giveUpMs = 5000)
    {
        QTimer::singleShot(0, step);
        QTimer::singleShot(giveUpMs, [] { QCoreApplication::exit(99); });
        return QApplication::exec() == 0;
    }

    void exitClosesEveryWindowAndEndsTheProgram_data()
    {
        QTest::addColumn<bool>("otherWindows");
        QTest::newRow("About and Save open") << true;
        QTest::newRow("main window alone") << false;
    }
    void exitClosesEveryWindowAndEndsTheProgram()
    {
        QFETCH(bool, otherWindows);
        WindowFixture f;
        MainWindow& form = showMain(f);
        if (otherWindows) {
            form.onAboutTriggered();
            form.onSaveTriggered();
        }
        QVERIFY(runsToTheEnd([&] { form.findChild<QAction*>("exit")->trigger(); }));
        QVERIFY(!f.windows->mainWindow().isLoaded());
        QVERIFY(!f.windows->saveDialog().isLoaded());
        QVERIFY(!f.windows->aboutWindow().isLoaded());
    }

    void closingTheMainWindowLeavesAboutRunning()
    {
        WindowFixture f;
        MainWindow& form = showMain(f);
        form.onAboutTriggered();
        bool aboutStillOpen = false;
        QVERIFY(runsToTheEnd([&] {
            form.close();
            QTimer::singleShot(300, [&] {
                aboutStillOpen = f.windows->aboutWindow().isLoaded() && !f.windows->mainWindow().isLoaded();
                f.windows->aboutWindow().unload();
            });
        }));
        QVERIFY(aboutStillOpen);
        // The next opening starts from the window as first built.
        MainWindow& again = f.windows->mainWindow().show();
        QVERIFY(again.outputBox()->text().isEmpty());
        QVERIFY(!again.selectButton()->isEnabled());
    }
};

QTEST_MAIN(TestMainWindow)
#include "test_main_window.moc"
