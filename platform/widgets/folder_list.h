#pragma once

#include "core/errors/outcome.h"
#include "platform/services/drives.h"

#include <QListWidget>

namespace tavilon {

// The folder list: the chain of folders from the root down to path(), each
// shown opened and indented, then its subfolders. A double click or Enter
// on a folder opens it. changed() fires whenever the path changes.
class FolderList : public QListWidget {
    Q_OBJECT
public:
    explicit FolderList(QWidget* parent = nullptr);

    void setDrives(const QList<DriveInfo>& drives) { drives_ = drives; }

    QString path() const { return path_; }
    // Shows `path`; a drive's root moves the list to that drive's current
    // directory. On an error the list stays as it was.
    Outcome<void> setPath(const QString& path);
    // Opens the folder at `path` exactly, as a double click does.
    Outcome<void> openFolder(const QString& path);

signals:
    void changed();
    // A folder the user tried to open could not be read.
    void openFailed(const QString& message);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void openItem(QListWidgetItem* item);
    QString driveCurrentDirectory(const QString& root) const;

    QList<DriveInfo> drives_;
    QString path_;
};

} // namespace tavilon
