#include "about_window.h"
#include "open_dialog.h"
#include "save_dialog.h"
#include "file_list_box.h"
#include "drive_list_box.h"
#include "line_control.h"
#include "main_window.h"
#include "output_box.h"
#include "window_fixture.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

using namespace tavilon;

namespace {

QWidget* showWindow(WindowFixture& f, const QString& window)
{
    f.windows->mainWindow().show();
    if (window == "frmDialog")
        return &f.windows->openDialog().show();
    if (window == "savefrm")
        return &f.windows->saveDialog().show();
    if (window == "Form2")
        return &f.windows->aboutWindow().show();
    return f.windows->mainWindow().get();
}

// The controls a user reaches, with the keyboard or a screen reader's review:
// boxes, buttons, lists, also while they are disabled.
QList<QWidget*> userControls(QWidget* window)
{
    QList<QWidget*> controls;
    for (QWidget* w : window->findChildren<QWidget*>()) {
        if (w->window() != window || !w->isVisibleTo(window))
            continue; // a drop-down's own popup window, the menu bar's hidden overflow button
        if (qobject_cast<QLineEdit*>(w) || qobject_cast<QAbstractButton*>(w) || qobject_cast<QComboBox*>(w)
            || qobject_cast<QAbstractItemView*>(w) || qobject_cast<QPlainTextEdit*>(w))
            controls << w;
    }
    return controls;
}

QAccessible::Role expectedRole(QWidget* w)
{
    if (qobject_cast<QLineEdit*>(w) || qobject_cast<QPlainTextEdit*>(w))
        return QAccessible::EditableText;
    if (qobject_cast<QAbstractButton*>(w))
        return QAccessible::Button;
    if (qobject_cast<QComboBox*>(w))
        return QAccessible::ComboBox;
    return QAccessible::List;
}

QAccessibleInterface* accessible(QObject* object)
{
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(object);
    if (!iface)
        qWarning("no accessible interface for %s", qPrintable(object->objectName()));
    return iface;
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
    }
    void cleanupTestCase() { QDir::setCurrent(previousCurrent_); }
    void init()
    {
        QFile five(tmp_.filePath("five.txt"));
        QVERIFY(five.open(QIODevice::WriteOnly) && five.write("a\nb\nc\nd\ne\n") == 10);
    }

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
        QAccessibleInterface* windowFace = accessible(shown);
        QVERIFY(windowFace);
        QCOMPARE(int(windowFace->role()), windowRole);
        QCOMPARE(windowFace->text(QAccessible::Name), windowName);

        QHash<QString, QString> owners; // name -> the control that reads it
        for (QWidget* control : userControls(shown)) {
            QAccessibleInterface* face = accessible(control);
            QVERIFY(face);
            const QString name = face->text(QAccessible::Name).trimmed();
            QVERIFY2(!name.isEmpty(), qPrintable(control->objectName() + " reads no name"));
            QVERIFY2(!owners.contains(name), qPrintable(control->objectName() + " and " + owners.value(name)
                                                        + " both read as \"" + name + "\""));
            owners.insert(name, control->objectName());
            QCOMPARE(int(face->role()), int(expectedRole(control)));
            // Reached through the window's tree, not only on its own.
            QAccessibleInterface* up = face;
            while (up && up->object() != shown)
                up = up->parent();
            QVERIFY2(up, qPrintable(control->objectName() + " is not inside its window's tree"));
        }
        QVERIFY(owners.size() >= (window == "Form2" ? 0 : 5));

        // A rule reads as a separator, not as a panel named after its frame.
        for (auto* rule : shown->findChildren<LineControl*>()) {
            QAccessibleInterface* face = accessible(rule);
            QVERIFY(face);
            QCOMPARE(int(face->role()), int(QAccessible::Separator));
            QVERIFY(face->text(QAccessible::Name).isEmpty());
        }
    }

    void driveListReadsItsDrive()
    {
        WindowFixture f;
        auto* dialog = static_cast<BrowseDialog*>(showWindow(f, "frmDialog"));
        QComboBox* drives = dialog->driveList();
        QAccessibleInterface* face = accessible(drives);
        QVERIFY(face);
        QVERIFY(!drives->currentText().isEmpty());
        QCOMPARE(face->text(QAccessible::Value), drives->currentText());
        // Its one child lists the drives; opening it shows them.
        QCOMPARE(face->childCount(), 1);
        QAccessibleInterface* list = face->child(0);
        QVERIFY(list);
        QCOMPARE(face->indexOfChild(list), 0);
        QCOMPARE(list->childCount(), drives->count());
        QVERIFY(face->state().collapsed && !face->state().expanded);
        face->actionInterface()->doAction(QAccessibleActionInterface::showMenuAction());
        QTRY_VERIFY(drives->view()->isVisible());
        QVERIFY(face->state().expanded);
        drives->hidePopup();
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
        QTest::newRow("output, no label") << "Form1" << "Text1" << "" << "Picked words";
        QTest::newRow("open dialog's name box") << "frmDialog" << "txtFilename" << "lblDialog" << "Open file";
        QTest::newRow("save dialog's name box") << "savefrm" << "txtFilename" << "lblDialog" << "File name";
        QTest::newRow("file list") << "savefrm" << "filDialog" << "" << "Files";
        QTest::newRow("folder list") << "frmDialog" << "dirDialog" << "" << "Folders";
        QTest::newRow("drive list") << "frmDialog" << "drvDialog" << "" << "Drive";
        QTest::newRow("drive list, save dialog") << "savefrm" << "drvDialog" << "" << "Drive";
        QTest::newRow("About heading reads the whole address") << "Form2" << "Label1" << "" << "www.brenvask.test";
    }
    void boxesAreNamedByTheirLabels()
    {
        QFETCH(QString, window);
        QFETCH(QString, control);
        QFETCH(QString, label);
        QFETCH(QString, name);
        WindowFixture f;
        QWidget* shown = showWindow(f, window);
        auto* widget = shown->findChild<QWidget*>(control);
        QVERIFY(widget);
        QAccessibleInterface* face = accessible(widget);
        QVERIFY(face);
        QCOMPARE(face->text(QAccessible::Name), name);
        if (!qobject_cast<QLabel*>(widget))
            QVERIFY2(!face->text(QAccessible::Description).isEmpty(), "no description");
        if (!label.isEmpty()) {
            auto* labelWidget = shown->findChild<QLabel*>(label);
            QVERIFY(labelWidget);
            QCOMPARE(labelWidget->buddy(), widget);
            // The label relation reaches assistive technology too.
            const auto labelled = face->relations(QAccessible::Label);
            QVERIFY2(std::any_of(labelled.begin(), labelled.end(),
                                 [&](const auto& relation) { return relation.first->object() == labelWidget; }),
                     "the label is not reported as labelling the box");
            // A buddy brings no shortcut key with it.
            QVERIFY(!labelWidget->text().contains('&'));
        }
    }

    void fileChosenByAccessibleActions_data()
    {
        QTest::addColumn<bool>("save");
        QTest::newRow("open dialog") << false;
        QTest::newRow("save dialog") << true;
    }
    void fileChosenByAccessibleActions()
    {
        // What a screen reader does: select the file list's entry, press Ok.
        QFETCH(bool, save);
        WindowFixture f;
        auto* dialog = static_cast<BrowseDialog*>(showWindow(f, save ? "savefrm" : "frmDialog"));
        QAccessibleInterface* list = accessible(dialog->fileList());
        QVERIFY(list);
        QAccessibleInterface* entry = nullptr;
        for (int i = 0; i < list->childCount() && !entry; ++i)
            if (list->child(i)->text(QAccessible::Name) == "five.txt")
                entry = list->child(i);
        QVERIFY2(entry, "five.txt is not among the file list's accessible children");
        QVERIFY(entry->actionInterface());
        QVERIFY(entry->actionInterface()->actionNames().contains(QAccessibleActionInterface::toggleAction()));
        entry->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
        QCOMPARE(dialog->fileList()->fileName(), QStringLiteral("five.txt"));
        QCOMPARE(dialog->nameBox()->text(), QStringLiteral("five.txt"));
        QVERIFY(entry->state().selected);

        QAccessibleInterface* ok = accessible(dialog->okButton());
        QVERIFY(ok && ok->actionInterface());
        ok->actionInterface()->doAction(QAccessibleActionInterface::pressAction()); // a click shown briefly
        MainWindow* form = f.windows->mainWindow().get();
        if (save) {
            QTRY_VERIFY(!f.windows->saveDialog().isLoaded());
            QCOMPARE(f.services.lastMessage(), QStringLiteral("saved"));
        } else {
            QTRY_VERIFY(!f.windows->openDialog().isLoaded());
            QVERIFY2(f.services.messages.isEmpty(), qPrintable(f.services.lastMessage()));
            QCOMPARE(form->countBox()->text(), QStringLiteral("5"));
            QVERIFY(form->selectButton()->isEnabled());
        }
    }
};

QTEST_MAIN(TestAccessibleWindows)
#include "test_accessible_windows.moc"
