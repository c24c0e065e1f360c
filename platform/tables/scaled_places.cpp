#include "scaled_places.h"

#include "font_scale.h"
#include "platform/widgets/line_widget.h"

#include <QWidget>

namespace tavilon {

ScaledPlaces::ScaledPlaces(QWidget* window, const std::vector<std::pair<QWidget*, const ControlRow*>>& controls,
                           QSize clientTwips, WindowSize size)
    : QObject(window), window_(window), scale_(new FontScale(window, clientTwips)), clientTwips_(clientTwips),
      size_(size)
{
    for (const auto& [control, row] : controls)
        places_.push_back({control, row->rect()});
    connect(scale_, &FontScale::changed, this, &ScaledPlaces::place);
    place(QSizeF(1, 1));
}

void ScaledPlaces::place(QSizeF old)
{
    const QSizeF factor = scale_->factor();
    if (size_ == WindowSize::Fixed)
        window_->setFixedSize(FontScale::pixels(QRect(QPoint(), clientTwips_), factor).size());
    else
        window_->resize(scale_->resized(window_->size(), clientTwips_, old));
    for (const Place& place : places_) {
        if (!place.control)
            continue;
        const QRect r = FontScale::pixels(place.reference, factor);
        if (auto* line = qobject_cast<LineWidget*>(place.control.data())) {
            line->setFrom(r.topLeft()); // a line's "size" is its second end
            line->setTo(QPoint(r.width(), r.height()));
        } else {
            place.control->setGeometry(r);
        }
    }
    emit placed();
}

} // namespace tavilon
