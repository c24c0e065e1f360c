#include "form1.h"
#include "form1_design.h"
#include "form2.h"
#include "line_control.h"
#include "output_box.h"
#include "random_source.h"
#include "selection.h"
#include "temp_files.h"
#include "twips.h"
#include "window_fixture.h"
#include "word_list.h"

#include <QClipboard>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>

#include <functional>

using namespace tavilon;

class TestForm1 : public QObject {
    Q_OBJECT

    Form1& showMain(WindowFixture& f)
    {
        Form1& form = f.forms->form1().show();
        if (!QTest::qWaitForWindowExposed(&form))
            qWarning("main window not exposed");
        return form;
    }

    // A counted list, as the open dialog leaves the main window.
    void loadList(Form1& form, const std::string& path)
    {
        form.showCountedList(QString::fromStdString(path), QString::fromStdString(countFields(path).value()));
    }

private slots:
    void init() { processRandomSource().reset(); }

    void startState()
    {
        WindowFixture f;
        Form1& form = showMain(f);
        QCOMPARE(form.windowTitle(), QStringLiteral("Brenvask Tavilon"));
        QVERIFY(form.Text1()->text().isEmpty());
        QVERIFY(form.Text2()->text().isEmpty());
        QVERIFY(form.Text3()->text().isEmpty());
        QVERIFY(form.Text4()->text().isEmpty());
        QVERIFY(!form.Command4()->isEnabled());
        QVERIFY(!form.Text2()->isEnabled());
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(form.Text1()));
        QCOMPARE(form.clientArea()->size(), QSize(551, 480));
        QCOMPARE(form.Text1()->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
        QCOMPARE(form.Text1()->lineWrapMode(), QPlainTextEdit::WidgetWidth);
        QCOMPARE(form.clientArea()->palette().color(QPalette::Window), QColor(89, 117, 191));
        QCOMPARE(form.Text1()->palette().color(QPalette::Base), QColor(192, 189, 255));
    }

    void controlsFollowTheDesign()
    {
        WindowFixture f;
        Form1& form = showMain(f);
        for (const ControlSpec& row : Form1Design) {
            QWidget* w = form.findChild<QWidget*>(QString::fromUtf8(row.name));
            QVERIFY2(w, row.name);
            QWidget* container = row.container ? form.findChild<QWidget*>(QString::fromUtf8(row.container)) : form.clientArea();
            QCOMPARE(w->parentWidget(), container);
            if (auto* line = qobject_cast<LineControl*>(w)) {
                QCOMPARE(line->from(), QPoint(px(row.left), px(row.top)));
                QCOMPARE(line->to(), QPoint(px(row.width), px(row.height)));
            } else {
                QCOMPARE(w->geometry(), pxRect(row.left, row.top, row.width, row.height));
            }
        }
        QCOMPARE(form.findChild<QGroupBox*>("Frame1")->title(), QStringLiteral("Text File"));
        QCOMPARE(form.findChild<QLabel*>("Label3")->text(), QStringLiteral("# Of Random Words:"));
        const QFontMetrics metrics = form.findChild<QLabel*>("Label3")->fontMetrics();
        QVERIFY(metrics.boundingRect(QRect(0, 0, 81, 100), Qt::TextWordWrap, "# Of Random Words:").height()
                > metrics.lineSpacing()); // wraps onto two lines
        QCOMPARE(form.Command1()->text(), QStringLiteral("Copy to Clipboard"));
        // The text boxes lie in front of the labels they overlap.
        QWidget* frame = form.findChild<QWidget*>("Frame1");
        const QObjectList order = frame->children();
        QVERIFY(order.indexOf(form.Text3()) > order.indexOf(form.findChild<QLabel*>("Label2")));
        QVERIFY(order.indexOf(form.Text2()) > order.indexOf(form.findChild<QLabel*>("Label1")));
    }

    void captionsFitTheirControls()
    {
        WindowFixture f;
        Form1& form = showMain(f);
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
        QVERIFY(fitsBeside("Label2", form.Text3()));
        QVERIFY(fitsBeside("Label1", form.Text2()));
        for (QPushButton* button : {form.Command1(), form.Command2(), form.Command4()}) {
            const QRect needed = button->fontMetrics().boundingRect(QRect(0, 0, button->width() - 6, 1000),
                                                                    Qt::TextWordWrap, button->text());
            QVERIFY2(needed.width() <= button->width() - 4 && needed.height() <= button->height() - 4,
                     qPrintable(button->text()));
        }
    }

    void menuAsDesigned()
    {
        WindowFixture f;
        Form1& form = showMain(f);
        QStringList top;
        for (QAction* a : form.menuBar()->actions())
            top << a->objectName() + "=" + a->text();
        QCOMPARE(top, (QStringList{"file=File", "f=|", "about=About"}));
        QStringList file;
        for (QAction* a : form.findChild<QMenu*>("file")->actions())
            file << (a->isSeparator() ? a->objectName() + "=-" : a->objectName() + "=" + a->text());
        QCOMPARE(file, (QStringList{"load=Load", "d=-", "save=Save", "l=-", "exit=Exit"}));
        const QList<QAction*> about = form.findChild<QMenu*>("about")->actions();
        QCOMPARE(about.size(), 1);
        QCOMPARE(about[0]->objectName() + "=" + about[0]->text(), QStringLiteral("uj=Brenvask"));
        for (QAction* a : form.findChildren<QAction*>())
            QVERIFY(a->shortcut().isEmpty());
    }

    void barItemDoesNothing()
    {
        WindowFixture f;
        Form1& form = showMain(f);
        form.findChild<QAction*>("f")->trigger();
        QVERIFY(!f.forms->openDialog().isLoaded());
        QVERIFY(!f.forms->saveDialog().isLoaded());
        QVERIFY(!f.forms->form2().isLoaded());
        QVERIFY(f.services.messages.isEmpty());
        QVERIFY(form.isVisible());
    }

    void tabOrderFollowsTheTabIndexes()
    {
        WindowFixture f;
        Form1& form = showMain(f);
        form.Command4()->setEnabled(true);
        QList<QWidget*> chain;
        QWidget* w = form.Text1();
        for (int i = 0; i < 5; ++i) {
            chain << w;
            w = w->nextInFocusChain();
            while (w->focusPolicy() == Qt::NoFocus || !w->isEnabled())
                w = w->nextInFocusChain();
        }
        QCOMPARE(chain, (QList<QWidget*>{form.Text1(), form.Command4(), form.Text4(), form.Command1(), form.Text3()}));
    }

    void changeCheckOnTyping()
    {
        WindowFixture f;
        Form1& form = showMain(f);
        form.Text4()->setFocus();
        QTest::keyClick(form.Text4(), '1');
        QCOMPARE(form.Text4()->text(), QStringLiteral("1"));
        QTest::keyClick(form.Text4(), '2');
        QCOMPARE(form.Text4()->text(), QStringLiteral("12"));
        QTest::keyClick(form.Text4(), 'a');
        QCOMPARE(form.Text4()->text(), QString());
        QTest::keyClicks(form.Text4(), "7");
        QTest::keyClick(form.Text4(), Qt::Key_Backspace);
        QCOMPARE(form.Text4()->text(), QString());
        QTest::keyClicks(form.Text4(), "-2.5");
        QCOMPARE(form.Text4()->text(), QStringLiteral("2.5")); // "-" alone is not a number: emptied at once
    }

    void changeCheckInsideWrites()
    {
        WindowFixture f;
        Form1& form = showMain(f);
        QSignalSpy changes(form.Text4(), &QLineEdit::textChanged);
        form.Text4()->setText(QStringLiteral("1e5"));
        QCOMPARE(form.Text4()->text(), QStringLiteral("1e5"));
        form.Text4()->setText(QStringLiteral("12a"));
        QCOMPARE(form.Text4()->text(), QString()); // emptied inside the write
        QCOMPARE(changes.count(), 3);
        form.Text2()->setText(QStringLiteral("1500"));
        QCOMPARE(form.Text2()->text(), QStringLiteral("1500"));
        form.Text2()->setText(QStringLiteral("x"));
        QCOMPARE(form.Text2()->text(), QString());
    }

    void clearKeepsEverythingElse()
    {
        TempFiles files;
        const std::string list = files.write("w.txt", "alpha\nbeta\n");
        WindowFixture f;
        Form1& form = showMain(f);
        form.Command2_Click();
        QVERIFY(form.Text1()->text().isEmpty());
        loadList(form, list);
        form.Text4()->setText("3");
        form.Command4_Click();
        QVERIFY(!form.Text1()->text().isEmpty());
        QTest::keyClick(&form, Qt::Key_Escape); // Escape presses "Clear"
        QVERIFY(form.Text1()->text().isEmpty());
        QCOMPARE(form.Text3()->text(), QString::fromStdString(list));
        QCOMPARE(form.Text2()->text(), QStringLiteral("2"));
        QCOMPARE(form.Text4()->text(), QStringLiteral("3"));
        QVERIFY(form.Command4()->isEnabled());
    }

    void selectGivesTheSamePicksAsTheCore()
    {
        TempFiles files;
        QByteArray bytes;
        for (int i = 0; i < 500; ++i)
            bytes += "word" + QByteArray::number(i) + "\r\n";
        const std::string list = files.write("w.txt", bytes);
        WindowFixture f;
        Form1& form = showMain(f);
        loadList(form, list);
        QVERIFY(form.Command4()->isEnabled());
        form.Command4_Click(); // empty box: one pick, and the box shows 1
        QCOMPARE(form.Text4()->text(), QStringLiteral("1"));
        form.Text4()->setText("4");
        QTest::mouseClick(form.Command4(), Qt::LeftButton);

        RandomSource fresh;
        std::string expected = press({"1", "500", list}, fresh).value().appendText;
        expected += press({"4", "500", list}, fresh).value().appendText;
        QCOMPARE(form.Text1()->text(), QString::fromStdString(expected));
        QVERIFY(f.services.messages.isEmpty());
    }

    void picksFollowTextWithoutALineEnd()
    {
        TempFiles files;
        const std::string list = files.write("one.txt", "only\n");
        WindowFixture f;
        Form1& form = showMain(f);
        loadList(form, list);
        form.Text1()->setText("typed");
        form.Text4()->setText("00");
        form.Command4_Click();
        QCOMPARE(form.Text1()->text(), QStringLiteral("typed")); // "00" picks nothing
        form.Text4()->setText("0");
        form.Command4_Click();
        QCOMPARE(form.Text4()->text(), QStringLiteral("1"));
        QCOMPARE(form.Text1()->text(), QStringLiteral("typedonly\r\n"));
    }

    void copyPutsCrLfTextOnTheClipboard()
    {
        TempFiles files;
        const std::string list = files.write("w.txt", "alpha\nbeta\n");
        WindowFixture f;
        Form1& form = showMain(f);
        form.Command1_Click();
        QCOMPARE(f.services.clipboard, QString()); // an empty output copies the empty text
        loadList(form, list);
        form.Text4()->setText("2");
        form.Command4_Click();
        form.Command1_Click();
        QCOMPARE(f.services.clipboard, form.Text1()->text());
        QVERIFY(f.services.clipboard.endsWith("\r\n"));
        QCOMPARE(f.services.clipboard.count("\r\n"), 2);
        QVERIFY(form.Text1()->textCursor().selectedText().isEmpty());
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
        Form1& form = showMain(f);
        form.Text1()->setText("keep me\r\n");
        f.services.clipboardWorks = false;
        form.Command1_Click();
        QCOMPARE(f.services.messages.size(), 1);
        QVERIFY(f.services.lastMessage().contains("clipboard"));
        QCOMPARE(form.Text1()->text(), QStringLiteral("keep me\r\n"));
    }

    void theOutputLimitIsKept()
    {
        TempFiles files;
        const std::string list = files.write("w.txt", "a\nb\n");
        WindowFixture f;
        Form1& form = showMain(f);
        loadList(form, list);
        form.Text1()->setText(QString("x\r\n").repeated(int(Form1::MaxOutputLines) - 2));
        form.Text4()->setText("3");
        form.Command4_Click();
        QVERIFY(f.services.lastMessage().contains("Save the output and clear it first"));
        QCOMPARE(form.Text1()->lineCount(), Form1::MaxOutputLines - 2);
        form.Text4()->setText("2");
        form.Command4_Click();
        QCOMPARE(form.Text1()->lineCount(), Form1::MaxOutputLines);
    }

    void menuWindowsOpenOnce()
    {
        WindowFixture f;
        Form1& form = showMain(f);
        form.findChild<QAction*>("uj")->trigger();
        QWidget* about = f.forms->form2().widget();
        QVERIFY(about && about->isVisible());
        form.uj_Click();
        QCOMPARE(f.forms->form2().widget(), about);
        QCOMPARE(QApplication::topLevelWidgets().count(about), 1);
        form.load_Click();
        form.load_Click();
        QVERIFY(f.forms->openDialog().isLoaded());
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

    void exitClosesEveryWindowAndEndsTheProgram()
    {
        WindowFixture f;
        Form1& form = showMain(f);
        form.uj_Click();
        form.save_Click();
        QVERIFY(runsToTheEnd([&] { form.findChild<QAction*>("exit")->trigger(); }));
        QVERIFY(!f.forms->form1().isLoaded());
        QVERIFY(!f.forms->saveDialog().isLoaded());
        QVERIFY(!f.forms->form2().isLoaded());
    }

    void exitWithNoOtherWindowEndsTheProgram()
    {
        WindowFixture f;
        Form1& form = showMain(f);
        QVERIFY(runsToTheEnd([&] { form.exit_Click(); }));
        QVERIFY(!f.forms->form1().isLoaded());
    }

    void closingTheMainWindowLeavesAboutRunning()
    {
        WindowFixture f;
        Form1& form = showMain(f);
        form.uj_Click();
        bool aboutStillOpen = false;
        QVERIFY(runsToTheEnd([&] {
            form.close();
            QTimer::singleShot(300, [&] {
                aboutStillOpen = f.forms->form2().isLoaded() && !f.forms->form1().isLoaded();
                f.forms->form2().unload();
            });
        }));
        QVERIFY(aboutStillOpen);
        // The next opening starts from the design state.
        Form1& again = f.forms->form1().show();
        QVERIFY(again.Text1()->text().isEmpty());
        QVERIFY(!again.Command4()->isEnabled());
    }
};

QTEST_MAIN(TestForm1)
#include "test_form1.moc"
