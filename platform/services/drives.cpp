#include "drives.h"

#include <QDir>
#include <QStorageInfo>

#include <algorithm>

namespace tavilon {

bool isBrowsableMount(const QString& root, const QString& fsType)
{
    static const QStringList pseudo = {
        "proc", "sysfs", "tmpfs", "devtmpfs", "devpts", "cgroup", "cgroup2", "mqueue", "hugetlbfs",
        "debugfs", "tracefs", "securityfs", "pstore", "bpf", "configfs", "fusectl", "autofs",
        "binfmt_misc", "nsfs", "ramfs", "efivarfs", "rpc_pipefs", "nfsd", "squashfs", "fuse.gvfsd-fuse",
        "fuse.portal", "overlay", "selinuxfs", "none"};
    if (root == QLatin1String("/"))
        return true;
    if (pseudo.contains(fsType))
        return false;
    const auto under = [&](const char* top) {
        const QString t = QString::fromLatin1(top);
        return root == t || root.startsWith(t + QLatin1Char('/'));
    };
    if (under("/run/media"))
        return true;
    if (under("/proc") || under("/sys") || under("/dev") || under("/run") || under("/snap")
        || under("/boot/efi"))
        return false;
    return true;
}

QList<DriveInfo> systemDrives()
{
    QList<DriveInfo> drives;
#ifdef Q_OS_WIN
    for (const QFileInfo& drive : QDir::drives())
        drives.append({drive.absoluteFilePath(), QStorageInfo(drive.absoluteFilePath()).name()});
#else
    drives.append({QStringLiteral("/"), QStorageInfo::root().name()});
    QList<DriveInfo> others;
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
        const QString root = volume.rootPath();
        if (root == QLatin1String("/"))
            continue;
        if (!isBrowsableMount(root, QString::fromLatin1(volume.fileSystemType())))
            continue;
        if (std::any_of(others.begin(), others.end(), [&](const DriveInfo& d) { return d.root == root; }))
            continue;
        others.append({root, volume.name()});
    }
    std::sort(others.begin(), others.end(), [](const DriveInfo& a, const DriveInfo& b) { return a.root < b.root; });
    drives.append(others);
#endif
    return drives;
}

int driveIndexOf(const QList<DriveInfo>& drives, const QString& path)
{
    int best = -1;
    qsizetype bestLength = -1;
    for (int i = 0; i < drives.size(); ++i) {
        QString root = drives[i].root;
        const bool contains = path == root
            || path.startsWith(root.endsWith(QLatin1Char('/')) ? root : root + QLatin1Char('/'));
        if (contains && root.size() > bestLength) {
            best = i;
            bestLength = root.size();
        }
    }
    return best;
}

} // namespace tavilon
