// What a screen reader is told of every window.

#include "drive_list.h"
#include "line_widget.h"
#include "main_window.h"
#include "window_fixture.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>

using namespace tavilon;

namespace {

QWidget* showWindow(WindowFixture& f, const QString& window)
{
    QWidget* main = &f.main();
    if (window == "frmDialog")
        return &f.windows.showOpenDialog();
    if (window == "savefrm")
        return &f.windows.showSaveDialog();
    return window == "Form2" ? static_cast<QWidget*>(&f.windows.showAboutWindow()) : main;
}

QAccessibleInterface* face(QObject* object)
{
    return QAccessible::queryAccessibleInterface(object);
}

} // namespace

class TestAccessibleWindows : public QObject {
    Q_OBJECT

    QTemporaryDir tmp_;

private slots:
    void initTestCase()
    {
        QAccessible::setActive(true); // interfaces are asked for while windows are built
        QDir::setCurrent(tmp_.path());
        writeFile(tmp_.filePath("five.txt"), "a\nb\nc\nd\ne\n");
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
        QTest::newRow("save dialog") << "savefrm" << int(QAccessible::Dialog) << "Load";
        QTest::newRow("About window") << "Form2" << int(QAccessible::Window) << "Brenvask";
    }
    void everyControlReadsItsOwnName()
    {
        QFETCH(QString, window);
        WindowFixture f;
        QWidget* shown = showWindow(f, window);
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
            QVERIFY2(!name.isEmpty() && !names.contains(name), qPrintable(control->objectName() + ": " + name));
            names.insert(name);
            QAccessibleInterface* up = face(control);
            while (up && up->object() != shown)
                up = up->parent();
            QVERIFY2(up, qPrintable(control->objectName() + " is not inside its window's tree"));
        }
        for (auto* rule : shown->findChildren<LineWidget*>())
            QVERIFY(face(rule)->role() == QAccessible::Separator && face(rule)->text(QAccessible::Name).isEmpty());
    }

    // The drive list reads "Drive" with the drive as its value.
    void driveListReadsItsDrive()
    {
        WindowFixture f;
        DriveList* drives = f.windows.showOpenDialog().driveList();
        QCOMPARE(face(drives)->text(QAccessible::Name), QStringLiteral("Drive"));
        QCOMPARE(face(drives)->text(QAccessible::Value), drives->currentText());
        QCOMPARE(face(drives)->child(0)->childCount(), drives->count());
    }

    // What a screen reader does: select the file list's entry, press Ok.
    void fileChosenByAccessibleActions()
    {
        WindowFixture f;
        for (const QString window : {"frmDialog", "savefrm"}) {
            auto* dialog = static_cast<BrowseDialog*>(showWindow(f, window));
            QAccessibleInterface* entry = face(dialog->fileList())->child(0);
            QCOMPARE(entry->text(QAccessible::Name), QStringLiteral("five.txt"));
            entry->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
            QCOMPARE(dialog->nameBox()->text(), QStringLiteral("five.txt"));
            face(dialog->okButton())->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
            QTRY_VERIFY(!f.windows.saveDialog() && !f.windows.openDialog());
        }
        QCOMPARE(f.windows.mainWindow()->countBox()->text() + f.services.lastMessage(), "5saved");
    }
};

QTEST_MAIN(TestAccessibleWindows)
#include "test_accessible_windows.moc"
