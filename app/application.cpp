#include "application.h"

#include "desktop_identity.h"
#include "output_box.h"

#include <QApplication>
#include <QFontDatabase>

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
    // A narrow face where the machine has one, so that every text fits
    // the sizes of its control.
    QFont font = QApplication::font();
    if (QFontDatabase::families().contains(QStringLiteral("Liberation Sans")))
        font.setFamily(QStringLiteral("Liberation Sans"));
    font.setPointSize(8);
    app.setFont(font);
    // Name, version, desktop entry and icon, as the menu entry knows them.
    applyDesktopIdentity(app);
    app.setQuitOnLastWindowClosed(true);
}

Application::Application(DesktopServices& services) : services_(services) {}

// Makes the window `held` points to if it is not open. A window deletes
// itself once it has closed and its own code has returned; from its closing
// on, `held` no longer points to it.
template <class W, class... Args>
W& Application::open(QPointer<W>& held, bool& made, Args&&... args)
{
    made = !held;
    if (made) {
        held = new W(std::forward<Args>(args)...); // a top-level window
        held->setAttribute(Qt::WA_DeleteOnClose);
        held->installEventFilter(this);
    }
    return *held;
}

bool Application::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Close) {
        // Our windows never refuse to close.
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
    closeAll();
}

MainWindow& Application::showMainWindow()
{
    bool made = false;
    MainWindow& window = open(mainWindow_, made, services_);
    if (made) {
        connect(&window, &MainWindow::loadRequested, this, [this] { showOpenDialog(); });
        connect(&window, &MainWindow::saveRequested, this, [this] { showSaveDialog(); });
        connect(&window, &MainWindow::aboutRequested, this, [this] { showAboutWindow(); });
        connect(&window, &MainWindow::exitRequested, this, &Application::closeAll);
    }
    return bringToFront(window);
}

OpenDialog& Application::showOpenDialog()
{
    bool made = false;
    OpenDialog& dialog = open(openDialog_, made, services_);
    if (made) {
        // A main window closed by its close box is opened afresh to take the list.
        connect(&dialog, &OpenDialog::listChosen, this, [this](const CountedList& list) {
            (mainWindow_ ? *mainWindow_ : showMainWindow()).showCountedList(list);
        });
    }
    return bringToFront(dialog);
}

SaveDialog& Application::showSaveDialog()
{
    bool made = false;
    SaveDialog& dialog = open(saveDialog_, made, services_, [this]() -> std::optional<QString> {
        if (!mainWindow_)
            return std::nullopt;
        return mainWindow_->outputBox()->text();
    });
    return bringToFront(dialog);
}

AboutWindow& Application::showAboutWindow()
{
    bool made = false;
    return bringToFront(open(aboutWindow_, made));
}

void Application::closeAll()
{
    closeIfOpen(mainWindow_);
    closeIfOpen(openDialog_);
    closeIfOpen(saveDialog_);
    closeIfOpen(aboutWindow_);
}

} // namespace tavilon
