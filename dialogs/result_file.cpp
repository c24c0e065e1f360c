#include "result_file.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

namespace tavilon {

QString writeResultFile(const QString& path, const QString& outputText)
{
    if (path.isEmpty())
        return QStringLiteral("No file name was given.");
    const QFileInfo target(path);
    // A link is followed: the file it points to is written, in its place.
    const QFileInfo real(target.isSymLink() ? target.symLinkTarget() : path);
    if (real.isDir())
        return QStringLiteral("\"%1\" is a folder, not a file.").arg(path);
    if (real.exists() && !real.isFile())
        return QStringLiteral("\"%1\" is not a regular file; nothing was written.").arg(path);
    if (!real.dir().exists())
        return QStringLiteral("The folder \"%1\" does not exist.").arg(real.dir().path());

    QSaveFile file(real.filePath());
    // Unbuffered, so that a full disk shows at the write that hits it.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return QStringLiteral("\"%1\" cannot be written: %2").arg(path, file.errorString());
    const QByteArray bytes = (outputText + QStringLiteral("\r\n")).toUtf8();
    qint64 done = 0;
    while (done < bytes.size()) {
        const qint64 written = file.write(bytes.constData() + done, bytes.size() - done);
        if (written <= 0) {
            const QString reason = file.errorString();
            file.cancelWriting();
            return QStringLiteral("Writing \"%1\" failed: %2. The file was left as it was.").arg(path, reason);
        }
        done += written;
    }
    if (!file.commit())
        return QStringLiteral("Saving \"%1\" failed: %2. The file was left as it was.").arg(path, file.errorString());
    return QString();
}

} // namespace tavilon
