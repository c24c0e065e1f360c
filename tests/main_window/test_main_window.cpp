#include "core/picking/random_source.h"
#include "core/picking/selection.h"
#include "main_window/main_window.h"
#include "platform/services/background_task.h"
#include "platform/widgets/output_box.h"
#include "tests/app/window_fixture.h"
#include "tests/support/contrast.h"

#include <QClipboard>
#include <QLineEdit>
#include <QMenu>
#include <QProgressDialog>
#include <QPushButton>
#include <QTemporaryDir>
#include <QThread>

#include <fstream>
#include <sys/resource.h>
#include <unistd.h>

using namespace tavilon;

namespace {

constexpr int FillWait = 120'000; // a loaded two-core machine is slow, not wrong

// Types `picks` into the picks box and presses Select.
void pressSelect(MainWindow& window, const QString& picks)
{
    window.picksBox()->clear();
    QTest::keyClicks(window.picksBox(), picks);
    click(window.selectButton());
}

// Presses Select and waits for the picks.
void select(MainWindow& window, const QString& picks)
{
    pressSelect(window, picks);
    QVERIFY(QTest::qWaitFor([&window] { return !window.isFilling(); }, FillWait));
}

QProgressDialog* progressDialog()
{
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* dialog = qobject_cast<QProgressDialog*>(w); dialog && dialog->isVisible())
            return dialog;
    return nullptr;
}

// A press of three picks after typing "kept" says `says` and changes nothing.
void expectRefusedPress(WindowFixture& f, const QString& says)
{
    MainWindow& window = *f.windows.mainWindow();
    QTest::keyClicks(window.outputBox(), "kept");
    const QString before = window.outputBox()->text();
    f.services.messages.clear();
    select(window, "3");
    QCOMPARE(f.services.messages.size(), 1);
    QVERIFY(f.services.lastMessage().contains(says));
    QCOMPARE(window.outputBox()->text(), before);
    QCOMPARE(processRandomSource().state(), RandomSource::StartState);
}

void expectNoTrace(WindowFixture& f)
{
    QCOMPARE(processRandomSource().state(), RandomSource::StartState);
    QVERIFY(f.services.messages.isEmpty());
    QVERIFY(!progressDialog());
    QVERIFY(!QApplication::overrideCursor());
}

} // namespace

class TestMainWindow : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    QString at(const QString& name) const { return dir_.filePath(name); }
    QString list() const { return at("w.txt"); }
    void dropList(MainWindow& window) const
    {
        dropUrls(window.outputBox()->viewport(), {QUrl::fromLocalFile(list())});
    }

private slots:
    void initTestCase()
    {
        QByteArray bytes;
        for (int i = 0; i < 700; ++i) // some with a no-break space
            bytes += (i % 7 == 0 ? "w\xC2\xA0" : "word") + QByteArray::number(i) + "\n";
        writeFile(list(), bytes);
    }
    void init() { processRandomSource().reset(); }

    // Copy and Select short of memory say so and keep the output. First, while
    // no freed memory is left for a copy to reuse.
    void commandsUnderAMemoryLimitKeepTheOutput()
    {
        WindowFixture f;
        MainWindow& window = f.mainWithList(list());
        window.outputBox()->setText(QString(QString(10'000, 'x') + "\n").repeated(2'000)); // 40 MB
        long pages = 0;
        std::ifstream("/proc/self/statm") >> pages;
        rlimit old {};
        ::getrlimit(RLIMIT_AS, &old);
        const rlim_t used = rlim_t(pages) * rlim_t(::sysconf(_SC_PAGESIZE));
        const rlimit tight {used + (30 << 20), old.rlim_max};
        QCOMPARE(::setrlimit(RLIMIT_AS, &tight), 0);
        const auto restore = qScopeGuard([&old] { ::setrlimit(RLIMIT_AS, &old); });
        click(window.copyButton());
        QVERIFY(f.services.lastMessage().startsWith("There is not enough memory to copy"));
        pressSelect(window, "5");
        const QString noMemory = "No words were picked.\n\nThere is not enough memory";
        QVERIFY(f.services.lastMessage().startsWith(noMemory));
        QCOMPARE(window.outputBox()->lineCount(), 2'000);
    }

    // Tab visits the controls in order, not the count, which reads and is read-only.
    void tabOrderAndTheReadOnlyCount()
    {
        WindowFixture f;
        MainWindow& window = f.mainWithList(list());
        for (QWidget* expected : QList<QWidget*>{window.outputBox(), window.selectButton(),
                                                 window.picksBox(), window.copyButton(),
                                                 window.pathBox(), window.clearButton()}) {
            QCOMPARE(QApplication::focusWidget(), expected);
            QTest::keyClick(expected, Qt::Key_Tab);
        }
        QCOMPARE(QApplication::focusWidget(), window.outputBox());
        QVERIFY(window.outputBox()->text().isEmpty());
        QLineEdit& count = *window.countBox();
        const QImage drawn = count.grab().toImage();
        const QColor base = count.palette().color(QPalette::Base);
        QVERIFY(strongestContrast(drawn, drawn.rect().adjusted(3, 3, -3, -3), base) >= 4.5);
        QAccessibleInterface* read = face(&count);
        QVERIFY(read->state().readOnly);
        QVERIFY(!read->state().disabled);
        read->setText(QAccessible::Value, "999");
        QCOMPARE(count.text(), "700");
    }

    // Copy keeps every character; a clipboard that does not take says so.
    void copyKeepsEveryCharacter()
    {
        WindowFixture f;
        MainWindow& window = f.main();
        const QString output = QString::fromUtf8("a\u00A0b\r\nc\td\u2028x");
        window.outputBox()->setText(output);
        click(window.copyButton());
        QCOMPARE(f.services.clipboard, output);
        QVERIFY(QtDesktopServices().setClipboardText(output)); // the real one reads it back
        f.services.clipboardWorks = false;
        click(window.copyButton());
        QVERIFY(f.services.lastMessage().contains("clipboard is not available"));
    }

    // The picks are the core's, after any text; a press ends the undo of Escape.
    void selectGivesTheCoresPicks()
    {
        WindowFixture f;
        MainWindow& window = f.mainWithList(list());
        QTest::keyClicks(window.picksBox(), "1e");
        QCOMPARE(window.picksBox()->text(), QString());
        QTest::keyClicks(window.outputBox(), "typed");
        select(window, "");
        QCOMPARE(window.picksBox()->text(), "1");
        select(window, "-4"); // "-" alone empties the box first
        RandomSource fresh;
        std::string picks = "typed" + press({1, 700, list().toStdString()}, fresh).value().words;
        picks += press({4, 700, list().toStdString()}, fresh).value().words;
        QCOMPARE(window.outputBox()->text(), QString::fromStdString(picks).replace('\n', "\r\n"));
        QTest::keyClick(&window, Qt::Key_Escape);
        QCOMPARE(window.countBox()->text(), "700");
        QCOMPARE(window.picksBox()->text(), "4");
        select(window, "1");
        QTest::keyClick(window.outputBox(), Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(window.outputBox()->lineCount(), 1);
    }

    // Enter presses the focused button; Ctrl+Z undoes Escape's Clear until an edit.
    void keys_data()
    {
        QTest::addColumn<QString>("window");
        QTest::addColumn<QString>("focus");
        QTest::addColumn<QKeySequence>("keys");
        QTest::addColumn<QStringList>("pressed"); // the buttons, in order
        QTest::addColumn<bool>("open"); // the window, then
        QTest::addColumn<QString>("output");
        const QKeySequence enter(Qt::Key_Return);
        const QKeyCombination escape(Qt::Key_Escape);
        const QKeyCombination undo(Qt::CTRL | Qt::Key_Z);
        const QKeyCombination x(Qt::Key_X);
        const QStringList clear{"Command2"};
        QTest::newRow("main window, Enter on a button")
            << "Form1" << "Command1" << enter << QStringList{"Command1"} << true << "kept";
        QTest::newRow("save dialog, keypad Enter on Cancel") << "savefrm" << "cmdCancel"
            << QKeySequence(Qt::KeypadModifier | Qt::Key_Enter) << QStringList{"cmdCancel"}
            << false << "kept";
        QTest::newRow("save dialog, Enter in a box")
            << "savefrm" << "txtFilename" << enter << QStringList() << true << "kept";
        QTest::newRow("Escape, Ctrl+Z")
            << "Form1" << "Text1" << QKeySequence(escape, undo) << clear << true << "kept";
        QTest::newRow("Escape twice, Ctrl+Z") << "Form1" << "Text1"
            << QKeySequence(escape, escape, undo) << clear + clear << true << "kept";
        QTest::newRow("Escape, typing, Ctrl+Z")
            << "Form1" << "Text1" << QKeySequence(escape, x, undo) << clear << true << "x";
    }
    void keys()
    {
        QFETCH(QString, window);
        QFETCH(QString, focus);
        QFETCH(QKeySequence, keys);
        WindowFixture f;
        QTest::keyClicks(f.main().outputBox(), "kept");
        QPointer<QWidget> shown = f.show(window);
        QVERIFY(QTest::qWaitForWindowActive(shown));
        QStringList pressed;
        for (auto* button : shown->findChildren<QPushButton*>()) {
            const auto record = [&pressed, button] { pressed << button->objectName(); };
            connect(button, &QPushButton::clicked, this, record);
        }
        shown->findChild<QWidget*>(focus)->setFocus(Qt::TabFocusReason);
        QTest::keySequence(QApplication::focusWidget(), keys);
        QTEST(pressed, "pressed");
        QTEST(shown && shown->isVisible(), "open");
        QTEST(f.main().outputBox()->text(), "output");
    }

    void escapeClosesAbout()
    {
        WindowFixture f;
        QPointer<QWidget> about = f.show("Form2");
        QVERIFY(QTest::qWaitForWindowActive(about));
        QTest::keyClick(about, Qt::Key_Escape);
        QTRY_VERIFY(!about);
    }

    // A press refuses an edited path, a full box and a list replaced since its count.
    void aPressRefusesWhatChangedSinceTheCount()
    {
        writeFile(at("list.txt"), "a\nb\nc\n");
        WindowFixture f;
        MainWindow& window = f.mainWithList(at("list.txt"));
        QTest::keyClicks(window.pathBox(), "x");
        expectRefusedPress(f, "no longer names the word list");
        QTest::keyClick(window.pathBox(), Qt::Key_Backspace);
        window.outputBox()->setText(QString("x\r\n").repeated(int(MaxOutputLines) - 2));
        expectRefusedPress(f, "Save the output and clear it first");
        window.outputBox()->clear();
        QFile::remove(at("list.txt"));
        writeFile(at("other.txt"), "x\ny\nz\n");
        QVERIFY(QFile::rename(at("other.txt"), at("list.txt")));
        expectRefusedPress(f, "changed since it was counted");
    }

    void aListWithoutWordsShowsNoCount()
    {
        writeFile(at("blank.txt"), "\n\n");
        WindowFixture f;
        QCOMPARE(f.mainWithList(at("blank.txt")).countBox()->text(), QString());
    }

    void anOverlongPasteIsRefused()
    {
        WindowFixture f;
        OutputBox* box = f.main().outputBox();
        QGuiApplication::clipboard()->setText(QString(10'001, 'y'));
        QTest::keyClick(box, Qt::Key_V, Qt::ControlModifier);
        QVERIFY(box->text().isEmpty());
        QVERIFY(f.services.lastMessage().startsWith("Nothing was pasted"));
    }

    // A long paste replaces the selection away from the window's thread.
    void aLongPasteIsWrittenInTheBackground()
    {
        WindowFixture f;
        MainWindow& window = f.main();
        OutputBox* box = window.outputBox();
        for (const char* line : {"first", "last"}) {
            QTest::keyClicks(box, line);
            QTest::keyClick(box, Qt::Key_Return);
        }
        QTest::keyClicks(box, "end");
        QTest::keyClick(box, Qt::Key_Up);
        QTest::keyClick(box, Qt::Key_Home);
        QTest::keyClick(box, Qt::Key_End, Qt::ShiftModifier);
        const QString pasted = QString("word\r\n").repeated(20'000);
        QGuiApplication::clipboard()->setText(pasted);
        QTest::keyClick(box, Qt::Key_V, Qt::ControlModifier);
        QVERIFY(window.isFilling());
        QTRY_VERIFY(!window.isFilling());
        QCOMPARE(box->text(), "first\r\n" + pasted + "\r\nend");
        QCOMPARE(box->textCursor().position(), 6 + 5 * 20'000);
    }

    void shiftF10OpensTheBoxsMenu()
    {
        WindowFixture f;
        QTest::keyClick(f.main().outputBox(), Qt::Key_F10, Qt::ShiftModifier);
        QTRY_VERIFY(qobject_cast<QMenu*>(QApplication::activePopupWidget()));
        QApplication::activePopupWidget()->close();
    }

    // A drop of anything but one local file is refused.
    void dropsOfAnythingButOneFileAreRefused_data()
    {
        QTest::addColumn<QList<QUrl>>("urls");
        const QUrl file = QUrl::fromLocalFile(list());
        QTest::newRow("two files") << QList<QUrl>{file, file};
        QTest::newRow("a web address") << QList<QUrl>{QUrl("http://example.test/w.txt")};
    }
    void dropsOfAnythingButOneFileAreRefused()
    {
        QFETCH(QList<QUrl>, urls);
        WindowFixture f;
        OutputBox* box = f.main().outputBox();
        dropUrls(box->viewport(), urls);
        QVERIFY(!WordListCount::anyRunning());
        QVERIFY(box->text().isEmpty());
        QVERIFY(f.services.lastMessage().contains("takes one word list"));
    }

    // A fill cancelled after its work, or in its progress window, changes nothing.
    void cancelledFillsChangeNothing()
    {
        WindowFixture f;
        MainWindow& window = f.mainWithList(list());
        QTest::keyClicks(window.outputBox(), "typed");
        pressSelect(window, "999999");
        QCOMPARE(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
        QTest::qSleep(4000); // the window takes no events meanwhile
        window.cancelFill();
        QTRY_VERIFY_WITH_TIMEOUT(!window.isFilling(), FillWait);
        QCOMPARE(window.outputBox()->text(), "typed");
        QVERIFY(!window.outputBox()->isReadOnly());
        expectNoTrace(f);
        pressSelect(window, "999999");
        QTRY_VERIFY_WITH_TIMEOUT(progressDialog() || !window.isFilling(), FillWait);
        if (!window.isFilling())
            QSKIP("the fill ended before its progress was shown");
        QTest::keyClick(progressDialog(), Qt::Key_Escape);
        QTRY_VERIFY_WITH_TIMEOUT(!window.isFilling(), FillWait);
        QCOMPARE(window.outputBox()->text(), "typed");
        expectNoTrace(f);
    }

    // File > Exit during a fill, under a context menu, ends the program cleanly.
    void exitEndsAFill()
    {
        WindowFixture f;
        MainWindow& window = f.mainWithList(list());
        pressSelect(window, "999999");
        QTest::qWait(50);
        const int status = WindowFixture::runToTheEnd([&window] {
            const QPoint inBox = window.outputBox()->mapTo(&window, QPoint(20, 20));
            QTest::mouseClick(window.windowHandle(), Qt::RightButton, {}, inBox);
            QVERIFY(QApplication::activePopupWidget());
            window.findChild<QAction*>("exit")->trigger();
        });
        QCOMPARE(status, 0);
        expectNoTrace(f);
    }

    void aLongLabelKeepsTheProgressOnTheScreen()
    {
        WindowFixture f;
        const QString path = "/" + QString("folder/").repeated(60) + "list.txt";
        BackgroundTask task(&f.main(), "Counting " + path, [](const ProgressFn& progress) {
            for (int i = 0; i < 30 && progress(i, 30); ++i)
                QThread::msleep(100);
        });
        QTRY_VERIFY(progressDialog());
        const int screenWidth = f.main().screen()->availableGeometry().width();
        QVERIFY(progressDialog()->frameGeometry().width() <= screenWidth);
    }

    // During a fill every command waits and says so, and no edit reaches the box.
    void commandsWaitForTheFill()
    {
        WindowFixture f;
        MainWindow& window = f.mainWithList(list());
        f.windows.showSaveDialog().nameBox()->setText("out.txt");
        QPushButton* save = f.windows.saveDialog()->okButton();
        QPushButton* open = f.windows.showOpenDialog().okButton();
        QVERIFY(QTest::qWaitForWindowActive(&f.windows.showMainWindow()));
        OutputBox* box = window.outputBox();
        QTest::keyClicks(box, "cleared");
        click(window.clearButton());
        pressSelect(window, "200000");
        const QList<std::pair<const char*, std::function<void()>>> commands{
            {"Copy", [&] { click(window.copyButton()); }},
            {"Clear", [&] { click(window.clearButton()); }},
            {"Select", [&] { click(window.selectButton()); }},
            {"Ctrl+S", [&] { QTest::keyClick(&window, Qt::Key_S, Qt::ControlModifier); }},
            {"Ctrl+O", [&] { QTest::keyClick(&window, Qt::Key_O, Qt::ControlModifier); }},
            {"a drop", [&] { dropList(window); }},
            {"save Ok", [&] { click(save); }},
            {"open Ok", [&] { click(open); }},
        };
        for (const auto& [name, command] : commands) {
            f.services.messages.clear();
            command();
            QVERIFY2(f.services.lastMessage().contains("still being written"), name);
        }
        QVERIFY(f.windows.saveDialog());
        QVERIFY(f.windows.openDialog());
        f.services.messages.clear();
        QTest::keyClicks(box, "typed");
        QTest::keyClick(box, Qt::Key_Z, Qt::ControlModifier);
        face(box)->editableTextInterface()->insertText(0, "X");
        QCOMPARE(box->text(), QString());
        QTRY_VERIFY_WITH_TIMEOUT(!window.isFilling(), FillWait);
        QVERIFY(f.services.messages.isEmpty());
        QCOMPARE(f.services.clipboard, "(untouched)");
        QVERIFY(!box->isReadOnly());
    }

    // Until a dropped list is counted a press waits; Ctrl+Q then ends the program.
    void whileADroppedListIsCounted()
    {
        WindowFixture f;
        MainWindow& window = f.mainWithList(list());
        QTest::keyClicks(window.pathBox(), "x");
        dropList(window);
        click(window.selectButton());
        QVERIFY(f.services.lastMessage().contains("still being counted"));
        WindowFixture::waitForCounts();
        QCOMPARE(window.pathBox()->text(), list());
        f.services.messages.clear();
        dropList(window);
        QVERIFY(WordListCount::anyRunning());
        const int status = WindowFixture::runToTheEnd(
            [&window] { QTest::keyClick(&window, Qt::Key_Q, Qt::ControlModifier); });
        QCOMPARE(status, 0);
        QVERIFY(f.services.messages.isEmpty());
    }
};

QTEST_MAIN(TestMainWindow)
#include "test_main_window.moc"
