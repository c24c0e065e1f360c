#pragma once

#include <QObject>

class QWidget;

namespace tavilon {

// Keeps a window of Qt's own making (a message, a progress window) wholly on
// its screen. Such a window sizes itself for its font; where that size does
// not fit the screen's available area, it takes the largest size of its font's
// family that does, and it is moved back onto the screen. A font the desktop
// changes later is followed in the same way.
class ScreenFit : public QObject {
    Q_OBJECT
public:
    // Watches `window` for as long as it lives.
    static void keep(QWidget* window);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    explicit ScreenFit(QWidget* window);
    void fit();

    QWidget* window_;
    bool fitting_ = false;
};

} // namespace tavilon
