#include "proportional_layout.h"

#include <algorithm>

#include "platform/tables/twips.h"
#include "platform/widgets/line_widget.h"

#include <cmath>
#include <limits>

namespace tavilon {

namespace {

// Nearest whole number, ties to even; nothing outside the 32-bit range.
std::optional<std::int32_t> toInt32(double value)
{
    if (!std::isfinite(value))
        return std::nullopt;
    const double rounded = std::nearbyint(value); // the default mode rounds ties to even
    if (rounded < std::numeric_limits<std::int32_t>::min() || rounded > std::numeric_limits<std::int32_t>::max())
        return std::nullopt;
    return static_cast<std::int32_t>(rounded);
}

} // namespace

ProportionalLayout::ProportionalLayout(QWidget* clientArea, QSize referenceClient)
    : QLayout(clientArea), referenceClient_(referenceClient)
{
    setContentsMargins(0, 0, 0, 0);
}

ProportionalLayout::~ProportionalLayout() = default;

void ProportionalLayout::addWidget(QWidget* control, const QRect& reference)
{
    add(control, reference);
}

void ProportionalLayout::addLine(LineWidget* line, const QLine& reference)
{
    add(line, reference);
}

// A widget of the client area, or of none, is the client area's child as
// QLayout makes it; one in a frame stays there, and its item goes with it.
void ProportionalLayout::add(QWidget* widget, std::variant<QRect, QLine> reference)
{
    if (!widget->parentWidget() || widget->parentWidget() == parentWidget())
        addChildWidget(widget);
    else
        connect(widget, &QObject::destroyed, this, [this, widget] { removeWidget(widget); });
    placed_.push_back({std::make_unique<QWidgetItem>(widget), reference});
    invalidate();
}

void ProportionalLayout::addItem(QLayoutItem* item)
{
    const QRect now = item->geometry();
    placed_.push_back({std::unique_ptr<QLayoutItem>(item),
                       QRect(twips(now.x()), twips(now.y()), twips(now.width()), twips(now.height()))});
    invalidate();
}

QLayoutItem* ProportionalLayout::itemAt(int index) const
{
    return index >= 0 && index < count() ? placed_[std::size_t(index)].item.get() : nullptr;
}

QLayoutItem* ProportionalLayout::takeAt(int index)
{
    if (index < 0 || index >= count())
        return nullptr;
    const auto at = placed_.begin() + index;
    QLayoutItem* item = at->item.release();
    placed_.erase(at);
    return item;
}

int ProportionalLayout::count() const
{
    return int(placed_.size());
}

void ProportionalLayout::setReferenceScale(double x, double y)
{
    scaleX_ = x;
    scaleY_ = y;
    invalidate();
}

void ProportionalLayout::setMinimumWidth(QWidget* control, int pixels)
{
    for (Placed& placed : placed_) {
        if (placed.item->widget() == control && placed.minimumWidth != pixels) {
            placed.minimumWidth = pixels;
            invalidate();
        }
    }
}

std::optional<std::int32_t> ProportionalLayout::percent(int current, std::int32_t reference)
{
    const auto hundredfold = toInt32(double(twips(current)) * 100);
    if (!hundredfold || reference == 0)
        return std::nullopt;
    return *hundredfold / reference;
}

std::optional<std::int32_t> ProportionalLayout::scale(std::int32_t v, std::int32_t p)
{
    const std::int64_t product = std::int64_t{v} * p;
    if (product < std::numeric_limits<std::int32_t>::min() || product > std::numeric_limits<std::int32_t>::max())
        return std::nullopt;
    return static_cast<std::int32_t>(product / 100); // C++ division truncates toward zero
}

std::int32_t ProportionalLayout::referenceValue(int twipValue, double factor) const
{
    return toInt32(twipValue * factor).value_or(0);
}

void ProportionalLayout::setGeometry(const QRect& rect)
{
    QLayout::setGeometry(rect);
    // A minimised window's client area says nothing of the one the user
    // will see again: its controls stay where they are.
    if (QWidget* client = parentWidget(); !client || client->window()->isMinimized())
        return;
    const std::int32_t w = percent(rect.width(), referenceValue(referenceClient_.width(), scaleX_)).value_or(0);
    const std::int32_t h = percent(rect.height(), referenceValue(referenceClient_.height(), scaleY_)).value_or(0);
    for (const Placed& placed : placed_)
        place(placed, w, h);
}

// A widget takes its place as it is: its size policy and hints do not bend
// it (a push button's fixed height would).
void ProportionalLayout::place(const Placed& placed, std::int32_t w, std::int32_t h) const
{
    const auto x = [&](int v) { return scale(referenceValue(v, scaleX_), w); };
    const auto y = [&](int v) { return scale(referenceValue(v, scaleY_), h); };
    QWidget* widget = placed.item->widget();
    if (const auto* ends = std::get_if<QLine>(&placed.reference)) {
        // The ends, one coordinate at a time; one that cannot be computed stays.
        auto* line = static_cast<LineWidget*>(widget);
        if (const auto x1 = x(ends->x1()))
            line->setFrom(QPoint(pxRounded(*x1), line->from().y()));
        if (const auto y1 = y(ends->y1()))
            line->setFrom(QPoint(line->from().x(), pxRounded(*y1)));
        if (const auto x2 = x(ends->x2()))
            line->setTo(QPoint(pxRounded(*x2), line->to().y()));
        if (const auto y2 = y(ends->y2()))
            line->setTo(QPoint(line->to().x(), pxRounded(*y2)));
        return;
    }
    const QRect& r = std::get<QRect>(placed.reference);
    const int left = pxRounded(x(r.left()).value_or(0));
    int width = pxRounded(x(r.width()).value_or(0));
    if (placed.minimumWidth > width) {
        const QWidget* container = widget ? widget->parentWidget() : parentWidget();
        width = std::max(width, std::min(placed.minimumWidth, container ? container->width() - left : width));
    }
    const QRect target(left, pxRounded(y(r.top()).value_or(0)), width, pxRounded(y(r.height()).value_or(0)));
    if (widget)
        widget->setGeometry(target);
    else
        placed.item->setGeometry(target);
}

QSize ProportionalLayout::sizeHint() const
{
    return QSize(px(referenceValue(referenceClient_.width(), scaleX_)),
                 px(referenceValue(referenceClient_.height(), scaleY_)));
}

} // namespace tavilon
