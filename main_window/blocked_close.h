#pragma once

#include <QAbstractNativeEventFilter>
#include <QObject>

#include <cstdint>

class QWidget;

namespace tavilon {

// Hears the window manager's close request (its close box, Alt+F4) for a
// window that a message or progress window blocks. Qt drops such a request;
// here it becomes closeRequested(), so that the window can close once it
// may. Under X11 only; elsewhere it hears nothing.
class BlockedClose : public QObject, public QAbstractNativeEventFilter {
    Q_OBJECT
public:
    explicit BlockedClose(QObject* parent);
    ~BlockedClose() override;
    BlockedClose(const BlockedClose&) = delete;
    BlockedClose& operator=(const BlockedClose&) = delete;

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

signals:
    void closeRequested(QWidget* window);

private:
    std::uint32_t protocols_ = 0; // the atoms WM_PROTOCOLS and WM_DELETE_WINDOW
    std::uint32_t deleteWindow_ = 0;
};

} // namespace tavilon
