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

Q_DECLARE_METATYPE(tavilon::WriteProblem)

static std::string bytesOf(const std::string& path) { return readFile(QString::fromStdString(path)).toStdString(); }

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
        const bool becameUser = !user || (::setgroups(0, nullptr) == 0 && ::setgid(user->pw_gid) == 0
                                          && ::setuid(user->pw_uid) == 0);
        ::_exit(becameUser ? !work() : 3);
    }
    int status = -1;
    return ::waitpid(child, &status, 0) == child && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// The failed save's message holds `text`.
static bool mentions(const Outcome<WriteReport>& result, const QString& text)
{
    return result.error().message.find(text.toStdString()) != std::string::npos;
}

class TestSaving : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;
    std::string at(const QString& name) const { return dir_.filePath(name).toStdString(); }
    bool noLeftovers(const QString& folder = {}) const // a save leaves nothing beside the file
    {
        return QDir(dir_.filePath(folder)).entryList({".tavilon-*"}, QDir::Hidden | QDir::Files).isEmpty();
    }

private slots:
    // What the saves refuse: a pipe, a link to it, links in loops, a file where a folder should be.
    void initTestCase()
    {
        ::chmod(dir_.path().toLocal8Bit().constData(), 0755); // nobody reaches the files
        QVERIFY(QDir(dir_.path()).mkpath("sub"));
        QCOMPARE(::mkfifo(at("pipe").c_str(), 0666), 0);
        writeFile(dir_.filePath("plain.txt"), "plain");
        for (const char* link :
             {"pipe-link>pipe", "loopy1>loopy2", "loopy2>loopy1", "loopdir1>loopdir2", "loopdir2>loopdir1"})
            QCOMPARE(::symlink(QByteArray(link).split('>')[1], at(QByteArray(link).split('>')[0]).c_str()), 0);
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
        QTest::addColumn<QString>("links"); // "name -> target -> ...", or "name = f.txt" for a hard link
        QTest::addColumn<QString>("save");
        QTest::addColumn<QString>("lands");
        QTest::addColumn<QByteArray>("text");
        const QByteArray odd("a\0b\xc2\xa0\xe2\x80\xa8\r\n", 10);
        QTest::newRow("new file, odd bytes") << "" << "new.txt" << "new.txt" << odd;
        QTest::newRow("new file, longest name") << "" << QString(255, 'n') << QString(255, 'n') << QByteArray("x");
        QTest::newRow("replaced, mode 0604") << "" << "f.txt" << "f.txt" << QByteArray("new\r\n");
        QTest::newRow("hard link, longer") << "other.txt = f.txt" << "f.txt" << "other.txt" << QByteArray(100000, 'n');
        QTest::newRow("relative link") << "sub/rel -> f.txt" << "sub/rel" << "sub/f.txt" << QByteArray("via\r\n");
        QTest::newRow("dangling link") << "dangling -> sub/made.txt" << "dangling" << "sub/made.txt" << QByteArray("m");
        QTest::newRow("chain of links") << "c1 -> c2 -> f.txt" << "c1" << "f.txt" << QByteArray("end\r\n");
    }
    void savesKeepLinksAndPermissions()
    {
        QFETCH(QString, links);
        QFETCH(QString, save);
        QFETCH(QString, lands);
        QFETCH(QByteArray, text);
        QTemporaryDir here(dir_.filePath("case-XXXXXX"));
        const auto in = [&](const QString& name) { return here.filePath(name).toStdString(); };
        QVERIFY(QDir(here.path()).mkpath("sub"));
        writeFile(here.filePath("f.txt"), "an old text, longer than the new\r\n");
        writeFile(here.filePath("sub/f.txt"), "old");
        QCOMPARE(::chmod(in("f.txt").c_str(), 0604), 0);
        QCOMPARE(::chmod(in("sub/f.txt").c_str(), 0604), 0);
        const QStringList chain = links.split(" -> ");
        QCOMPARE(links.contains(" = ") ? ::link(in("f.txt").c_str(), in("other.txt").c_str()) : 0, 0);
        for (int i = 0; i + 1 < chain.size(); ++i)
            QCOMPARE(::symlink(chain[i + 1].toStdString().c_str(), in(chain[i]).c_str()), 0);
        const ino_t inode = statOf(in(lands)).st_ino;
        const mode_t mask = ::umask(0);
        ::umask(mask); // a new file gets the usual mode

        const auto saved = writeFileKeepingIdentity(in(save), text.toStdString());
        QVERIFY2(saved.ok(), saved.ok() ? "" : saved.error().message.c_str());
        QCOMPARE(bytesOf(in(lands)), text.toStdString());
        QCOMPARE(statOf(in(lands)).st_mode & 07777, inode ? 0604 : 0666 & ~mask);
        if (links.contains(" = ")) { // the other name still shares the file
            QCOMPARE(saved.value().method, WriteMethod::RewrittenInPlace);
            QCOMPARE(statOf(in(lands)).st_ino, inode);
        }
        for (int i = 0; i + 1 < chain.size(); ++i) {
            const QString link = here.filePath(chain[i]);
            QCOMPARE(QFile::symLinkTarget(link), QFileInfo(link).dir().filePath(chain[i + 1]));
        }
        QVERIFY(noLeftovers(QFileInfo(here.path()).fileName()));
    }

    void refusedBeforeWriting_data()
    {
        QTest::addColumn<QString>("save");
        QTest::addColumn<WriteProblem>("problem");
        QTest::addColumn<QString>("says");
        QTest::newRow("pipe") << "pipe" << WriteProblem::NotRegularFile << "is a pipe";
        QTest::newRow("link to a pipe") << "pipe-link" << WriteProblem::NotRegularFile << "is a pipe";
        QTest::newRow("device") << "/dev/null" << WriteProblem::NotRegularFile << "is a device";
        QTest::newRow("folder") << "sub/" << WriteProblem::Folder << "folder";
        QTest::newRow("missing folder") << "no-such-folder/x.txt" << WriteProblem::MissingFolder << "does not exist";
        QTest::newRow("under a file") << "plain.txt/x.txt" << WriteProblem::UnderAFile << "is a file, not a folder";
        QTest::newRow("empty name") << "" << WriteProblem::EmptyName << "No file name";
        QTest::newRow("two links in a loop") << "loopy1" << WriteProblem::LinkLoop << "loop";
        QTest::newRow("loop in the folder path") << "loopdir1/file.txt" << WriteProblem::LinkLoop << "loop";
    }
    void refusedBeforeWriting()
    {
        QFETCH(QString, save);
        QFETCH(WriteProblem, problem);
        QFETCH(QString, says);
        WriteProblem got = WriteProblem::None;
        const std::string path = save.isEmpty() || save.startsWith('/') ? save.toStdString() : at(save);
        const auto result = writeFileKeepingIdentity(path, "x", &got);
        QVERIFY2(!result.ok(), "saved");
        QCOMPARE(got, problem);
        QCOMPARE(result.error().code, errorCodeFor(problem));
        QVERIFY2(mentions(result, says), result.error().message.c_str());
        QVERIFY2(mentions(result, save.section('/', 0, 0)), result.error().message.c_str()); // names the file
    }

    // In place, a shorter text needs no new room: it saves on a full disk. (A save that fails part-way,
    // by rename or in place, leaves the old file: test_program_streams, past the file-size limit.)
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
        QVERIFY(inChild([&] { return writeFileKeepingIdentity(theirs, "nobody wrote this").ok(); }, nobody));
        QCOMPARE(bytesOf(theirs), "nobody wrote this");
        QCOMPARE(statOf(theirs).st_ino, st.st_ino);
        QCOMPARE(::chmod(dir_.path().toLocal8Bit().constData(), 0777), 0); // a rename would be allowed
        QVERIFY(inChild([&] {
            WriteProblem problem = WriteProblem::None;
            const auto result = writeFileKeepingIdentity(readOnly, "nobody's", &problem);
            return !result.ok() && problem == WriteProblem::CannotOpen && mentions(result, "Permission denied");
        }, nobody));
        ::chmod(dir_.path().toLocal8Bit().constData(), 0755);
        QCOMPARE(bytesOf(readOnly), "keep");
        QVERIFY(noLeftovers("locked"));
    }
};

QTEST_MAIN(TestSaving)
#include "test_saving.moc"
