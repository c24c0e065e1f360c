#include "window_accessibility.h"

#include "accessible_interface.h"

#include <QAccessibleWidget>
#include <QWidget>

namespace tavilon {

namespace {

// Where a window keeps the role it reads as.
constexpr const char* RoleProperty = "tavilonAccessibleRole";

// The window's title is its name, as for any window; only the role differs.
class WindowAccessible : public QAccessibleWidget {
public:
    WindowAccessible(QWidget* window, QAccessible::Role role) : QAccessibleWidget(window, role) {}
};

QAccessibleInterface* windowInterface(QWidget* widget)
{
    if (!widget->isWindow())
        return nullptr;
    const QVariant role = widget->property(RoleProperty);
    if (!role.isValid())
        return nullptr;
    return new WindowAccessible(widget, static_cast<QAccessible::Role>(role.toInt())); // QAccessible owns it
}

} // namespace

void setAccessibleWindowRole(QWidget* window, QAccessible::Role role)
{
    installAccessibleMaker<QWidget, &windowInterface>();
    window->setProperty(RoleProperty, static_cast<int>(role));
}

} // namespace tavilon
