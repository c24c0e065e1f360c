#pragma once

#include <QColor>
#include <QPalette>

class QWidget;

namespace tavilon {

// The colours every window of the program shares.
inline const QColor WindowColour(89, 117, 191);  // the background of windows and dialogs
inline const QColor OutputColour(192, 189, 255); // the output box's background
// Text on those backgrounds. A fixed background takes a fixed text colour
// with it, or a dark desktop theme would draw light text on it: on the
// window's blue black reaches a contrast of 4.72:1 (white only 4.45:1), on
// the output box's lilac about 12:1.
inline const QColor WindowTextColour(0, 0, 0);
inline const QColor OutputTextColour(0, 0, 0);

// The colour of the focus ring around a control whose face is `face`: black
// or white, whichever stands out more from the face. Both read at least
// 3:1 on WindowColour too (black 4.72:1, white 4.45:1), so the ring shows
// against the window around it and against the control, under a light or a
// dark theme.
QColor focusRingColour(const QColor& face);

// Fixes a widget's background and text colours together, in every state.
void setFixedColours(QWidget* widget, QPalette::ColorRole background, const QColor& backgroundColour,
                     QPalette::ColorRole text, const QColor& textColour);

// Gives a window's surface the window colour, and the labels, frames and
// rules drawn straight on it the text colour that goes with it. Controls
// with backgrounds of their own (boxes, lists, scroll bars) keep the
// desktop's colours, their text and arrows included. The control with the
// focus gets a ring around it, drawn on the window colour.
void paintOnWindowColour(QWidget* surface);

} // namespace tavilon
