#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include <string>

#include <fcntl.h>
#include <sys/stat.h>

inline void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write test file %s", qPrintable(path));
}

inline void writeFile(const std::string& path, const QByteArray& bytes)
{
    writeFile(QString::fromStdString(path), bytes);
}

inline QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(missing)");
}

// What a save left beside its file in `folder`: its temporary files.
inline QStringList leftovers(const QString& folder)
{
    return QDir(folder).entryList({".tavilon-*"}, QDir::Hidden | QDir::Files);
}

// Dates the file long ago, so that any later write shows in its time.
inline bool backdate(const std::string& path)
{
    const timespec longAgo[2] = {{1'000'000'000, 0}, {1'000'000'000, 0}};
    return ::utimensat(AT_FDCWD, path.c_str(), longAgo, 0) == 0;
}

// Writes test files into one temporary folder that goes with the object.
class TempFiles {
public:
    std::string write(const QString& name, const QByteArray& bytes)
    {
        writeFile(path(name), bytes);
        return path(name).toStdString();
    }
    QString path(const QString& name) const { return dir_.filePath(name); }
    QString root() const { return dir_.path(); }

private:
    QTemporaryDir dir_;
};
