#include "file_writer.h"

#include <QtTest>

#include <fcntl.h>
#include <grp.h>
#include <pwd.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <functional>

using namespace tavilon;

Q_DECLARE_METATYPE(tavilon::WriteProblem)

namespace {

std::string bytesOf(const std::string& path)
{
    QFile file(QString::fromStdString(path));
    return file.open(QIODevice::ReadOnly) ? file.readAll().toStdString() : std::string("(unreadable)");
}

void put(const std::string& path, const std::string& bytes)
{
    QFile file(QString::fromStdString(path));
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes.data(), qint64(bytes.size())) == qint64(bytes.size()));
}

struct stat statOf(const std::string& path)
{
    struct stat st {};
    ::lstat(path.c_str(), &st);
    return st;
}

std::string linkText(const std::string& path)
{
    char text[4096];
    const ssize_t got = ::readlink(path.c_str(), text, sizeof text);
    return std::string(text, got < 0 ? 0 : std::size_t(got));
}

// Runs `work` in a child process (as the user nobody, when given) and
// returns its exit status: 0 when the work returned true.
int inChild(const std::function<bool()>& work, const passwd* as = nullptr)
{
    const pid_t child = ::fork();
    if (child == 0) {
        if (as && (::setgroups(0, nullptr) != 0 || ::setgid(as->pw_gid) != 0 || ::setuid(as->pw_uid) != 0))
            ::_exit(3);
        ::_exit(work() ? 0 : 1);
    }
    int status = 0;
    return ::waitpid(child, &status, 0) == child && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

} // namespace

class TestSaving : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;
    std::string at(const QString& name) const { return dir_.filePath(name).toStdString(); }

    // What a save leaves behind beside the file: nothing.
    bool noLeftovers(const QString& folder = {}) const
    {
        return QDir(dir_.filePath(folder)).entryList({".tavilon-*"}, QDir::Hidden | QDir::Files).isEmpty();
    }

private slots:
    void initTestCase() { ::chmod(dir_.path().toLocal8Bit().constData(), 0755); } // nobody reaches the files

    // The file holds exactly the text afterwards, and keeps its links,
    // permissions and inode where it has other names.
    void savesKeepLinksAndPermissions_data()
    {
        QTest::addColumn<QString>("setUp");
        QTest::addColumn<QString>("save");
        QTest::addColumn<QString>("lands");
        QTest::addColumn<QByteArray>("text");
        QTest::newRow("new file, odd bytes") << "" << "new.txt" << "new.txt" << QByteArray("a\0b\xc2\xa0\xe2\x80\xa8\r\n", 10);
        QTest::newRow("new file, 255-character name") << "" << QString(255, 'n') << QString(255, 'n') << QByteArray("x");
        QTest::newRow("replaced, mode 0604") << "" << "f.txt" << "f.txt" << QByteArray("new\r\n");
        QTest::newRow("hard link, longer") << "hardlink" << "f.txt" << "other.txt" << QByteArray(100000, 'n');
        QTest::newRow("hard link, to nothing") << "hardlink" << "f.txt" << "other.txt" << QByteArray();
        QTest::newRow("relative link, from its folder") << "sub/rel -> f.txt" << "sub/rel" << "sub/f.txt" << QByteArray("via\r\n");
        QTest::newRow("dangling link makes its file") << "dangling -> sub/made.txt" << "dangling" << "sub/made.txt" << QByteArray("m");
        QTest::newRow("chain of links") << "c1 -> c2 -> f.txt" << "c1" << "f.txt" << QByteArray("end\r\n");
    }
    void savesKeepLinksAndPermissions()
    {
        QFETCH(QString, setUp);
        QFETCH(QString, save);
        QFETCH(QString, lands);
        QFETCH(QByteArray, text);
        QTemporaryDir here(dir_.filePath("case-XXXXXX"));
        const auto in = [&](const QString& name) { return here.filePath(name).toStdString(); };
        QDir(here.path()).mkpath("sub");
        put(in("f.txt"), "old text that is longer than the new\r\n");
        put(in("sub/f.txt"), "old\r\n");
        ::chmod(in("f.txt").c_str(), 0604);
        ::chmod(in("sub/f.txt").c_str(), 0604);
        if (setUp == "hardlink")
            QCOMPARE(::link(in("f.txt").c_str(), in("other.txt").c_str()), 0);
        QStringList chain = setUp.split(" -> ");
        for (int i = 0; i + 1 < chain.size(); ++i)
            QCOMPARE(::symlink(chain[i + 1].toStdString().c_str(), in(chain[i]).c_str()), 0);
        const ino_t inode = statOf(in(lands)).st_ino;
        const mode_t mask = ::umask(0);
        ::umask(mask);

        const auto saved = writeFileKeepingIdentity(in(save), text.toStdString());
        QVERIFY2(saved.ok(), saved.ok() ? "" : saved.error().message.c_str());
        QCOMPARE(bytesOf(in(lands)), text.toStdString());
        QCOMPARE(statOf(in(lands)).st_mode & 07777, inode ? 0604 : 0666 & ~mask);
        for (int i = 0; i + 1 < chain.size(); ++i)
            QCOMPARE(linkText(in(chain[i])), chain[i + 1].toStdString()); // links stay as they were
        if (setUp == "hardlink") {
            QCOMPARE(saved.value().method, WriteMethod::RewrittenInPlace);
            QCOMPARE(statOf(in(lands)).st_ino, inode);
        }
        QVERIFY(QDir(here.path()).entryList({".tavilon-*"}, QDir::Hidden | QDir::Files).isEmpty());
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
        QTest::newRow("a link to itself") << "selfish" << WriteProblem::LinkLoop << "loop";
        QTest::newRow("loop in the folder path") << "loopdir1/file.txt" << WriteProblem::LinkLoop << "loop";
    }
    void refusedBeforeWriting()
    {
        QFETCH(QString, save);
        QFETCH(WriteProblem, problem);
        QFETCH(QString, says);
        if (statOf(at("pipe")).st_ino == 0) {
            QDir(dir_.path()).mkpath("sub");
            QCOMPARE(::mkfifo(at("pipe").c_str(), 0666), 0);
            put(at("plain.txt"), "plain\r\n");
            const char* links[][2] = {{"pipe-link", "pipe"}, {"loopy1", "loopy2"}, {"loopy2", "loopy1"},
                                      {"selfish", "selfish"}, {"loopdir1", "loopdir2"}, {"loopdir2", "loopdir1"}};
            for (const auto& link : links)
                QCOMPARE(::symlink(link[1], at(link[0]).c_str()), 0);
        }
        const std::string path = save.isEmpty() || save.startsWith('/') ? save.toStdString() : at(save);
        WriteProblem got = WriteProblem::None;
        const auto result = writeFileKeepingIdentity(path, "x\r\n", &got);
        QCOMPARE(got, problem);
        QCOMPARE(result.error().code, errorCodeFor(problem));
        QVERIFY2(result.error().message.find(says.toStdString()) != std::string::npos, result.error().message.c_str());
        QVERIFY(result.error().message.find(save.section('/', 0, 0).toStdString()) != std::string::npos);
        QVERIFY(S_ISFIFO(statOf(at("pipe")).st_mode) && S_ISCHR(statOf("/dev/null").st_mode));
        QCOMPARE(bytesOf(at("plain.txt")), std::string("plain\r\n"));
        QCOMPARE(linkText(at("loopy1")), std::string("loopy2"));
        QVERIFY(noLeftovers() && noLeftovers("sub"));
    }

    // A write that fails half-way through an in-place rewrite (past the
    // process's file size limit) puts the overwritten bytes back.
    void failedRewritePutsTheOldBytesBack()
    {
        const std::string path = at("half.txt");
        put(path, std::string(100000, 'o'));
        QCOMPARE(::link(path.c_str(), at("half-link.txt").c_str()), 0);
        QCOMPARE(inChild([&] {
                     ::signal(SIGXFSZ, SIG_IGN);
                     const rlimit limit {50000, 50000};
                     if (::setrlimit(RLIMIT_FSIZE, &limit) != 0)
                         return false;
                     WriteProblem problem = WriteProblem::None;
                     const auto result = writeFileKeepingIdentity(path, std::string(80000, 'n'), &problem);
                     return !result.ok() && problem == WriteProblem::NoSpace
                         && result.error().message.find("put back as it was") != std::string::npos;
                 }), 0);
        QVERIFY(bytesOf(path) == std::string(100000, 'o'));
    }

    // Root keeps another user's ownership; a user saves a file of theirs in
    // a folder they may not write, but never a file they may not write.
    void ownersAndPermissionsAreKept()
    {
        const passwd* nobody = ::getpwnam("nobody");
        const group* nogroup = ::getgrnam("nogroup");
        if (::geteuid() != 0 || !nobody || !nogroup)
            QSKIP("needs root, and the user nobody and group nogroup");
        QDir(dir_.path()).mkpath("locked");
        const std::string theirs = at("locked/theirs.txt"), readOnly = at("read-only.txt");
        put(theirs, "theirs\r\n");
        put(readOnly, "keep\r\n");
        QCOMPARE(::chown(theirs.c_str(), nobody->pw_uid, nogroup->gr_gid) | ::chmod(theirs.c_str(), 0640), 0);
        QCOMPARE(::chown(readOnly.c_str(), nobody->pw_uid, nobody->pw_gid) | ::chmod(readOnly.c_str(), 0444) | ::chmod(dir_.path().toLocal8Bit().constData(), 0777), 0);
        QVERIFY(writeFileKeepingIdentity(theirs, "root wrote this\r\n").ok());
        QCOMPARE(statOf(theirs).st_uid, nobody->pw_uid);
        QCOMPARE(statOf(theirs).st_gid, nogroup->gr_gid);
        QCOMPARE(statOf(theirs).st_mode & 07777, mode_t(0640));
        const ino_t inode = statOf(theirs).st_ino;
        QCOMPARE(inChild([&] { return writeFileKeepingIdentity(theirs, "nobody wrote this\r\n").ok(); }, nobody), 0);
        QCOMPARE(bytesOf(theirs), std::string("nobody wrote this\r\n"));
        QCOMPARE(statOf(theirs).st_ino, inode);
        QCOMPARE(inChild([&] {
                     WriteProblem problem = WriteProblem::None;
                     const auto result = writeFileKeepingIdentity(readOnly, "nobody's\r\n", &problem);
                     return !result.ok() && problem == WriteProblem::CannotOpen
                         && result.error().message.find("Permission denied") != std::string::npos;
                 }, nobody), 0);
        ::chmod(dir_.path().toLocal8Bit().constData(), 0755);
        QCOMPARE(bytesOf(readOnly), std::string("keep\r\n"));
        QVERIFY(noLeftovers() && noLeftovers("locked"));
    }

    // On a full disk a save leaves the old file as it was; in place, a
    // shorter text needs no new room and still saves.
    void fullDisk_data()
    {
        QTest::addColumn<bool>("hardLinked");
        QTest::addColumn<int>("size");
        QTest::newRow("single name: replaced by rename") << false << 200000;
        QTest::newRow("hard-linked: rewritten in place") << true << 200000;
        QTest::newRow("hard-linked, shorter, disk full") << true << 7;
    }
    void fullDisk()
    {
        QFETCH(bool, hardLinked);
        QFETCH(int, size);
        const std::string disk = at("small");
        ::mkdir(disk.c_str(), 0755);
        if (::geteuid() != 0 || ::mount("tmpfs", disk.c_str(), "tmpfs", 0, "size=64k") != 0)
            QSKIP("mounting a small disk needs root");
        const auto unmount = qScopeGuard([&] { ::umount2(disk.c_str(), MNT_DETACH); });
        const std::string path = disk + "/old.txt", old(8000, 'o');
        put(path, old);
        if (hardLinked)
            QCOMPARE(::link(path.c_str(), (disk + "/other-name.txt").c_str()), 0);
        if (size < 8000) { // fill what is left
            const int fd = ::open((disk + "/filler").c_str(), O_WRONLY | O_CREAT, 0600);
            while (fd >= 0 && ::write(fd, old.data(), old.size()) > 0) {
            }
            ::close(fd);
        }
        WriteProblem problem = WriteProblem::None;
        const auto result = writeFileKeepingIdentity(path, std::string(std::size_t(size), 'x'), &problem);
        if (size < 8000) {
            QVERIFY2(result.ok(), result.ok() ? "" : result.error().message.c_str());
            QCOMPARE(bytesOf(path), std::string(std::size_t(size), 'x'));
            return;
        }
        QCOMPARE(problem, WriteProblem::NoSpace);
        QVERIFY2(result.error().message.find("No space left on device") != std::string::npos
                     && result.error().message.find("left as it was") != std::string::npos, result.error().message.c_str());
        QCOMPARE(bytesOf(path), old);
        QVERIFY(noLeftovers("small"));
    }
};

QTEST_MAIN(TestSaving)
#include "test_saving.moc"
