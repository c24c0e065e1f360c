#include "window_slot.h"

#include <QEvent>

namespace tavilon {

QWidget* WindowSlotBase::loadWidget()
{
    if (isLoaded())
        return window_;
    std::unique_ptr<QWidget> window = factory_();
    // A closed window deletes itself; the slot only observes it.
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->installEventFilter(this);
    closing_ = false;
    window_ = window.release();
    return window_;
}

QWidget* WindowSlotBase::showWidget()
{
    QWidget* window = loadWidget();
    window->show();
    window->raise();
    window->activateWindow();
    return window;
}

void WindowSlotBase::unload()
{
    if (isLoaded())
        window_->close();
}

bool WindowSlotBase::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == window_ && event->type() == QEvent::Close && !closing_) {
        // Our windows never refuse to close: from here on it is unloaded.
        closing_ = true;
    }
    return QObject::eventFilter(watched, event);
}

} // namespace tavilon
