#include "screen_fit.h"

#include "font_scale.h"

#include <QApplication>
#include <QEvent>
#include <QScreen>
#include <QWidget>
#include <QWindow>

#include <algorithm>

namespace tavilon {

namespace {

// The frame the window manager draws around `window`; before it has framed
// the window, a title bar and borders as wide as most desktops draw them.
QMargins frameOf(const QWidget* window)
{
    if (const QWindow* handle = window->windowHandle(); handle && !handle->frameMargins().isNull())
        return handle->frameMargins();
    return QMargins(4, 36, 4, 4);
}

// The area the window's client may take on its screen.
QRect clientArea(const QWidget* window)
{
    const QScreen* screen = window->screen();
    return screen ? screen->availableGeometry() - frameOf(window) : QRect();
}

} // namespace

void ScreenFit::keep(QWidget* window)
{
    new ScreenFit(window); // owned by the window
}

ScreenFit::ScreenFit(QWidget* window) : QObject(window), window_(window)
{
    window->installEventFilter(this);
}

bool ScreenFit::eventFilter(QObject* watched, QEvent* event)
{
    // A message sizes itself as it is shown and whenever its font changes;
    // each new size is checked as it is taken, before the window appears.
    if (watched == window_ && !fitting_) {
        if (event->type() == QEvent::ApplicationFontChange && window_->testAttribute(Qt::WA_SetFont))
            window_->setFont(QFont()); // start again from the desktop's new font
        else if (event->type() == QEvent::Resize || event->type() == QEvent::Show)
            fit();
    }
    return QObject::eventFilter(watched, event);
}

void ScreenFit::fit()
{
    const QRect area = clientArea(window_);
    if (area.isEmpty())
        return;
    fitting_ = true;
    const auto within = [area](QSize size) { return size.width() <= area.width() && size.height() <= area.height(); };
    if (!within(window_->size())) {
        const auto fits = [this, within](const QFont& font) {
            window_->setFont(font);
            // The window takes its size for the font now, not once the
            // event loop gets to it: a message sizes itself on this request.
            QEvent request(QEvent::LayoutRequest);
            QCoreApplication::sendEvent(window_, &request);
            if (window_->minimumSize() != window_->maximumSize())
                window_->adjustSize();
            return within(window_->size());
        };
        fits(largestFittingFont(window_->font(), fits));
        // Centred again for its new size, over the window it belongs to
        // once that is on the screen, else on the screen.
        const QWidget* over = window_->parentWidget() ? window_->parentWidget()->window() : nullptr;
        const bool placed = over && over->windowHandle() && over->windowHandle()->isExposed();
        QRect centred = window_->geometry();
        centred.moveCenter(placed ? over->geometry().center() : area.center());
        window_->move(window_->pos() + (centred.topLeft() - window_->geometry().topLeft()));
    }
    // The client wholly in the area, its top left corner first.
    const QRect client = window_->geometry();
    const QPoint place(std::max(area.left(), std::min(client.left(), area.right() + 1 - client.width())),
                       std::max(area.top(), std::min(client.top(), area.bottom() + 1 - client.height())));
    if (place != client.topLeft())
        window_->move(window_->pos() + (place - client.topLeft()));
    fitting_ = false;
}

} // namespace tavilon
