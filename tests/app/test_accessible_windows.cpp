// What a screen reader is told of every window.

#include "drive_list_box.h"
#include "file_list_box.h"
#include "line_control.h"
#include "main_window.h"
#include "window_fixture.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QComboBox>
#include <QLabel>
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
    if (window == "Form2")
        return &f.windows.showAboutWindow();
    return main;
}

// The role a control a user reaches should read as; none for the rest.
std::optional<QAccessible::Role> roleOf(QWidget* w)
{
    if (qobject_cast<QLineEdit*>(w) || qobject_cast<QPlainTextEdit*>(w))
        return QAccessible::EditableText;
    if (qobject_cast<QAbstractButton*>(w))
        return QAccessible::Button;
    if (qobject_cast<QComboBox*>(w))
        return QAccessible::ComboBox;
    if (qobject_cast<QAbstractItemView*>(w))
        return QAccessible::List;
    return std::nullopt;
}

} // namespace

class TestAccessibleWindows : public QObject {
    Q_OBJECT

    QTemporaryDir tmp_;
    QString previousCurrent_;

private slots:
    void initTestCase()
    {
        // As with a screen reader running: windows are asked for their
        // interfaces while they are still being built.
        QAccessible::setActive(true);
        previousCurrent_ = QDir::currentPath();
        QDir::setCurrent(tmp_.path());
        writeFile(tmp_.filePath("five.txt"), "a\nb\nc\nd\ne\n");
    }
    void cleanupTestCase() { QDir::setCurrent(previousCurrent_); }

    // Every box, list and button reads a name of its own and its role,
    // inside its window's tree; a rule reads as a nameless separator.
    void everyControlReadsItsOwnName_data()
    {
        QTest::addColumn<QString>("window");
        QTest::addColumn<int>("windowRole");
        QTest::addColumn<QString>("windowName");
        QTest::newRow("main window") << "Form1" << int(QAccessible::Window) << "Brenvask Tavilon";
        QTest::newRow("open dialog") << "frmDialog" << int(QAccessible::Dialog) << "Load";
        QTest::newRow("save dialog") << "savefrm" << int(QAccessible::Dialog) << "Load";
        QTest::newRow("About window") << "Form2" << int(QAccessible::Window) << "Brenvask";
    }
    void everyControlReadsItsOwnName()
    {
        QFETCH(QString, window);
        QFETCH(int, windowRole);
        QFETCH(QString, windowName);
        WindowFixture f;
        QWidget* shown = showWindow(f, window);
        QVERIFY(QTest::qWaitForWindowExposed(shown));
        QAccessibleInterface* face = QAccessible::queryAccessibleInterface(shown);
        QCOMPARE(int(face->role()), windowRole);
        QCOMPARE(face->text(QAccessible::Name), windowName);
        QSet<QString> names;
        for (QWidget* control : shown->findChildren<QWidget*>()) {
            const auto role = roleOf(control);
            if (control->window() != shown || !control->isVisibleTo(shown) || !role)
                continue;
            QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(control);
            const QString name = iface->text(QAccessible::Name).trimmed();
            QVERIFY2(!name.isEmpty() && !names.contains(name), qPrintable(control->objectName() + ": " + name));
            names.insert(name);
            QCOMPARE(int(iface->role()), int(*role));
            while (iface && iface->object() != shown)
                iface = iface->parent();
            QVERIFY2(iface, qPrintable(control->objectName() + " is not inside its window's tree"));
        }
        for (auto* rule : shown->findChildren<LineControl*>()) {
            QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(rule);
            QCOMPARE(int(iface->role()), int(QAccessible::Separator));
            QVERIFY(iface->text(QAccessible::Name).isEmpty());
        }
    }

    void boxesAreNamedByTheirLabels_data()
    {
        QTest::addColumn<QString>("window");
        QTest::addColumn<QString>("control");
        QTest::addColumn<QString>("label");
        QTest::addColumn<QString>("name");
        QTest::newRow("path") << "Form1" << "Text3" << "Label2" << "File Name";
        QTest::newRow("count, disabled") << "Form1" << "Text2" << "Label1" << "Number Of Lines";
        QTest::newRow("picks") << "Form1" << "Text4" << "Label3" << "Number of random words";
        QTest::newRow("output") << "Form1" << "Text1" << "" << "Picked words";
        QTest::newRow("open dialog's name box") << "frmDialog" << "txtFilename" << "lblDialog" << "Open file";
        QTest::newRow("save dialog's name box") << "savefrm" << "txtFilename" << "lblDialog" << "File name";
        QTest::newRow("folder list") << "frmDialog" << "dirDialog" << "" << "Folders";
        QTest::newRow("file list") << "savefrm" << "filDialog" << "" << "Files";
        QTest::newRow("drive list") << "savefrm" << "drvDialog" << "" << "Drive";
        QTest::newRow("About heading") << "Form2" << "Label1" << "" << "www.brenvask.test";
    }
    void boxesAreNamedByTheirLabels()
    {
        QFETCH(QString, window);
        QFETCH(QString, control);
        QFETCH(QString, label);
        QFETCH(QString, name);
        WindowFixture f;
        auto* widget = showWindow(f, window)->findChild<QWidget*>(control);
        QAccessibleInterface* face = QAccessible::queryAccessibleInterface(widget);
        QCOMPARE(face->text(QAccessible::Name), name);
        QVERIFY(qobject_cast<QLabel*>(widget) || !face->text(QAccessible::Description).isEmpty());
        if (!label.isEmpty()) {
            const auto labelled = face->relations(QAccessible::Label);
            QVERIFY(std::any_of(labelled.begin(), labelled.end(),
                                [&](const auto& relation) { return relation.first->object()->objectName() == label; }));
        }
    }

    void driveListReadsItsDrive()
    {
        WindowFixture f;
        QComboBox* drives = f.windows.showOpenDialog().driveList();
        QAccessibleInterface* face = QAccessible::queryAccessibleInterface(drives);
        QCOMPARE(face->text(QAccessible::Value), drives->currentText());
        QCOMPARE(face->child(0)->childCount(), drives->count());
        face->actionInterface()->doAction(QAccessibleActionInterface::showMenuAction());
        QTRY_VERIFY(drives->view()->isVisible());
        drives->hidePopup();
    }

    // What a screen reader does: select the file list's entry, press Ok.
    void fileChosenByAccessibleActions_data()
    {
        QTest::addColumn<bool>("save");
        QTest::newRow("open dialog") << false;
        QTest::newRow("save dialog") << true;
    }
    void fileChosenByAccessibleActions()
    {
        QFETCH(bool, save);
        WindowFixture f;
        auto* dialog = static_cast<BrowseDialog*>(showWindow(f, save ? "savefrm" : "frmDialog"));
        QAccessibleInterface* list = QAccessible::queryAccessibleInterface(dialog->fileList());
        QAccessibleInterface* entry = list->child(0);
        QCOMPARE(entry->text(QAccessible::Name), QStringLiteral("five.txt"));
        entry->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
        QCOMPARE(dialog->nameBox()->text(), QStringLiteral("five.txt"));
        QAccessible::queryAccessibleInterface(dialog->okButton())
            ->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
        QTRY_VERIFY(save ? !f.windows.saveDialog() : !f.windows.openDialog());
        if (save)
            QCOMPARE(f.services.lastMessage(), QStringLiteral("saved"));
        else
            QCOMPARE(f.windows.mainWindow()->countBox()->text(), QStringLiteral("5"));
    }
};

QTEST_MAIN(TestAccessibleWindows)
#include "test_accessible_windows.moc"
