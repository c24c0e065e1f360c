#pragma once

#include <QAccessible>

class QWidget;

namespace tavilon {

// Makes a top-level window of ours read to assistive technology as `role`:
// a dialog reads as a dialog without taking on QDialog's Enter and Escape
// keys. Call it first in the window's constructor, before anything asks for
// the window's accessible interface (which is kept once made).
void setAccessibleWindowRole(QWidget* window, QAccessible::Role role);

} // namespace tavilon
