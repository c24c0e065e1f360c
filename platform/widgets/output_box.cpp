#include "output_box.h"

#include <QMimeData>
#include <QTextBlock>
#include <QTextCursor>

#include <algorithm>

namespace tavilon {

namespace {

QString toWidgetText(QString text)
{
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}

} // namespace

OutputBox::OutputBox(QWidget* parent) : QPlainTextEdit(parent)
{
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
    setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setUndoRedoEnabled(false); // keeps a million appended lines affordable
    // Tab moves the focus on, as in every other box: the words never hold
    // a tab typed by mistake.
    setTabChangesFocus(true);
}

QString OutputBox::text() const
{
    // Each block is one line; its own text keeps U+00A0 and U+2028, which
    // the widget's plain text would turn into a space and a line end.
    QString text;
    for (QTextBlock block = document()->begin(); block.isValid(); block = block.next()) {
        if (block != document()->begin())
            text += QStringLiteral("\r\n");
        text += block.text();
    }
    return text;
}

qsizetype OutputBox::longestLine(QStringView text)
{
    qsizetype longest = 0;
    qsizetype current = 0;
    for (const QChar c : text) {
        if (c == QLatin1Char('\n') || c == QLatin1Char('\r') || c == QChar::LineSeparator
            || c == QChar::ParagraphSeparator) {
            current = 0;
            continue;
        }
        longest = std::max(longest, ++current);
    }
    return longest;
}

void OutputBox::insertFromMimeData(const QMimeData* source)
{
    if (source && source->hasText()) {
        const qsizetype longest = longestLine(source->text());
        if (longest > MaxLineLength) {
            emit pasteRefused(longest);
            return;
        }
    }
    QPlainTextEdit::insertFromMimeData(source);
}

void OutputBox::setText(const QString& text)
{
    setPlainText(toWidgetText(text));
}

void OutputBox::appendText(const QString& text)
{
    QTextCursor cursor(document());
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(toWidgetText(text));
}

qint64 OutputBox::lineCount() const
{
    const int blocks = document()->blockCount();
    const bool endsOpen = document()->lastBlock().length() > 1; // length counts the separator
    return endsOpen ? blocks : blocks - 1;
}

} // namespace tavilon
