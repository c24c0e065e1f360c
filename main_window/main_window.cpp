#include "form1.h"

#include "busy_feedback.h"
#include "desktop_services.h"
#include "form1_design.h"
#include "forms.h"
#include "number_text.h"
#include "output_box.h"
#include "qt_layout_form.h"
#include "layout_engine.h"
#include "random_source.h"
#include "selection.h"
#include "twips.h"
#include "word_list_loading.h"

#include <QApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QEvent>
#include <QGroupBox>
#include <QLineEdit>
#include <QMenuBar>
#include <QMimeData>
#include <QPushButton>
#include <QShortcut>
#include <QUrl>

#include <algorithm>

namespace tavilon {

namespace {

const QColor WindowColour(89, 117, 191);
const QColor OutputColour(192, 189, 255);

qsizetype longestLine(const QString& text)
{
    qsizetype longest = 0;
    qsizetype start = 0;
    for (;;) {
        const qsizetype end = text.indexOf(QLatin1Char('\r'), start);
        longest = std::max(longest, (end < 0 ? text.size() : end) - start);
        if (end < 0)
            return longest;
        start = end + 2; // past CR LF
    }
}

} // namespace

Form1::Form1(Forms& forms) : forms_(forms)
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(applicationTitle());
    setAcceptDrops(true);

    auto client = std::make_unique<QWidget>();
    client->setObjectName(QStringLiteral("Form1Client"));
    client->setAutoFillBackground(true);
    QPalette palette = client->palette();
    palette.setColor(QPalette::Window, WindowColour);
    client->setPalette(palette);
    client_ = client.get();
    setCentralWidget(client.release()); // the window owns it from here on

    controls_.build(client_, Form1Design);
    QPalette output = Text1()->palette();
    output.setColor(QPalette::Base, OutputColour);
    Text1()->setPalette(output);
    Text2()->setFocusPolicy(Qt::NoFocus);

    buildMenu();

    connect(Command4(), &QPushButton::clicked, this, &Form1::Command4_Click);
    connect(Command1(), &QPushButton::clicked, this, &Form1::Command1_Click);
    connect(Command2(), &QPushButton::clicked, this, &Form1::Command2_Click);
    connect(Text2(), &QLineEdit::textChanged, this, &Form1::Text2_Change);
    connect(Text4(), &QLineEdit::textChanged, this, &Form1::Text4_Change);

    // "Clear" is the window's cancel button: Escape presses it.
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this); // owned by the window
    connect(escape, &QShortcut::activated, Command2(), &QPushButton::click);

    // The client area is the window without its menu bar.
    resize(px(Form1ClientWidth), px(Form1ClientHeight) + menuBar()->sizeHint().height());

    std::vector<QObject*> layoutControls;
    for (const ControlSpec& row : Form1Design)
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

    Text1()->setFocus();
}

Form1::~Form1() = default;

void Form1::buildMenu()
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

    connect(load, &QAction::triggered, this, &Form1::load_Click);
    connect(save, &QAction::triggered, this, &Form1::save_Click);
    connect(exit, &QAction::triggered, this, &Form1::exit_Click);
    connect(uj, &QAction::triggered, this, &Form1::uj_Click);
}

OutputBox* Form1::Text1() const { return controls_.get<OutputBox>(QStringLiteral("Text1")); }
QLineEdit* Form1::Text2() const { return controls_.get<QLineEdit>(QStringLiteral("Text2")); }
QLineEdit* Form1::Text3() const { return controls_.get<QLineEdit>(QStringLiteral("Text3")); }
QLineEdit* Form1::Text4() const { return controls_.get<QLineEdit>(QStringLiteral("Text4")); }
QPushButton* Form1::Command1() const { return controls_.get<QPushButton>(QStringLiteral("Command1")); }
QPushButton* Form1::Command2() const { return controls_.get<QPushButton>(QStringLiteral("Command2")); }
QPushButton* Form1::Command4() const { return controls_.get<QPushButton>(QStringLiteral("Command4")); }

void Form1::warn(const QString& text)
{
    forms_.services().showMessage(this, DesktopServices::Icon::Warning, text);
}

void Form1::changeCheck(QLineEdit* box)
{
    // Anything that is not a number empties the whole box; a number stays
    // exactly as typed. Emptying runs this check once more, on "".
    if (!isNumeric(box->text().toStdString()))
        box->setText(QString());
}

void Form1::Text2_Change() { changeCheck(Text2()); }
void Form1::Text4_Change() { changeCheck(Text4()); }

void Form1::Command4_Click()
{
    if (Text4()->text().isEmpty() || Text4()->text() == QLatin1String("0"))
        Text4()->setText(QStringLiteral("1"));
    const QString picks = Text4()->text();

    const auto passes = passCount(picks.toStdString());
    if (passes && *passes <= MaxPicksPerPress && Text1()->lineCount() + static_cast<qint64>(*passes) > MaxOutputLines) {
        warn(tr("The output holds %1 lines and can hold at most %2; these %3 picks would pass that.\n\n"
                "Save the output and clear it first; nothing was picked.")
                 .arg(Text1()->lineCount())
                 .arg(MaxOutputLines)
                 .arg(*passes));
        return;
    }

    const RandomSource before = processRandomSource();
    // The wait cursor and progress last for the press alone, not its messages.
    auto result = [&] {
        BusyFeedback busy(this, tr("Picking words…"));
        return press({picks.toStdString(), Text2()->text().toStdString(), filePathBytes(Text3()->text())},
                     processRandomSource(), busy.callback());
    }();
    if (!result) {
        if (result.error().code != ErrorCode::Cancelled)
            warn(tr("No words were picked.\n\n%1").arg(QString::fromUtf8(result.error().message)));
        return;
    }
    const QString text = QString::fromUtf8(result.value().appendText);
    const qsizetype longest = longestLine(text);
    if (longest > MaxWordLength) {
        processRandomSource() = before; // a refused press changes nothing
        warn(tr("No words were picked: a picked word is %1 characters long, and the output box takes words of "
                "at most %2 characters. Is this file really a word list?")
                 .arg(longest)
                 .arg(MaxWordLength));
        return;
    }
    if (!text.isEmpty()) {
        QApplication::setOverrideCursor(Qt::WaitCursor); // a million lines take the box a few seconds
        Text1()->appendText(text);
        QApplication::restoreOverrideCursor();
    }
}

void Form1::Command1_Click()
{
    if (!forms_.services().setClipboardText(Text1()->text()))
        warn(tr("The output could not be copied: the clipboard is not available. The output is unchanged."));
}

void Form1::Command2_Click()
{
    Text1()->setText(QString());
}

void Form1::load_Click() { forms_.openDialog().showWidget(); }
void Form1::save_Click() { forms_.saveDialog().showWidget(); }
void Form1::uj_Click() { forms_.form2().showWidget(); }

void Form1::exit_Click()
{
    forms_.form1().unload();
    forms_.openDialog().unload();
    forms_.saveDialog().unload();
    forms_.form2().unload();
}

void Form1::Form_Resize()
{
    layout::processLayoutEngine().ResizeForm(*layoutForm_);
}

void Form1::showCountedList(const QString& path, const QString& count)
{
    Text3()->setText(path);
    Text2()->setText(count);
    Command4()->setEnabled(true);
}

namespace {

// The one local file a drag carries, or nothing.
QString droppedFile(const QMimeData* data)
{
    const QList<QUrl> urls = data ? data->urls() : QList<QUrl>();
    return urls.size() == 1 && urls.front().isLocalFile() ? urls.front().toLocalFile() : QString();
}

} // namespace

bool Form1::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == client_ && event->type() == QEvent::Resize)
        Form_Resize();
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

void Form1::dragEnterEvent(QDragEnterEvent* event)
{
    if (!droppedFile(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void Form1::dropEvent(QDropEvent* event)
{
    const QString path = droppedFile(event->mimeData());
    if (path.isEmpty())
        return;
    event->acceptProposedAction();
    if (const auto count = countWordList(this, forms_.services(), path))
        showCountedList(path, *count);
}

} // namespace tavilon
