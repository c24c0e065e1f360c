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

namespace {

enum class Kind { Files, Folders };

CoreError listingError(ErrorCode code, const char* sentence, const QString& path)
{
    const QString message = QCoreApplication::translate("FolderListing", sentence).arg(path);
    return {code, message.toStdString()};
}

Outcome<QList<FolderEntry>> listFolder(const QString& path, Kind kind)
{
    const QFileInfo info(path);
    if (!info.exists())
        return listingError(ErrorCode::OpenFailed,
                            QT_TRANSLATE_NOOP("FolderListing",
                                              "The folder \"%1\" does not exist (or the drive is not ready)."),
                            path);
    if (!info.isDir())
        return listingError(ErrorCode::OpenFailed, QT_TRANSLATE_NOOP("FolderListing", "\"%1\" is not a folder."), path);
    if (!info.isReadable() || !info.isExecutable())
        return listingError(ErrorCode::OpenFailed,
                            QT_TRANSLATE_NOOP("FolderListing", "The folder \"%1\" cannot be read: permission denied."),
                            path);
    // Read with the names' own bytes: a name that is not valid UTF-8 is still
    // a file the user can open.
    const std::unique_ptr<DIR, int (*)(DIR*)> dir(opendir(QFile::encodeName(path).constData()), closedir);
    if (!dir)
        return listingError(ErrorCode::ReadFailed,
                            QT_TRANSLATE_NOOP("FolderListing", "The folder \"%1\" cannot be read."), path);
    QList<FolderEntry> found;
    while (const dirent* entry = readdir(dir.get())) {
        const QByteArray bytes(entry->d_name);
        if (bytes.startsWith('.'))
            continue; // ".", ".." and hidden entries
        struct stat status {};
        if (fstatat(dirfd(dir.get()), entry->d_name, &status, 0) != 0)
            continue; // a broken link or an entry gone meanwhile
        if (!(kind == Kind::Folders ? S_ISDIR(status.st_mode) : S_ISREG(status.st_mode)))
            continue;
        found.append({QString::fromUtf8(bytes), bytes});
    }
    std::sort(found.begin(), found.end(), [](const FolderEntry& a, const FolderEntry& b) {
        return naturalLess(a.name, b.name) || (a.name == b.name && a.bytes < b.bytes);
    });
    return found;
}

} // namespace

Outcome<QList<FolderEntry>> listFiles(const QString& path)
{
    return listFolder(path, Kind::Files);
}

Outcome<QList<FolderEntry>> listSubfolders(const QString& path)
{
    return listFolder(path, Kind::Folders);
}

} // namespace tavilon
