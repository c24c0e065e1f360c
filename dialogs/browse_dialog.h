#pragma once

#include "control_table.h"

#include <QWidget>

class QLineEdit;
class QPushButton;

namespace tavilon {

class DirListBox;
class DriveListBox;
class FileListBox;
class WindowRegistry;

// What the open and save dialogs share: a drive list, a directory list and
// a file list chained together, a name box and two buttons.
class BrowseDialog : public QWidget {
    Q_OBJECT
public:
    // The name box (txtFilename), the drive, folder and file lists
    // (drvDialog, dirDialog, filDialog) and the buttons (cmdOK, cmdCancel).
    QLineEdit* nameBox() const { return nameBox_; }
    DriveListBox* driveList() const { return driveList_; }
    DirListBox* folderList() const { return folderList_; }
    FileListBox* fileList() const { return fileList_; }
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

    void onDriveChanged();
    void onFolderChanged();
    void onFileListPathChanged();
    void onFileClicked();
    virtual void onOkClicked() = 0;
    virtual void onCancelClicked() = 0;

protected:
    // `nameBoxName` and `nameBoxDescription` are what a screen reader says of
    // the name box.
    BrowseDialog(WindowRegistry& windows, const QString& name, const char* labelCaption, int clientHeight,
                 const char* nameBoxName, const char* nameBoxDescription);

    WindowRegistry& windows() { return windows_; }
    void warn(const QString& text);

private:
    WindowRegistry& windows_;
    ControlTable controls_;
    // Owned by the dialog; looked up once, when the controls are built.
    QLineEdit* nameBox_ = nullptr;
    DriveListBox* driveList_ = nullptr;
    DirListBox* folderList_ = nullptr;
    FileListBox* fileList_ = nullptr;
    QPushButton* okButton_ = nullptr;
    QPushButton* cancelButton_ = nullptr;
};

} // namespace tavilon
