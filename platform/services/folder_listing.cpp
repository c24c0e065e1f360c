#include "folder_listing.h"

#include "natural_order.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <memory>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

namespace tavilon {

QString cleanFolderPath(const QString& path)
{
    return QDir::cleanPath(QDir(path).absolutePath());
}

QString listFolder(const QString& path, bool folders, QList<FolderEntry>& entries)
{
    const QFileInfo info(path);
    if (!info.exists())
        return QCoreApplication::translate("FolderListing", "The folder \"%1\" does not exist (or the drive is not ready).").arg(path);
    if (!info.isDir())
        return QCoreApplication::translate("FolderListing", "\"%1\" is not a folder.").arg(path);
    if (!info.isReadable() || !info.isExecutable())
        return QCoreApplication::translate("FolderListing", "The folder \"%1\" cannot be read: permission denied.").arg(path);
    // Read with the names' own bytes: a name that is not valid UTF-8 is still
    // a file the user can open.
    const std::unique_ptr<DIR, int (*)(DIR*)> dir(opendir(QFile::encodeName(path).constData()), closedir);
    if (!dir)
        return QCoreApplication::translate("FolderListing", "The folder \"%1\" cannot be read.").arg(path);
    QList<FolderEntry> found;
    while (const dirent* entry = readdir(dir.get())) {
        const QByteArray bytes(entry->d_name);
        if (bytes.startsWith('.'))
            continue; // ".", ".." and hidden entries
        struct stat status {};
        if (fstatat(dirfd(dir.get()), entry->d_name, &status, 0) != 0)
            continue; // a broken link or an entry gone meanwhile
        const bool isFolder = S_ISDIR(status.st_mode);
        if (isFolder != folders || (!folders && !S_ISREG(status.st_mode)))
            continue;
        found.append({QString::fromUtf8(bytes), bytes});
    }
    std::sort(found.begin(), found.end(), [](const FolderEntry& a, const FolderEntry& b) {
        return naturalLess(a.name, b.name) || (a.name == b.name && a.bytes < b.bytes);
    });
    entries = std::move(found);
    return QString();
}

QString listFolder(const QString& path, bool folders, QStringList& names)
{
    QList<FolderEntry> entries;
    const QString error = listFolder(path, folders, entries);
    if (error.isEmpty()) {
        names.clear();
        for (const FolderEntry& entry : entries)
            names.append(entry.name);
    }
    return error;
}

} // namespace tavilon
