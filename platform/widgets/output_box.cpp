#include "output_box.h"

#include "output_box_accessible.h"

#include <QAccessible>
#include <QApplication>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QPlainTextDocumentLayout>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>

#include <algorithm>
#include <optional>

namespace tavilon {

namespace {

// A document's text as assistive technology reads it, lines ended by LF.
QString plainText(const QTextDocument& doc)
{
    return doc.toRawText().replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
}

QString toWidgetText(QString text)
{
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}

} // namespace

OutputBox::OutputBox(QWidget* parent) : QPlainTextEdit(parent)
{
    OutputBoxAccessible::install();
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
    // Each block is one line, and only a block's end is a U+2029 in the raw
    // text: typing, pasting or setting a U+2029 starts a new block. The raw
    // text keeps U+00A0 and U+2028, which the widget's plain text would turn
    // into a space and a line end.
    QString text = rawText();
    text.replace(QChar::ParagraphSeparator, QStringLiteral("\r\n"));
    return text;
}

QString OutputBox::rawText() const
{
    return document()->toRawText();
}

OutputBox::DocumentLook OutputBox::documentLook() const
{
    const QTextDocument* doc = document();
    return {doc->defaultFont(), doc->defaultTextOption(), doc->documentMargin()};
}

std::unique_ptr<QTextDocument> OutputBox::buildDocument(const DocumentLook& look, const QString& rawBefore,
                                                        const QString& appended, const BuildProgress& keepGoing)
{
    auto doc = std::make_unique<QTextDocument>();
    doc->setUndoRedoEnabled(false);
    doc->setDefaultFont(look.font);
    doc->setDefaultTextOption(look.option);
    doc->setDocumentMargin(look.margin);
    // The box's own layout, set before the text goes in: setting it later
    // would walk every block once more on the window's thread.
    doc->setDocumentLayout(new QPlainTextDocumentLayout(doc.get())); // owned by the document

    const QString added = toWidgetText(appended);
    const qint64 total = rawBefore.size() + added.size();
    QTextCursor cursor(doc.get());
    // Blocks of about 64 Ki characters: small enough to stop soon when asked,
    // large enough that asking costs nothing.
    constexpr qsizetype Step = 64 * 1024;
    qint64 done = 0;
    auto insertInSteps = [&](const QString& text, QChar lineEnd) {
        for (qsizetype from = 0; from < text.size();) {
            if (keepGoing && !keepGoing(done, total))
                return false;
            qsizetype to = std::min(text.size(), from + Step);
            if (to < text.size()) { // end a step at a line end where one is near
                const qsizetype end = text.indexOf(lineEnd, to);
                to = end < 0 || end - to > Step ? to : end + 1;
                if (text.at(to - 1).isHighSurrogate()) // never split a character in two
                    ++to;
            }
            cursor.insertText(QStringView(text).mid(from, to - from).toString());
            done += to - from;
            from = to;
        }
        return true;
    };
    if (!insertInSteps(rawBefore, QChar::ParagraphSeparator) || !insertInSteps(added, QLatin1Char('\n')))
        return nullptr;
    // The box lays out every block again when it takes a document, and makes
    // each block's layout object on the way: made here, that work stays off
    // the window's thread.
    for (QTextBlock block = doc->begin(); block.isValid(); block = block.next())
        block.layout();
    if (keepGoing && !keepGoing(total, total))
        return nullptr;
    return doc;
}

void OutputBox::adoptDocument(std::unique_ptr<QTextDocument> document)
{
    // Freeing a million lines takes a while: it happens in an event of its own.
    std::unique_ptr<QTextDocument> old = swapDocument(std::move(document));
    old->deleteLater();
    old.release();
}

std::unique_ptr<QTextDocument> OutputBox::swapDocument(std::unique_ptr<QTextDocument> document)
{
    // What needs memory comes first: until setDocument() the box is as it
    // was, so running out of memory changes nothing.
    // An edit tells assistive technology what changed; a new document tells
    // it nothing, so the box says the text was replaced.
    std::optional<QAccessibleTextUpdateEvent> replaced;
    if (QAccessible::isActive())
        replaced.emplace(this, 0, plainText(*this->document()), plainText(*document));
    const QTextCursor before = textCursor();
    const int anchor = before.anchor();
    const int position = before.position();
    const int scrolled = verticalScrollBar()->value();
    QTextDocument* old = this->document();

    forgetCleared(); // a new text is a change
    old->setParent(nullptr); // neither the box nor its text control frees it now
    document->setParent(this); // the box owns it from here on
    setDocument(document.release());
    std::unique_ptr<QTextDocument> taken(old);
    if (replaced)
        QAccessible::updateAccessibility(&*replaced);

    QTextCursor cursor(this->document());
    const int last = this->document()->characterCount() - 1;
    cursor.setPosition(std::min(anchor, last));
    cursor.setPosition(std::min(position, last), QTextCursor::KeepAnchor);
    setTextCursor(cursor);
    verticalScrollBar()->setValue(scrolled);
    return taken;
}

void OutputBox::clearUndoably()
{
    if (document()->isEmpty())
        return;
    // The cleared document is set aside whole: no copy of its text, and
    // bringing it back is taking it again.
    std::unique_ptr<QTextDocument> old = swapDocument(buildDocument(documentLook(), QString(), QString(), {}));
    cleared_ = std::move(old);
    // Any change to the emptied box (typing, a paste, Select's picks) ends
    // the chance to undo: the old text would overwrite the new.
    watchingChanges_ = connect(document(), &QTextDocument::contentsChange, this, [this](int, int removed, int added) {
        if (removed > 0 || added > 0)
            forgetCleared();
    });
}

bool OutputBox::undoClear()
{
    if (!cleared_ || isReadOnly())
        return false;
    QApplication::setOverrideCursor(Qt::WaitCursor); // taking a million lines back lays them out again
    adoptDocument(std::move(cleared_));
    QApplication::restoreOverrideCursor();
    moveCursor(QTextCursor::End);
    return true;
}

void OutputBox::forgetCleared()
{
    disconnect(watchingChanges_);
    if (cleared_)
        cleared_.release()->deleteLater(); // freeing a million lines takes a while
}

void OutputBox::keyPressEvent(QKeyEvent* event)
{
    if (event->matches(QKeySequence::Undo) && undoClear())
        return;
    if (event->key() == Qt::Key_F10 && event->modifiers() == Qt::ShiftModifier) {
        // Shift+F10 opens the context menu, as the Menu key does, at the cursor.
        const QPoint at = cursorRect().center();
        QContextMenuEvent menu(QContextMenuEvent::Keyboard, at, viewport()->mapToGlobal(at));
        contextMenuEvent(&menu);
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
}

void OutputBox::contextMenuEvent(QContextMenuEvent* event)
{
    QMenu* menu = createStandardContextMenu(event->pos());
    menu->setAttribute(Qt::WA_DeleteOnClose);
    if (auto* undo = menu->findChild<QAction*>(QStringLiteral("edit-undo")); undo && canUndoClear() && !isReadOnly()) {
        undo->setEnabled(true);
        connect(undo, &QAction::triggered, this, &OutputBox::undoClear);
    }
    menu->popup(event->globalPos());
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

qint64 OutputBox::linesAfter(QStringView text, const QTextCursor& replacing) const
{
    // Lines are the document's blocks, as lineCount() counts them: CR LF,
    // a lone CR, LF and U+2029 each end one; U+2028 stays inside its line.
    const auto endsBlock = [](QStringView s, qsizetype i) {
        return s[i] == QLatin1Char('\n') || s[i] == QChar::ParagraphSeparator
            || (s[i] == QLatin1Char('\r') && (i + 1 == s.size() || s[i + 1] != QLatin1Char('\n')));
    };
    qint64 added = 0;
    for (qsizetype i = 0; i < text.size(); ++i)
        added += endsBlock(text, i) ? 1 : 0;
    const QTextDocument* doc = document();
    const int start = replacing.selectionStart();
    const int end = replacing.selectionEnd();
    const qint64 removed = doc->findBlock(end).blockNumber() - doc->findBlock(start).blockNumber();
    const qint64 ends = doc->blockCount() - 1 - removed + added;
    // A last line without a line end is a line too.
    bool lastOpen = false;
    if (end < doc->characterCount() - 1) // text after the place keeps the box's own last line
        lastOpen = doc->lastBlock().length() > 1;
    else if (!text.isEmpty())
        lastOpen = !endsBlock(text, text.size() - 1);
    else
        lastOpen = start > 0 && doc->characterAt(start - 1) != QChar::ParagraphSeparator;
    return ends + (lastOpen ? 1 : 0);
}

bool OutputBox::acceptsText(QStringView text, const QTextCursor& replacing)
{
    if (isReadOnly())
        return false;
    const qsizetype longest = longestLine(text);
    if (longest > MaxLineLength) {
        emit pasteRefused(longest);
        return false;
    }
    if (const qint64 lines = linesAfter(text, replacing); lines > qint64(MaxOutputLines)) {
        emit pasteTooManyLines(lines);
        return false;
    }
    return true;
}

void OutputBox::insertFromMimeData(const QMimeData* source)
{
    // A drop has put the cursor where it lands; a paste replaces the selection.
    if (source && source->hasText()) {
        const QString text = source->text();
        const QTextCursor at = textCursor();
        if (!acceptsText(text, at))
            return;
        if (text.size() > LongPaste) {
            emit longPaste(text, at.selectionStart(), at.selectionEnd());
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
