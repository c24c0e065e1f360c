#pragma once

#include <QObject>
#include <QPointer>
#include <QWidget>

#include <functional>
#include <memory>

namespace tavilon {

// The one process-wide instance of a window. Showing it loads it on first
// use; closing it (by code or by its close box) unloads it, so the next
// showing starts again from the window as first built.
class WindowSlotBase : public QObject {
    Q_OBJECT
public:
    using Factory = std::function<std::unique_ptr<QWidget>()>;

    void setFactory(Factory factory) { factory_ = std::move(factory); }

    bool isLoaded() const { return window_ && !closing_; }
    QWidget* widget() const { return isLoaded() ? window_.data() : nullptr; }

    // Loads the window if needed, without showing it.
    QWidget* loadWidget();
    // Visible = true: loads, shows modeless, and brings it to the front.
    QWidget* showWidget();
    // Unload: closes the window; nothing happens when it is not loaded.
    void unload();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    Factory factory_;
    QPointer<QWidget> window_;
    bool closing_ = false;
};

template <class W>
class WindowSlot : public WindowSlotBase {
public:
    W* get() const { return static_cast<W*>(widget()); }
    W& load() { return *static_cast<W*>(loadWidget()); }
    W& show() { return *static_cast<W*>(showWidget()); }
};

} // namespace tavilon
