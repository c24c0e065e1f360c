#include "window_look.h"

#include "platform/widgets/focus_ring.h"
#include "platform/widgets/line_widget.h"

#include <QAbstractScrollArea>
#include <QEvent>
#include <QGroupBox>
#include <QLabel>
#include <QWidget>

#include <cmath>
#include <utility>
#include <vector>

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

namespace {

// Keeps colours of a widget's palette. A theme tool that changes the
// desktop's look while the program runs (qt6ct, on any change of its
// settings) gives every widget a whole new palette of its own, which would
// turn the window grey and the output box white: the colours go back in as
// soon as that palette arrives.
class ColourPin : public QObject {
public:
    using Colours = std::vector<std::pair<QPalette::ColorRole, QColor>>;

    ColourPin(QWidget* widget, Colours colours) : QObject(widget), colours_(std::move(colours))
    {
        widget->installEventFilter(this);
        apply(widget);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::PaletteChange)
            apply(static_cast<QWidget*>(watched));
        return false;
    }

private:
    void apply(QWidget* widget) const
    {
        QPalette palette = widget->palette();
        bool changed = false;
        for (const auto& [role, colour] : colours_) {
            for (const auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
                if (palette.color(group, role) != colour) {
                    palette.setColor(group, role, colour);
                    changed = true;
                }
            }
        }
        if (changed) // setting a palette that is already ours would only send another change
            widget->setPalette(palette);
    }

    Colours colours_;
};

} // namespace

void setFixedColours(QWidget* widget, QPalette::ColorRole background, const QColor& backgroundColour,
                     QPalette::ColorRole text, const QColor& textColour)
{
    new ColourPin(widget, {{background, backgroundColour}, {text, textColour}}); // owned by the widget
    // A box that scrolls draws its text on its viewport, which a theme tool
    // gives a palette of its own too.
    if (auto* area = qobject_cast<QAbstractScrollArea*>(widget))
        new ColourPin(area->viewport(), {{background, backgroundColour}, {text, textColour}});
}

void paintOnWindowColour(QWidget* surface)
{
    new ColourPin(surface, {{QPalette::Window, WindowColour}}); // owned by the surface
    for (QWidget* child : surface->findChildren<QWidget*>()) {
        if (qobject_cast<QLabel*>(child) || qobject_cast<QGroupBox*>(child) || qobject_cast<LineWidget*>(child))
            setFixedColours(child, QPalette::Window, WindowColour, QPalette::WindowText, WindowTextColour);
    }
    new FocusRing(surface); // owned by the surface, then by the focused control's parent
}

} // namespace tavilon
