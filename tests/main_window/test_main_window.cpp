#include "core/picking/random_source.h"
#include "core/picking/selection.h"
#include "main_window/main_window.h"
#include "platform/services/background_task.h"
#include "platform/widgets/output_box.h"
#include "tests/app/window_fixture.h"
#include "tests/support/contrast.h"

#include <QAccessible>
#include <QClipboard>
#include <QLineEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QTemporaryDir>
#include <QThread>

#include <fstream>
#include <sys/resource.h>
#include <unistd.h>

using namespace tavilon;

class TestMainWindow : public QObject {
    Q_OBJECT

    static constexpr int FillWait = 120'000; // a loaded two-core machine is slow, not wrong
    QTemporaryDir dir_;
    QString at(const QString& name) const { return dir_.filePath(name); }
    // Presses Select for `picks`; waits for the picks unless told not to.
    static void select(MainWindow& window, const QString& picks, bool wait = true)
    {
        window.picksBox()->clear();
        QTest::keyClicks(window.picksBox(), picks);
        QTest::mouseClick(window.selectButton(), Qt::LeftButton);
        if (wait)
            QVERIFY(QTest::qWaitFor([&window] { return !window.isFilling(); }, FillWait));
    }
    static QProgressDialog* visibleProgressDialog()
    {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* dialog = qobject_cast<QProgressDialog*>(w); dialog && dialog->isVisible())
                return dialog;
        return nullptr;
    }
    // The words of `picks` picks as the box shows them, after `lines` lines.
    QString picked(RandomSource& from, std::uint64_t picks, std::uint64_t count, std::uint64_t lines = 0)
    {
        return QString::fromStdString(press({picks, count, at("w.txt").toStdString(), std::nullopt, lines}, from)
                                          .value().words).replace('\n', "\r\n");
    }

private slots:
    void initTestCase()
    {
        QByteArray bytes;
        for (int i = 0; i < 700; ++i)
            bytes += (i % 7 == 0 ? "w\xC2\xA0" : "word") + QByteArray::number(i) + "\n"; // some with U+00A0
        writeFile(at("w.txt"), bytes);
    }
    void init() { processRandomSource().reset(); }

    // The count box shows a count of twelve digits whole at any window size, as many columns of ink as
    // the same box with room to spare; it reads, and reads to assistive technology as read-only, not disabled.
    void theCountShowsWholeAndReadable()
    {
        WindowFixture f;
        MainWindow& window = f.main();
        window.showCountedList({at("w.txt"), QFile::encodeName(at("w.txt")), 123'456'789'012, {}});
        QLineEdit* box = window.countBox();
        const QColor base = box->palette().color(QPalette::Base);
        const auto ink = [base](QWidget* shown) { // from the text's first column of ink to its last, inside the frame
            const QImage drawn = shown->grab().toImage();
            int first = -1;
            int last = -1;
            for (int x = 3; x < drawn.width() - 3; ++x)
                for (int y = drawn.height() / 4; y < drawn.height() * 3 / 4; ++y)
                    if (contrastRatio(drawn.pixelColor(x, y), base) >= 3)
                        last = first < 0 ? first = x : x;
            return last - first;
        };
        const auto roomy = [box, &ink] {
            QLineEdit wide(box->text());
            wide.setFont(box->font());
            wide.setPalette(box->palette());
            wide.setReadOnly(true);
            wide.resize(box->width() * 4, box->height());
            return ink(&wide);
        };
        for (const QSize size : {QSize(551, 498), QSize(400, 360), QSize(1200, 900)}) {
            window.resize(size);
            QTRY_COMPARE(ink(box), roomy());
        }
        const QImage drawn = box->grab().toImage();
        QVERIFY(strongestContrast(drawn, drawn.rect(), base) >= 4.5);
        const QAccessible::State state = QAccessible::queryAccessibleInterface(box)->state();
        QVERIFY(state.readOnly);
        QVERIFY(!state.disabled);
        QVERIFY(!state.focusable);
    }

    // Copy keeps every character; a clipboard that does not take says so.
    void copyKeepsEveryCharacter()
    {
        WindowFixture f;
        MainWindow& window = f.main();
        const QString output = QString::fromUtf8("a\u00A0b\r\nc\td\u2028x");
        window.outputBox()->setText(output);
        QTest::mouseClick(window.copyButton(), Qt::LeftButton);
        QCOMPARE(f.services.clipboard, output);
        QVERIFY(QtDesktopServices().setClipboardText(output)); // the real one reads its text back
        f.services.clipboardWorks = false;
        QTest::mouseClick(window.copyButton(), Qt::LeftButton);
        QVERIFY(f.services.lastMessage().contains("clipboard is not available"));
    }

    // Tab leaves the output box instead of typing into it and visits the
    // boxes and buttons in order; the window grows to 16384 px a side at most.
    void tabOrderAndLargestSize()
    {
        WindowFixture f;
        MainWindow& window = f.main();
        window.selectButton()->setEnabled(true);
        for (QWidget* expected : QList<QWidget*>{window.outputBox(), window.selectButton(), window.picksBox(),
                                                 window.copyButton(), window.pathBox(), window.clearButton()}) {
            QCOMPARE(QApplication::focusWidget(), expected);
            QTest::keyClick(expected, Qt::Key_Tab);
        }
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
        QCOMPARE(QApplication::focusWidget(), window.clearButton());
        QVERIFY(window.outputBox()->text().isEmpty());
        window.resize(65535, 65535);
        QCOMPARE(window.size(), QSize(MainWindow::MaxWindowSide, MainWindow::MaxWindowSide));
    }

    // The number box empties at once on what is not a number, key by key;
    // the picks are the core's, press after press, after any text; Escape
    // clears the output and nothing else, and picks added since stay on Undo.
    void selectGivesTheCoresPicks()
    {
        WindowFixture f;
        MainWindow& window = f.mainWithList(at("w.txt"));
        QTest::keyClicks(window.picksBox(), "1e");
        QCOMPARE(window.picksBox()->text(), QString()); // "1e" is not a number
        window.outputBox()->setText("typed");
        select(window, "");
        QCOMPARE(window.picksBox()->text(), QStringLiteral("1"));
        select(window, "-4"); // "-" alone empties the box first
        RandomSource fresh;
        QString expected = "typed" + picked(fresh, 1, 700);
        expected += picked(fresh, 4, 700, 1);
        QCOMPARE(window.outputBox()->text(), expected);
        QTest::keyClick(&window, Qt::Key_Escape);
        QCOMPARE(window.countBox()->text(), QStringLiteral("700"));
        QCOMPARE(window.picksBox()->text(), QStringLiteral("4"));
        select(window, "1"); // the box changed since Escape: Undo keeps the pick
        QTest::keyClick(window.outputBox(), Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(window.outputBox()->lineCount(), 1);
    }

    // Enter and keypad Enter press a focused button in every window, not in a box; Ctrl+O/S/Q choose Load,
    // Save, Exit; Escape closes About; Ctrl+Z brings back what Escape (Clear) emptied, unless changed since.
    void keys_data()
    {
        QTest::addColumn<QString>("window");
        QTest::addColumn<QString>("focus"); // the control with the focus
        QTest::addColumn<QKeySequence>("keys");
        QTest::addColumn<int>("done"); // buttons clicked (Escape clicks Clear), menu items chosen, windows closed
        QTest::addColumn<QString>("output"); // what the output box then shows
        const QString kept = QString::fromUtf8("kept\u00A0one\r\ntwo");
        const QKeySequence enter(Qt::Key_Return), escape(Qt::Key_Escape);
        const QKeyCombination clear(Qt::Key_Escape), x(Qt::Key_X), undo(Qt::CTRL | Qt::Key_Z);
        QTest::newRow("main window, Enter on a button") << "Form1" << "Command1" << enter << 1 << kept;
        QTest::newRow("open dialog, keypad Enter on a button")
            << "frmDialog" << "cmdOK" << QKeySequence(Qt::KeypadModifier | Qt::Key_Enter) << 1 << kept;
        QTest::newRow("save dialog, Enter on a button") << "savefrm" << "cmdCancel" << enter << 2 << kept;
        QTest::newRow("save dialog, Enter in a box") << "savefrm" << "txtFilename" << enter << 0 << kept;
        QTest::newRow("Ctrl+O") << "Form1" << "Text1" << QKeySequence(Qt::CTRL | Qt::Key_O) << 1 << kept;
        QTest::newRow("Ctrl+S") << "Form1" << "Text3" << QKeySequence(Qt::CTRL | Qt::Key_S) << 1 << kept;
        QTest::newRow("Ctrl+Q") << "Form1" << "Text1" << QKeySequence(Qt::CTRL | Qt::Key_Q) << 2 << kept;
        QTest::newRow("About, Escape") << "Form2" << "Form2" << escape << 1 << kept;
        QTest::newRow("Escape, Ctrl+Z") << "Form1" << "Text1" << QKeySequence(clear, undo) << 1 << kept;
        QTest::newRow("Escape twice, Ctrl+Z") << "Form1" << "Text1" << QKeySequence(clear, clear, undo) << 2 << kept;
        QTest::newRow("Escape, typing, Ctrl+Z") << "Form1" << "Text1" << QKeySequence(clear, x, undo) << 1 << "x";
    }
    void keys()
    {
        QFETCH(QString, window);
        QFETCH(QString, focus);
        QFETCH(QKeySequence, keys);
        QFETCH(int, done);
        QFETCH(QString, output);
        WindowFixture f;
        QPointer<MainWindow> main = &f.main();
        main->outputBox()->setText(QString::fromUtf8("kept\u00A0one\r\ntwo"));
        QPointer<QWidget> shown = f.show(window);
        QVERIFY(QTest::qWaitForWindowActive(shown));
        int count = 0;
        for (auto* button : shown->findChildren<QPushButton*>())
            connect(button, &QPushButton::clicked, this, [&count] { ++count; });
        for (auto* action : shown->findChildren<QAction*>())
            connect(action, &QAction::triggered, this, [&count] { ++count; });
        QWidget* target = focus == window ? shown.data() : shown->findChild<QWidget*>(focus);
        target->setFocus(Qt::TabFocusReason);
        QTest::keySequence(target, keys);
        QCOMPARE(count + (shown && shown->isVisible() ? 0 : 1), done);
        QCOMPARE(main->outputBox()->text(), output);
    }

    // The focused control's ring reads at 3:1 at least against the blue around it, the control's edge and
    // the same place unfocused, on the program's fixed colours under a light or a dark theme.
    void focusRingReads_data()
    {
        QTest::addColumn<QColor>("face"); // the theme's buttons; none: the desktop's
        QTest::addColumn<int>("key"); // from the output box to the control
        QTest::newRow("button, desktop theme") << QColor() << int(Qt::Key_Backtab);
        QTest::newRow("button, dark theme") << QColor(0x2b, 0x2b, 0x2b) << int(Qt::Key_Backtab);
        QTest::newRow("box, dark theme") << QColor(0x2b, 0x2b, 0x2b) << int(Qt::Key_Tab);
    }
    void focusRingReads()
    {
        QFETCH(QColor, face);
        QFETCH(int, key);
        const QPalette desktop = QApplication::palette();
        QApplication::setPalette(face.isValid() ? QPalette(face) : desktop); // a dark face: light text, dark boxes
        WindowFixture f;
        QWidget* frame = f.main().clearButton()->parentWidget();
        const QImage before = frame->grab().toImage();
        // Clear ends the Tab order, the number box follows the output.
        QTest::keyClick(f.main().outputBox(), Qt::Key(key));
        const QImage after = frame->grab().toImage();
        QApplication::setPalette(desktop);
        const QWidget* focused = QApplication::focusWidget();
        const QPoint edge = focused->geometry().topLeft() + QPoint(0, focused->height() / 2);
        const QColor ring = after.pixelColor(edge - QPoint(1, 0));
        QVERIFY(contrastRatio(ring, after.pixelColor(edge - QPoint(3, 0))) >= 3);
        QVERIFY(contrastRatio(ring, after.pixelColor(edge)) >= 3);
        QVERIFY(contrastRatio(ring, before.pixelColor(edge - QPoint(1, 0))) >= 3);
    }

    // A press that cannot pick says why and changes neither the output nor the random source.
    void refusedPressesChangeNothing_data()
    {
        QTest::addColumn<QString>("change");
        QTest::addColumn<QString>("picks");
        QTest::addColumn<QString>("says");
        QTest::newRow("list deleted") << "delete" << "3" << "No such file";
        QTest::newRow("replaced by a list as long") << "replace" << "3" << "changed since it was counted";
        QTest::newRow("path edited") << "edit" << "3" << "no longer names the word list";
        QTest::newRow("a word too long for the box") << "long" << "3" << "characters long";
        QTest::newRow("box full") << "full" << "3" << "Save the output and clear it first";
    }
    void refusedPressesChangeNothing()
    {
        QFETCH(QString, change);
        QFETCH(QString, picks);
        QFETCH(QString, says);
        writeFile(at("list.txt"), change == "long" ? QByteArray(10'001, 'q') : QByteArray("a\nb\nc\n"));
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
        select(window, picks);
        QTRY_VERIFY_WITH_TIMEOUT(!window.isFilling(), FillWait);
        QCOMPARE(f.services.messages.size(), 1);
        QVERIFY2(f.services.lastMessage().contains(says), qPrintable(f.services.lastMessage()));
        QCOMPARE(window.outputBox()->text(), before);
        QCOMPARE(processRandomSource().state(), RandomSource::StartState);
    }

    // A paste or drop with a line over 10,000 characters, or that would take
    // the box past 1,000,000 lines, is refused; so is a drop of several files
    // or of an address that is not a local file. The line limit is taken.
    void overlongPastesAndDropsAreRefused()
    {
        WindowFixture f;
        MainWindow& window = f.main();
        window.outputBox()->setText("kept\r\n");
        const QString text = "a\nb\n" + QString(10'001, 'y');
        QMimeData data;
        data.setText(text);
        QGuiApplication::clipboard()->setText(text);
        QTest::keyClick(window.outputBox(), Qt::Key_V, Qt::ControlModifier);
        dropOnto(window.outputBox()->viewport(), data);
        for (const QList<QUrl>& urls : {QList<QUrl>{QUrl::fromLocalFile(at("w.txt")), QUrl::fromLocalFile(at("w.txt"))},
                                        QList<QUrl>{QUrl("http://example.test/w.txt")}}) {
            QMimeData addresses;
            addresses.setUrls(urls);
            dropOnto(window.outputBox()->viewport(), addresses);
        }
        QGuiApplication::clipboard()->setText(QString("y\n").repeated(1'000'000)); // before "kept"
        QTest::keyClick(window.outputBox(), Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(window.outputBox()->text(), QStringLiteral("kept\r\n"));
        QCOMPARE(f.services.messages.filter("Nothing was pasted: a line").size(), 2);
        QCOMPARE(f.services.messages.filter("would hold 1000001 lines").size(), 1);
        QCOMPARE(f.services.messages.filter("takes one word list").size(), 2);
        QGuiApplication::clipboard()->setText(QString("y\n").repeated(999'999));
        QTest::keyClick(window.outputBox(), Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(window.outputBox()->lineCount(), 1'000'000);
    }

    // A dismissed message leaves the typed output, and the window then closes when asked.
    void closesWhenAskedAfterAMessage()
    {
        QtDesktopServices real; // a real message, which blocks the window
        Application windows(real);
        const QPointer<MainWindow> window = &windows.showMainWindow();
        QTest::keyClicks(window->outputBox(), "kept");
        QGuiApplication::clipboard()->setText(QString(10'001, 'w'));
        QTest::keyClick(window->outputBox(), Qt::Key_V, Qt::ControlModifier);
        QTRY_VERIFY(QApplication::activeModalWidget());
        QTest::keyClick(QApplication::activeModalWidget(), Qt::Key_Return);
        QTRY_VERIFY(!QApplication::activeModalWidget());
        QCOMPARE(window->outputBox()->text(), "kept");
        window->close();
        QTRY_VERIFY(!window); // closed and discarded
    }

    // A press fills the box in the background, under a wait cursor at once and after a second with a
    // progress dialog. Cancelled at once, while it runs, after the work but before the window hears of it,
    // from the progress dialog, by closing the window, File > Exit or Ctrl+Q, it stops, changes nothing
    // and says nothing.
    void cancelledFillsChangeNothing_data()
    {
        QTest::addColumn<int>("afterMs");
        QTest::addColumn<QString>("how");
        QTest::newRow("at once") << 0 << "cancel";
        QTest::newRow("while it runs") << 150 << "cancel";
        QTest::newRow("after the work, before the window hears") << -4000 << "cancel";
        QTest::newRow("from the progress dialog") << 0 << "dialog";
        QTest::newRow("window closed") << 50 << "close";
        QTest::newRow("File > Exit") << 50 << "exit";
        QTest::newRow("Ctrl+Q") << 50 << "Ctrl+Q";
        QTest::newRow("File > Exit under a context menu") << 50 << "menu";
    }
    void cancelledFillsChangeNothing()
    {
        QFETCH(int, afterMs);
        QFETCH(QString, how);
        WindowFixture f;
        MainWindow& window = f.mainWithList(at("w.txt"));
        const QString before = QString::fromUtf8("typed\u2028here");
        window.outputBox()->setText(before);
        select(window, "999999", false);
        QVERIFY(window.isFilling());
        QCOMPARE(QApplication::overrideCursor()->shape(), Qt::WaitCursor); // at once, before the dialog
        QTest::qWait(std::max(afterMs, 0));
        QTest::qSleep(std::max(-afterMs, 0)); // asleep, the window takes no events
        if (how == "dialog") {
            QTRY_VERIFY_WITH_TIMEOUT(visibleProgressDialog() || !window.isFilling(), FillWait);
            if (!window.isFilling())
                QSKIP("the fill ended before its progress was shown");
            QTest::keyClick(visibleProgressDialog(), Qt::Key_Escape); // Escape is the dialog's Cancel
        }
        if (how != "cancel" && how != "dialog") {
            QTimer::singleShot(0, [&] {
                if (how == "menu") {
                    const QPoint inBox = window.outputBox()->mapTo(&window, QPoint(20, 20));
                    QTest::mouseClick(window.windowHandle(), Qt::RightButton, {}, inBox); // as the desktop sends it
                    QVERIFY(QApplication::activePopupWidget());
                }
                if (how == "exit" || how == "menu")
                    window.findChild<QAction*>("exit")->trigger();
                else if (how == "Ctrl+Q")
                    QTest::keyClick(&window, Qt::Key_Q, Qt::ControlModifier);
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
        QVERIFY(f.services.messages.isEmpty());
        QVERIFY(!visibleProgressDialog());
        QVERIFY(!QApplication::overrideCursor());
    }

    // With the address space limited so that no copy of the output fits, Copy and Select say so and keep it.
    void commandsUnderAMemoryLimitKeepTheOutput()
    {
        WindowFixture f;
        MainWindow& window = f.mainWithList(at("w.txt"));
        window.outputBox()->setText(QString(QString(10'000, 'x') + "\n").repeated(2'000)); // 40 MB kept
        long pages = 0;
        std::ifstream("/proc/self/statm") >> pages;
        rlimit old {};
        ::getrlimit(RLIMIT_AS, &old);
        const rlimit tight {rlim_t(pages) * rlim_t(::sysconf(_SC_PAGESIZE)) + (30 << 20), old.rlim_max};
        QCOMPARE(::setrlimit(RLIMIT_AS, &tight), 0);
        QTest::mouseClick(window.copyButton(), Qt::LeftButton);
        select(window, "5", false);
        ::setrlimit(RLIMIT_AS, &old);
        QCOMPARE(f.services.messages.filter("not enough memory").size(), 2);
        QCOMPARE(window.outputBox()->lineCount(), 2'000);
    }

    // Long work's progress window stays on the screen, however long its label (a deep folder's path).
    void aLongLabelKeepsTheProgressOnTheScreen()
    {
        WindowFixture f;
        const QString path = "/" + QString("folder/").repeated(60) + "list.txt";
        BackgroundTask task(&f.main(), "Counting the words of " + path + "…", [](const ProgressFn& progress) {
            for (int i = 0; i < 30 && progress(i, 30); ++i)
                QThread::msleep(100);
        });
        QTRY_VERIFY(visibleProgressDialog());
        QVERIFY(visibleProgressDialog()->frameGeometry().width() <= f.main().screen()->availableGeometry().width());
    }

    // While the box fills, every command that would act on the output waits
    // and says so, Ok in a dialog opened before too.
    void commandsWaitForTheFill()
    {
        WindowFixture f;
        MainWindow& window = f.mainWithList(at("w.txt"));
        const QString before = QString::fromUtf8("a\u00A0b\r\nno line end");
        window.outputBox()->setText(before);
        SaveDialog& save = f.windows.showSaveDialog();
        save.nameBox()->setText("out.txt");
        OpenDialog& open = f.windows.showOpenDialog();
        QVERIFY(QTest::qWaitForWindowActive(&f.windows.showMainWindow()));
        select(window, "200000", false);
        QVERIFY(window.isFilling());
        for (QPushButton* button : {window.copyButton(), window.clearButton(), window.selectButton()})
            QTest::mouseClick(button, Qt::LeftButton);
        QTest::keyClick(&window, Qt::Key_Escape);
        window.findChild<QAction*>("save")->trigger();
        window.findChild<QAction*>("load")->trigger();
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(at("w.txt"))});
        dropOnto(window.outputBox()->viewport(), data);
        QTest::mouseClick(save.okButton(), Qt::LeftButton);
        QTest::mouseClick(open.okButton(), Qt::LeftButton);
        QCOMPARE(f.services.messages.filter("still being written").size(), 9);
        QVERIFY(f.windows.saveDialog());
        QVERIFY(f.windows.openDialog());
        QTest::keyClicks(window.outputBox(), "typed");
        QGuiApplication::clipboard()->setText("pasted");
        QTest::keyClick(window.outputBox(), Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(window.outputBox()->text(), before);

        QTRY_VERIFY_WITH_TIMEOUT(!window.isFilling(), FillWait);
        QCOMPARE(f.services.messages.size(), 9);
        QCOMPARE(f.services.clipboard, "(untouched)");
        QVERIFY(!window.outputBox()->isReadOnly());
    }

    // Ctrl+Q while a dropped list is counted stops the count: the program ends and shows nothing.
    void exitDuringACount()
    {
        WindowFixture f;
        MainWindow& window = f.main();
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(at("w.txt"))});
        dropOnto(window.outputBox()->viewport(), data);
        QVERIFY(WordListCount::anyRunning());
        QTimer::singleShot(0, [&window] { QTest::keyClick(&window, Qt::Key_Q, Qt::ControlModifier); });
        QTimer::singleShot(FillWait, [] { QCoreApplication::exit(99); });
        QCOMPARE(QApplication::exec(), 0);
        QVERIFY(f.services.messages.isEmpty());
    }

    // A dropped list is counted on another thread: until its count is in,
    // every command waits and says so.
    void commandsWaitForACount()
    {
        WindowFixture f;
        MainWindow& window = f.mainWithList(at("w.txt"));
        window.pathBox()->setText("edited");
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(at("w.txt"))});
        dropOnto(window.outputBox()->viewport(), data);
        for (QPushButton* button : {window.copyButton(), window.clearButton(), window.selectButton()})
            button->click();
        for (const char* command : {"save", "load"})
            window.findChild<QAction*>(command)->trigger();
        dropOnto(window.outputBox()->viewport(), data);
        QCOMPARE(f.services.messages.filter("still being counted").size(), 6);
        WindowFixture::waitForCounts();
        QCOMPARE(window.pathBox()->text(), at("w.txt"));
        QCOMPARE(f.services.clipboard, "(untouched)");
    }
};

QTEST_MAIN(TestMainWindow)
#include "test_main_window.moc"
