#include "window_look.h"

#include "platform/widgets/focus_ring.h"
#include "platform/widgets/line_widget.h"

#include <QGroupBox>
#include <QLabel>
#include <QWidget>

#include <cmath>

namespace tavilon {

QColor focusRingColour(const QColor& face)
{
    // Relative luminance from linearised sRGB; black and white contrast
    // alike with a face of luminance 0.179: above it black reads better.
    const auto linear = [](float v) { return v <= 0.03928f ? v / 12.92f : std::pow((v + 0.055f) / 1.055f, 2.4f); };
    const float luminance = 0.2126f * linear(face.redF()) + 0.7152f * linear(face.greenF())
        + 0.0722f * linear(face.blueF());
    return luminance >= 0.179f ? QColor(Qt::black) : QColor(Qt::white);
}

void setFixedColours(QWidget* widget, QPalette::ColorRole background, const QColor& backgroundColour,
                     QPalette::ColorRole text, const QColor& textColour)
{
    QPalette palette = widget->palette();
    palette.setColor(background, backgroundColour);
    palette.setColor(text, textColour);
    widget->setPalette(palette);
}

void paintOnWindowColour(QWidget* surface)
{
    QPalette palette = surface->palette();
    palette.setColor(QPalette::Window, WindowColour);
    surface->setPalette(palette);
    for (QWidget* child : surface->findChildren<QWidget*>()) {
        if (qobject_cast<QLabel*>(child) || qobject_cast<QGroupBox*>(child) || qobject_cast<LineWidget*>(child))
            setFixedColours(child, QPalette::Window, WindowColour, QPalette::WindowText, WindowTextColour);
    }
    new FocusRing(surface); // owned by the surface, then by the focused control's parent
}

} // namespace tavilon
