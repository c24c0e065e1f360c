#pragma once

#include <QListWidget>

namespace tavilon {

// The file list: the files of Path. FileName is the selected entry's bare
// name, empty when none; Click fires on selecting an entry, PathChange
// whenever Path changes.
class FileListBox : public QListWidget {
    Q_OBJECT
public:
    explicit FileListBox(QWidget* parent = nullptr);

    QString path() const { return path_; }
    // Returns why the folder could not be listed, or an empty text.
    QString setPath(const QString& path);
    QString fileName() const;

signals:
    void fileSelected();
    void pathChanged();

private:
    QString path_;
};

} // namespace tavilon
