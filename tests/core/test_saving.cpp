#include "core/saving/file_writer.h"
#include "tests/support/temp_files.h"

#include <QtTest>

#include <grp.h>
#include <pwd.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace tavilon;

static struct stat statOf(const QString& path)
{
    struct stat st {};
    ::lstat(QFile::encodeName(path).constData(), &st);
    return st;
}

// Runs `work` with the effective user and group of `user`, then as root again.
template <typename Work>
static auto as(const passwd& user, Work work)
{
    if (::setegid(user.pw_gid) != 0 || ::seteuid(user.pw_uid) != 0)
        qFatal("cannot become %s", user.pw_name);
    const auto root = qScopeGuard([] {
        if (::seteuid(0) != 0 || ::setegid(0) != 0)
            qFatal("cannot become root again");
    });
    return work();
}

class TestSaving : public QObject {
    Q_OBJECT
    QTemporaryDir dir_; // the current folder: names are relative, as typed

private slots:
    void initTestCase()
    {
        QVERIFY(QDir::setCurrent(dir_.path()));
        ::chmod(".", 0755); // nobody reaches the files
        ::umask(022);
        QVERIFY(QDir().mkpath("sub"));
        QCOMPARE(::mkfifo("pipe", 0666), 0);
        writeFile(QString("plain.txt"), "plain");
        // Old files, longer than the new texts.
        for (const QString name : {"f.txt", "sub/f.txt", "linked.txt"}) {
            writeFile(name, "an old text, longer than the new\r\n");
            QCOMPARE(::chmod(qPrintable(name), 0604), 0);
        }
        QCOMPARE(::link("linked.txt", "linked-too.txt"), 0);
        const char* const links[][2] = {{"pipe-link", "pipe"},    {"sub-link", "sub"},
                                        {"loopy1", "loopy2"},     {"loopy2", "loopy1"},
                                        {"loopdir1", "loopdir2"}, {"loopdir2", "loopdir1"}};
        for (const auto& [name, target] : links)
            QCOMPARE(::symlink(target, name), 0);
    }

    // No save touches what it refused, nor leaves anything beside a file.
    void cleanup()
    {
        QVERIFY(S_ISFIFO(statOf("pipe").st_mode));
        QVERIFY(S_ISCHR(statOf("/dev/null").st_mode));
        QCOMPARE(readFile("plain.txt"), "plain");
        QCOMPARE(QFile::symLinkTarget("loopy1"), dir_.filePath("loopy2"));
        QCOMPARE(leftovers("."), QStringList());
        QCOMPARE(leftovers("sub"), QStringList());
    }

    // The file holds exactly the text, keeps its mode and its other names;
    // links stay links.
    void savesKeepLinksAndPermissions_data()
    {
        QTest::addColumn<QStringList>("links"); // each name a symbolic link to the next
        QTest::addColumn<QString>("save");
        QTest::addColumn<QString>("lands");
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<int>("mode");
        const QByteArray odd("a\0b\xc2\xa0\xe2\x80\xa8\r\n", 10);
        const QByteArray crlf("new\r\n");
        const QString longest(255, 'n');
        const QStringList none;
        QTest::newRow("new file, longest name") << none << longest << longest << odd << 0644;
        QTest::newRow("second name, longer")
            << none << "linked.txt" << "linked-too.txt" << QByteArray(100000, 'n') << 0604;
        QTest::newRow("relative link in a folder")
            << QStringList {"sub/rel", "f.txt"} << "sub/rel" << "sub/f.txt" << crlf << 0604;
        QTest::newRow("dangling link") << QStringList {"dangling", "sub/made.txt"} << "dangling"
                                       << "sub/made.txt" << crlf << 0644;
        QTest::newRow("chain of links")
            << QStringList {"c1", "c2", "f.txt"} << "c1" << "f.txt" << crlf << 0604;
    }
    void savesKeepLinksAndPermissions()
    {
        QFETCH(QStringList, links);
        QFETCH(QString, save);
        QFETCH(QString, lands);
        QFETCH(QByteArray, text);
        QFETCH(int, mode);
        for (int i = 0; i + 1 < links.size(); ++i)
            QCOMPARE(::symlink(qPrintable(links[i + 1]), qPrintable(links[i])), 0);
        const auto saved = writeFileKeepingIdentity(save.toStdString(), text.toStdString());
        QVERIFY2(saved.ok(), saved.ok() ? "" : saved.error().message.c_str());
        QCOMPARE(readFile(lands), text);
        QCOMPARE(int(statOf(lands).st_mode & 07777), mode);
        for (int i = 0; i + 1 < links.size(); ++i) {
            const QString target = QFileInfo(links[i]).dir().filePath(links[i + 1]);
            QCOMPARE(QFile::symLinkTarget(links[i]), QFileInfo(target).absoluteFilePath());
        }
    }

    // The reason and the name a refusal gives for "NAME: reason".
    void refusedBeforeWriting_data()
    {
        QTest::addColumn<QString>("save");
        QTest::addColumn<QString>("reason");
        QTest::newRow("link to a pipe") << "pipe-link" << "is a pipe, not a regular file";
        QTest::newRow("device") << "/dev/null" << "is a device, not a regular file";
        QTest::newRow("folder") << "sub/" << "names a folder, not a file";
        QTest::newRow("link to a folder") << "sub-link" << "is a folder, not a file";
        QTest::newRow("missing folder") << "none/x.txt" << "its folder does not exist";
        QTest::newRow("under a file")
            << "plain.txt/x.txt" << "\"plain.txt\" is a file, not a folder";
        QTest::newRow("deeper under a file")
            << "plain.txt/in/x" << "a part of its folder path is a file, not a folder";
        QTest::newRow("empty name") << "" << "no file name was given";
        QTest::newRow("links in a loop") << "loopy1" << "its symbolic links form a loop";
        QTest::newRow("loop in the folder path")
            << "loopdir1/x.txt" << "its folder path holds a loop of symbolic links";
    }
    void refusedBeforeWriting()
    {
        QFETCH(QString, save);
        const auto result = writeFileKeepingIdentity(save.toStdString(), "x");
        QVERIFY(!result.ok());
        QTEST(QString::fromStdString(result.error().reason), "reason");
        QCOMPARE(QString::fromStdString(result.error().subject), save);
    }

    // In place, a shorter text needs no new room: it saves on a full disk.
    void aShorterTextSavesInPlaceOnAFullDisk()
    {
        QVERIFY(QDir().mkpath("full"));
        if (::geteuid() != 0 || ::mount("tmpfs", "full", "tmpfs", 0, "size=64k") != 0)
            QSKIP("mounting a small disk needs root");
        const auto unmount = qScopeGuard([] { ::umount2("full", MNT_DETACH); });
        const QByteArray old(8000, 'o');
        writeFile(QString("full/old.txt"), old);
        QCOMPARE(::link("full/old.txt", "full/other-name.txt"), 0);
        QFile filler("full/filler");
        QVERIFY(filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
        while (filler.write(old) > 0) {
        } // fills the disk
        const auto result = writeFileKeepingIdentity("full/old.txt", "shorter");
        QVERIFY2(result.ok(), result.ok() ? "" : result.error().message.c_str());
        QCOMPARE(readFile("full/old.txt"), "shorter");
        QCOMPARE(leftovers("full"), QStringList());
    }

    // Root keeps another user's ownership; a user saves a file of theirs in
    // a folder they may not write, but never a file they may not write.
    void ownersAndPermissionsAreKept()
    {
        const passwd* nobody = ::getpwnam("nobody");
        const group* nogroup = ::getgrnam("nogroup");
        if (::geteuid() != 0 || !nobody || !nogroup)
            QSKIP("needs root, and the user nobody and group nogroup");
        const QString theirs = "locked/theirs.txt";
        QVERIFY(QDir().mkpath("locked"));
        writeFile(theirs, "theirs");
        QCOMPARE(::chown(qPrintable(theirs), nobody->pw_uid, nogroup->gr_gid), 0);
        QCOMPARE(::chmod(qPrintable(theirs), 0640), 0);
        QVERIFY(writeFileKeepingIdentity(theirs.toStdString(), "root wrote this").ok());
        const struct stat st = statOf(theirs);
        QCOMPARE(st.st_uid, nobody->pw_uid);
        QCOMPARE(st.st_gid, nogroup->gr_gid);
        QCOMPARE(st.st_mode & 07777, 0640u);

        const auto byThem = as(*nobody, [&] {
            return writeFileKeepingIdentity(theirs.toStdString(), "by nobody");
        });
        QVERIFY2(byThem.ok(), byThem.ok() ? "" : byThem.error().message.c_str());
        QCOMPARE(readFile(theirs), "by nobody");

        writeFile(QString("read-only.txt"), "keep");
        QCOMPARE(::chown("read-only.txt", nobody->pw_uid, nobody->pw_gid), 0);
        QCOMPARE(::chmod("read-only.txt", 0444), 0);
        QCOMPARE(::chmod(".", 0777), 0); // a rename would be allowed
        const auto refused = as(*nobody, [] {
            return writeFileKeepingIdentity("read-only.txt", "nobody's");
        });
        ::chmod(".", 0755);
        QVERIFY(!refused.ok());
        QCOMPARE(refused.error().reason, "Permission denied");
        QCOMPARE(readFile("read-only.txt"), "keep");
    }
};

QTEST_MAIN(TestSaving)
#include "test_saving.moc"
