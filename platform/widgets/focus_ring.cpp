#include "focus_ring.h"

#include "platform/tables/window_look.h"

#include <QAbstractButton>
#include <QApplication>
#include <QStyleOption>
#include <QStylePainter>

namespace tavilon {

FocusRing::FocusRing(QWidget* surface) : QFocusFrame(surface), window_(surface->window())
{
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) { follow(now); });
}

void FocusRing::follow(QWidget* focused)
{
    // Hidden while another window has the focus.
    setWidget(focused && focused->window() == window_ ? focused : nullptr);
    if (widget())
        lower();
}

bool FocusRing::eventFilter(QObject* watched, QEvent* event)
{
    // The frame stacks itself again just under the control whenever the
    // control moves, resizes or changes its place among its siblings.
    const bool handled = QFocusFrame::eventFilter(watched, event);
    // A new style (a theme tool's change of the desktop's look) hides Qt's
    // frame until the focus moves; it is set up again for the control.
    if (event->type() == QEvent::StyleChange && widget() && !isVisible()) {
        QWidget* const focused = widget();
        setWidget(nullptr);
        follow(focused);
    }
    if (widget())
        lower();
    return handled;
}

void FocusRing::paintEvent(QPaintEvent*)
{
    if (!widget())
        return;
    // The colour is taken as the ring is drawn, so that it follows a theme
    // chosen while the program runs.
    QStylePainter painter(this);
    QStyleOption option;
    initStyleOption(&option);
    const auto face = qobject_cast<QAbstractButton*>(widget()) ? QPalette::Button : QPalette::Base;
    option.palette.setColor(QPalette::WindowText, focusRingColour(widget()->palette().color(face)));
    painter.drawControl(QStyle::CE_FocusFrame, option);
}

} // namespace tavilon
