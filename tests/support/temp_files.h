#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include <string>

inline void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write test file %s", qPrintable(path));
}

inline QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(missing)");
}

// Writes test files into one temporary folder that goes with the object.
class TempFiles {
public:
    std::string write(const QString& name, const QByteArray& bytes)
    {
        writeFile(dir_.filePath(name), bytes);
        return dir_.filePath(name).toStdString();
    }
    QString path(const QString& name) const { return dir_.filePath(name); }
    QString root() const { return dir_.path(); }

private:
    QTemporaryDir dir_;
};
