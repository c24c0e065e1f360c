#include "main_window.h"

#include "main_window_controls.h"
#include "output_fill.h"
#include "core/errors/core_errors.h"
#include "core/picking/number_text.h"
#include "core/picking/picks_number.h"
#include "core/picking/random_source.h"
#include "core/picking/selection.h"
#include "layout/proportional_layout.h"
#include "platform/services/desktop_services.h"
#include "platform/services/error_text.h"
#include "platform/tables/control_builder.h"
#include "platform/tables/font_scale.h"
#include "platform/tables/twips.h"
#include "platform/tables/window_look.h"
#include "platform/widgets/line_widget.h"
#include "platform/widgets/output_box.h"
#include "platform/widgets/wrapping_button.h"

#include <QApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMimeData>
#include <QScrollBar>
#include <QShortcut>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QTextDocument>
#include <QUrl>

#include <new>
#include <utility>

namespace tavilon {

namespace {

// The count as the count box shows it: a list without words shows none.
QString shownCount(std::uint64_t count)
{
    return count == 0 ? QString() : QString::number(count);
}

} // namespace

MainWindow::MainWindow(DesktopServices& services) : services_(services)
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(applicationTitle());
    setAcceptDrops(true);
    setMaximumSize(MaxWindowSide, MaxWindowSide);

    buildControls();
    buildMenu();

    connect(selectButton(), &QPushButton::clicked, this, &MainWindow::onSelectClicked);
    connect(copyButton(), &QPushButton::clicked, this, &MainWindow::onCopyClicked);
    connect(clearButton(), &QPushButton::clicked, this, &MainWindow::onClearClicked);
    // The count box shows the count the window keeps, whatever else (an
    // accessibility client, say) writes into it.
    connect(countBox(), &QLineEdit::textChanged, this,
            [this] { countBox()->setText(shownCount(count_)); });
    connect(picksBox(), &QLineEdit::textChanged, this, [this] { keepOnlyNumbers(picksBox()); });
    connect(outputBox(), &OutputBox::pasteRefused, this, &MainWindow::onPasteRefused);
    connect(outputBox(), &OutputBox::pasteTooManyLines, this, &MainWindow::onPasteTooManyLines);
    connect(outputBox(), &OutputBox::longPaste, this, &MainWindow::onLongPaste);

    // "Clear" is the window's cancel button: Escape presses it.
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this); // owned by the window
    connect(escape, &QShortcut::activated, clearButton(), &QPushButton::click);

    // A font larger than the controls were placed for scales their places,
    // and the window's client area (the window without its menu bar) with
    // them: a window as the font last sized it takes the new size, one the
    // user resized keeps its proportion to it.
    auto* fontScale = new FontScale(this, main_window_controls::ClientSize, menuBar()); // owned by the window
    const auto followFont = [this, fontScale](QSizeF old) {
        const QSizeF factor = fontScale->factor();
        layout_->setReferenceScale(factor.width(), factor.height());
        const QSize reference = main_window_controls::ClientSize;
        const QSize client = !isVisible() || size() == sizedByFont_
            ? FontScale::pixels(QRect(QPoint(), reference), factor).size()
            : fontScale->resized(client_->size(), reference, old);
        sizedByFont_ = QSize(client.width(), client.height() + menuBar()->sizeHint().height()).boundedTo(maximumSize());
        resize(sizedByFont_);
        fitCountBox();
    };
    connect(fontScale, &FontScale::changed, this, followFont);
    followFont(QSizeF(1, 1));

    // A file dropped anywhere on the window loads it, also over the boxes
    // that would otherwise take the file's name as text.
    client_->installEventFilter(this);
    for (QWidget* child : client_->findChildren<QWidget*>())
        child->installEventFilter(this);

    outputBox()->setFocus();
}

// The fill goes first: it waits for its work, while the box still stands.
MainWindow::~MainWindow()
{
    fill_.reset();
}

void MainWindow::buildControls()
{
    using namespace main_window_controls;
    client_ = new QWidget; // owned by the window once it is the central widget
    client_->setObjectName(QStringLiteral("Form1Client"));
    client_->setAutoFillBackground(true);
    setCentralWidget(client_);

    ControlBuilder build;
    outputBox_ = build.add<OutputBox>(client_, Output);
    auto* frame = build.add<QGroupBox>(client_, Frame);
    clearButton_ = build.add<WrappingButton>(frame, Clear);
    pathBox_ = build.add<QLineEdit>(frame, Path);
    countBox_ = build.add<QLineEdit>(frame, Count);
    copyButton_ = build.add<WrappingButton>(frame, Copy);
    picksBox_ = build.add<QLineEdit>(frame, Picks);
    selectButton_ = build.add<WrappingButton>(frame, Select);
    auto* picksLabel = build.add<QLabel>(frame, PicksLabel);
    build.add<LineWidget>(frame, Rule);
    auto* pathLabel = build.add<QLabel>(frame, PathLabel);
    auto* countLabel = build.add<QLabel>(frame, CountLabel);
    build.finish();

    paintOnWindowColour(client_);
    setFixedColours(outputBox(), QPalette::Base, OutputColour, QPalette::Text, OutputTextColour);
    // The boxes are named after the labels beside them (the frame's title
    // would otherwise name all three).
    describeControl(outputBox(), QT_TRANSLATE_NOOP("Controls", "Picked words"),
                    QT_TRANSLATE_NOOP("Controls", "The words picked so far, one per line; Clear empties it"));
    describeControl(pathBox(), QT_TRANSLATE_NOOP("Controls", "File Name"),
                    QT_TRANSLATE_NOOP("Controls", "Path of the word list the words are picked from"), pathLabel);
    describeControl(countBox(), QT_TRANSLATE_NOOP("Controls", "Number Of Lines"),
                    QT_TRANSLATE_NOOP("Controls", "How many words the loaded word list holds"), countLabel);
    describeControl(picksBox(), QT_TRANSLATE_NOOP("Controls", "Number of random words"),
                    QT_TRANSLATE_NOOP("Controls", "How many words Select adds; empty or 0 adds one"),
                    picksLabel);
    describeControl(selectButton(), nullptr,
                    QT_TRANSLATE_NOOP("Controls", "Adds random words from the word list to the picked words"));
    describeControl(copyButton(), nullptr, QT_TRANSLATE_NOOP("Controls", "Copies the picked words to the clipboard"));
    describeControl(clearButton(), nullptr, QT_TRANSLATE_NOOP("Controls", "Empties the picked words"));
    // The count is shown, never typed: read-only, out of the Tab order, and
    // read to assistive technology as read-only.
    countBox()->setReadOnly(true);
    countBox()->setFocusPolicy(Qt::NoFocus);

    // Every control follows the client area's size.
    layout_ = new ProportionalLayout(client_, ClientSize); // owned by the client area
    ProportionalLayout* layout = layout_;
    for (const auto& [control, row] : build.controls()) {
        if (auto* line = qobject_cast<LineWidget*>(control))
            layout->addLine(line, row->line());
        else
            layout->addWidget(control, row->rect());
    }
}

void MainWindow::buildMenu()
{
    QMenuBar* bar = menuBar();
    QMenu* file = bar->addMenu(tr("File"));
    file->setObjectName(QStringLiteral("file"));
    file->menuAction()->setObjectName(QStringLiteral("file"));
    QAction* load = file->addAction(tr("Load"));
    load->setObjectName(QStringLiteral("load"));
    load->setShortcut(QKeySequence::Open);
    file->addSeparator()->setObjectName(QStringLiteral("d"));
    QAction* save = file->addAction(tr("Save"));
    save->setObjectName(QStringLiteral("save"));
    save->setShortcut(QKeySequence::Save);
    file->addSeparator()->setObjectName(QStringLiteral("l"));
    QAction* exit = file->addAction(tr("Exit"));
    exit->setObjectName(QStringLiteral("exit"));
    // Where the platform names no Quit key (its Windows scheme leaves that
    // to the window's close box), Ctrl+Q, as on the Linux desktops.
    exit->setShortcuts(QKeySequence::Quit);
    if (exit->shortcuts().isEmpty())
        exit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));

    // The "|" item stands between the two menus and does nothing.
    QAction* divider = bar->addAction(QStringLiteral("|"));
    divider->setObjectName(QStringLiteral("f"));

    QMenu* about = bar->addMenu(tr("About"));
    about->setObjectName(QStringLiteral("about"));
    about->menuAction()->setObjectName(QStringLiteral("about"));
    QAction* maker = about->addAction(QStringLiteral("Brenvask"));
    maker->setObjectName(QStringLiteral("uj"));

    connect(load, &QAction::triggered, this, [this] {
        if (!refusedWhileFilling())
            emit loadRequested();
    });
    connect(save, &QAction::triggered, this, [this] {
        if (!refusedWhileFilling())
            emit saveRequested();
    });
    connect(exit, &QAction::triggered, this, &MainWindow::exitRequested);
    connect(maker, &QAction::triggered, this, &MainWindow::aboutRequested);
}

void MainWindow::warn(const QString& text)
{
    services_.showMessage(this, DesktopServices::Icon::Warning, text);
}

void MainWindow::keepOnlyNumbers(QLineEdit* box)
{
    // Anything that is not a number empties the whole box; a number stays
    // exactly as typed. Emptying runs this check once more, on "".
    if (!isNumeric(box->text().toStdString()))
        box->setText(QString());
}

QString MainWindow::waitReason() const
{
    if (WordListCount::anyRunning())
        return WordListCount::waitMessage();
    if (!isFilling())
        return QString();
    if (pasting_)
        return tr("The pasted text is still being written into the output box. Wait for it, or press Cancel "
                  "to stop it; the output is unchanged.");
    return tr("The picks are still being written into the output box. Wait for them, or press Cancel to "
              "stop them; the output is unchanged.");
}

bool MainWindow::refusedWhileFilling()
{
    const QString reason = waitReason();
    if (!reason.isEmpty())
        warn(reason);
    return !reason.isEmpty();
}

void MainWindow::onSelectClicked()
{
    if (refusedWhileFilling())
        return;
    // "" and "0" ask for one word; the box shows what the press used.
    const PicksNumber picks = picksNumber(picksBox()->text().toStdString());
    picksBox()->setText(QString::fromStdString(picks.shown));

    // The count belongs to the file that was loaded: a path edited since
    // names another list, whose words the count does not describe.
    if (!loadedPath_.isEmpty() && pathBox()->text() != loadedPath_) {
        warn(tr("No words were picked.\n\nThe path box no longer names the word list that was counted, \"%1\". "
                "Load the word list again to pick from it.")
                 .arg(loadedPath_));
        return;
    }

    if (!picks.picks) {
        warn(tr("No words were picked.\n\n%1").arg(errorText(picks.picks.error())));
        return;
    }
    startFill({picks.picks.value(), count_, loadedPathBytes().toStdString(), countedFile_,
               static_cast<std::uint64_t>(outputBox()->lineCount())});
}

void MainWindow::startFill(const PressInput& input)
{
    try { // the new document starts as a copy of the output
        fill_ = std::make_unique<OutputFill>(this, tr("Picking words…"), input, processRandomSource(),
                                             outputBox()->documentLook(), outputBox()->rawText());
    } catch (const std::bad_alloc&) {
        fill_.reset();
        warn(tr("No words were picked.\n\n%1").arg(errorText(outOfMemoryError())));
        return;
    }
    connect(&fill_->task(), &BackgroundTask::finished, this, &MainWindow::onFillFinished);
    // The box's text is the start of the document being built: it must not
    // change before the new one takes its place.
    outputBox()->setReadOnly(true);
}

void MainWindow::cancelFill()
{
    if (fill_)
        fill_->task().cancel();
}

void MainWindow::onFillFinished()
{
    OutputFill::Result result = fill_->takeResult();
    if (result.document) {
        try {
            // A cursor at the end goes on to the new end, after the picks, as
            // with text added at the cursor; the box does not scroll.
            const bool atEnd = outputBox()->textCursor().atEnd();
            outputBox()->adoptDocument(std::move(result.document)); // under the wait cursor: a million lines take a while
            if (result.draws)
                processRandomSource() = *result.draws; // only now are the draws used
            if (result.pastedEnd) { // the cursor after the pasted text, as after a paste
                QTextCursor cursor = outputBox()->textCursor();
                cursor.setPosition(*result.pastedEnd);
                outputBox()->setTextCursor(cursor);
            } else if (atEnd) {
                const int scrolled = outputBox()->verticalScrollBar()->value();
                outputBox()->moveCursor(QTextCursor::End);
                outputBox()->verticalScrollBar()->setValue(scrolled);
            }
        } catch (const std::bad_alloc&) { // the box is as it was
            result.error = outOfMemoryError();
        }
    }
    const bool pasted = std::exchange(pasting_, false);
    dropFill();
    if (result.error && result.error->code != ErrorCode::Cancelled)
        warn((pasted ? tr("Nothing was pasted.\n\n%1") : tr("No words were picked.\n\n%1"))
                 .arg(errorText(*result.error)));
}

void MainWindow::dropFill()
{
    fill_.reset();
    pasting_ = false;
    outputBox()->setReadOnly(false);
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    // Closing while picks are being written drops them: the box and the
    // random source stay as they were before the press.
    if (fill_)
        dropFill();
    QMainWindow::closeEvent(event);
}

void MainWindow::onCopyClicked()
{
    if (refusedWhileFilling())
        return;
    bool copied = false;
    try {
        copied = services_.setClipboardText(outputBox()->text()); // a copy of the whole output, with CR LF
    } catch (const std::bad_alloc&) {
        warn(tr("There is not enough memory to copy the output. The output is unchanged; close other programs "
                "and copy again."));
        return;
    }
    if (!copied)
        warn(tr("The output could not be copied: the clipboard is not available. The output is unchanged."));
}

void MainWindow::onPasteRefused(qsizetype length)
{
    warn(tr("Nothing was pasted: a line of it is %1 characters long, and the output box takes lines of at "
            "most %2 characters. The output is unchanged.")
             .arg(length)
             .arg(OutputBox::MaxLineLength));
}

void MainWindow::onPasteTooManyLines(qint64 lines)
{
    warn(tr("Nothing was pasted: with it the output would hold %1 lines, and it holds at most %2. "
            "The output is unchanged.")
             .arg(lines)
             .arg(MaxOutputLines));
}

void MainWindow::onLongPaste(const QString& text, int from, int to)
{
    // No paste reaches here during a fill: the box is read-only then.
    try { // the new document starts as a copy of the output
        const QString raw = outputBox()->rawText();
        fill_ = std::make_unique<OutputFill>(this, tr("Pasting…"), text, outputBox()->documentLook(), raw.left(from),
                                             raw.mid(to));
    } catch (const std::bad_alloc&) {
        fill_.reset();
        warn(tr("Nothing was pasted.\n\n%1").arg(errorText(outOfMemoryError())));
        return;
    }
    pasting_ = true;
    connect(&fill_->task(), &BackgroundTask::finished, this, &MainWindow::onFillFinished);
    outputBox()->setReadOnly(true);
}

void MainWindow::onClearClicked()
{
    if (refusedWhileFilling())
        return;
    outputBox()->clearUndoably(); // Undo brings the output back
}

QByteArray MainWindow::loadedPathBytes() const
{
    if (!loadedPathBytes_.isEmpty() && pathBox()->text() == loadedPath_)
        return loadedPathBytes_;
    return QFile::encodeName(pathBox()->text());
}

void MainWindow::showCountedList(const CountedList& list)
{
    loadedPath_ = list.path;
    loadedPathBytes_ = list.pathBytes;
    count_ = list.count;
    countedFile_ = list.file;
    pathBox()->setText(list.path);
    countBox()->setText(shownCount(count_));
    fitCountBox();
    selectButton()->setEnabled(true);
}

void MainWindow::fitCountBox()
{
    // A long count widens its box into the frame's free space, so every
    // digit shows: the box Qt itself would draw around the text, with the
    // line edit's margin each side and room for the cursor.
    QStyleOptionFrame option;
    option.initFrom(countBox());
    option.lineWidth = countBox()->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, countBox());
    const QSize text(countBox()->fontMetrics().horizontalAdvance(countBox()->text()) + 2 * 2 + 1,
                     countBox()->fontMetrics().height());
    layout_->setMinimumWidth(
        countBox(), countBox()->style()->sizeFromContents(QStyle::CT_LineEdit, &option, text, countBox()).width());
}

namespace {

// Whether a drag carries files or addresses: those are for the window to
// load, never words for the output box. Plain text goes to the box.
bool carriesAddresses(const QMimeData* data)
{
    return data && data->hasUrls();
}

// The name of the one local file a drag carries, in the file system's
// bytes, or nothing. The address's escapes are the name's bytes, also
// where they are not valid UTF-8 ("caf%E9.txt").
QByteArray droppedFile(const QMimeData* data)
{
    const QList<QUrl> urls = data ? data->urls() : QList<QUrl>();
    if (urls.size() != 1 || !urls.front().isLocalFile())
        return {};
    return QByteArray::fromPercentEncoding(urls.front().path(QUrl::FullyEncoded).toLatin1());
}

} // namespace

bool MainWindow::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove: {
        auto* drag = static_cast<QDragMoveEvent*>(event);
        if (carriesAddresses(drag->mimeData())) {
            drag->acceptProposedAction();
            return true;
        }
        break;
    }
    case QEvent::Drop: {
        auto* drop = static_cast<QDropEvent*>(event);
        if (carriesAddresses(drop->mimeData())) {
            dropEvent(drop);
            return true;
        }
        break;
    }
    default:
        break;
    }
    return QMainWindow::eventFilter(watched, event);
}

void MainWindow::dragEnterEvent(QDragEnterEvent* event)
{
    if (carriesAddresses(event->mimeData()))
        event->acceptProposedAction();
}

void MainWindow::dropEvent(QDropEvent* event)
{
    if (!carriesAddresses(event->mimeData()))
        return;
    event->acceptProposedAction();
    if (refusedWhileFilling())
        return;
    const QByteArray path = droppedFile(event->mimeData());
    if (path.isEmpty()) {
        warn(tr("Nothing was loaded: the window takes one word list, a single file on this computer. Drop one "
                "such file, or choose it with File > Load."));
        return;
    }
    auto* count = new WordListCount(this, services_, QFile::decodeName(path), path); // deletes itself once done
    connect(count, &WordListCount::counted, this, &MainWindow::showCountedList);
}

} // namespace tavilon
