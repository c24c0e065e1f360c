#pragma once

#include <QPushButton>

namespace tavilon {

// A push button whose text wraps at word boundaries when it is wider
// than the button, so that a long text ("Copy to Clipboard") stays
// whole on a small button.
class WrappingButton : public QPushButton {
    Q_OBJECT
public:
    using QPushButton::QPushButton;

protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace tavilon
