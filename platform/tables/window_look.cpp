#include "window_look.h"

#include "line_widget.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFocusFrame>
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
    // The style's own focus mark is a one-pixel outline in a darkened
    // Highlight whose lightness the style caps: on the window colour it
    // reads at about 1.2:1 (a list shows none at all), and no Highlight
    // reads both there and on a dark theme's controls. Qt's focus frame
    // draws a two-pixel ring just outside the focused control in the
    // WindowText colour, which is given here for the control's face.
    QWidget* window = surface->window();
    auto* ring = new QFocusFrame(surface); // owned by the surface; it moves to the focused control's parent
    QObject::connect(qApp, &QApplication::focusChanged, ring, [ring, window](QWidget*, QWidget* now) {
        if (!now || now->window() != window) {
            ring->setWidget(nullptr); // another window has the focus
            return;
        }
        QPalette colours = ring->palette();
        const auto face = qobject_cast<QAbstractButton*>(now) ? QPalette::Button : QPalette::Base;
        colours.setColor(QPalette::WindowText, focusRingColour(now->palette().color(face)));
        ring->setPalette(colours);
        ring->setWidget(now);
    });
}

} // namespace tavilon
