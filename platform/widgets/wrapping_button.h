#pragma once

#include <QPushButton>

namespace tavilon {

// A push button whose caption wraps at word boundaries when it is wider
// than the button, so that a long caption ("Copy to Clipboard") stays
// whole on a small button.
class WrappingButton : public QPushButton {
    Q_OBJECT
public:
    using QPushButton::QPushButton;

protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace tavilon
