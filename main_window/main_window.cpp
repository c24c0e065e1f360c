#include "main_window.h"

#include "busy_feedback.h"
#include "desktop_services.h"
#include "main_window_controls.h"
#include "window_registry.h"
#include "number_text.h"
#include "output_box.h"
#include "output_fill.h"
#include "picks_number.h"
#include "qt_layout_form.h"
#include "layout_engine.h"
#include "random_source.h"
#include "selection.h"
#include "twips.h"
#include "window_look.h"
#include "word_list_loading.h"

#include <QApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QEvent>
#include <QFile>
#include <QGroupBox>
#include <QLineEdit>
#include <QMenuBar>
#include <QMimeData>
#include <QPushButton>
#include <QShortcut>
#include <QUrl>


namespace tavilon {

MainWindow::MainWindow(WindowRegistry& windows) : windows_(windows)
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(applicationTitle());
    setAcceptDrops(true);

    auto client = std::make_unique<QWidget>();
    client->setObjectName(QStringLiteral("Form1Client"));
    client->setAutoFillBackground(true);
    client_ = client.get();
    setCentralWidget(client.release()); // the window owns it from here on

    controls_.build(client_, MainWindowControls);
    outputBox_ = controls_.require<OutputBox>("Text1");
    countBox_ = controls_.require<QLineEdit>("Text2");
    pathBox_ = controls_.require<QLineEdit>("Text3");
    picksBox_ = controls_.require<QLineEdit>("Text4");
    copyButton_ = controls_.require<QPushButton>("Command1");
    clearButton_ = controls_.require<QPushButton>("Command2");
    selectButton_ = controls_.require<QPushButton>("Command4");
    paintOnWindowColour(client_);
    setFixedColours(outputBox(), QPalette::Base, OutputColour, QPalette::Text, OutputTextColour);
    controls_.describe(MainWindowAccessibleText);
    countBox()->setFocusPolicy(Qt::NoFocus);
    setMaximumSize(MaxWindowSide, MaxWindowSide);

    buildMenu();

    connect(selectButton(), &QPushButton::clicked, this, &MainWindow::onSelectClicked);
    connect(copyButton(), &QPushButton::clicked, this, &MainWindow::onCopyClicked);
    connect(clearButton(), &QPushButton::clicked, this, &MainWindow::onClearClicked);
    connect(countBox(), &QLineEdit::textChanged, this, &MainWindow::onCountChanged);
    connect(picksBox(), &QLineEdit::textChanged, this, &MainWindow::onPicksChanged);
    connect(outputBox(), &OutputBox::pasteRefused, this, &MainWindow::onPasteRefused);

    // "Clear" is the window's cancel button: Escape presses it.
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this); // owned by the window
    connect(escape, &QShortcut::activated, clearButton(), &QPushButton::click);

    // The client area is the window without its menu bar.
    resize(px(MainWindowClientWidth), px(MainWindowClientHeight) + menuBar()->sizeHint().height());

    std::vector<QObject*> layoutControls;
    for (const ControlSpec& row : MainWindowControls)
        layoutControls.push_back(controls_.widget(QString::fromUtf8(row.name)));
    for (QAction* action : findChildren<QAction*>(QString(), Qt::FindChildrenRecursively)) {
        if (!action->objectName().isEmpty())
            layoutControls.push_back(action);
    }
    layoutForm_ = std::make_unique<layout::QtLayoutForm>(this, client_, layoutControls);
    client_->installEventFilter(this);
    // A file dropped anywhere on the window loads it, also over the boxes
    // that would otherwise take the file's name as text.
    for (QWidget* child : client_->findChildren<QWidget*>())
        child->installEventFilter(this);

    fillTimer_.setInterval(50);
    connect(&fillTimer_, &QTimer::timeout, this, &MainWindow::onFillTick);

    outputBox()->setFocus();
}

// The fill goes first: it waits for its work, while the box still stands.
MainWindow::~MainWindow()
{
    fill_.reset();
}

void MainWindow::buildMenu()
{
    QMenuBar* bar = menuBar();
    QMenu* file = bar->addMenu(QStringLiteral("File"));
    file->setObjectName(QStringLiteral("file"));
    file->menuAction()->setObjectName(QStringLiteral("file"));
    QAction* load = file->addAction(QStringLiteral("Load"));
    load->setObjectName(QStringLiteral("load"));
    file->addSeparator()->setObjectName(QStringLiteral("d"));
    QAction* save = file->addAction(QStringLiteral("Save"));
    save->setObjectName(QStringLiteral("save"));
    file->addSeparator()->setObjectName(QStringLiteral("l"));
    QAction* exit = file->addAction(QStringLiteral("Exit"));
    exit->setObjectName(QStringLiteral("exit"));

    // The "|" item stands between the two menus and does nothing.
    QAction* divider = bar->addAction(QStringLiteral("|"));
    divider->setObjectName(QStringLiteral("f"));

    QMenu* about = bar->addMenu(QStringLiteral("About"));
    about->setObjectName(QStringLiteral("about"));
    about->menuAction()->setObjectName(QStringLiteral("about"));
    QAction* uj = about->addAction(QStringLiteral("Brenvask"));
    uj->setObjectName(QStringLiteral("uj"));

    connect(load, &QAction::triggered, this, &MainWindow::onLoadTriggered);
    connect(save, &QAction::triggered, this, &MainWindow::onSaveTriggered);
    connect(exit, &QAction::triggered, this, &MainWindow::onExitTriggered);
    connect(uj, &QAction::triggered, this, &MainWindow::onAboutTriggered);
}


void MainWindow::warn(const QString& text)
{
    windows_.services().showMessage(this, DesktopServices::Icon::Warning, text);
}

void MainWindow::changeCheck(QLineEdit* box)
{
    // Anything that is not a number empties the whole box; a number stays
    // exactly as typed. Emptying runs this check once more, on "".
    if (!isNumeric(box->text().toStdString()))
        box->setText(QString());
}

void MainWindow::onCountChanged() { changeCheck(countBox()); }
void MainWindow::onPicksChanged() { changeCheck(picksBox()); }

bool MainWindow::refusedWhileFilling()
{
    if (!isFilling())
        return false;
    warn(tr("The picks are still being written into the output box. Wait for them, or press Cancel to "
            "stop them; the output is unchanged."));
    return true;
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
        warn(tr("No words were picked.\n\n%1").arg(QString::fromUtf8(picks.picks.error().message)));
        return;
    }
    const PressInput input{picks.picks.value(), count_, loadedPathBytes().toStdString(), countedFile_,
                           static_cast<std::uint64_t>(outputBox()->lineCount())};
    if (input.picks > BackgroundPicks && input.picks <= MaxPicksPerPress) {
        startFill(input);
        return;
    }
    // The wait cursor and progress last for the press alone, not its messages.
    auto result = [&] {
        BusyFeedback busy(this, tr("Picking words…"));
        return press(input, processRandomSource(), busy.callback());
    }();
    if (!result) {
        if (result.error().code != ErrorCode::Cancelled)
            warn(tr("No words were picked.\n\n%1").arg(QString::fromUtf8(result.error().message)));
        return;
    }
    const QString text = QString::fromUtf8(result.value().words);
    if (!text.isEmpty()) {
        QApplication::setOverrideCursor(Qt::WaitCursor); // a million lines take the box a few seconds
        outputBox()->appendText(text);
        QApplication::restoreOverrideCursor();
    }
}

void MainWindow::startFill(const PressInput& input)
{
    fillFeedback_ = std::make_unique<BusyFeedback>(this, tr("Picking words…"));
    fill_ = std::make_unique<OutputFill>(input, processRandomSource(), outputBox()->documentLook(),
                                         outputBox()->rawText());
    connect(fill_.get(), &OutputFill::finished, this, &MainWindow::onFillFinished, Qt::QueuedConnection);
    // The box's text is the start of the document being built: it must not
    // change before the new one takes its place.
    outputBox()->setReadOnly(true);
    fill_->start();
    fillTimer_.start();
}

void MainWindow::onFillTick()
{
    if (!fill_ || !fillFeedback_)
        return;
    // The modal progress dialog takes events while it updates, the end of
    // the fill among them: that waits until this tick is over.
    inFillTick_ = true;
    if (!fillFeedback_->update(fill_->progress(), OutputFill::ProgressTotal))
        fill_->cancel();
    inFillTick_ = false;
}

void MainWindow::cancelFill()
{
    if (fill_)
        fill_->cancel();
}

void MainWindow::onFillFinished()
{
    if (inFillTick_) {
        QTimer::singleShot(0, this, &MainWindow::onFillFinished);
        return;
    }
    if (!fill_)
        return;
    fillTimer_.stop();
    const std::unique_ptr<OutputFill> fill = std::move(fill_);
    const bool cancelled = fill->cancelRequested() || (fillFeedback_ && fillFeedback_->cancelled());
    std::unique_ptr<QTextDocument> document = fill->takeDocument();
    if (!cancelled && !fill->error() && document) {
        outputBox()->adoptDocument(std::move(document)); // under the wait cursor: a million lines take a while
        processRandomSource() = fill->draws(); // only now are the draws used
    }
    fillFeedback_.reset();
    outputBox()->setReadOnly(false);
    if (!cancelled && fill->error() && fill->error()->code != ErrorCode::Cancelled)
        warn(tr("No words were picked.\n\n%1").arg(QString::fromUtf8(fill->error()->message)));
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    // Closing while picks are being written drops them: the box and the
    // random source stay as they were before the press.
    if (fill_) {
        fill_.reset();
        fillTimer_.stop();
        fillFeedback_.reset();
        outputBox()->setReadOnly(false);
    }
    QMainWindow::closeEvent(event);
}

void MainWindow::onCopyClicked()
{
    if (refusedWhileFilling())
        return;
    if (!windows_.services().setClipboardText(outputBox()->text()))
        warn(tr("The output could not be copied: the clipboard is not available. The output is unchanged."));
}

void MainWindow::onPasteRefused(qsizetype length)
{
    warn(tr("Nothing was pasted: a line of it is %1 characters long, and the output box takes lines of at "
            "most %2 characters. The output is unchanged.")
             .arg(length)
             .arg(OutputBox::MaxLineLength));
}

void MainWindow::onClearClicked()
{
    if (refusedWhileFilling())
        return;
    outputBox()->setText(QString());
}

void MainWindow::onLoadTriggered()
{
    if (!refusedWhileFilling())
        windows_.openDialog().showWidget();
}

void MainWindow::onSaveTriggered()
{
    if (!refusedWhileFilling())
        windows_.saveDialog().showWidget();
}
void MainWindow::onAboutTriggered() { windows_.aboutWindow().showWidget(); }

void MainWindow::onExitTriggered()
{
    windows_.mainWindow().unload();
    windows_.openDialog().unload();
    windows_.saveDialog().unload();
    windows_.aboutWindow().unload();
}

void MainWindow::onClientResized()
{
    layout::processLayoutEngine().resizeForm(*layoutForm_);
}

QByteArray MainWindow::loadedPathBytes() const
{
    if (!loadedPathBytes_.isEmpty() && pathBox()->text() == loadedPath_)
        return loadedPathBytes_;
    return QFile::encodeName(pathBox()->text());
}

void MainWindow::showCountedList(const QString& path, std::uint64_t count, const QByteArray& pathBytes,
                                 const std::optional<FileIdentity>& countedFile)
{
    loadedPath_ = path;
    loadedPathBytes_ = pathBytes;
    count_ = count;
    countedFile_ = countedFile;
    pathBox()->setText(path);
    countBox()->setText(count == 0 ? QString() : QString::number(count)); // a list without words shows none
    selectButton()->setEnabled(true);
}

namespace {

// The one local file a drag carries, or nothing.
QString droppedFile(const QMimeData* data)
{
    const QList<QUrl> urls = data ? data->urls() : QList<QUrl>();
    return urls.size() == 1 && urls.front().isLocalFile() ? urls.front().toLocalFile() : QString();
}

} // namespace

bool MainWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == client_ && event->type() == QEvent::Resize)
        onClientResized();
    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove: {
        auto* drag = static_cast<QDragMoveEvent*>(event);
        if (!droppedFile(drag->mimeData()).isEmpty()) {
            drag->acceptProposedAction();
            return true;
        }
        break;
    }
    case QEvent::Drop: {
        auto* drop = static_cast<QDropEvent*>(event);
        if (!droppedFile(drop->mimeData()).isEmpty()) {
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
    if (!droppedFile(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void MainWindow::dropEvent(QDropEvent* event)
{
    const QString path = droppedFile(event->mimeData());
    if (path.isEmpty())
        return;
    event->acceptProposedAction();
    if (refusedWhileFilling())
        return;
    if (const auto counted = countWordList(this, windows_.services(), path))
        showCountedList(path, counted->count, {}, counted->file);
}

} // namespace tavilon
