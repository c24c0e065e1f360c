// Every bad input a user can give, in one place: each gets a clear message,
// the program keeps running, and boxes, output and files stay as they were.

#include "file_list_box.h"
#include "main_window.h"
#include "open_dialog.h"
#include "output_box.h"
#include "dir_list_box.h"
#include "random_source.h"
#include "save_dialog.h"
#include "window_fixture.h"

#include <QClipboard>
#include <QDir>
#include <QMimeData>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#include <unistd.h>
#endif

using namespace tavilon;

namespace {

QByteArray utf16le(const QString& text)
{
    QByteArray out("\xFF\xFE", 2);
    for (QChar c : text) {
        out.append(char(c.unicode() & 0xFF));
        out.append(char(c.unicode() >> 8));
    }
    return out;
}

} // namespace

class TestHostileInputs : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    QString at(const QString& name) const { return QDir(dir_.path()).filePath(name); }

    // Loads a list through the open dialog, as a user does; returns whether it took.
    bool loadThroughDialog(WindowFixture& f, const QString& path)
    {
        OpenDialog& dialog = f.windows->openDialog().show();
        if (!dialog.folderList()->openFolder(QFileInfo(path).absolutePath()).isEmpty())
            return false;
        const auto items = dialog.fileList()->findItems(QFileInfo(path).fileName(), Qt::MatchExactly);
        if (items.size() != 1)
            return false;
        dialog.fileList()->setCurrentItem(items.front());
        dialog.onOkClicked();
        const bool closed = !f.windows->openDialog().isLoaded();
        WindowFixture::flushDeletes();
        return closed;
    }

private slots:
    void init() { processRandomSource().reset(); }

    void listsRefusedAtLoading_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("says");
        QTest::newRow("binary file with NUL bytes") << QByteArray("word\0\x01\x02", 7) << "binary data";
        QTest::newRow("UTF-16 holding a NUL character") << utf16le(QString("a") + QChar(0)) << "binary data";
    }
    void listsRefusedAtLoading()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, says);
        WindowFixture f;
        MainWindow& form = f.windows->mainWindow().show();
        form.showCountedList("/earlier.txt", 3);
        writeFile(at("bad.dat"), content);
        QVERIFY(!loadThroughDialog(f, at("bad.dat")));
        QVERIFY(f.services.lastMessage().contains(says));
        QVERIFY(f.services.lastMessage().contains("bad.dat"));
        QCOMPARE(form.pathBox()->text(), QStringLiteral("/earlier.txt"));
        QCOMPARE(form.countBox()->text(), QStringLiteral("3"));
    }

    void oddButValidListsPickTheRightWords_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("count");
        QTest::addColumn<QString>("firstPick"); // r = 0.7055: the word at floor(count * r) + 1
        QTest::newRow("Windows-1252, not UTF-8") << QByteArray("caf\xE9\nna\xEFve\n\x80uro\n") << "cp.txt" << "3" << QString::fromUtf8("€uro");
        QTest::newRow("UTF-16 with a final line end") << utf16le("one\r\ntwo\r\nthree\r\n") << "u16a.txt" << "3" << "three";
        QTest::newRow("UTF-16 without a final line end") << utf16le("one\r\ntwo\r\nthree") << "u16b.txt" << "3" << "three";
        QTest::newRow("name with spaces and non-ASCII") << QByteArray("x\ny\n") << QString::fromUtf8("my wörds list.txt") << "2" << "y";
        QTest::newRow("blank lines around words") << QByteArray("\n\n  a  \n\t\nb\n\n") << "blanks.txt" << "2" << "b";
        // A list without words loads, with an empty count; a press says so.
        QTest::newRow("empty file") << QByteArray() << "empty.txt" << "" << "";
        QTest::newRow("only blank lines") << QByteArray(" \r\n\t\n\n") << "blank.txt" << "" << "";
    }
    void oddButValidListsPickTheRightWords()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, name);
        QFETCH(QString, count);
        QFETCH(QString, firstPick);
        WindowFixture f;
        MainWindow& form = f.windows->mainWindow().show();
        writeFile(at(name), content);
        QVERIFY(loadThroughDialog(f, at(name)));
        QCOMPARE(form.pathBox()->text(), QDir::toNativeSeparators(at(name)));
        QCOMPARE(form.countBox()->text(), count);
        QVERIFY(form.selectButton()->isEnabled());
        form.onSelectClicked();
        QCOMPARE(form.outputBox()->text(), firstPick.isEmpty() ? QString() : firstPick + "\r\n");
        if (firstPick.isEmpty())
            QVERIFY(f.services.lastMessage().contains("no words"));
        else
            QVERIFY(f.services.messages.isEmpty());
    }

    void theListChangesUnderTheWindow_data()
    {
        QTest::addColumn<QString>("change");
        QTest::addColumn<QString>("says");
        QTest::newRow("deleted after counting") << "delete" << "No such file";
        QTest::newRow("shortened after counting") << "shorten" << "changed since it was counted";
        QTest::newRow("replaced by a list as long") << "replace" << "changed since it was counted";
        QTest::newRow("replaced by a longer list") << "replace longer" << "changed since it was counted";
        QTest::newRow("path edited to another list") << "edit" << "no longer names the word list";
        QTest::newRow("path edited to a folder") << "folder" << "no longer names the word list";
        QTest::newRow("path edited to nonsense") << "nonsense" << "no longer names the word list";
        QTest::newRow("path edited to a pipe") << "fifo" << "no longer names the word list";
        QTest::newRow("path edited to a device") << "device" << "no longer names the word list";
    }
    void theListChangesUnderTheWindow()
    {
        QFETCH(QString, change);
        QFETCH(QString, says);
        WindowFixture f;
        MainWindow& form = f.windows->mainWindow().show();
        QByteArray words;
        for (int i = 0; i < 100; ++i)
            words += "w" + QByteArray::number(i) + "\n";
        writeFile(at("list.txt"), words);
        QVERIFY(loadThroughDialog(f, at("list.txt")));
        form.outputBox()->setText("kept\r\n");
        if (change == "delete") {
            QFile::remove(at("list.txt"));
        } else if (change == "shorten") {
            writeFile(at("list.txt"), "a\nb\n");
        } else if (change.startsWith("replace")) {
            // Another list takes the name, as a save by another program would leave it.
            QByteArray other;
            for (int i = 0; i < (change == "replace" ? 100 : 500); ++i)
                other += "x" + QByteArray::number(i) + "\n";
            writeFile(at("other.txt"), other);
            QFile::remove(at("list.txt"));
            QVERIFY(QFile::rename(at("other.txt"), at("list.txt")));
        } else if (change == "edit") {
            writeFile(at("short.txt"), "a\n");
            form.pathBox()->setText(at("short.txt"));
        } else if (change == "folder") {
            form.pathBox()->setText(dir_.path());
        } else if (change == "nonsense") {
            form.pathBox()->setText("\t?*<>|");
        } else if (change == "fifo") {
#ifdef Q_OS_UNIX
            QVERIFY(::mkfifo(at("pipe").toLocal8Bit().constData(), 0600) == 0 || QFile::exists(at("pipe")));
            form.pathBox()->setText(at("pipe"));
#endif
        } else if (change == "device") {
            form.pathBox()->setText("/dev/zero");
        }
        form.picksBox()->setText("50");
        QElapsedTimer timer;
        timer.start();
        form.onSelectClicked();
        QVERIFY(timer.elapsed() < 5000); // nothing waits on a pipe or a device
        QVERIFY2(f.services.lastMessage().contains(says), qPrintable(f.services.lastMessage()));
        QCOMPARE(form.outputBox()->text(), QStringLiteral("kept\r\n"));
        QCOMPARE(processRandomSource().state(), RandomSource::StartState);
        QVERIFY(form.isVisible());
    }

    void aVanishedCurrentFolder()
    {
        const QString gone = at("gone-folder");
        QDir().mkpath(gone);
        const QString previous = QDir::currentPath();
        QVERIFY(QDir::setCurrent(gone));
        QDir(gone).removeRecursively();
        WindowFixture f;
        OpenDialog& dialog = f.windows->openDialog().show();
        QVERIFY(!dialog.folderList()->path().isEmpty());
        QVERIFY(QFileInfo(dialog.folderList()->path()).isDir());
        QVERIFY(f.services.messages.isEmpty());
        QDir::setCurrent(previous);
    }

    void aHundredMegabyteLineIsCountedButNotShown()
    {
        {
            QFile file(at("one-line.txt"));
            QVERIFY(file.open(QIODevice::WriteOnly));
            const QByteArray block(1 << 20, 'q');
            for (int i = 0; i < 100; ++i)
                file.write(block);
        }
        WindowFixture f;
        MainWindow& form = f.windows->mainWindow().show();
        QVERIFY(loadThroughDialog(f, at("one-line.txt")));
        QCOMPARE(form.countBox()->text(), QStringLiteral("1"));
        QElapsedTimer timer;
        timer.start();
        form.onSelectClicked();
        QVERIFY(timer.elapsed() < 20000);
        QVERIFY(f.services.lastMessage().contains("characters long"));
        QVERIFY(form.outputBox()->text().isEmpty());
        QCOMPARE(processRandomSource().state(), RandomSource::StartState);
        QFile::remove(at("one-line.txt"));
    }

    void overlongPastesAndDropsAreRefused_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("taken");
        QTest::newRow("two million characters") << QString(2'000'000, 'x') << false;
        QTest::newRow("one over the limit after short lines") << "a\nb\n" + QString(10'001, 'y') << false;
        QTest::newRow("at the limit") << QString(10'000, 'z') << true;
        QTest::newRow("long in total, short lines") << QString("word\n").repeated(5000) << true;
    }
    void overlongPastesAndDropsAreRefused()
    {
        QFETCH(QString, text);
        QFETCH(bool, taken);
        for (bool drop : {false, true}) {
            WindowFixture f;
            MainWindow& form = f.windows->mainWindow().show();
            form.outputBox()->setText("kept\r\n");
            QMimeData data;
            data.setText(text);
            QElapsedTimer timer;
            timer.start();
            if (drop) {
                dropOnto(form.outputBox()->viewport(), data);
            } else {
                QGuiApplication::clipboard()->setText(text);
                form.outputBox()->moveCursor(QTextCursor::End);
                form.outputBox()->paste();
            }
            QVERIFY(timer.elapsed() < 20000);
            if (taken) {
                QVERIFY(form.outputBox()->text().size() > 6);
                QVERIFY(f.services.messages.isEmpty());
            } else {
                QCOMPARE(form.outputBox()->text(), QStringLiteral("kept\r\n"));
                QVERIFY(f.services.lastMessage().contains("Nothing was pasted"));
            }
        }
    }

    void tenMillionLines()
    {
        {
            QFile file(at("ten-million.txt"));
            QVERIFY(file.open(QIODevice::WriteOnly));
            QByteArray chunk;
            for (int i = 0; i < 100000; ++i)
                chunk += "line" + QByteArray::number(i % 1000) + "\n";
            for (int i = 0; i < 100; ++i)
                file.write(chunk);
        }
        WindowFixture f;
        MainWindow& form = f.windows->mainWindow().show();
        QVERIFY(loadThroughDialog(f, at("ten-million.txt")));
        QCOMPARE(form.countBox()->text(), QStringLiteral("10000000"));
        form.picksBox()->setText("1000");
        form.onSelectClicked();
        QCOMPARE(form.outputBox()->lineCount(), 1000);
        QFile::remove(at("ten-million.txt"));
    }

    void numberOfPicks_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("boxAfterTyping");
        QTest::addColumn<QString>("boxAfterSelect");
        QTest::addColumn<int>("lines");
        QTest::addColumn<QString>("says");
        QTest::newRow("empty") << "" << "" << "1" << 1 << "";
        QTest::newRow("0") << "0" << "0" << "1" << 1 << "";
        QTest::newRow("00") << "00" << "00" << "00" << 0 << "";
        QTest::newRow("-3") << "-3" << "3" << "3" << 3 << ""; // "-" alone empties the box first
        QTest::newRow("2.5") << "2.5" << "2.5" << "2.5" << 2 << "";
        QTest::newRow("1e3 key by key") << "1e3" << "3" << "3" << 3 << ""; // "1e" is not a number
        QTest::newRow("12a key by key") << "12a" << "" << "1" << 1 << "";
        QTest::newRow("above the limit") << "1000001" << "1000001" << "1000001" << 0 << "At most";
        QTest::newRow("far above the limit") << "99999999999" << "99999999999" << "99999999999" << 0 << "At most";
    }
    void numberOfPicks()
    {
        QFETCH(QString, typed);
        QFETCH(QString, boxAfterTyping);
        QFETCH(QString, boxAfterSelect);
        QFETCH(int, lines);
        QFETCH(QString, says);
        writeFile(at("ab.txt"), "a\nb\n");
        WindowFixture f;
        MainWindow& form = f.windows->mainWindow().show();
        form.showCountedList(at("ab.txt"), 2);
        form.picksBox()->setFocus();
        QTest::keyClicks(form.picksBox(), typed);
        QCOMPARE(form.picksBox()->text(), boxAfterTyping);
        form.onSelectClicked();
        QCOMPARE(form.picksBox()->text(), boxAfterSelect);
        QCOMPARE(form.outputBox()->lineCount(), qint64(lines));
        if (says.isEmpty())
            QVERIFY(f.services.messages.isEmpty());
        else
            QVERIFY(f.services.lastMessage().contains(says));
    }

    void savingFailsSafely_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("says");
        QTest::newRow("empty name") << "" << "Type a name";
        QTest::newRow("a folder") << "folder" << "is a folder";
        QTest::newRow("a missing folder") << "missing/out.txt" << "does not exist";
        QTest::newRow("under a regular file") << "existing.txt/out.txt" << "is a file, not a folder";
        QTest::newRow("a pipe") << "pipe" << "not a regular file";
        QTest::newRow("a read-only file") << "readonly.txt" << "not saved";
    }
    void savingFailsSafely()
    {
        QFETCH(QString, name);
        QFETCH(QString, says);
        QDir(dir_.path()).mkpath("folder");
        writeFile(at("existing.txt"), "old\r\n");
#ifdef Q_OS_UNIX
        ::mkfifo(at("pipe").toLocal8Bit().constData(), 0600);
        if (name == "readonly.txt" && ::geteuid() == 0)
            QSKIP("root may write any file");
#endif
        if (name == "readonly.txt") {
            writeFile(at(name), "old\r\n");
            QFile::setPermissions(at(name), QFileDevice::ReadOwner);
        }
        WindowFixture f;
        MainWindow& form = f.windows->mainWindow().show();
        form.outputBox()->setText("precious\r\n");
        SaveDialog& dialog = f.windows->saveDialog().show();
        QVERIFY(dialog.folderList()->openFolder(dir_.path()).isEmpty());
        dialog.nameBox()->setText(name);
        dialog.onOkClicked();
        QVERIFY2(f.services.lastMessage().contains(says), qPrintable(f.services.lastMessage()));
        QVERIFY(f.windows->saveDialog().isLoaded());
        QCOMPARE(form.outputBox()->text(), QStringLiteral("precious\r\n"));
        QCOMPARE(readAll(at("existing.txt")), QByteArray("old\r\n"));
        if (name == "readonly.txt")
            QCOMPARE(readAll(at(name)), QByteArray("old\r\n"));
    }

    void aFullDiskKeepsTheOldFile()
    {
#ifndef Q_OS_LINUX
        QSKIP("needs a small tmpfs");
#else
        const QString small = at("small-disk");
        QDir().mkpath(small);
        if (QProcess::execute("mount", {"-t", "tmpfs", "-o", "size=64k", "tmpfs", small}) != 0)
            QSKIP("a small tmpfs cannot be mounted here (needs root)");
        writeFile(small + "/result.txt", "old result\r\n");
        WindowFixture f;
        MainWindow& form = f.windows->mainWindow().show();
        form.outputBox()->setText(QString("a line of output\r\n").repeated(20000)); // about 360 KB
        SaveDialog& dialog = f.windows->saveDialog().show();
        QVERIFY(dialog.folderList()->openFolder(small).isEmpty());
        dialog.nameBox()->setText("result.txt");
        dialog.onOkClicked();
        const QString message = f.services.lastMessage();
        const QByteArray kept = readAll(small + "/result.txt");
        const QStringList leftOver = QDir(small).entryList(QDir::Files | QDir::Hidden);
        QProcess::execute("umount", {small});
        QVERIFY2(message.contains("not saved"), qPrintable(message));
        QCOMPARE(kept, QByteArray("old result\r\n"));
        QCOMPARE(leftOver, QStringList{"result.txt"}); // no half-written file left behind
        QVERIFY(f.windows->saveDialog().isLoaded());
        QCOMPARE(form.outputBox()->lineCount(), 20000);
#endif
    }
};

QTEST_MAIN(TestHostileInputs)
#include "test_hostile_inputs.moc"
