#pragma once

#include "file_identity.h"

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <optional>

class QWidget;

namespace tavilon {

class DesktopServices;

// A counted word list: its path as shown and in the file system's own bytes
// (which differ for a name that is not valid UTF-8), its number of words, and
// the file as it stood when counted, which a press checks it still reads.
struct CountedList {
    QString path;
    QByteArray pathBytes;
    std::uint64_t count = 0;
    FileIdentity file;
};

// Counts the word list at `path` with a wait cursor (and a progress dialog
// with Cancel on long lists). On failure the user sees why and nothing is
// returned; a cancelled count returns nothing without a message.
std::optional<CountedList> countWordList(QWidget* over, DesktopServices& services, const QString& path);
// The same for a file named by its own bytes; `shownPath` is what messages show.
std::optional<CountedList> countWordList(QWidget* over, DesktopServices& services, const QString& shownPath,
                                         const QByteArray& pathBytes);

} // namespace tavilon
