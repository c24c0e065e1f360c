#include "result_file.h"

#include "core/saving/file_writer.h"

#include <QFile>

#include <string>

namespace tavilon {

Outcome<void> writeResultFile(const QByteArray& path, const QString& outputText)
{
    const QByteArray bytes = (outputText + QStringLiteral("\r\n")).toUtf8();
    const auto written = writeFileKeepingIdentity(path.toStdString(), std::string_view(bytes.constData(), bytes.size()));
    if (!written)
        return written.error();
    return {};
}

Outcome<void> writeResultFile(const QString& path, const QString& outputText)
{
    return writeResultFile(QFile::encodeName(path), outputText);
}

} // namespace tavilon
