#include "folder_listing.h"

#include "natural_order.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>

namespace tavilon {

QString cleanFolderPath(const QString& path)
{
    return QDir::cleanPath(QDir(path).absolutePath());
}

QString listFolder(const QString& path, bool folders, QStringList& names)
{
    const QFileInfo info(path);
    if (!info.exists())
        return QStringLiteral("The folder \"%1\" does not exist (or the drive is not ready).").arg(path);
    if (!info.isDir())
        return QStringLiteral("\"%1\" is not a folder.").arg(path);
    if (!info.isReadable() || !info.isExecutable())
        return QStringLiteral("The folder \"%1\" cannot be read: permission denied.").arg(path);
    QDir dir(path);
    const QDir::Filters filter = (folders ? QDir::Dirs : QDir::Files) | QDir::NoDotAndDotDot;
    names = dir.entryList(filter, QDir::NoSort);
    std::sort(names.begin(), names.end(), naturalLess);
    return QString();
}

} // namespace tavilon
