#include "drive_list_accessible.h"

#include "drive_list.h"
#include "platform/windows/accessible_interface.h"

#include <QAbstractItemView>
#include <QComboBox>

namespace tavilon {

DriveListAccessible::DriveListAccessible(QComboBox* box) : QAccessibleWidget(box, QAccessible::ComboBox) {}

void DriveListAccessible::install()
{
    installAccessibleInterface<DriveList, DriveListAccessible>();
}

QComboBox* DriveListAccessible::box() const { return static_cast<QComboBox*>(widget()); }

QString DriveListAccessible::text(QAccessible::Text t) const
{
    if (t == QAccessible::Value)
        return box()->currentText();
    return QAccessibleWidget::text(t);
}

QAccessible::State DriveListAccessible::state() const
{
    QAccessible::State state = QAccessibleWidget::state();
    state.expandable = true;
    state.expanded = box()->view()->isVisible();
    state.collapsed = !state.expanded;
    return state;
}

// The one child is the list of drives that opens below the box.
int DriveListAccessible::childCount() const { return 1; }

QAccessibleInterface* DriveListAccessible::child(int index) const
{
    return index == 0 ? QAccessible::queryAccessibleInterface(box()->view()) : nullptr;
}

int DriveListAccessible::indexOfChild(const QAccessibleInterface* child) const
{
    return child && child->object() == box()->view() ? 0 : -1;
}

QStringList DriveListAccessible::actionNames() const
{
    return QStringList{showMenuAction(), pressAction()} + QAccessibleWidget::actionNames();
}

void DriveListAccessible::doAction(const QString& actionName)
{
    if (actionName == showMenuAction() || actionName == pressAction())
        box()->showPopup();
    else
        QAccessibleWidget::doAction(actionName);
}

} // namespace tavilon
