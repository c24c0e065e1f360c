#pragma once

#include "control_table.h"

#include <QWidget>

class QLineEdit;
class QPushButton;

namespace tavilon {

class DirListBox;
class DriveListBox;
class FileListBox;
class Forms;

// What the open and save dialogs share: a drive list, a directory list and
// a file list chained together, a name box and two buttons.
class BrowseDialog : public QWidget {
    Q_OBJECT
public:
    QLineEdit* txtFilename() const;
    DriveListBox* drvDialog() const;
    DirListBox* dirDialog() const;
    FileListBox* filDialog() const;
    QPushButton* cmdOK() const;
    QPushButton* cmdCancel() const;

    // The folder, the platform's separator and the name, joined as they
    // stand: at a root the separator appears twice.
    QString chosenPath(const QString& name) const;

    void drvDialog_Change();
    void dirDialog_Change();
    void filDialog_PathChange();
    void filDialog_Click();
    virtual void cmdOK_Click() = 0;
    virtual void cmdCancel_Click() = 0;

protected:
    BrowseDialog(Forms& forms, const QString& name, const char* labelCaption, int clientHeight);

    Forms& forms() { return forms_; }
    void warn(const QString& text);

private:
    Forms& forms_;
    ControlTable controls_;
};

} // namespace tavilon
