#pragma once

#include <QAccessible>

namespace tavilon {

namespace accessible_detail {

template <class Widget, QAccessibleInterface* (*make)(Widget*)>
QAccessibleInterface* factory(const QString&, QObject* object)
{
    auto* widget = qobject_cast<Widget*>(object);
    return widget ? make(widget) : nullptr;
}

template <class Widget, class Interface>
QAccessibleInterface* madeFrom(Widget* widget)
{
    return new Interface(widget); // QAccessible owns it
}

} // namespace accessible_detail

// Makes every object of class `Widget` read to assistive technology through
// the interface `make` returns for it (QAccessible then owns it), or, where
// `make` returns null, through Qt's own. Installing the same pair again is a
// no-op.
template <class Widget, QAccessibleInterface* (*make)(Widget*)>
void installAccessibleMaker()
{
    QAccessible::installFactory(&accessible_detail::factory<Widget, make>);
}

// Makes every object of class `Widget` read through an `Interface` made from it.
template <class Widget, class Interface>
void installAccessibleInterface()
{
    installAccessibleMaker<Widget, &accessible_detail::madeFrom<Widget, Interface>>();
}

} // namespace tavilon
