#pragma once

#include <QPushButton>

namespace tavilon {

// A push button whose caption wraps at word boundaries when it is wider
// than the button, as the original toolkit's buttons do.
class CaptionButton : public QPushButton {
    Q_OBJECT
public:
    using QPushButton::QPushButton;

protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace tavilon
