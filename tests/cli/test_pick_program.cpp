// The real program with its standard input on a pipe: the list it reads
// there is kept in a temporary file that never outlives the program.
#include "temp_files.h"
#include "word_lists.h"

#include <QtTest>

#include <csignal>

#ifdef Q_OS_LINUX
#include <sys/stat.h>
#endif

namespace {

struct ProgramRun {
    int status = -1; // -1: did not end normally
    QByteArray out;
    QByteArray err;
};

QProcessEnvironment withTmpdir(const QString& tmpdir)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("TMPDIR", tmpdir);
    return env;
}

ProgramRun finish(QProcess& process)
{
    if (!process.waitForFinished(60000))
        return {};
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1, process.readAllStandardOutput(),
            process.readAllStandardError()};
}

ProgramRun runOnFile(const QStringList& args, const QString& tmpdir)
{
    QProcess process;
    process.setProcessEnvironment(withTmpdir(tmpdir));
    process.start(QStringLiteral(TAVILON_PICK_PROGRAM), args);
    return finish(process);
}

// The program reading `file` through a pipe from another process.
ProgramRun runOnPipe(const QStringList& args, const QString& file, const QString& tmpdir)
{
    QProcess producer;
    QProcess program;
    producer.setStandardOutputProcess(&program);
    program.setProcessEnvironment(withTmpdir(tmpdir));
    producer.start("cat", {file});
    program.start(QStringLiteral(TAVILON_PICK_PROGRAM), args);
    const ProgramRun run = finish(program);
    producer.waitForFinished(60000);
    return run;
}

QByteArray readOutput(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(missing)");
}

QStringList entriesOf(const QString& folder)
{
    return QDir(folder).entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::Hidden | QDir::System);
}

} // namespace

class TestPickProgram : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        if (QStandardPaths::findExecutable("cat").isEmpty())
            QSKIP("cat is not installed");
    }

    // Standard input gives what the same list gives as a FILE.
    void standardInputGivesTheFilesWords_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QByteArray>("list");
        const QByteArray words = numberedWords("word", 20000);
        QByteArray utf16("\xFF\xFE", 2);
        for (char c : QByteArray("alpha\r\nbeta\r\n\r\ngamma\r\n"))
            utf16 += QByteArray(1, c) + QByteArray(1, '\0');
        QTest::newRow("pick") << QStringList{"pick", "-n", "40"} << words;
        QTest::newRow("pick from -") << QStringList{"pick", "-n40", "-"} << words;
        QTest::newRow("count") << QStringList{"count"} << words;
        QTest::newRow("UTF-16 with CR LF") << QStringList{"pick", "-n", "7"} << utf16;
        QTest::newRow("count of UTF-16") << QStringList{"count", "-"} << utf16;
        QTest::newRow("count of nothing") << QStringList{"count"} << QByteArray();
        QTest::newRow("pick into -o") << QStringList{"pick", "-o", "OUT", "-n", "40"} << words;
    }
    void standardInputGivesTheFilesWords()
    {
        QFETCH(QStringList, args);
        QFETCH(QByteArray, list);
        TempFiles files;
        TempFiles spoolFolder;
        const QString path = QString::fromStdString(files.write("list.txt", list));
        QStringList fileArgs = args;
        fileArgs.removeAll("-");
        const bool toFile = fileArgs.removeAll("OUT") + fileArgs.removeAll("-o") > 0;
        const ProgramRun expected = runOnFile(fileArgs << path, spoolFolder.root());
        QVERIFY2(expected.status == 0, expected.err.constData());
        const ProgramRun run = runOnPipe(args.replaceInStrings("OUT", files.path("out.txt")), path, spoolFolder.root());
        QVERIFY2(run.status == 0, run.err.constData());
        QCOMPARE(toFile ? readOutput(files.path("out.txt")) : run.out, expected.out);
        QCOMPARE(entriesOf(spoolFolder.root()), QStringList{});
    }

    // However the program ends by itself, no spool is left behind; a TMPDIR
    // that cannot take the spool is an error that names it.
    void noSpoolIsLeftAfterAnEnd_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QByteArray>("list");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("errContains");
        QTest::newRow("done") << QStringList{"pick", "-n", "3"} << numberedWords("w", 100) << 0 << "";
        QTest::newRow("binary data") << QStringList{"count"} << QByteArray("a\nb\0c\n", 6) << 1
                                     << "\"standard input\" is not a word list";
        QTest::newRow("no words") << QStringList{"pick"} << QByteArray(" \n\n") << 1 << "no words";
        QTest::newRow("more picks than allowed") << QStringList{"pick", "-n", "2e6"} << QByteArray("a\n") << 1
                                                 << "At most";
        QTest::newRow("TMPDIR gone") << QStringList{"count"} << QByteArray("a\n") << 1 << "temporary file";
    }
    void noSpoolIsLeftAfterAnEnd()
    {
        QFETCH(QStringList, args);
        QFETCH(QByteArray, list);
        QFETCH(int, status);
        QFETCH(QString, errContains);
        TempFiles files;
        TempFiles spoolFolder;
        const QString path = QString::fromStdString(files.write("list.txt", list));
        const bool gone = QByteArray(QTest::currentDataTag()) == "TMPDIR gone";
        const QString tmpdir = gone ? spoolFolder.path("gone") : spoolFolder.root();
        const ProgramRun run = runOnPipe(args, path, tmpdir);
        QCOMPARE(run.status, status);
        QVERIFY2(run.err.contains(errContains.toUtf8()) && (!gone || run.err.contains("gone")), run.err.constData());
        QVERIFY(status == 0 || run.out.isEmpty());
        QCOMPARE(entriesOf(spoolFolder.root()), QStringList{});
    }

    // A signal that ends the program while it still reads standard input
    // leaves no spool behind; while it reads, the spool is private and has
    // no name in the folder.
    void noSpoolIsLeftAfterASignal_data()
    {
        QTest::addColumn<int>("signal");
        QTest::newRow("SIGINT") << int(SIGINT);
        QTest::newRow("SIGTERM") << int(SIGTERM);
        QTest::newRow("SIGHUP") << int(SIGHUP);
    }
    void noSpoolIsLeftAfterASignal()
    {
#ifndef Q_OS_LINUX
        QSKIP("looks at the program's open files in /proc");
#else
        QFETCH(int, signal);
        TempFiles spoolFolder;
        const QString folder = QFileInfo(spoolFolder.root()).canonicalFilePath();
        QProcess program;
        program.setProcessEnvironment(withTmpdir(folder));
        program.start(QStringLiteral(TAVILON_PICK_PROGRAM), {"pick", "-n", "5"});
        QVERIFY(program.waitForStarted());
        QCOMPARE(program.write(numberedWords("w", 10000)), qint64(numberedWords("w", 10000).size()));
        QVERIFY(program.waitForBytesWritten());

        // Standard input stays open: the program has spooled all it was
        // given and waits for more.
        const QString fdFolder = QString("/proc/%1/fd").arg(program.processId());
        const qint64 given = numberedWords("w", 10000).size();
        QString spool;
        struct stat st {};
        QDeadlineTimer deadline(20000);
        while (!deadline.hasExpired()) {
            for (const QFileInfo& fd : QDir(fdFolder).entryInfoList(QDir::NoDotAndDotDot | QDir::AllEntries)) {
                if (fd.symLinkTarget().startsWith(folder + "/"))
                    spool = fd.filePath();
            }
            if (!spool.isEmpty() && ::stat(QFile::encodeName(spool).constData(), &st) == 0 && st.st_size == given)
                break;
            QTest::qWait(20);
        }
        QVERIFY2(!spool.isEmpty(), "the program never opened a spool in TMPDIR");
        QCOMPARE(qint64(st.st_size), given);
        QCOMPARE(st.st_mode & 07777, mode_t{0600});
        QVERIFY2(QFile::symLinkTarget(spool).endsWith(" (deleted)"), qPrintable(QFile::symLinkTarget(spool)));
        QCOMPARE(entriesOf(folder), QStringList{});

        QCOMPARE(::kill(static_cast<pid_t>(program.processId()), signal), 0);
        QVERIFY(program.waitForFinished(20000));
        QCOMPARE(program.exitStatus(), QProcess::CrashExit);
        QCOMPARE(entriesOf(folder), QStringList{});
        QVERIFY(program.readAllStandardOutput().isEmpty());
#endif
    }
};

QTEST_GUILESS_MAIN(TestPickProgram)
#include "test_pick_program.moc"
