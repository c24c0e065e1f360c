#include "application.h"

#include "desktop_identity.h"
#include "platform/tables/font_scale.h"
#include "platform/widgets/output_box.h"

#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <QFontDatabase>

#include <utility>

namespace tavilon {

namespace {

template <class W>
W& bringToFront(W& window)
{
    window.show();
    window.raise();
    window.activateWindow();
    return window;
}

void closeIfOpen(QWidget* window)
{
    if (window)
        window->close();
}

} // namespace

void applyApplicationLook(QApplication& app)
{
    // The font the desktop's platform theme reports (GNOME's and Xfce's
    // through the GTK theme, KDE's, a theme tool's) is the user's: the
    // windows grow with it. Qt's own stand-in, 9-point "Sans Serif", means
    // that no theme reports one; the windows then keep the face they are
    // drawn for, a narrow one where the machine has it.
    // The theme's font is left unset on the application, so that Qt keeps
    // following it when the desktop changes it while the program runs.
    QFont font = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    if (font.family() == QLatin1String("Sans Serif") && qFuzzyCompare(font.pointSizeF(), 9.0)) {
        const QFont reference = referenceFont();
        if (QFontDatabase::families().contains(reference.family()))
            font.setFamily(reference.family());
        font.setPointSize(reference.pointSize());
        app.setFont(font);
    }
    // Name, version, desktop entry and icon, as the menu entry knows them.
    applyDesktopIdentity(app);
    app.setQuitOnLastWindowClosed(true);
}

Application::Application(DesktopServices& services) : services_(services) {}

void Application::afterMessage(const std::function<void()>& then)
{
    // The message box deletes itself once dismissed, after what follows it.
    if (auto* message = qobject_cast<QMessageBox*>(QApplication::activeModalWidget()))
        connect(message, &QObject::destroyed, this, [this, then] { afterMessage(then); }, Qt::QueuedConnection);
    else
        then();
}

// Makes the window `held` points to, unless it is open; true when it was
// made. A window deletes itself once it has closed and its own code has
// returned; from its closing on, `held` no longer points to it.
template <class W, class... Args>
bool Application::make(QPointer<W>& held, Args&&... args)
{
    if (held)
        return false;
    held = new W(std::forward<Args>(args)...); // a top-level window
    held->setAttribute(Qt::WA_DeleteOnClose);
    held->installEventFilter(this);
    return true;
}

bool Application::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Close) {
        // Our windows never refuse to close: from here on they are gone,
        // and a count they started stops now, before it can show anything.
        for (auto* count : watched->findChildren<WordListCount*>(Qt::FindDirectChildrenOnly))
            count->cancel();
        const auto forget = [watched](auto& held) {
            if (held == watched)
                held.clear();
        };
        forget(mainWindow_);
        forget(openDialog_);
        forget(saveDialog_);
        forget(aboutWindow_);
    }
    return QObject::eventFilter(watched, event);
}

Application::~Application()
{
    closeWindows();
}

MainWindow& Application::showMainWindow()
{
    if (make(mainWindow_, services_)) {
        connect(mainWindow_, &MainWindow::loadRequested, this, [this] { showOpenDialog(); });
        connect(mainWindow_, &MainWindow::saveRequested, this, [this] { showSaveDialog(); });
        connect(mainWindow_, &MainWindow::aboutRequested, this, [this] { showAboutWindow(); });
        connect(mainWindow_, &MainWindow::exitRequested, this, &Application::closeAll);
    }
    return bringToFront(*mainWindow_);
}

OpenDialog& Application::showOpenDialog()
{
    if (make(openDialog_, services_)) {
        // A main window closed by its close box is opened afresh to take the list.
        openDialog_->setWaitReason([this] { return waitReason(); });
        connect(openDialog_, &OpenDialog::listChosen, this, [this](const CountedList& list) {
            (mainWindow_ ? *mainWindow_ : showMainWindow()).showCountedList(list);
        });
    }
    return bringToFront(*openDialog_);
}

SaveDialog& Application::showSaveDialog()
{
    // The dialog asks for the output only when it saves.
    if (make(saveDialog_, services_, [this]() -> std::optional<QString> {
            if (!mainWindow_)
                return std::nullopt;
            return mainWindow_->outputBox()->text();
        }))
        saveDialog_->setWaitReason([this] { return waitReason(); });
    return bringToFront(*saveDialog_);
}

AboutWindow& Application::showAboutWindow()
{
    make(aboutWindow_);
    return bringToFront(*aboutWindow_);
}

QString Application::waitReason() const
{
    return mainWindow_ ? mainWindow_->waitReason() : QString();
}

void Application::closeAll()
{
    afterMessage([this] { closeWindows(); });
}

void Application::closeWindows()
{
    closeIfOpen(mainWindow_);
    closeIfOpen(openDialog_);
    closeIfOpen(saveDialog_);
    closeIfOpen(aboutWindow_);
}

void Application::loadListAtStart(const QString& path, const QByteArray& pathBytes)
{
    QTimer::singleShot(0, this, [this, path, pathBytes] {
        if (!mainWindow_)
            return;
        auto* count = new WordListCount(mainWindow_, services_, path, pathBytes); // deletes itself once done
        connect(count, &WordListCount::counted, mainWindow_, &MainWindow::showCountedList);
    });
}

} // namespace tavilon
