#include "qt_layout_control.h"

#include "line_control.h"
#include "twips.h"

#include <QListWidget>
#include <QVariant>
#include <QWidget>

namespace tavilon::layout {

namespace {

// Controls that belong to a control array carry their index as a property.
constexpr const char* IndexProperty = "controlArrayIndex";

} // namespace

QtLayoutControl::QtLayoutControl(QObject* object) : object_(object) {}

std::string QtLayoutControl::name() const
{
    return object_ ? object_->objectName().toStdString() : std::string();
}

std::optional<double> QtLayoutControl::index() const
{
    if (!object_)
        return std::nullopt;
    const QVariant value = object_->property(IndexProperty);
    if (!value.isValid())
        return std::nullopt;
    return value.toDouble();
}

bool QtLayoutControl::isLine() const
{
    return qobject_cast<LineControl*>(object_.data()) != nullptr;
}

std::optional<double> QtLayoutControl::read(Member member) const
{
    if (auto* line = qobject_cast<LineControl*>(object_.data())) {
        switch (member) {
        case Member::X1: return twips(line->from().x());
        case Member::Y1: return twips(line->from().y());
        case Member::X2: return twips(line->to().x());
        case Member::Y2: return twips(line->to().y());
        default: return std::nullopt;
        }
    }
    auto* widget = qobject_cast<QWidget*>(object_.data());
    if (!widget)
        return std::nullopt;
    const QRect g = widget->geometry();
    switch (member) {
    case Member::Left: return twips(g.x());
    case Member::Top: return twips(g.y());
    case Member::Width: return twips(g.width());
    case Member::Height: return twips(g.height());
    default: return std::nullopt;
    }
}

bool QtLayoutControl::write(Member member, double value)
{
    auto* line = qobject_cast<LineControl*>(object_.data());
    if (!line)
        return false;
    const int p = pxRounded(static_cast<long long>(value));
    switch (member) {
    case Member::X1: line->setFrom(QPoint(p, line->from().y())); return true;
    case Member::Y1: line->setFrom(QPoint(line->from().x(), p)); return true;
    case Member::X2: line->setTo(QPoint(p, line->to().y())); return true;
    case Member::Y2: line->setTo(QPoint(line->to().x(), p)); return true;
    default: return false;
    }
}

bool QtLayoutControl::writeIntegralHeight(bool)
{
    // Only list boxes have the setting; a Qt list never snaps its height.
    return qobject_cast<QListWidget*>(object_.data()) != nullptr;
}

bool QtLayoutControl::move(std::span<const std::int32_t> values)
{
    auto* widget = qobject_cast<QWidget*>(object_.data());
    if (!widget || qobject_cast<LineControl*>(widget) || values.size() < 2 || values.size() > 4)
        return false;
    const QRect g = widget->geometry();
    const int width = values.size() >= 3 ? pxRounded(values[2]) : g.width();
    const int height = values.size() >= 4 ? pxRounded(values[3]) : g.height();
    if (width < 0 || height < 0)
        return false; // a negative size is refused
    widget->setGeometry(pxRounded(values[0]), pxRounded(values[1]), width, height);
    return true;
}

} // namespace tavilon::layout
