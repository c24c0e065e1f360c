#pragma once

#include "selection.h"

#include <QPlainTextEdit>

namespace tavilon {

// The multi-line output box. Its text, as read and written here, has CR LF
// line ends, whatever the widget keeps inside; every other character, a
// no-break space or a line separator (U+2028) included, is kept as it is.
class OutputBox : public QPlainTextEdit {
    Q_OBJECT
public:
    // The longest line the box takes, the longest word a press may add:
    // laying out one very long line costs the box time that grows with the
    // square of its length.
    static constexpr qsizetype MaxLineLength = qsizetype(MaxWordLength);

    explicit OutputBox(QWidget* parent = nullptr);

    QString text() const;
    void setText(const QString& text);
    // Adds text at the very end, directly after what is there.
    void appendText(const QString& text);
    // Lines as a reader counts them: a final line end starts no new line.
    qint64 lineCount() const;

    // The longest line of `text`, whatever ends its lines.
    static qsizetype longestLine(QStringView text);

signals:
    // A paste or drop was refused, its longest line being `length`
    // characters long; the box is unchanged.
    void pasteRefused(qsizetype length);

protected:
    void insertFromMimeData(const QMimeData* source) override;
};

} // namespace tavilon
