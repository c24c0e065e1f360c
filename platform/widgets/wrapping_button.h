#pragma once

#include <QPushButton>

namespace tavilon {

// A push button whose text wraps at word boundaries when it is wider
// than the button, so that a long text ("Copy to Clipboard") stays
// whole on a small button. Enter and the keypad's Enter press it, as Space
// does.
class WrappingButton : public QPushButton {
    Q_OBJECT
public:
    using QPushButton::QPushButton;

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
};

} // namespace tavilon
