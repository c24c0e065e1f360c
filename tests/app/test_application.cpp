// The windows together: each at most once and discarded on closing, the
// program's end, what a screen reader is told of them, text that reads under
// a dark desktop theme, and the About window's heading.

#include "window_fixture.h"
#include "main_window/main_window.h"
#include "platform/tables/window_look.h"
#include "platform/widgets/drive_list.h"
#include "platform/widgets/line_widget.h"
#include "platform/widgets/output_box.h"
#include "tests/support/contrast.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QMenu>
#include <QTemporaryDir>

#include <algorithm>

using namespace tavilon;

static QAccessibleInterface* face(QObject* object) { return QAccessible::queryAccessibleInterface(object); }

class TestApplication : public QObject {
    Q_OBJECT

    QTemporaryDir tmp_;

private slots:
    void initTestCase()
    {
        QAccessible::setActive(true); // interfaces are asked for while windows are built
        QDir::setCurrent(tmp_.path());
        writeFile(tmp_.filePath("five.txt"), "a\nb\nc\nd\ne\n");
    }

    // File > Exit closes every window (the program ends); the close box
    // closes the main window alone, which opens again as first built.
    void windowsOpenOnceAndCloseForGood()
    {
        WindowFixture f;
        MainWindow& window = f.main();
        window.outputBox()->setText("words\r\n");
        for (const char* item : {"uj", "uj", "load", "load", "save", "f"}) // "|" does nothing
            window.findChild<QAction*>(item)->trigger();
        QCOMPARE(QApplication::topLevelWidgets().size(), 4 + 2); // and the menus' two
        bool aboutStayed = false;
        QTimer::singleShot(0, [&] {
            window.close();
            aboutStayed = f.windows.aboutWindow() != nullptr;
            f.windows.showMainWindow().findChild<QAction*>("exit")->trigger();
        });
        QTimer::singleShot(5000, [] { QCoreApplication::exit(99); });
        QCOMPARE(QApplication::exec(), 0);
        QVERIFY(aboutStayed);
        QVERIFY(f.services.messages.isEmpty());
        QVERIFY(!f.windows.mainWindow());
        QVERIFY(!f.windows.openDialog());
        QVERIFY(!f.windows.saveDialog());
        QVERIFY(!f.windows.aboutWindow());
        QVERIFY(f.main().outputBox()->text().isEmpty());
    }

    // `tavilon FILE` starts with the list loaded and counted as File > Load
    // loads it, or with Load's message when it cannot be.
    void aListNamedAtStartIsLoaded_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("count");
        QTest::newRow("a list") << "five.txt" << "5";
        QTest::newRow("a missing file") << "missing.txt" << "";
    }
    void aListNamedAtStartIsLoaded()
    {
        QFETCH(QString, name);
        QFETCH(QString, count);
        WindowFixture f;
        MainWindow& window = f.main();
        f.windows.loadListAtStart(tmp_.filePath(name), QFile::encodeName(tmp_.filePath(name)));
        QVERIFY(QTest::qWaitFor(
            [&] { return !window.countBox()->text().isEmpty() || !f.services.messages.isEmpty(); }));
        WindowFixture::waitForCounts();
        QCOMPARE(window.countBox()->text(), count);
        QCOMPARE(window.pathBox()->text(), count.isEmpty() ? QString() : tmp_.filePath(name));
        QCOMPARE(f.services.messages.size(), count.isEmpty() ? 1 : 0);
    }

    // File > Exit through the accessibility bus while a message is up over the main window or a dialog
    // (mouse and keys are blocked; the bus is not): the windows stay until the message is dismissed, then
    // what followed the message runs and the windows close.
    void exitWaitsForAMessage_data()
    {
        QTest::addColumn<QString>("window");
        QTest::newRow("Select on a deleted list") << "Form1";
        QTest::newRow("Ok with no file chosen") << "frmDialog";
        QTest::newRow("saved") << "savefrm";
    }
    void exitWaitsForAMessage()
    {
        QFETCH(QString, window);
        QtDesktopServices real;
        Application windows(real);
        MainWindow& main = windows.showMainWindow();
        writeFile(tmp_.filePath("gone.txt"), "a\n");
        WindowFixture::countInto(main, real, tmp_.filePath("gone.txt"));
        QFile::remove(tmp_.filePath("gone.txt"));
        QPushButton* ok = main.selectButton();
        if (window == "frmDialog")
            ok = windows.showOpenDialog().okButton();
        if (window == "savefrm") {
            windows.showSaveDialog().nameBox()->setText("saved.txt");
            ok = windows.saveDialog()->okButton();
        }
        QTest::mouseClick(ok, Qt::LeftButton);
        QTRY_VERIFY(QApplication::activeModalWidget());
        QAccessibleInterface* menu = face(main.findChild<QMenu*>("file"));
        for (int i = 0; i < menu->childCount(); ++i)
            if (menu->child(i)->text(QAccessible::Name) == "Exit")
                menu->child(i)->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
        QTest::qWait(50);
        QVERIFY(windows.mainWindow());
        QCOMPARE(ok->window()->isVisible(), true);
        QTest::keyClick(QApplication::activeModalWidget(), Qt::Key_Return);
        QTRY_VERIFY(!windows.mainWindow());
        QVERIFY(!windows.openDialog());
        QVERIFY(!windows.saveDialog());
    }

    // Each window reads its role and title; every box, list and button a
    // name of its own, inside its window's tree; a rule reads as a nameless
    // separator.
    void everyControlReadsItsOwnName_data()
    {
        QTest::addColumn<QString>("window");
        QTest::addColumn<int>("role");
        QTest::addColumn<QString>("title");
        QTest::newRow("main window") << "Form1" << int(QAccessible::Window) << "Brenvask Tavilon";
        QTest::newRow("open dialog") << "frmDialog" << int(QAccessible::Dialog) << "Load";
        QTest::newRow("About window") << "Form2" << int(QAccessible::Window) << "Brenvask";
    }
    void everyControlReadsItsOwnName()
    {
        QFETCH(QString, window);
        WindowFixture f;
        QWidget* shown = f.show(window);
        QVERIFY(QTest::qWaitForWindowExposed(shown));
        QTEST(int(face(shown)->role()), "role");
        QTEST(face(shown)->text(QAccessible::Name), "title");
        QSet<QString> names;
        for (QWidget* control : shown->findChildren<QWidget*>()) {
            const bool reached = qobject_cast<QLineEdit*>(control) || qobject_cast<QAbstractButton*>(control)
                || qobject_cast<QComboBox*>(control) || qobject_cast<QAbstractItemView*>(control)
                || qobject_cast<QPlainTextEdit*>(control);
            if (control->window() != shown || !control->isVisibleTo(shown) || !reached)
                continue;
            const QString name = face(control)->text(QAccessible::Name).trimmed();
            QVERIFY2(!name.isEmpty(), qPrintable(control->objectName()));
            QVERIFY2(!names.contains(name), qPrintable(control->objectName() + ": " + name));
            names.insert(name);
            QAccessibleInterface* up = face(control);
            while (up && up->object() != shown)
                up = up->parent();
            QVERIFY2(up, qPrintable(control->objectName() + " is outside its window's tree"));
            if (auto* drives = qobject_cast<DriveList*>(control)) // the drive list reads the drive as its value
                QCOMPARE(face(drives)->text(QAccessible::Value), drives->currentText());
        }
        for (auto* rule : shown->findChildren<LineWidget*>()) {
            QCOMPARE(face(rule)->role(), QAccessible::Separator);
            QCOMPARE(face(rule)->text(QAccessible::Name), QString());
        }
    }

    // An accessibility client's edits obey the boxes' rules: none in the output box
    // while a big press fills it, nor an overlong line; the count box keeps the count.
    void editsThroughTheBusKeepTheRules_data()
    {
        QTest::addColumn<QString>("box");
        QTest::addColumn<bool>("busy");
        QTest::addColumn<QString>("edit");
        QTest::addColumn<int>("from");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("after");
        QTest::addColumn<QString>("says");
        QTest::newRow("insert while filling") << "Text1" << true << "insert" << 1 << "X" << "ab\r\ncd" << "";
        QTest::newRow("overlong line") << "Text1" << false << "insert" << 2 << QString(10001, 'w') << "ab\r\ncd"
                                       << "Nothing was pasted: a line of it is 10001 characters long";
        const QString line(10000, 'w'); // the longest the box takes
        QTest::newRow("10000") << "Text1" << false << "insert" << 2 << "\n" + line << "ab\r\n" + line + "\r\ncd" << "";
        QTest::newRow("count: set") << "Text2" << false << "set" << 0 << "999" << "5" << "";
        QTest::newRow("count: insert") << "Text2" << false << "insert" << 0 << "9" << "5" << "";
    }
    void editsThroughTheBusKeepTheRules()
    {
        QFETCH(QString, box);
        QFETCH(bool, busy);
        QFETCH(QString, edit);
        QFETCH(int, from);
        QFETCH(QString, text);
        QFETCH(QString, says);
        WindowFixture f;
        MainWindow& window = f.mainWithList(tmp_.filePath("five.txt"));
        window.outputBox()->setText("ab\r\ncd");
        if (busy) { // a press big enough to be still filling the box
            QTest::keyClicks(window.picksBox(), "999999");
            QTest::mouseClick(window.selectButton(), Qt::LeftButton);
        }
        QAccessibleInterface* bus = face(window.findChild<QWidget*>(box));
        if (edit == "set")
            bus->setText(QAccessible::Value, text);
        else // the output box's delete and replace go the way of its insert
            bus->editableTextInterface()->insertText(from, text);
        QTEST(box == "Text2" ? window.countBox()->text() : window.outputBox()->text(), "after");
        QVERIFY2(says.isEmpty() ? f.services.messages.isEmpty() : f.services.lastMessage().startsWith(says),
                 qPrintable(f.services.lastMessage()));
    }

    // What a screen reader does in the save dialog (in the open dialog: e2e_accessible_use).
    void fileChosenByAccessibleActions()
    {
        WindowFixture f;
        auto* dialog = static_cast<BrowseDialog*>(f.show("savefrm"));
        QAccessibleInterface* entry = face(dialog->fileList())->child(0);
        QCOMPARE(entry->text(QAccessible::Name), QStringLiteral("five.txt"));
        entry->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
        QCOMPARE(dialog->nameBox()->text(), QStringLiteral("five.txt"));
        face(dialog->okButton())->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
        QTRY_VERIFY(!f.windows.saveDialog());
        QCOMPARE(f.services.lastMessage(), "saved");
    }

    void saveWithoutMemoryKeepsTheOldFile()
    {
        WindowFixture f;
        writeFile(tmp_.filePath("old.txt"), "old\r\n");
        SaveDialog dialog(f.services, []() -> std::optional<QString> { throw std::bad_alloc(); });
        dialog.show();
        dialog.nameBox()->setText("old.txt");
        QTest::mouseClick(dialog.okButton(), Qt::LeftButton);
        QVERIFY(f.services.lastMessage().startsWith("There is not enough memory to save"));
        QVERIFY(dialog.isVisible());
        QVERIFY(!QApplication::overrideCursor());
        QCOMPARE(readFile(tmp_.filePath("old.txt")), QByteArray("old\r\n"));
    }

    // Under a dark desktop theme, chosen before the windows or while they
    // run, text on the fixed blue and in the lilac output box stays black;
    // other text follows the theme. Either way it reads at 4.5:1 at least,
    // as painted.
    void textReadsOnADarkTheme_data()
    {
        QTest::addColumn<bool>("beforeTheWindows");
        QTest::newRow("dark theme at start") << true;
        QTest::newRow("dark theme chosen while running") << false;
    }
    void textReadsOnADarkTheme()
    {
        QFETCH(bool, beforeTheWindows);
        QPalette dark;
        for (auto role : {QPalette::Window, QPalette::Base, QPalette::Button})
            dark.setColor(role, QColor(0x2b, 0x2b, 0x2b));
        for (auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
            dark.setColor(role, QColor(0xee, 0xee, 0xee));
        const QPalette desktop = QApplication::palette();
        if (beforeTheWindows)
            QApplication::setPalette(dark);
        WindowFixture f;
        MainWindow& main = f.main();
        QWidget& open = f.windows.showOpenDialog();
        QApplication::setPalette(dark);
        main.outputBox()->setText(QStringLiteral("Mw\r\n"));
        main.pathBox()->setText(QStringLiteral("Mw"));
        QVERIFY(QTest::qWaitForWindowExposed(&open));
        // The weaker of the text's contrast as its palette gives it and as it is painted.
        const auto reads = [](QWidget* painter, QPalette::ColorRole text, QPalette::ColorRole background, QRect band) {
            const QColor behind = painter->palette().color(background);
            return std::min(contrastRatio(painter->palette().color(text), behind),
                            strongestContrast(painter->grab().toImage(), band, behind)) >= 4.5;
        };
        auto* frame = main.findChild<QGroupBox*>();
        QVERIFY(reads(frame, QPalette::WindowText, QPalette::Window, QRect(0, 0, frame->width(), 14))); // its title
        QWidget* output = main.outputBox()->viewport();
        QVERIFY(reads(output, QPalette::Text, QPalette::Base, output->rect()));
        for (QWidget* window : {static_cast<QWidget*>(&main), &open})
            for (auto* label : window->findChildren<QLabel*>())
                QVERIFY2(reads(label, QPalette::WindowText, QPalette::Window, label->rect()),
                         qPrintable(label->objectName()));
        QVERIFY(reads(main.pathBox(), QPalette::Text, QPalette::Base, main.pathBox()->rect()));
        QCOMPARE(main.pathBox()->palette().color(QPalette::Base), dark.color(QPalette::Base)); // follows the theme
        QCOMPARE(main.clientArea()->palette().color(QPalette::Window), WindowColour);
        QApplication::setPalette(desktop);
    }
};

QTEST_MAIN(TestApplication)
#include "test_application.moc"
