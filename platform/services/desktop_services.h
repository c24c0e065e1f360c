#pragma once

#include "drives.h"

#include <QString>

#include <functional>

class QWidget;

namespace tavilon {

// What the windows ask of the desktop beyond their own widgets: modal
// messages, the clipboard and the list of drives. Tests replace it to see what a user would see.
class DesktopServices {
public:
    enum class Icon { None, Information, Warning };

    virtual ~DesktopServices() = default;

    // A modal message with an OK button and the application's title. It
    // returns at once; `then` runs once the message has been dismissed.
    virtual void showMessage(QWidget* over, Icon icon, const QString& text, std::function<void()> then = {}) = 0;

    // Places plain text on the clipboard; false when it did not take.
    virtual bool setClipboardText(const QString& text) = 0;

    // The drives the open and save dialogs list.
    virtual QList<DriveInfo> drives() { return systemDrives(); }
};

// The real desktop: QMessageBox and QClipboard.
class QtDesktopServices : public DesktopServices {
public:
    void showMessage(QWidget* over, Icon icon, const QString& text, std::function<void()> then = {}) override;
    bool setClipboardText(const QString& text) override;
};

QString applicationTitle();

} // namespace tavilon
