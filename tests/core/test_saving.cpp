#include "core/saving/file_writer.h"
#include "tests/support/temp_files.h"

#include <QtTest>

#include <csignal>
#include <fcntl.h>
#include <functional>
#include <grp.h>
#include <pwd.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace tavilon;

Q_DECLARE_METATYPE(tavilon::ErrorCode)

static std::string bytesOf(const std::string& path)
{
    return readFile(QString::fromStdString(path)).toStdString();
}

static struct stat statOf(const std::string& path)
{
    struct stat st {};
    ::lstat(path.c_str(), &st);
    return st;
}

// Runs `work` in a child process (as `user`, when given): true when it returned true.
static bool inChild(const std::function<bool()>& work, const passwd* user = nullptr)
{
    const pid_t child = ::fork();
    if (child == 0) {
        const bool becameUser = !user || (::setgroups(0, nullptr) == 0
                                          && ::setgid(user->pw_gid) == 0
                                          && ::setuid(user->pw_uid) == 0);
        ::_exit(becameUser ? !work() : 3);
    }
    int status = -1;
    return ::waitpid(child, &status, 0) == child && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

class TestSaving : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;
    std::string at(const QString& name) const { return dir_.filePath(name).toStdString(); }
    bool noLeftovers(const QString& folder = {}) const // a save leaves nothing beside the file
    {
        const QDir where(dir_.filePath(folder));
        return where.entryList({".tavilon-*"}, QDir::Hidden | QDir::Files).isEmpty();
    }

private slots:
    // What the saves refuse: a pipe, links to it and to a folder, links in loops, a file where
    // a folder should be. Names are given from here, as a user would type them.
    void initTestCase()
    {
        QVERIFY(QDir::setCurrent(dir_.path()));
        ::chmod(".", 0755); // nobody reaches the files
        QVERIFY(QDir().mkpath("sub"));
        QCOMPARE(::mkfifo("pipe", 0666), 0);
        writeFile(at("plain.txt"), "plain");
        const char* const links[][2] = {{"pipe-link", "pipe"},    {"sub-link", "sub"},
                                        {"loopy1", "loopy2"},     {"loopy2", "loopy1"},
                                        {"loopdir1", "loopdir2"}, {"loopdir2", "loopdir1"}};
        for (const auto& [name, target] : links)
            QCOMPARE(::symlink(target, name), 0);
    }

    // No save touches what it refused, nor leaves anything beside a file.
    void cleanup()
    {
        QVERIFY(S_ISFIFO(statOf(at("pipe")).st_mode));
        QVERIFY(S_ISCHR(statOf("/dev/null").st_mode));
        QCOMPARE(bytesOf(at("plain.txt")), "plain");
        QCOMPARE(QFile::symLinkTarget(dir_.filePath("loopy1")), dir_.filePath("loopy2"));
        QVERIFY(noLeftovers());
        QVERIFY(noLeftovers("sub"));
    }

    // The file holds exactly the text afterwards, keeps its permissions, its
    // inode where it has other names, and links stay links.
    void savesKeepLinksAndPermissions_data()
    {
        QTest::addColumn<QString>("links"); // "name -> target -> ...": symbolic links made first
        QTest::addColumn<bool>("twoNames"); // f.txt also has the name other.txt
        QTest::addColumn<QString>("save");
        QTest::addColumn<QString>("lands");
        QTest::addColumn<QByteArray>("text");
        const QByteArray odd("a\0b\xc2\xa0\xe2\x80\xa8\r\n", 10), crlf("new\r\n");
        const QString longest(255, 'n');
        QTest::newRow("new file, odd bytes") << "" << false << "new.txt" << "new.txt" << odd;
        QTest::newRow("new file, longest name") << "" << false << longest << longest << crlf;
        QTest::newRow("replaced, mode 0604") << "" << false << "f.txt" << "f.txt" << crlf;
        QTest::newRow("hard link, longer")
            << "" << true << "f.txt" << "other.txt" << QByteArray(100000, 'n');
        QTest::newRow("relative link")
            << "sub/rel -> f.txt" << false << "sub/rel" << "sub/f.txt" << crlf;
        QTest::newRow("dangling link")
            << "dangling -> sub/made.txt" << false << "dangling" << "sub/made.txt" << crlf;
        QTest::newRow("chain of links") << "c1 -> c2 -> f.txt" << false << "c1" << "f.txt" << crlf;
    }
    void savesKeepLinksAndPermissions()
    {
        QFETCH(QString, links);
        QFETCH(bool, twoNames);
        QFETCH(QString, save);
        QFETCH(QString, lands);
        QFETCH(QByteArray, text);
        QTemporaryDir here(dir_.filePath("case-XXXXXX"));
        const auto in = [&](const QString& name) { return here.filePath(name).toStdString(); };
        QVERIFY(QDir(here.path()).mkpath("sub"));
        writeFile(in("f.txt"), "an old text, longer than the new\r\n");
        writeFile(in("sub/f.txt"), "old");
        QCOMPARE(::chmod(in("f.txt").c_str(), 0604), 0);
        QCOMPARE(::chmod(in("sub/f.txt").c_str(), 0604), 0);
        QCOMPARE(twoNames ? ::link(in("f.txt").c_str(), in("other.txt").c_str()) : 0, 0);
        const QStringList chain = links.split(" -> ");
        for (int i = 0; i + 1 < chain.size(); ++i)
            QCOMPARE(::symlink(chain[i + 1].toStdString().c_str(), in(chain[i]).c_str()), 0);
        const ino_t inode = statOf(in(lands)).st_ino;
        const mode_t mask = ::umask(0);
        ::umask(mask); // a new file gets the usual mode

        const auto saved = writeFileKeepingIdentity(in(save), text.toStdString());
        QVERIFY2(saved.ok(), saved.ok() ? "" : saved.error().message.c_str());
        QCOMPARE(bytesOf(in(lands)), text.toStdString());
        QCOMPARE(statOf(in(lands)).st_mode & 07777, inode ? 0604 : 0666 & ~mask);
        if (twoNames) { // the other name still shares the file
            QCOMPARE(saved.value().method, WriteMethod::RewrittenInPlace);
            QCOMPARE(statOf(in(lands)).st_ino, inode);
        }
        for (int i = 0; i + 1 < chain.size(); ++i) {
            const QString link = here.filePath(chain[i]);
            QCOMPARE(QFile::symLinkTarget(link), QFileInfo(link).dir().filePath(chain[i + 1]));
        }
        QVERIFY(noLeftovers(QFileInfo(here.path()).fileName()));
    }

    // What a caller, and a reader of "NAME: reason", learn of a refusal.
    void refusedBeforeWriting_data()
    {
        QTest::addColumn<QString>("save");
        QTest::addColumn<ErrorCode>("code");
        QTest::addColumn<QString>("reason");
        const ErrorCode notFile = ErrorCode::NotRegularFile, cannot = ErrorCode::OpenFailed;
        QTest::newRow("link to a pipe")
            << "pipe-link" << notFile << "is a pipe, not a regular file";
        QTest::newRow("device") << "/dev/null" << notFile << "is a device, not a regular file";
        QTest::newRow("folder") << "sub/" << notFile << "names a folder, not a file";
        QTest::newRow("link to a folder") << "sub-link" << notFile << "is a folder, not a file";
        QTest::newRow("missing folder") << "none/x.txt" << cannot << "its folder does not exist";
        QTest::newRow("under a file")
            << "plain.txt/x.txt" << cannot << "\"plain.txt\" is a file, not a folder";
        QTest::newRow("deeper under a file")
            << "plain.txt/in/x" << cannot << "a part of its folder path is a file, not a folder";
        QTest::newRow("empty name") << "" << cannot << "no file name was given";
        QTest::newRow("links in a loop") << "loopy1" << cannot << "its symbolic links form a loop";
        QTest::newRow("loop in the folder path")
            << "loopdir1/x.txt" << cannot << "its folder path holds a loop of symbolic links";
    }
    void refusedBeforeWriting()
    {
        QFETCH(QString, save);
        QFETCH(ErrorCode, code);
        QFETCH(QString, reason);
        const auto result = writeFileKeepingIdentity(save.toStdString(), "x");
        QVERIFY2(!result.ok(), "saved");
        QCOMPARE(result.error().code, code);
        QCOMPARE(QString::fromStdString(result.error().reason), reason);
        QCOMPARE(QString::fromStdString(result.error().subject), save);
    }

    // In place, a shorter text needs no new room: it saves on a full disk. (A save that fails
    // part-way, by rename or in place, leaves the old file: test_program_streams, past the
    // file-size limit.)
    void aShorterTextSavesInPlaceOnAFullDisk()
    {
        const std::string folder = at("full"), path = folder + "/old.txt", old(8000, 'o');
        ::mkdir(folder.c_str(), 0755);
        if (::geteuid() != 0 || ::mount("tmpfs", folder.c_str(), "tmpfs", 0, "size=64k") != 0)
            QSKIP("mounting a small disk needs root");
        const auto unmount = qScopeGuard([&] { ::umount2(folder.c_str(), MNT_DETACH); });
        writeFile(path, QByteArray::fromStdString(old));
        QCOMPARE(::link(path.c_str(), (folder + "/other-name.txt").c_str()), 0);
        const int filler = ::open((folder + "/filler").c_str(), O_WRONLY | O_CREAT, 0600);
        while (::write(filler, old.data(), old.size()) > 0) {
        } // fills the disk
        ::close(filler);
        const auto result = writeFileKeepingIdentity(path, "shorter");
        QVERIFY2(result.ok(), result.ok() ? "" : result.error().message.c_str());
        QCOMPARE(bytesOf(path), "shorter");
        QVERIFY(noLeftovers("full"));
    }

    // Root keeps another user's ownership; a user saves a file of theirs in
    // a folder they may not write, but never a file they may not write.
    void ownersAndPermissionsAreKept()
    {
        const passwd* nobody = ::getpwnam("nobody");
        const group* nogroup = ::getgrnam("nogroup");
        if (::geteuid() != 0 || !nobody || !nogroup)
            QSKIP("needs root, and the user nobody and group nogroup");
        const std::string theirs = at("locked/theirs.txt"), readOnly = at("read-only.txt");
        QVERIFY(QDir(dir_.path()).mkpath("locked"));
        writeFile(theirs, "theirs");
        writeFile(readOnly, "keep");
        QCOMPARE(::chown(theirs.c_str(), nobody->pw_uid, nogroup->gr_gid), 0);
        QCOMPARE(::chmod(theirs.c_str(), 0640), 0);
        QCOMPARE(::chown(readOnly.c_str(), nobody->pw_uid, nobody->pw_gid), 0);
        QCOMPARE(::chmod(readOnly.c_str(), 0444), 0);
        QVERIFY(writeFileKeepingIdentity(theirs, "root wrote this").ok());
        const struct stat st = statOf(theirs);
        QCOMPARE(st.st_uid, nobody->pw_uid);
        QCOMPARE(st.st_gid, nogroup->gr_gid);
        QCOMPARE(st.st_mode & 07777, 0640u);
        QVERIFY(inChild([&] { return writeFileKeepingIdentity(theirs, "by nobody").ok(); },
                        nobody));
        QCOMPARE(bytesOf(theirs), "by nobody");
        QCOMPARE(statOf(theirs).st_ino, st.st_ino);
        QCOMPARE(::chmod(".", 0777), 0); // a rename would be allowed
        QVERIFY(inChild([&] {
            const auto result = writeFileKeepingIdentity(readOnly, "nobody's");
            return !result.ok() && result.error().reason == "Permission denied";
        }, nobody));
        ::chmod(".", 0755);
        QCOMPARE(bytesOf(readOnly), "keep");
        QVERIFY(noLeftovers("locked"));
    }
};

QTEST_MAIN(TestSaving)
#include "test_saving.moc"
