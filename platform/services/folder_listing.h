#pragma once

#include "core/errors/outcome.h"

#include <QByteArray>
#include <QList>
#include <QString>

namespace tavilon {

// One entry of a folder: its name as shown (bytes that are not UTF-8 show
// as U+FFFD) and the file system's own bytes, which open it.
struct FolderEntry {
    QString name;
    QByteArray bytes;
};

// The plain files of a folder, sorted as a person expects (case-insensitive,
// numbers by value), hidden entries left out; every name is listed, also one
// that is not valid UTF-8. A folder that cannot be listed gives an error
// whose message is the sentence a window shows, in the user's language.
Outcome<QList<FolderEntry>> listFiles(const QString& path);
// The same for the folders a folder holds.
Outcome<QList<FolderEntry>> listSubfolders(const QString& path);

// A folder path made absolute and clean; "/" stays "/".
QString cleanFolderPath(const QString& path);

} // namespace tavilon
