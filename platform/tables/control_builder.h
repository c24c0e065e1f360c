#pragma once

#include "control_row.h"

#include <QWidget>

#include <utility>
#include <vector>

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace tavilon {

class LineWidget;

// Makes a window's controls from the rows of its table, each of the class
// the window asks for, placed as its row says and owned by its container.
// Add the rows front to back; finish() then stacks them in that order and
// chains the tab order by the rows' tab indexes.
class ControlBuilder {
public:
    template <class T>
    T* add(QWidget* container, const ControlRow& row)
    {
        auto* control = new T(container); // owned by the container
        control->setObjectName(QString::fromUtf8(row.name));
        setUp(control, row);
        control->setEnabled(row.enabled);
        if (row.tabIndex < 0)
            control->setFocusPolicy(Qt::NoFocus);
        built_.emplace_back(control, &row);
        return control;
    }

    // Front to back within each container, with labels and lines behind every
    // other control, so that a box overlapping a label stays on top; then the
    // tab order.
    void finish();

    // Every control made so far, with its row, in the order they were added.
    const std::vector<std::pair<QWidget*, const ControlRow*>>& controls() const { return built_; }

private:
    static void setUp(QWidget* control, const ControlRow& row);
    static void setUp(QLineEdit* box, const ControlRow& row);
    static void setUp(QPushButton* button, const ControlRow& row);
    static void setUp(QLabel* label, const ControlRow& row);
    static void setUp(QGroupBox* frame, const ControlRow& row);
    static void setUp(LineWidget* line, const ControlRow& row);

    std::vector<std::pair<QWidget*, const ControlRow*>> built_;
};

// A control's text from its table, or a name or description given to
// describeControl, in the user's language (marked with
// QT_TRANSLATE_NOOP("Controls", ...)).
QString translatedControlText(const char* text);

// What a screen reader says of a control: its name (nullptr: its own
// text) and a longer description, both translated; `label`, the label that
// names it on screen, becomes the label's buddy.
void describeControl(QWidget* control, const char* name, const char* description, QLabel* label = nullptr);

} // namespace tavilon
