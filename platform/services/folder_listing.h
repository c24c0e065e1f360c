#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

namespace tavilon {

// One entry of a folder: its name as shown (bytes that are not UTF-8 show
// as U+FFFD) and the file system's own bytes, which open it.
struct FolderEntry {
    QString name;
    QByteArray bytes;
};

// What a folder holds, sorted as a person expects (case-insensitive, numbers
// by value), hidden entries left out; every name is listed, also one that
// is not valid UTF-8. Returns an error text, or empty.
QString listFolder(const QString& path, bool folders, QList<FolderEntry>& entries);
// The same, the names as shown only.
QString listFolder(const QString& path, bool folders, QStringList& names);

// A folder path made absolute and clean; "/" stays "/".
QString cleanFolderPath(const QString& path);

} // namespace tavilon
