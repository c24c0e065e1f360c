#pragma once

#include <QLine>
#include <QRect>

namespace tavilon {

// One row of a window's table of controls: the control's object name, where
// it sits in its container (in twips, 15 to a pixel: the proportional layout
// scales from these values), its place in the tab order and its text.
// For a line the four numbers are its two ends, x1, y1, x2, y2.
struct ControlRow {
    const char* name;
    int left;
    int top;
    int width;
    int height;
    int tabIndex; // -1: the control never takes the focus
    const char* text = nullptr;
    bool enabled = true;

    constexpr QRect rect() const { return QRect(left, top, width, height); }
    constexpr QLine line() const { return QLine(left, top, width, height); }
};

} // namespace tavilon
