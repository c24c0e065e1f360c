#pragma once

#include <QHash>
#include <QString>
#include <QWidget>

#include <span>

namespace tavilon {

enum class ControlKind { TextBox, OutputBox, Button, Label, Frame, Line, DriveList, DirList, FileList };

// One row of a window's control table: a control, where it sits and what it shows.
// Geometry is in twips relative to the container; for a line the four
// values are X1, Y1, X2, Y2.
struct ControlSpec {
    const char* name;
    ControlKind kind;
    const char* container; // nullptr: the window's client area
    int left;
    int top;
    int width;
    int height;
    int tabIndex; // -1: takes no part in the tab order
    const char* caption;
    bool enabled = true;
};

// What a screen reader says of a control built from a table row: its name
// (nullptr: its own caption), a longer description, and the label that
// names it on screen, which becomes the label's buddy (nullptr: none).
struct AccessibleSpec {
    const char* control;
    const char* name;
    const char* description;
    const char* label = nullptr;
};

// The controls built from a control table, by name.
class ControlTable {
public:
    // Builds every row on `client`. Rows are listed front to back within
    // their container; the tab order follows the tab indexes.
    void build(QWidget* client, std::span<const ControlSpec> specs);

    // Gives controls their accessible names and descriptions, and makes each
    // label the buddy of the control it names.
    void describe(std::span<const AccessibleSpec> specs) const;

    QWidget* widget(const QString& name) const { return byName_.value(name); }
    template <class T>
    T* get(const QString& name) const
    {
        return qobject_cast<T*>(widget(name));
    }

    // The control built from the row `name`, of the class the caller expects.
    // A missing row or a control of another class is a programming error:
    // it stops the program at once instead of failing later.
    template <class T>
    T* require(const char* name) const
    {
        T* control = get<T>(QString::fromUtf8(name));
        if (!control)
            qFatal("No control %s of the expected class", name);
        return control;
    }

private:
    QHash<QString, QWidget*> byName_;
};

} // namespace tavilon
