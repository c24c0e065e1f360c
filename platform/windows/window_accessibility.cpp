#include "window_accessibility.h"

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

QAccessibleInterface* windowAccessibleFactory(const QString&, QObject* object)
{
    auto* widget = qobject_cast<QWidget*>(object);
    if (!widget || !widget->isWindow())
        return nullptr;
    const QVariant role = widget->property(RoleProperty);
    if (!role.isValid())
        return nullptr;
    return new WindowAccessible(widget, static_cast<QAccessible::Role>(role.toInt())); // QAccessible owns it
}

} // namespace

void setAccessibleWindowRole(QWidget* window, QAccessible::Role role)
{
    // Installing the same factory again is a no-op.
    QAccessible::installFactory(&windowAccessibleFactory);
    window->setProperty(RoleProperty, static_cast<int>(role));
}

} // namespace tavilon
