#pragma once

#include "about/about_window.h"
#include "dialogs/open_dialog.h"
#include "dialogs/save_dialog.h"
#include "main_window/main_window.h"

#include <QObject>
#include <QPointer>

#include <functional>

class QApplication;

namespace tavilon {

class DesktopServices;

// The desktop's font, or where no desktop reports one the 8-point face
// every window is laid out for.
void applyApplicationLook(QApplication& app);

// The program's four windows and how they work together. Each window exists
// at most once: it is made when first asked for and discarded, with all it
// holds, when it closes. The program ends when the last one has closed.
class Application : public QObject {
    Q_OBJECT
public:
    explicit Application(DesktopServices& services);
    // Closes every window that is still open.
    ~Application() override;

    // Shows the window, making it first if it is not open, and brings it to
    // the front.
    MainWindow& showMainWindow();
    OpenDialog& showOpenDialog();
    SaveDialog& showSaveDialog();
    AboutWindow& showAboutWindow();

    // The window while it is open, or nullptr.
    MainWindow* mainWindow() const { return mainWindow_; }
    OpenDialog* openDialog() const { return openDialog_; }
    SaveDialog* saveDialog() const { return saveDialog_; }
    AboutWindow* aboutWindow() const { return aboutWindow_; }

    // File > Exit: closes the main window, then the dialogs and About.
    // While a message is up, once it has been dismissed; a press still
    // running is cancelled, and a count stopped, as the windows close.
    void closeAll();

    // Loads the word list named on the command line into the main window once
    // the event loop runs, as File > Load would: a failure is the same message.
    // `pathBytes` is the path in the file system's own bytes.
    void loadListAtStart(const QString& path, const QByteArray& pathBytes);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    template <class W, class... Args>
    bool make(QPointer<W>& held, Args&&... args);
    // Runs `then` now, or once the message that is up has been dismissed
    // and what follows it has run.
    void afterMessage(const std::function<void()>& then);
    void closeWindows();
    // Why the dialogs' commands must wait for the main window, or "".
    QString waitReason() const;

    DesktopServices& services_;
    QPointer<MainWindow> mainWindow_;
    QPointer<OpenDialog> openDialog_;
    QPointer<SaveDialog> saveDialog_;
    QPointer<AboutWindow> aboutWindow_;
};

} // namespace tavilon
