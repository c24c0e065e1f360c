#pragma once

#include <QFocusFrame>

namespace tavilon {

// A ring two pixels wide just outside whichever control of a window has the
// focus, in black or white as focusRingColour() picks for the control's
// face; it hides while another window has the focus. It lies below the
// other controls: a label beside the control (the dialogs' name box overlaps
// its label) draws its text over the ring rather than the ring over the text.
//
// The style's own focus mark is a one-pixel outline in a darkened Highlight
// whose lightness the style caps: on the windows' blue it reads at about
// 1.2:1 (a list shows none at all), and no Highlight colour reads both there
// and on a dark theme's controls. Qt's focus frame draws its ring in the
// WindowText colour, which is given here for each control: the style draws
// the ring, and one mechanism serves buttons, boxes and lists alike.
class FocusRing : public QFocusFrame {
    Q_OBJECT
public:
    // A ring for the window `surface` lies in; the surface owns it until it
    // moves to the focused control's parent.
    explicit FocusRing(QWidget* surface);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void follow(QWidget* focused);

    QWidget* window_;
};

} // namespace tavilon
