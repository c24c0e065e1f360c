#pragma once

#include <QAccessibleWidget>

class QTextCursor;

namespace tavilon {

class OutputBox;

// The output box as assistive technology reads and edits it. An edit from an
// accessibility client goes through the box's own rules, as a paste does:
// none while the box is read-only, none with an overlong line.
class OutputBoxAccessible : public QAccessibleWidget,
                            public QAccessibleTextInterface,
                            public QAccessibleEditableTextInterface {
public:
    explicit OutputBoxAccessible(OutputBox* box);

    // Makes every OutputBox read through this interface.
    static void install();

    void* interface_cast(QAccessible::InterfaceType type) override;
    QAccessible::State state() const override;
    QString text(QAccessible::Text t) const override;
    void setText(QAccessible::Text t, const QString& text) override;

    // Reading: offsets count the box's characters, a line end as one.
    QString text(int startOffset, int endOffset) const override;
    int characterCount() const override;
    int cursorPosition() const override;
    void setCursorPosition(int position) override;
    int selectionCount() const override;
    void selection(int selectionIndex, int* startOffset, int* endOffset) const override;
    void addSelection(int startOffset, int endOffset) override;
    void removeSelection(int selectionIndex) override;
    void setSelection(int selectionIndex, int startOffset, int endOffset) override;
    QRect characterRect(int offset) const override;
    int offsetAtPoint(const QPoint& point) const override;
    void scrollToSubstring(int startIndex, int endIndex) override;
    QString attributes(int offset, int* startOffset, int* endOffset) const override;

    // Editing.
    void deleteText(int startOffset, int endOffset) override;
    void insertText(int offset, const QString& text) override;
    void replaceText(int startOffset, int endOffset, const QString& text) override;

private:
    OutputBox* box() const;
    // A cursor of the box's document from `start` to `end`, both kept
    // within the text.
    QTextCursor cursorOver(int start, int end) const;
};

} // namespace tavilon
