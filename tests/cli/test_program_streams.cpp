// The real program started by a shell, with its standard streams set up as
// users set them up, and ended by real signals while it saves.
#include "temp_files.h"

#include <QtTest>

#include <csignal>

namespace {

// Runs `script` in bash with $P the program, in the folder of `files`.
int runShell(const TempFiles& files, const QString& script)
{
    QProcess shell;
    shell.setWorkingDirectory(files.root());
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("P", QStringLiteral(TAVILON_PICK_PROGRAM));
    shell.setProcessEnvironment(env);
    shell.start("bash", {"-c", script});
    if (!shell.waitForFinished(60000) || shell.exitStatus() != QProcess::NormalExit)
        return -1;
    return shell.exitCode();
}

QByteArray contentOf(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(missing)");
}

} // namespace

class TestProgramStreams : public QObject {
    Q_OBJECT
private slots:
    // -o naming the file that standard output or error already is writes
    // through that stream, keeping what the file held; a closed standard
    // input is an error that writes nothing.
    void outputAndInputDescriptors_data()
    {
        QTest::addColumn<QString>("script");
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("expected"); // the file "out" afterwards; PICKS stands for the picks
        QTest::newRow("appended standard output") << "printf 'log\\n' > out; $P pick -n 2 list -o /dev/stdout >> out"
                                                  << 0 << QByteArray("log\nPICKS");
        QTest::newRow("header and footer")
            << "{ echo HEADER; $P pick -n 2 list -o /proc/self/fd/1; echo FOOTER; } > out" << 0
            << QByteArray("HEADER\nPICKSFOOTER\n");
        QTest::newRow("standard output a pipe") << "$P pick -n 2 list -o /dev/stdout | cat > out" << 0
                                                << QByteArray("PICKS");
        QTest::newRow("standard error") << "echo log > out; $P pick -n 2 list -o /dev/stderr 2>> out" << 0
                                        << QByteArray("log\nPICKS");
        QTest::newRow("closed input, -o") << "cp list out; $P count -o out <&-" << 1 << QByteArray("a\nb\nc\n");
        QTest::newRow("closed input") << "$P count <&- > out" << 1 << QByteArray();
    }
    void outputAndInputDescriptors()
    {
        QFETCH(QString, script);
        QFETCH(int, status);
        QFETCH(QByteArray, expected);
        TempFiles files;
        files.write("list", "a\nb\nc\n");
        QCOMPARE(runShell(files, "$P pick -n 2 list > picks"), 0);
        expected.replace("PICKS", contentOf(files.path("picks")));
        QCOMPARE(runShell(files, script), status);
        QCOMPARE(contentOf(files.path("out")), expected);
    }

    // A signal that ends the program while it writes -o's temporary file
    // removes that file; the program still ends by the signal.
    void aSignalRemovesTheTemporaryFile_data()
    {
        QTest::addColumn<int>("signal");
        QTest::newRow("SIGINT") << SIGINT;
        QTest::newRow("SIGTERM") << SIGTERM;
        QTest::newRow("SIGHUP") << SIGHUP;
    }
    void aSignalRemovesTheTemporaryFile()
    {
        QFETCH(int, signal);
        TempFiles files;
        QByteArray list;
        for (int i = 0; i < 1000; ++i)
            list += QByteArray(300, char('a' + i % 26)) + QByteArray::number(i) + '\n';
        files.write("long.txt", list);
        QDir().mkdir(files.path("d"));
        const QDir folder(files.path("d"));

        QProcess program;
        program.start(QStringLiteral(TAVILON_PICK_PROGRAM),
                      {"pick", "-n", "300000", files.path("long.txt"), "-o", folder.filePath("out.txt")});
        QVERIFY(program.waitForStarted());
        QElapsedTimer waited;
        waited.start();
        while (folder.entryList({".tavilon-*"}, QDir::Files | QDir::Hidden).isEmpty()) {
            QVERIFY2(waited.elapsed() < 60000 && program.state() == QProcess::Running,
                     "the temporary file never appeared");
            QThread::usleep(200);
        }
        ::kill(static_cast<pid_t>(program.processId()), signal);
        QVERIFY(program.waitForFinished(60000));
        QCOMPARE(program.exitStatus(), QProcess::CrashExit);
        QCOMPARE(folder.entryList(QDir::Files | QDir::Hidden), QStringList());
    }
};

QTEST_GUILESS_MAIN(TestProgramStreams)
#include "test_program_streams.moc"
