#include "output_box.h"

#include <QTextBlock>
#include <QTextCursor>

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
}

QString OutputBox::text() const
{
    QString text = toPlainText();
    text.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    return text;
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
