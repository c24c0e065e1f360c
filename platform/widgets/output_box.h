#pragma once

#include "core/picking/selection.h"

#include <QFont>
#include <QPlainTextEdit>
#include <QTextOption>

#include <functional>
#include <memory>

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
    // A paste of more characters than this goes through longPaste (about
    // a tenth of a second of the box's work, measured with short lines).
    static constexpr qsizetype LongPaste = 64 * 1024;

    explicit OutputBox(QWidget* parent = nullptr);

    QString text() const;
    void setText(const QString& text);
    // Adds text at the very end, directly after what is there.
    void appendText(const QString& text);
    // Lines as a reader counts them: a final line end starts no new line.
    qint64 lineCount() const;

    // Whether `text` may take the place of `replacing` (a selection, or
    // a position to insert at) by any route (paste, drop, an accessibility
    // client): not while the box is read-only, nor with a line longer than
    // MaxLineLength, which emits pasteRefused, nor when the box would then
    // hold more than MaxOutputLines lines, which emits pasteTooManyLines.
    // Both are checked before anything is inserted.
    bool acceptsText(QStringView text, const QTextCursor& replacing);

    // The longest line of `text`, whatever ends its lines.
    static qsizetype longestLine(QStringView text);
    // The lines the box would hold with `text` in the place of `replacing`.
    qint64 linesAfter(QStringView text, const QTextCursor& replacing) const;

    // The document's own text: lines joined by U+2029, every other
    // character as it is. Far quicker than text() for a million lines.
    QString rawText() const;

    // What a document of the box's needs to look like the box's own.
    struct DocumentLook {
        QFont font;
        QTextOption option;
        qreal margin = 0;
    };
    DocumentLook documentLook() const;

    // Told the lines done and the total now and then; returning false stops
    // the work.
    using BuildProgress = std::function<bool(qint64 done, qint64 total)>;
    // A document for the box holding `rawBefore` (as rawText() gives it)
    // followed directly by `appended` (text with any line ends). Safe to call
    // on any thread: it touches nothing but the new document, which belongs
    // to the calling thread. Empty when `keepGoing` stopped it.
    static std::unique_ptr<QTextDocument> buildDocument(const DocumentLook& look, const QString& rawBefore,
                                                        const QString& appended, const BuildProgress& keepGoing);
    // Shows `document` (built by buildDocument on this thread or moved to
    // it) instead of the current one. When the old text is the start of the
    // new one, the cursor, selection and scroll position stay where they were.
    // std::bad_alloc leaves the box as it was.
    void adoptDocument(std::unique_ptr<QTextDocument> document);

    // Empties the box, keeping what it held for undoClear(). The box keeps
    // one cleared output, the last one, and only until its text changes
    // again: memory for it is bounded by the box's own limits. Clearing an
    // empty box keeps what an earlier Clear kept.
    void clearUndoably();
    // Brings back the text of the last Clear, as long as the box has not
    // changed since and takes edits; false when there is nothing to bring back.
    bool undoClear();
    bool canUndoClear() const { return cleared_ != nullptr; }

signals:
    // A paste or drop was refused, its longest line being `length`
    // characters long; the box is unchanged.
    void pasteRefused(qsizetype length);
    // A paste or drop was refused, the box then holding `lines` lines, more
    // than MaxOutputLines; the box is unchanged.
    void pasteTooManyLines(qint64 lines);
    // A paste or drop of more than LongPaste characters, accepted but not
    // inserted: laying out that much text at once would hold the window
    // up for seconds. The box's owner puts `text` in the place of the raw
    // text's characters [from, to), away from the window's thread.
    void longPaste(const QString& text, int from, int to);

protected:
    void insertFromMimeData(const QMimeData* source) override;
    // Undo (Ctrl+Z, and the context menu's Undo) undoes a Clear. The box
    // keeps no other undo: its document records no steps, which keeps a
    // million appended lines affordable.
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void forgetCleared();
    // adoptDocument(), handing back the document the box showed until now.
    std::unique_ptr<QTextDocument> swapDocument(std::unique_ptr<QTextDocument> document);

    std::unique_ptr<QTextDocument> cleared_; // the last Clear's document, while the box is unchanged since
    QMetaObject::Connection watchingChanges_;
};

} // namespace tavilon
