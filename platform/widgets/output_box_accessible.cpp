#include "output_box_accessible.h"

#include "output_box.h"
#include "platform/windows/accessible_interface.h"

#include <QTextCursor>

#include <algorithm>

namespace tavilon {

OutputBoxAccessible::OutputBoxAccessible(OutputBox* box) : QAccessibleWidget(box, QAccessible::EditableText) {}

void OutputBoxAccessible::install()
{
    installAccessibleInterface<OutputBox, OutputBoxAccessible>();
}

OutputBox* OutputBoxAccessible::box() const { return static_cast<OutputBox*>(widget()); }

void* OutputBoxAccessible::interface_cast(QAccessible::InterfaceType type)
{
    if (type == QAccessible::TextInterface)
        return static_cast<QAccessibleTextInterface*>(this);
    if (type == QAccessible::EditableTextInterface)
        return static_cast<QAccessibleEditableTextInterface*>(this);
    return QAccessibleWidget::interface_cast(type);
}

QAccessible::State OutputBoxAccessible::state() const
{
    QAccessible::State state = QAccessibleWidget::state();
    state.multiLine = true;
    state.selectableText = true;
    state.readOnly = box()->isReadOnly();
    state.editable = !state.readOnly;
    return state;
}

QString OutputBoxAccessible::text(QAccessible::Text t) const
{
    if (t == QAccessible::Value)
        return box()->toPlainText();
    return QAccessibleWidget::text(t);
}

void OutputBoxAccessible::setText(QAccessible::Text t, const QString& text)
{
    if (t != QAccessible::Value) {
        QAccessibleWidget::setText(t, text);
        return;
    }
    QTextCursor whole(box()->document());
    whole.select(QTextCursor::Document);
    if (box()->acceptsText(text, whole))
        box()->setText(text);
}

QTextCursor OutputBoxAccessible::cursorOver(int start, int end) const
{
    const int last = characterCount();
    QTextCursor cursor(box()->document());
    cursor.setPosition(std::clamp(start, 0, last));
    cursor.setPosition(std::clamp(end, 0, last), QTextCursor::KeepAnchor);
    return cursor;
}

QString OutputBoxAccessible::text(int startOffset, int endOffset) const
{
    return cursorOver(startOffset, endOffset).selectedText().replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
}

int OutputBoxAccessible::characterCount() const { return box()->document()->characterCount() - 1; }

int OutputBoxAccessible::cursorPosition() const { return box()->textCursor().position(); }

void OutputBoxAccessible::setCursorPosition(int position) { box()->setTextCursor(cursorOver(position, position)); }

int OutputBoxAccessible::selectionCount() const { return box()->textCursor().hasSelection() ? 1 : 0; }

void OutputBoxAccessible::selection(int selectionIndex, int* startOffset, int* endOffset) const
{
    const QTextCursor cursor = box()->textCursor();
    const bool exists = selectionIndex == 0 && cursor.hasSelection();
    *startOffset = exists ? cursor.selectionStart() : 0;
    *endOffset = exists ? cursor.selectionEnd() : 0;
}

void OutputBoxAccessible::addSelection(int startOffset, int endOffset) { setSelection(0, startOffset, endOffset); }

void OutputBoxAccessible::removeSelection(int selectionIndex)
{
    if (selectionIndex == 0)
        setCursorPosition(cursorPosition());
}

void OutputBoxAccessible::setSelection(int selectionIndex, int startOffset, int endOffset)
{
    if (selectionIndex == 0)
        box()->setTextCursor(cursorOver(startOffset, endOffset));
}

QRect OutputBoxAccessible::characterRect(int offset) const
{
    if (offset < 0 || offset >= characterCount())
        return QRect();
    // From the cursor before the character to the one after it, when both
    // stand on the same line; a line's last character is as wide as a space.
    QTextCursor cursor = cursorOver(offset, offset);
    QRect rect = box()->cursorRect(cursor);
    cursor.movePosition(QTextCursor::NextCharacter);
    const QRect after = box()->cursorRect(cursor);
    rect.setRight(after.top() == rect.top() && after.left() > rect.left()
                      ? after.left() - 1
                      : rect.left() + box()->fontMetrics().horizontalAdvance(QLatin1Char(' ')) - 1);
    return rect.translated(box()->viewport()->mapToGlobal(QPoint(0, 0)));
}

int OutputBoxAccessible::offsetAtPoint(const QPoint& point) const
{
    const QPoint inside = box()->viewport()->mapFromGlobal(point);
    return box()->viewport()->rect().contains(inside) ? box()->cursorForPosition(inside).position() : -1;
}

void OutputBoxAccessible::scrollToSubstring(int startIndex, int endIndex)
{
    // The box scrolls to show its cursor, which moves to the text's start.
    static_cast<void>(endIndex);
    box()->setTextCursor(cursorOver(startIndex, startIndex));
    box()->ensureCursorVisible();
}

QString OutputBoxAccessible::attributes(int offset, int* startOffset, int* endOffset) const
{
    // One look throughout: no attributes.
    const bool inside = offset >= 0 && offset < characterCount();
    *startOffset = inside ? 0 : -1;
    *endOffset = inside ? characterCount() : -1;
    return QString();
}

void OutputBoxAccessible::deleteText(int startOffset, int endOffset) { replaceText(startOffset, endOffset, QString()); }

void OutputBoxAccessible::insertText(int offset, const QString& text) { replaceText(offset, offset, text); }

void OutputBoxAccessible::replaceText(int startOffset, int endOffset, const QString& text)
{
    if (QTextCursor place = cursorOver(startOffset, endOffset); box()->acceptsText(text, place))
        place.insertText(text);
}

} // namespace tavilon
