#include "error_text.h"

#include "core/errors/core_errors.h"

#include <QCoreApplication>

#include <algorithm>
#include <cerrno>
#include <climits>

namespace tavilon {

namespace {

struct KnownReason {
    int error;
    const char* text;
};

// The system's reasons a user meets, in the C locale's English words, for
// the translators: the window says them in its own language, as it says
// everything else.
const KnownReason knownReasons[] = {
    {ENOENT, QT_TRANSLATE_NOOP("SystemReason", "No such file or directory")},
    {EACCES, QT_TRANSLATE_NOOP("SystemReason", "Permission denied")},
    {EPERM, QT_TRANSLATE_NOOP("SystemReason", "Operation not permitted")},
    {EISDIR, QT_TRANSLATE_NOOP("SystemReason", "Is a directory")},
    {ENOTDIR, QT_TRANSLATE_NOOP("SystemReason", "Not a directory")},
    {ENOSPC, QT_TRANSLATE_NOOP("SystemReason", "No space left on device")},
    {EFBIG, QT_TRANSLATE_NOOP("SystemReason", "File too large")},
    {EROFS, QT_TRANSLATE_NOOP("SystemReason", "Read-only file system")},
#ifdef EDQUOT
    {EDQUOT, QT_TRANSLATE_NOOP("SystemReason", "Disk quota exceeded")},
#endif
    {EIO, QT_TRANSLATE_NOOP("SystemReason", "Input/output error")},
    {ELOOP, QT_TRANSLATE_NOOP("SystemReason", "Too many levels of symbolic links")},
    {ENAMETOOLONG, QT_TRANSLATE_NOOP("SystemReason", "File name too long")},
    {ENOMEM, QT_TRANSLATE_NOOP("SystemReason", "Cannot allocate memory")},
    {EMFILE, QT_TRANSLATE_NOOP("SystemReason", "Too many open files")},
    {ENFILE, QT_TRANSLATE_NOOP("SystemReason", "Too many open files in system")},
    {ETXTBSY, QT_TRANSLATE_NOOP("SystemReason", "Text file busy")},
    {EBUSY, QT_TRANSLATE_NOOP("SystemReason", "Device or resource busy")},
    {ENXIO, QT_TRANSLATE_NOOP("SystemReason", "No such device or address")},
    {ENODEV, QT_TRANSLATE_NOOP("SystemReason", "No such device")},
    {EAGAIN, QT_TRANSLATE_NOOP("SystemReason", "Resource temporarily unavailable")},
    {EINVAL, QT_TRANSLATE_NOOP("SystemReason", "Invalid argument")},
    {EEXIST, QT_TRANSLATE_NOOP("SystemReason", "File exists")},
    {ENOTSUP, QT_TRANSLATE_NOOP("SystemReason", "Operation not supported")},
    {EINTR, QT_TRANSLATE_NOOP("SystemReason", "Interrupted system call")},
#ifdef ESTALE
    {ESTALE, QT_TRANSLATE_NOOP("SystemReason", "Stale file handle")},
#endif
    {ETIMEDOUT, QT_TRANSLATE_NOOP("SystemReason", "Connection timed out")},
};

// The reason for errno `error` in the user's language; any other reason in
// the system's English, never in a language the window does not speak.
std::string reasonText(int error)
{
    for (const KnownReason& known : knownReasons) {
        if (known.error == error)
            return QCoreApplication::translate("SystemReason", known.text).toStdString();
    }
    return systemReason(error);
}

} // namespace

QString errorText(const CoreError& error)
{
    if (!error.pattern)
        return QString::fromUtf8(error.message);
    std::vector<std::string> args = error.args;
    if (error.systemError != 0 && !args.empty())
        args.back() = reasonText(error.systemError);
    for (const CoreError::Counted& counted : error.counted) {
        // Qt fills %n whether or not a translation is loaded; with none, the
        // core's English keeps its singular.
        const int number = int(std::min<std::uint64_t>(counted.number, INT_MAX));
        const QString text = QCoreApplication::translate("CoreError", counted.pattern, nullptr, number);
        if (text != QString::fromLatin1(counted.pattern).replace(QLatin1String("%n"), QString::number(number)))
            args[counted.arg] = text.toStdString();
    }
    // Filled in bytes, as the core fills its own sentence, so that a file
    // name that is not valid UTF-8 shows as it always has.
    const QString pattern = QCoreApplication::translate("CoreError", error.pattern);
    return QString::fromStdString(fillSentence(pattern.toStdString(), args));
}

} // namespace tavilon
