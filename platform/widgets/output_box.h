#pragma once

#include <QPlainTextEdit>

namespace tavilon {

// The multi-line output box. Its text, as read and written here, has CR LF
// line ends, whatever the widget keeps inside.
class OutputBox : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit OutputBox(QWidget* parent = nullptr);

    QString text() const;
    void setText(const QString& text);
    // Adds text at the very end, directly after what is there.
    void appendText(const QString& text);
    // Lines as a reader counts them: a final line end starts no new line.
    qint64 lineCount() const;
};

} // namespace tavilon
