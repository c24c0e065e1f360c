#pragma once

#include <QList>
#include <QString>

namespace tavilon {

// A "drive" as the open and save dialogs list it: on Linux a mounted file
// system a user would browse, on Windows a drive letter.
struct DriveInfo {
    QString root;  // "/", "/media/usb", "C:/"
    QString label; // the volume's label, or empty
};

// The drives of this machine: "/" first, then real mounts sorted by path,
// without pseudo and system mounts.
QList<DriveInfo> systemDrives();

// The drive holding `path`: the one with the longest root that contains it.
int driveIndexOf(const QList<DriveInfo>& drives, const QString& path);

// Whether `fsType` mounted at `root` is one a user would browse.
bool isBrowsableMount(const QString& root, const QString& fsType);

} // namespace tavilon
