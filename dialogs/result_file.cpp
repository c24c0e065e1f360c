#include "result_file.h"

#include "platform/services/error_text.h"
#include "core/saving/file_writer.h"

#include <QFile>

#include <string>

namespace tavilon {

QString writeResultFile(const QByteArray& path, const QString& outputText)
{
    const QByteArray bytes = (outputText + QStringLiteral("\r\n")).toUtf8();
    const auto written = writeFileKeepingIdentity(path.toStdString(), std::string_view(bytes.constData(), bytes.size()));
    return written ? QString() : errorText(written.error());
}

QString writeResultFile(const QString& path, const QString& outputText)
{
    return writeResultFile(QFile::encodeName(path), outputText);
}

} // namespace tavilon
