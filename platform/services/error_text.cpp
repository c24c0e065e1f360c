#include "error_text.h"

#include "core_errors.h"

#include <QCoreApplication>

namespace tavilon {

QString errorText(const CoreError& error)
{
    if (!error.pattern)
        return QString::fromUtf8(error.message);
    // Filled in bytes, as the core fills its own sentence, so that a file
    // name that is not valid UTF-8 shows as it always has.
    const QString pattern = QCoreApplication::translate("CoreError", error.pattern);
    return QString::fromStdString(fillSentence(pattern.toStdString(), error.args));
}

} // namespace tavilon
