#include "file_writer.h"

#include <QtTest>

#include <csignal>
#include <fcntl.h>
#include <functional>
#include <grp.h>
#include <pwd.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace tavilon;

Q_DECLARE_METATYPE(tavilon::WriteProblem)

namespace {

std::string bytesOf(const std::string& path)
{
    QFile file(QString::fromStdString(path));
    return file.open(QIODevice::ReadOnly) ? file.readAll().toStdString() : std::string("(unreadable)");
}

bool put(const std::string& path, const std::string& bytes)
{
    QFile file(QString::fromStdString(path));
    return file.open(QIODevice::WriteOnly) && file.write(bytes.data(), qint64(bytes.size())) == qint64(bytes.size());
}

struct stat statOf(const std::string& path)
{
    struct stat st {};
    ::lstat(path.c_str(), &st);
    return st;
}

std::string linkText(const std::string& path)
{
    return QFile::encodeName(QFileInfo(QString::fromStdString(path)).symLinkTarget()).toStdString();
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

    bool noLeftovers(const QString& folder = {}) const // a save leaves nothing beside the file
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
        QTemporaryDir here(dir_.filePath("case-XXXXXX")); // a folder of its own
        const auto in = [&](const QString& name) { return here.filePath(name).toStdString(); };
        QDir(here.path()).mkpath("sub");
        QVERIFY(put(in("f.txt"), "old text that is longer than the new\r\n") && put(in("sub/f.txt"), "old\r\n"));
        QCOMPARE(::chmod(in("f.txt").c_str(), 0604) | ::chmod(in("sub/f.txt").c_str(), 0604), 0);
        QCOMPARE(setUp == "hardlink" ? ::link(in("f.txt").c_str(), in("other.txt").c_str()) : 0, 0);
        const QStringList chain = setUp.split(" -> ");
        for (int i = 0; i + 1 < chain.size(); ++i)
            QCOMPARE(::symlink(chain[i + 1].toStdString().c_str(), in(chain[i]).c_str()), 0);
        const ino_t inode = statOf(in(lands)).st_ino;
        const mode_t mask = ::umask(0);
        ::umask(mask); // a new file gets the usual mode

        const auto saved = writeFileKeepingIdentity(in(save), text.toStdString());
        QVERIFY2(saved.ok(), saved.ok() ? "" : saved.error().message.c_str());
        QCOMPARE(bytesOf(in(lands)), text.toStdString());
        QCOMPARE(statOf(in(lands)).st_mode & 07777, inode ? 0604 : 0666 & ~mask);
        for (int i = 0; i + 1 < chain.size(); ++i)
            QCOMPARE(linkText(in(chain[i])), here.filePath(chain[i]).section('/', 0, -2).toStdString() + "/" + chain[i + 1].toStdString()); // links stay
        QVERIFY(setUp != "hardlink" || (saved.value().method == WriteMethod::RewrittenInPlace && statOf(in(lands)).st_ino == inode));
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
        QTest::newRow("a link to itself") << "selfish" << WriteProblem::LinkLoop << "loop";
        QTest::newRow("loop in the folder path") << "loopdir1/file.txt" << WriteProblem::LinkLoop << "loop";
    }
    void refusedBeforeWriting()
    {
        QFETCH(QString, save);
        QFETCH(WriteProblem, problem);
        QFETCH(QString, says);
        if (statOf(at("pipe")).st_ino == 0) {
            QVERIFY(QDir(dir_.path()).mkpath("sub") && ::mkfifo(at("pipe").c_str(), 0666) == 0 && put(at("plain.txt"), "plain\r\n"));
            const char* links[][2] = {{"pipe-link", "pipe"}, {"loopy1", "loopy2"}, {"loopy2", "loopy1"},
                                      {"selfish", "selfish"}, {"loopdir1", "loopdir2"}, {"loopdir2", "loopdir1"}};
            for (const auto& link : links)
                QCOMPARE(::symlink(link[1], at(link[0]).c_str()), 0);
        }
        const std::string path = save.isEmpty() || save.startsWith('/') ? save.toStdString() : at(save);
        WriteProblem got = WriteProblem::None;
        const auto result = writeFileKeepingIdentity(path, "x\r\n", &got);
        QVERIFY(got == problem && result.error().code == errorCodeFor(problem));
        QVERIFY2(result.error().message.find(says.toStdString()) != std::string::npos
                     && result.error().message.find(save.section('/', 0, 0).toStdString()) != std::string::npos, result.error().message.c_str());
        QVERIFY(S_ISFIFO(statOf(at("pipe")).st_mode) && S_ISCHR(statOf("/dev/null").st_mode) && linkText(at("loopy1")) == at("loopy2"));
        QVERIFY(bytesOf(at("plain.txt")) == "plain\r\n" && noLeftovers() && noLeftovers("sub"));
    }

    // A write that fails half-way through an in-place rewrite (past the
    // process's file size limit) puts the overwritten bytes back.
    void failedRewritePutsTheOldBytesBack()
    {
        const std::string path = at("half.txt");
        QVERIFY(put(path, std::string(100000, 'o')) && ::link(path.c_str(), at("half-link.txt").c_str()) == 0);
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
        const std::string theirs = at("locked/theirs.txt"), readOnly = at("read-only.txt");
        QVERIFY(QDir(dir_.path()).mkpath("locked") && put(theirs, "theirs\r\n") && put(readOnly, "keep\r\n"));
        QCOMPARE(::chown(theirs.c_str(), nobody->pw_uid, nogroup->gr_gid) | ::chmod(theirs.c_str(), 0640), 0);
        QCOMPARE(::chown(readOnly.c_str(), nobody->pw_uid, nobody->pw_gid) | ::chmod(readOnly.c_str(), 0444) | ::chmod(dir_.path().toLocal8Bit().constData(), 0777), 0);
        QVERIFY(writeFileKeepingIdentity(theirs, "root wrote this\r\n").ok());
        const struct stat st = statOf(theirs);
        QVERIFY(st.st_uid == nobody->pw_uid && st.st_gid == nogroup->gr_gid && (st.st_mode & 07777) == 0640);
        QCOMPARE(inChild([&] { return writeFileKeepingIdentity(theirs, "nobody wrote this\r\n").ok(); }, nobody), 0);
        QVERIFY(bytesOf(theirs) == "nobody wrote this\r\n" && statOf(theirs).st_ino == st.st_ino);
        QCOMPARE(inChild([&] {
                     WriteProblem problem = WriteProblem::None;
                     const auto result = writeFileKeepingIdentity(readOnly, "nobody's\r\n", &problem);
                     return !result.ok() && problem == WriteProblem::CannotOpen
                         && result.error().message.find("Permission denied") != std::string::npos;
                 }, nobody), 0);
        ::chmod(dir_.path().toLocal8Bit().constData(), 0755);
        QVERIFY(bytesOf(readOnly) == "keep\r\n" && noLeftovers() && noLeftovers("locked"));
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
        const std::string disk = at("small"), path = disk + "/old.txt", old(8000, 'o'), text(std::size_t(size), 'x');
        ::mkdir(disk.c_str(), 0755);
        if (::geteuid() != 0 || ::mount("tmpfs", disk.c_str(), "tmpfs", 0, "size=64k") != 0)
            QSKIP("mounting a small disk needs root");
        const auto unmount = qScopeGuard([&] { ::umount2(disk.c_str(), MNT_DETACH); });
        QVERIFY(put(path, old) && (!hardLinked || ::link(path.c_str(), (disk + "/other-name.txt").c_str()) == 0));
        const int filler = size < 8000 ? ::open((disk + "/filler").c_str(), O_WRONLY | O_CREAT, 0600) : -1;
        while (filler >= 0 && ::write(filler, old.data(), old.size()) > 0) {
        } // fills the disk
        ::close(filler);
        WriteProblem problem = WriteProblem::None;
        const auto result = writeFileKeepingIdentity(path, text, &problem);
        QCOMPARE(bytesOf(path), size < 8000 ? text : old);
        QVERIFY2(size < 8000 ? result.ok() : problem == WriteProblem::NoSpace && result.error().message.find("No space left on device") != std::string::npos
                         && result.error().message.find("left as it was") != std::string::npos,
                 result.ok() ? "" : result.error().message.c_str());
        QVERIFY(noLeftovers("small"));
    }
};

QTEST_MAIN(TestSaving)
#include "test_saving.moc"
