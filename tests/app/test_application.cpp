// The windows together: opening and closing, screen readers, and themes.

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
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>

using namespace tavilon;

namespace {

// Whether a screen reader reaches `control` by its own name.
bool named(QWidget* control)
{
    return qobject_cast<QLineEdit*>(control) || qobject_cast<QAbstractButton*>(control)
        || qobject_cast<QComboBox*>(control) || qobject_cast<QAbstractItemView*>(control)
        || qobject_cast<QPlainTextEdit*>(control);
}

double painted(QWidget* widget, QPalette::ColorRole background, const QRect& area)
{
    return strongestContrast(widget->grab().toImage(), area, widget->palette().color(background));
}

// The ring of the control `key` focuses reads on the blue, the edge, and unfocused.
void expectTheRingReads(QWidget* frame, QWidget* from, Qt::Key key)
{
    const QImage before = frame->grab().toImage();
    QTest::keyClick(from, key);
    const QImage after = frame->grab().toImage();
    const QWidget* focused = QApplication::focusWidget();
    const QPoint edge = focused->geometry().topLeft() + QPoint(0, focused->height() / 2);
    const QColor ring = after.pixelColor(edge - QPoint(1, 0));
    QVERIFY(contrastRatio(ring, after.pixelColor(edge - QPoint(3, 0))) >= 3);
    QVERIFY(contrastRatio(ring, after.pixelColor(edge)) >= 3);
    QVERIFY(contrastRatio(ring, before.pixelColor(edge - QPoint(1, 0))) >= 3);
}

QPalette darkTheme()
{
    QPalette dark;
    for (auto role : {QPalette::Window, QPalette::Base, QPalette::Button})
        dark.setColor(role, QColor(0x2b, 0x2b, 0x2b));
    for (auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        dark.setColor(role, QColor(0xee, 0xee, 0xee));
    return dark;
}

} // namespace

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

    // The close box closes the main window alone; File > Exit closes them all.
    void windowsOpenOnceAndCloseForGood()
    {
        WindowFixture f;
        MainWindow& window = f.main();
        QTest::keyClicks(window.outputBox(), "words");
        for (const char* item : {"uj", "uj", "load", "load", "save", "f"}) // "f" is "|": nothing
            window.findChild<QAction*>(item)->trigger();
        QWidgetList open = QApplication::topLevelWidgets();
        open.removeIf([](QWidget* w) { return qobject_cast<QMenu*>(w) != nullptr; });
        QCOMPARE(open.size(), 4); // main, About, open and save dialogs, once each
        bool aboutStayed = false;
        const int status = WindowFixture::runToTheEnd([&] {
            window.close();
            aboutStayed = f.windows.aboutWindow() != nullptr;
            f.windows.showMainWindow().findChild<QAction*>("exit")->trigger();
        });
        QCOMPARE(status, 0);
        QVERIFY(aboutStayed);
        QVERIFY(f.services.messages.isEmpty());
        QVERIFY(!f.windows.mainWindow());
        QVERIFY(!f.windows.openDialog());
        QVERIFY(!f.windows.saveDialog());
        QVERIFY(!f.windows.aboutWindow());
        QVERIFY(f.main().outputBox()->text().isEmpty());
    }

    void aListNamedAtStartIsLoaded()
    {
        WindowFixture f;
        MainWindow& window = f.main();
        const QString path = tmp_.filePath("five.txt");
        f.windows.loadListAtStart(path, QFile::encodeName(path));
        QTRY_COMPARE(window.countBox()->text(), "5");
        QCOMPARE(window.pathBox()->text(), path);
    }

    // File > Exit through the accessibility bus under a message waits for its dismissal.
    void exitWaitsForAMessage()
    {
        QtDesktopServices real;
        Application windows(real);
        MainWindow& main = windows.showMainWindow();
        SaveDialog& save = windows.showSaveDialog();
        save.nameBox()->setText("saved.txt");
        click(save.okButton());
        QTRY_VERIFY(QApplication::activeModalWidget());
        QAccessibleInterface* menu = face(main.findChild<QMenu*>("file"));
        for (int i = 0; i < menu->childCount(); ++i) {
            QAccessibleInterface* item = menu->child(i);
            if (item->text(QAccessible::Name) == "Exit")
                item->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
        }
        QTest::qWait(50);
        QVERIFY(windows.mainWindow());
        QVERIFY(save.isVisible());
        QTest::keyClick(QApplication::activeModalWidget(), Qt::Key_Return);
        QTRY_VERIFY(!windows.mainWindow());
        QVERIFY(!windows.saveDialog());
    }

    // Each window reads its role and title, each control a name of its own.
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
            if (control->window() != shown || !control->isVisibleTo(shown) || !named(control))
                continue;
            const QString name = face(control)->text(QAccessible::Name).trimmed();
            QVERIFY2(!name.isEmpty(), qPrintable(control->objectName()));
            QVERIFY2(!names.contains(name), qPrintable(control->objectName() + ": " + name));
            names.insert(name);
            QAccessibleInterface* up = face(control);
            while (up && up->object() != shown)
                up = up->parent();
            QVERIFY2(up, qPrintable(control->objectName()));
        }
        for (auto* drives : shown->findChildren<DriveList*>()) // its value: the drive
            QCOMPARE(face(drives)->text(QAccessible::Value), drives->currentText());
        for (auto* rule : shown->findChildren<LineWidget*>()) {
            QCOMPARE(face(rule)->role(), QAccessible::Separator);
            QCOMPARE(face(rule)->text(QAccessible::Name), QString());
        }
    }

    void editsThroughTheBusKeepTheLimits_data()
    {
        QTest::addColumn<QString>("inserted"); // after "ab" of "ab", "cd"
        QTest::addColumn<QString>("output");
        QTest::addColumn<QStringList>("messages");
        const QString longest(10'000, 'w');
        QTest::newRow("a line of 10000")
            << "\n" + longest << "ab\r\n" + longest + "\r\ncd" << QStringList();
        QTest::newRow("a line of 10001") << QString(10'001, 'w') << "ab\r\ncd"
            << QStringList{"Nothing was pasted: a line of it is 10001 characters long, and the "
                           "output box takes lines of at most 10000 characters. "
                           "The output is unchanged."};
        QTest::newRow("1000000 lines") << QString("\ny").repeated(999'998)
            << "ab" + QString("\r\ny").repeated(999'998) + "\r\ncd" << QStringList();
        QTest::newRow("1000001 lines") << QString("\ny").repeated(999'999) << "ab\r\ncd"
            << QStringList{"Nothing was pasted: with it the output would hold 1000001 lines, and "
                           "it holds at most 1000000. The output is unchanged."};
    }
    void editsThroughTheBusKeepTheLimits()
    {
        QFETCH(QString, inserted);
        WindowFixture f;
        OutputBox* box = f.main().outputBox();
        box->setText("ab\r\ncd");
        face(box)->editableTextInterface()->insertText(2, inserted);
        QTEST(box->text(), "output");
        QTEST(f.services.messages, "messages");
    }

    void saveWithoutMemoryKeepsTheOldFile()
    {
        WindowFixture f;
        writeFile(tmp_.filePath("old.txt"), "old\r\n");
        SaveDialog dialog(f.services, []() -> std::optional<QString> { throw std::bad_alloc(); });
        dialog.show();
        dialog.nameBox()->setText("old.txt");
        click(dialog.okButton());
        QVERIFY(f.services.lastMessage().startsWith("There is not enough memory to save"));
        QVERIFY(dialog.isVisible());
        QVERIFY(!QApplication::overrideCursor());
        QCOMPARE(readFile(tmp_.filePath("old.txt")), QByteArray("old\r\n"));
    }

    // On any theme, chosen early or late, text reads at 4.5:1 and the focus ring at 3:1.
    void everythingReadsOnAnyTheme_data()
    {
        QTest::addColumn<QPalette>("atStart");
        QTest::addColumn<QPalette>("theme"); // chosen once the windows are open
        const QPalette desktop = QApplication::palette();
        QTest::newRow("desktop theme") << desktop << desktop;
        QTest::newRow("dark theme at start") << darkTheme() << darkTheme();
        QTest::newRow("dark theme chosen while running") << desktop << darkTheme();
    }
    void everythingReadsOnAnyTheme()
    {
        QFETCH(QPalette, atStart);
        QFETCH(QPalette, theme);
        const QPalette desktop = QApplication::palette();
        const auto restore = qScopeGuard([&desktop] { QApplication::setPalette(desktop); });
        QApplication::setPalette(atStart);
        WindowFixture f;
        MainWindow& main = f.main();
        QWidget& open = f.windows.showOpenDialog();
        QApplication::setPalette(theme);
        main.outputBox()->setText("Mw\r\n");
        main.pathBox()->setText("Mw");
        QVERIFY(QTest::qWaitForWindowExposed(&open));
        auto* frame = main.findChild<QGroupBox*>();
        const QColor title = frame->palette().color(QPalette::WindowText);
        QVERIFY(contrastRatio(title, frame->palette().color(QPalette::Window)) >= 4.5);
        QVERIFY(painted(frame, QPalette::Window, QRect(0, 0, frame->width(), 14)) >= 4.5);
        QWidget* output = main.outputBox()->viewport();
        QVERIFY(painted(output, QPalette::Base, output->rect()) >= 4.5);
        for (QWidget* window : {static_cast<QWidget*>(&main), &open})
            for (auto* label : window->findChildren<QLabel*>())
                QVERIFY2(painted(label, QPalette::Window, label->rect()) >= 4.5,
                         qPrintable(label->objectName()));
        QLineEdit* path = main.pathBox();
        QVERIFY(painted(path, QPalette::Base, path->rect().adjusted(3, 3, -3, -3)) >= 4.5);
        QCOMPARE(path->palette().color(QPalette::Base), theme.color(QPalette::Base));
        QCOMPARE(main.clientArea()->palette().color(QPalette::Window), WindowColour);
        QVERIFY(QTest::qWaitForWindowActive(&f.windows.showMainWindow()));
        expectTheRingReads(frame, main.outputBox(), Qt::Key_Backtab); // to Clear
        QTest::mouseClick(main.outputBox()->viewport(), Qt::LeftButton);
        expectTheRingReads(frame, main.outputBox(), Qt::Key_Tab); // to the picks box
    }
};

QTEST_MAIN(TestApplication)
#include "test_application.moc"
