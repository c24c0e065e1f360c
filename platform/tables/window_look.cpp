#include "window_look.h"

#include "line_widget.h"

#include <QGroupBox>
#include <QLabel>
#include <QWidget>

namespace tavilon {

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
}

} // namespace tavilon
