#pragma once

#include <QWidget>

#include <functional>

class QLabel;
class QLineEdit;
class QPushButton;

namespace tavilon {

class DesktopServices;
class FolderList;
class DriveList;
class FileList;

// What the open and save dialogs share: a drive list, a folder list and a
// file list chained together, a name box and two buttons. Cancel and the
// close box close the dialog; closing it discards it.
class BrowseDialog : public QWidget {
    Q_OBJECT
public:
    // Why Ok must wait now, or an empty text; Ok then says so and does nothing.
    void setWaitReason(std::function<QString()> reason) { waitReason_ = std::move(reason); }

    // The name box (txtFilename), the drive, folder and file lists
    // (drvDialog, dirDialog, filDialog) and the buttons (cmdOK, cmdCancel).
    QLineEdit* nameBox() const { return nameBox_; }
    DriveList* driveList() const { return driveList_; }
    FolderList* folderList() const { return folderList_; }
    FileList* fileList() const { return fileList_; }
    QPushButton* okButton() const { return okButton_; }
    QPushButton* cancelButton() const { return cancelButton_; }

    // The folder, the platform's separator and the name, joined as they
    // stand: at a root the separator appears twice.
    QString chosenPath(const QString& name) const;
    // The same in the file system's own bytes, for a name given as bytes.
    QByteArray chosenPathBytes(const QByteArray& nameBytes) const;
    // The name box's name in the file system's own bytes: the real bytes of
    // the file chosen in the file list while the box still shows its name.
    QByteArray nameBoxBytes() const;

protected:
    // `labelText` is the label beside the name box; `nameBoxName` and
    // `nameBoxDescription` are what a screen reader says of the box.
    BrowseDialog(DesktopServices& services, const QString& objectName, const char* labelText, int clientHeight,
                 const char* nameBoxName, const char* nameBoxDescription);

    DesktopServices& services() { return services_; }
    void warn(const QString& text);
    // True, after saying why, while a count or the main window's work runs.
    bool refusedWhileBusy();
    virtual void onOkClicked() = 0;

private:
    // The steps of building the dialog, in their order.
    void setUpWindow(const QString& objectName, int clientHeight);
    // Returns the label beside the name box.
    QLabel* buildControls(const char* labelText, int clientHeight);
    void describeControls(QLabel* label, const char* nameBoxName, const char* nameBoxDescription);
    void openStartFolder();
    void connectControls();

    void onDriveChanged();
    void onFolderChanged();
    void onFileListPathChanged();

    DesktopServices& services_;
    std::function<QString()> waitReason_;
    // Owned by the dialog.
    QLineEdit* nameBox_ = nullptr;
    DriveList* driveList_ = nullptr;
    FolderList* folderList_ = nullptr;
    FileList* fileList_ = nullptr;
    QPushButton* okButton_ = nullptr;
    QPushButton* cancelButton_ = nullptr;
};

} // namespace tavilon
