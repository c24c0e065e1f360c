#pragma once

#include <QString>
#include <QStringList>

namespace tavilon {

// What a folder holds, sorted as a person expects (case-insensitive, numbers
// by value), hidden entries left out. Returns an error text, or empty.
QString listFolder(const QString& path, bool folders, QStringList& names);

// A folder path made absolute and clean; "/" stays "/".
QString cleanFolderPath(const QString& path);

} // namespace tavilon
