#include "file_writer.h"

#include <QtTest>

#include <fcntl.h>
#include <grp.h>
#include <pwd.h>
#include <csignal>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <functional>
#include <sstream>

using namespace tavilon;

Q_DECLARE_METATYPE(tavilon::WriteProblem)
Q_DECLARE_METATYPE(tavilon::WriteMethod)

namespace {

std::string readBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

void putBytes(const std::string& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
    out.close();
    if (!out)
        qFatal("cannot write test file %s", path.c_str());
}

struct stat statOf(const std::string& path)
{
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0)
        st.st_ino = 0;
    return st;
}

std::string linkText(const std::string& path)
{
    char buffer[4096];
    const ssize_t got = ::readlink(path.c_str(), buffer, sizeof buffer);
    return got < 0 ? std::string() : std::string(buffer, static_cast<std::size_t>(got));
}

QStringList leftovers(const std::string& folder)
{
    return QDir(QString::fromStdString(folder)).entryList({".tavilon-*"}, QDir::Hidden | QDir::Files);
}

mode_t currentUmask()
{
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return mask;
}

// Runs `work` in a child process as the user nobody and returns its exit
// status (0 when the work returned true).
int runAsNobody(const std::function<bool()>& work)
{
    const passwd* user = ::getpwnam("nobody");
    if (!user)
        return -1;
    const uid_t uid = user->pw_uid;
    const gid_t gid = user->pw_gid;
    const pid_t child = ::fork();
    if (child == 0) {
        if (::setgroups(0, nullptr) != 0 || ::setgid(gid) != 0 || ::setuid(uid) != 0)
            ::_exit(3);
        ::_exit(work() ? 0 : 1);
    }
    int status = 0;
    if (child < 0 || ::waitpid(child, &status, 0) != child || !WIFEXITED(status))
        return -1;
    return WEXITSTATUS(status);
}

// A 64 KiB memory file system, unmounted when the object goes.
class SmallDisk {
public:
    explicit SmallDisk(std::string at) : at_(std::move(at))
    {
        ::mkdir(at_.c_str(), 0755);
        mounted_ = ::mount("tmpfs", at_.c_str(), "tmpfs", 0, "size=64k") == 0;
    }
    ~SmallDisk()
    {
        if (mounted_)
            ::umount2(at_.c_str(), MNT_DETACH);
    }
    bool mounted() const { return mounted_; }
    // Fills what is left of the disk.
    void fill() const
    {
        const int fd = ::open((at_ + "/filler").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        const std::string block(4096, 'f');
        while (fd >= 0 && ::write(fd, block.data(), block.size()) > 0) {
        }
        ::close(fd);
    }

private:
    std::string at_;
    bool mounted_ = false;
};

} // namespace

class TestFileWriter : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    std::string at(const QString& name) const { return dir_.filePath(name).toStdString(); }

private slots:
    void initTestCase()
    {
        QVERIFY(dir_.isValid());
        // Other users (nobody, below) must be able to reach the test files.
        ::chmod(dir_.path().toLocal8Bit().constData(), 0755);
    }

    // ---- what ends up in the file ----

    void newFileHoldsExactlyTheText_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::newRow("picks with line ends") << QByteArray("one\r\ntwo\r\n\r\n");
        QTest::newRow("nothing") << QByteArray();
        QTest::newRow("NUL, no-break space, line separator") << QByteArray("a\0b\xc2\xa0" "c\xe2\x80\xa8", 9);
        QTest::newRow("three megabytes") << QByteArray(3 << 20, 'w');
    }
    void newFileHoldsExactlyTheText()
    {
        QFETCH(QByteArray, text);
        const std::string path = at(QStringLiteral("new-%1.txt").arg(QTest::currentDataTag()));
        WriteProblem problem = WriteProblem::EmptyName;
        const auto result = writeFileKeepingIdentity(path, text.toStdString(), &problem);
        QVERIFY2(result.ok(), result.ok() ? "" : result.error().message.c_str());
        QCOMPARE(problem, WriteProblem::None);
        QCOMPARE(result.value().method, WriteMethod::NewFile);
        QCOMPARE(result.value().bytes, std::uint64_t(text.size()));
        QCOMPARE(readBytes(path), text.toStdString());
        QCOMPARE(statOf(path).st_mode & 07777, 0666 & ~currentUmask());
        QVERIFY(leftovers(at("")).isEmpty());
    }

    void replacingKeepsPermissions_data()
    {
        QTest::addColumn<int>("mode");
        QTest::newRow("owner only") << 0600;
        QTest::newRow("group reads") << 0640;
        QTest::newRow("executable") << 0755;
        QTest::newRow("others read, group not") << 0604;
    }
    void replacingKeepsPermissions()
    {
        QFETCH(int, mode);
        const std::string path = at("mode.txt");
        putBytes(path, "old content that is longer than the new\r\n");
        QCOMPARE(::chmod(path.c_str(), static_cast<mode_t>(mode)), 0);
        const auto result = writeFileKeepingIdentity(path, "new\r\n");
        QVERIFY2(result.ok(), result.ok() ? "" : result.error().message.c_str());
        QCOMPARE(result.value().method, WriteMethod::Replaced);
        QCOMPARE(readBytes(path), std::string("new\r\n"));
        QCOMPARE(int(statOf(path).st_mode & 07777), mode);
        QVERIFY(leftovers(at("")).isEmpty());
    }

    void hardLinkedFileIsRewrittenInPlace_data()
    {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QByteArray>("after");
        QTest::newRow("shorter") << QByteArray("a long old text\r\n") << QByteArray("new\r\n");
        QTest::newRow("longer") << QByteArray("old\r\n") << QByteArray(100000, 'n');
        QTest::newRow("to nothing") << QByteArray("old\r\n") << QByteArray();
    }
    void hardLinkedFileIsRewrittenInPlace()
    {
        QFETCH(QByteArray, before);
        QFETCH(QByteArray, after);
        const std::string path = at("linked.txt");
        const std::string second = at("second-name.txt");
        ::unlink(second.c_str());
        putBytes(path, before.toStdString());
        QCOMPARE(::link(path.c_str(), second.c_str()), 0);
        const ino_t inode = statOf(path).st_ino;

        const auto result = writeFileKeepingIdentity(path, after.toStdString());
        QVERIFY2(result.ok(), result.ok() ? "" : result.error().message.c_str());
        QCOMPARE(result.value().method, WriteMethod::RewrittenInPlace);
        QCOMPARE(readBytes(second), after.toStdString());
        QCOMPARE(statOf(path).st_ino, inode);
        QCOMPARE(statOf(path).st_nlink, nlink_t(2));
    }

    // A write that fails half-way through an in-place rewrite (here: past
    // the process's file size limit) puts the overwritten bytes back.
    void failedRewritePutsTheOldBytesBack()
    {
        const std::string path = at("half.txt");
        const std::string old(100000, 'o');
        putBytes(path, old);
        ::unlink(at("half-link.txt").c_str());
        QCOMPARE(::link(path.c_str(), at("half-link.txt").c_str()), 0);
        const pid_t child = ::fork();
        if (child == 0) {
            ::signal(SIGXFSZ, SIG_IGN);
            const rlimit limit{50000, 50000};
            if (::setrlimit(RLIMIT_FSIZE, &limit) != 0)
                ::_exit(3);
            WriteProblem problem = WriteProblem::None;
            const auto result = writeFileKeepingIdentity(path, std::string(80000, 'n'), &problem);
            ::_exit(!result.ok() && problem == WriteProblem::NoSpace
                            && result.error().message.find("put back as it was") != std::string::npos
                        ? 0 : 1);
        }
        int status = -1;
        QCOMPARE(::waitpid(child, &status, 0), child);
        QVERIFY(WIFEXITED(status));
        QCOMPARE(WEXITSTATUS(status), 0);
        QVERIFY(readBytes(path) == old);
    }

    void rootKeepsAnotherUsersOwnership()
    {
        if (::geteuid() != 0)
            QSKIP("giving a file to another user needs root");
        const passwd* nobody = ::getpwnam("nobody");
        const group* nogroup = ::getgrnam("nogroup");
        if (!nobody || !nogroup)
            QSKIP("no user nobody or group nogroup here");
        const std::string path = at("theirs.txt");
        putBytes(path, "theirs\r\n");
        QCOMPARE(::chown(path.c_str(), nobody->pw_uid, nogroup->gr_gid), 0);
        QCOMPARE(::chmod(path.c_str(), 0640), 0);

        const auto result = writeFileKeepingIdentity(path, "root wrote this\r\n");
        QVERIFY2(result.ok(), result.ok() ? "" : result.error().message.c_str());
        const struct stat st = statOf(path);
        QCOMPARE(st.st_uid, nobody->pw_uid);
        QCOMPARE(st.st_gid, nogroup->gr_gid);
        QCOMPARE(st.st_mode & 07777, mode_t(0640));
        QCOMPARE(readBytes(path), std::string("root wrote this\r\n"));
    }

    // A writable file in a folder the user may not write: the rename is out
    // of reach, the file itself is not. A file the user may not write is
    // refused even where the folder would allow a rename.
    void fileWritableButFolderNot()
    {
        const std::string folder = at("locked");
        const std::string mine = folder + "/mine.txt";
        QCOMPARE(::mkdir(folder.c_str(), 0755), 0);
        putBytes(mine, "old\r\n");
        const ino_t inode = statOf(mine).st_ino;

        if (::geteuid() == 0) {
            const passwd* nobody = ::getpwnam("nobody");
            if (!nobody)
                QSKIP("no user nobody here");
            QCOMPARE(::chown(mine.c_str(), nobody->pw_uid, nobody->pw_gid), 0);
            const std::string open = at("open");
            const std::string notMine = open + "/not-mine.txt";
            QCOMPARE(::mkdir(open.c_str(), 0777), 0);
            QCOMPARE(::chmod(open.c_str(), 0777), 0);
            putBytes(notMine, "root's\r\n");
            QCOMPARE(::chmod(notMine.c_str(), 0644), 0);

            const int saved = runAsNobody([&] { return writeFileKeepingIdentity(mine, "new\r\n").ok(); });
            QCOMPARE(saved, 0);
            const int refused = runAsNobody([&] {
                WriteProblem problem = WriteProblem::None;
                const auto result = writeFileKeepingIdentity(notMine, "nobody's\r\n", &problem);
                return !result.ok() && problem == WriteProblem::CannotOpen
                       && result.error().message.find("Permission denied") != std::string::npos;
            });
            QCOMPARE(refused, 0);
            QCOMPARE(readBytes(notMine), std::string("root's\r\n"));
            QCOMPARE(statOf(mine).st_uid, nobody->pw_uid);
        } else {
            QCOMPARE(::chmod(folder.c_str(), 0555), 0);
            const auto result = writeFileKeepingIdentity(mine, "new\r\n");
            ::chmod(folder.c_str(), 0755);
            QVERIFY2(result.ok(), result.ok() ? "" : result.error().message.c_str());
            QCOMPARE(result.value().method, WriteMethod::RewrittenInPlace);
        }
        QCOMPARE(readBytes(mine), std::string("new\r\n"));
        QCOMPARE(statOf(mine).st_ino, inode);
        QVERIFY(leftovers(folder).isEmpty());
    }

    // A file without write permission is refused, although its owner could
    // replace it through the folder.
    void readOnlyFileIsRefused()
    {
        const std::string folder = at("shared");
        const std::string path = folder + "/read-only.txt";
        QCOMPARE(::mkdir(folder.c_str(), 0777), 0);
        QCOMPARE(::chmod(folder.c_str(), 0777), 0);
        putBytes(path, "keep\r\n");
        QCOMPARE(::chmod(path.c_str(), 0444), 0);
        const auto refuse = [&] {
            WriteProblem problem = WriteProblem::None;
            const auto result = writeFileKeepingIdentity(path, "new\r\n", &problem);
            return !result.ok() && problem == WriteProblem::CannotOpen
                   && result.error().message.find("Permission denied") != std::string::npos;
        };
        if (::geteuid() == 0) {
            const passwd* nobody = ::getpwnam("nobody");
            if (!nobody)
                QSKIP("no user nobody here");
            QCOMPARE(::chown(path.c_str(), nobody->pw_uid, nobody->pw_gid), 0);
            QCOMPARE(runAsNobody(refuse), 0);
        } else {
            QVERIFY(refuse());
        }
        QCOMPARE(readBytes(path), std::string("keep\r\n"));
        QVERIFY(leftovers(folder).isEmpty());
    }

    void longestNamesWork_data()
    {
        QTest::addColumn<int>("length");
        QTest::addColumn<bool>("existing");
        QTest::newRow("existing, 250 characters") << 250 << true;
        QTest::newRow("existing, 255 characters") << 255 << true;
        QTest::newRow("new, 255 characters") << 255 << false;
    }
    void longestNamesWork()
    {
        QFETCH(int, length);
        QFETCH(bool, existing);
        const std::string path = at(QString(length, QLatin1Char(existing ? 'e' : 'n')));
        if (existing)
            putBytes(path, "old\r\n");
        const auto result = writeFileKeepingIdentity(path, "new\r\n");
        QVERIFY2(result.ok(), result.ok() ? "" : result.error().message.c_str());
        QCOMPARE(readBytes(path), std::string("new\r\n"));
    }

    // ---- links ----

    void symbolicLinksLeadToTheirFile_data()
    {
        QTest::addColumn<QString>("link");
        QTest::addColumn<QString>("pointsTo");
        QTest::addColumn<QString>("target");
        QTest::addColumn<bool>("targetExists");
        QTest::newRow("absolute") << "abs-link" << dir_.filePath("sub/target-a.txt") << "sub/target-a.txt" << true;
        QTest::newRow("relative, read from the link's folder") << "sub/rel-link" << "target-r.txt" << "sub/target-r.txt" << true;
        QTest::newRow("dangling: the file it names is made") << "dangling" << "sub/made.txt" << "sub/made.txt" << false;
    }
    void symbolicLinksLeadToTheirFile()
    {
        QFETCH(QString, link);
        QFETCH(QString, pointsTo);
        QFETCH(QString, target);
        QFETCH(bool, targetExists);
        QDir(dir_.path()).mkpath("sub");
        if (targetExists) {
            putBytes(at(target), "old\r\n");
            ::chmod(at(target).c_str(), 0604);
        }
        QCOMPARE(::symlink(pointsTo.toStdString().c_str(), at(link).c_str()), 0);

        const auto result = writeFileKeepingIdentity(at(link), "through the link\r\n");
        QVERIFY2(result.ok(), result.ok() ? "" : result.error().message.c_str());
        QCOMPARE(readBytes(at(target)), std::string("through the link\r\n"));
        QVERIFY(S_ISLNK(statOf(at(link)).st_mode));
        QCOMPARE(linkText(at(link)), pointsTo.toStdString());
        if (targetExists)
            QCOMPARE(statOf(at(target)).st_mode & 07777, mode_t(0604));
    }

    void chainOfLinksIsFollowed()
    {
        putBytes(at("chain-end.txt"), "old\r\n");
        QCOMPARE(::symlink("chain-end.txt", at("chain2").c_str()), 0);
        QCOMPARE(::symlink("chain2", at("chain1").c_str()), 0);
        QVERIFY(writeFileKeepingIdentity(at("chain1"), "end\r\n").ok());
        QCOMPARE(readBytes(at("chain-end.txt")), std::string("end\r\n"));
        QCOMPARE(linkText(at("chain1")), std::string("chain2"));
        QCOMPARE(linkText(at("chain2")), std::string("chain-end.txt"));
    }

    void linkLoopsAreRefused_data()
    {
        QTest::addColumn<QString>("save");
        QTest::newRow("two links") << "loopy1";
        QTest::newRow("a link to itself") << "selfish";
        QTest::newRow("loop in the folder path") << "loopdir1/file.txt";
    }
    void linkLoopsAreRefused()
    {
        QFETCH(QString, save);
        if (statOf(at("loopy1")).st_ino == 0) {
            QCOMPARE(::symlink("loopy2", at("loopy1").c_str()), 0);
            QCOMPARE(::symlink("loopy1", at("loopy2").c_str()), 0);
            QCOMPARE(::symlink("selfish", at("selfish").c_str()), 0);
            QCOMPARE(::symlink("loopdir2", at("loopdir1").c_str()), 0);
            QCOMPARE(::symlink("loopdir1", at("loopdir2").c_str()), 0);
        }
        WriteProblem problem = WriteProblem::None;
        const auto result = writeFileKeepingIdentity(at(save), "x\r\n", &problem);
        QVERIFY(!result.ok());
        QCOMPARE(problem, WriteProblem::LinkLoop);
        QCOMPARE(result.error().code, ErrorCode::OpenFailed);
        QVERIFY2(result.error().message.find(quotedName(at(save))) != std::string::npos, result.error().message.c_str());
        QVERIFY2(result.error().message.find("loop") != std::string::npos, result.error().message.c_str());
        QCOMPARE(linkText(at("loopy1")), std::string("loopy2"));
        QCOMPARE(linkText(at("loopy2")), std::string("loopy1"));
        QCOMPARE(linkText(at("selfish")), std::string("selfish"));
        QCOMPARE(linkText(at("loopdir1")), std::string("loopdir2"));
    }

    // ---- names that cannot take a file ----

    void refusedBeforeWriting_data()
    {
        QTest::addColumn<QString>("save");
        QTest::addColumn<WriteProblem>("problem");
        QTest::addColumn<QString>("says");
        QTest::newRow("pipe") << "pipe" << WriteProblem::NotRegularFile << "is a pipe";
        QTest::newRow("link to a pipe") << "pipe-link" << WriteProblem::NotRegularFile << "is a pipe";
        QTest::newRow("device") << "/dev/null" << WriteProblem::NotRegularFile << "is a device";
        QTest::newRow("folder") << "sub" << WriteProblem::Folder << "is a folder";
        QTest::newRow("folder with a slash") << "sub/" << WriteProblem::Folder << "folder";
        QTest::newRow("missing folder") << "no-such-folder/x.txt" << WriteProblem::MissingFolder << "does not exist";
        QTest::newRow("under a file") << "plain.txt/x.txt" << WriteProblem::UnderAFile << "is a file, not a folder";
        QTest::newRow("empty name") << "" << WriteProblem::EmptyName << "No file name";
    }
    void refusedBeforeWriting()
    {
        QFETCH(QString, save);
        QFETCH(WriteProblem, problem);
        QFETCH(QString, says);
        QDir(dir_.path()).mkpath("sub");
        if (statOf(at("pipe")).st_ino == 0) {
            QCOMPARE(::mkfifo(at("pipe").c_str(), 0666), 0);
            QCOMPARE(::symlink("pipe", at("pipe-link").c_str()), 0);
            putBytes(at("plain.txt"), "plain\r\n");
        }
        const std::string path = save.isEmpty() || save.startsWith('/') ? save.toStdString() : at(save);
        WriteProblem got = WriteProblem::None;
        const auto result = writeFileKeepingIdentity(path, "x\r\n", &got);
        QVERIFY(!result.ok());
        QCOMPARE(got, problem);
        QCOMPARE(result.error().code, errorCodeFor(problem));
        QVERIFY2(result.error().message.find(says.toStdString()) != std::string::npos, result.error().message.c_str());
        if (!save.isEmpty())
            QVERIFY2(result.error().message.find(save.section('/', 0, 0).toStdString()) != std::string::npos,
                     result.error().message.c_str());
        QVERIFY(S_ISFIFO(statOf(at("pipe")).st_mode));
        QVERIFY(S_ISCHR(statOf("/dev/null").st_mode));
        QCOMPARE(readBytes(at("plain.txt")), std::string("plain\r\n"));
        QVERIFY(leftovers(at("")).isEmpty());
        QVERIFY(leftovers(at("sub")).isEmpty());
    }

    // ---- a full disk ----

    void fullDiskLeavesTheFileAsItWas_data()
    {
        QTest::addColumn<bool>("hardLinked");
        QTest::newRow("single name: replaced by rename") << false;
        QTest::newRow("hard-linked: rewritten in place") << true;
    }
    void fullDiskLeavesTheFileAsItWas()
    {
        QFETCH(bool, hardLinked);
        if (::geteuid() != 0)
            QSKIP("mounting a small disk needs root");
        const SmallDisk disk(at("small"));
        if (!disk.mounted())
            QSKIP("a small tmpfs cannot be mounted here");
        const std::string path = at("small/old.txt");
        const std::string old = "old words\r\nthat must survive\r\n";
        putBytes(path, old);
        if (hardLinked)
            QCOMPARE(::link(path.c_str(), at("small/other-name.txt").c_str()), 0);

        WriteProblem problem = WriteProblem::None;
        const auto result = writeFileKeepingIdentity(path, std::string(200000, 'x'), &problem);
        QVERIFY(!result.ok());
        QCOMPARE(problem, WriteProblem::NoSpace);
        QVERIFY2(result.error().message.find("No space left on device") != std::string::npos, result.error().message.c_str());
        QVERIFY2(result.error().message.find("left as it was") != std::string::npos, result.error().message.c_str());
        QCOMPARE(readBytes(path), old);
        QCOMPARE(std::size_t(statOf(path).st_size), old.size());
        QVERIFY(leftovers(at("small")).isEmpty());
    }

    // In place, a shorter text needs no new room, so it saves on a full disk.
    void fullDiskStillTakesAShorterTextInPlace()
    {
        if (::geteuid() != 0)
            QSKIP("mounting a small disk needs root");
        const SmallDisk disk(at("small2"));
        if (!disk.mounted())
            QSKIP("a small tmpfs cannot be mounted here");
        const std::string path = at("small2/old.txt");
        putBytes(path, std::string(8000, 'o'));
        QCOMPARE(::link(path.c_str(), at("small2/other-name.txt").c_str()), 0);
        disk.fill();
        const auto result = writeFileKeepingIdentity(path, "short\r\n");
        QVERIFY2(result.ok(), result.ok() ? "" : result.error().message.c_str());
        QCOMPARE(readBytes(at("small2/other-name.txt")), std::string("short\r\n"));
    }
};

QTEST_MAIN(TestFileWriter)
#include "test_file_writer.moc"
