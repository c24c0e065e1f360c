#pragma once

#include "core/errors/outcome.h"

#include <QListWidget>

namespace tavilon {

// The file list: the files of path(). fileName() is the selected entry's bare
// name, empty when none; fileSelected fires when an entry is chosen (by a click,
// the keyboard or a screen reader), pathChanged() whenever path() changes.
class FileList : public QListWidget {
    Q_OBJECT
public:
    explicit FileList(QWidget* parent = nullptr);

    QString path() const { return path_; }
    // Lists the files of `path`; on an error the list stays as it was.
    Outcome<void> setPath(const QString& path);
    // The selected entry's name as shown; a name that is not valid UTF-8
    // shows U+FFFD where its odd bytes are.
    QString fileName() const;
    // The selected entry's name in the file system's own bytes.
    QByteArray fileNameBytes() const;
    // Where each item keeps its name's own bytes.
    static constexpr int BytesRole = Qt::UserRole + 1;

signals:
    void fileSelected();
    void pathChanged();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    QString path_;
};

} // namespace tavilon
