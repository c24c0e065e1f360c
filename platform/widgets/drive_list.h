#pragma once

#include "platform/services/drives.h"

#include <QComboBox>

namespace tavilon {

// The drive list: one entry per drive; changed() fires when the user chooses
// another one.
class DriveList : public QComboBox {
    Q_OBJECT
public:
    explicit DriveList(QWidget* parent = nullptr);

    void setDrives(const QList<DriveInfo>& drives, const QString& currentPath);
    const QList<DriveInfo>& drives() const { return drives_; }

    // The chosen drive's root.
    QString drive() const;
    // Selects the drive holding `path`, without firing changed().
    void showDriveOf(const QString& path);

signals:
    void changed();

private:
    QList<DriveInfo> drives_;
    int shown_ = -1;
};

} // namespace tavilon
