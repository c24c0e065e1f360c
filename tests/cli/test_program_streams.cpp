// The real program started by a shell, with its standard streams set up as
// users set them up, and ended by real signals while it saves.
#include "tests/support/temp_files.h"
#include "tests/support/word_lists.h"

#include <QtTest>

#include <csignal>
#include <fcntl.h>
#include <sys/ptrace.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

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

// Runs "pick -n 15000 list -o out.txt" in `folder`, its standard error into
// "err". With `signal`, the program is traced until its first system call
// `stop` returns (pwrite: the save's first write), and is then sent `signal`;
// without, it runs under a file-size limit of 100,000 bytes. Returns the wait status.
int runSaving(const QString& folder, int signal, long stop)
{
    const QByteArray where = QFile::encodeName(folder);
    const pid_t child = ::fork();
    if (child == 0) {
        const rlimit size {100000, 100000};
        const int err = ::chdir(where.constData()) == 0 ? ::open("err", O_WRONLY | O_CREAT | O_TRUNC, 0600) : -1;
        if (err >= 0 && ::dup2(err, 2) == 2
            && (signal ? ::ptrace(PTRACE_TRACEME, 0, nullptr, nullptr) == 0 : ::setrlimit(RLIMIT_FSIZE, &size) == 0))
            ::execl(TAVILON_PICK_PROGRAM, TAVILON_PICK_PROGRAM, "pick", "-n", "15000", "list", "-o", "out.txt",
                    nullptr);
        ::_exit(127);
    }
    int status = 0;
    long call = -1;
    while (signal && ::waitpid(child, &status, 0) == child && WIFSTOPPED(status)) {
        __ptrace_syscall_info info {};
        const bool atCall = WSTOPSIG(status) == (SIGTRAP | 0x80)
            && ::ptrace(PTRACE_GET_SYSCALL_INFO, child, sizeof info, &info) > 0;
        if (atCall && info.op == PTRACE_SYSCALL_INFO_EXIT && call == stop) {
            ::kill(child, signal);
            ::ptrace(PTRACE_DETACH, child, nullptr, nullptr);
            break;
        }
        call = atCall && info.op == PTRACE_SYSCALL_INFO_ENTRY ? long(info.entry.nr) : call;
        ::ptrace(PTRACE_SETOPTIONS, child, nullptr, long(PTRACE_O_TRACESYSGOOD | PTRACE_O_EXITKILL));
        ::ptrace(PTRACE_SYSCALL, child, nullptr, long(atCall || WSTOPSIG(status) == SIGTRAP ? 0 : WSTOPSIG(status)));
    }
    ::waitpid(child, &status, 0);
    return status;
}

} // namespace

class TestProgramStreams : public QObject {
    Q_OBJECT
private slots:
    // -o naming the file that standard output or error already is writes
    // through that stream, keeping what the file held; a closed standard
    // input, or one too large to keep under the file-size limit, is an error
    // that writes nothing.
    void outputAndInputDescriptors_data()
    {
        QTest::addColumn<QString>("script");
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("expected"); // the file "out" afterwards; PICKS stands for the picks
        QTest::newRow("appended standard output") << "printf 'log\\n' > out; $P pick -n 2 list -o /dev/stdout >> out"
                                                  << 0 << QByteArray("log\nPICKS");
        QTest::newRow("standard output a pipe") << "$P pick -n 2 list -o /dev/stdout | cat > out" << 0
                                                << QByteArray("PICKS");
        QTest::newRow("closed input") << "$P count <&- > out" << 1 << QByteArray();
        QTest::newRow("input past the file-size limit") << "(ulimit -f 1; seq 5000 | $P count - > out)" << 1 << QByteArray();
    }
    void outputAndInputDescriptors()
    {
        QFETCH(QString, script);
        QFETCH(int, status);
        QFETCH(QByteArray, expected);
        TempFiles files;
        files.write("list", "a\nb\nc\n");
        QCOMPARE(runShell(files, "$P pick -n 2 list > picks"), 0);
        expected.replace("PICKS", readFile(files.path("picks")));
        QCOMPARE(runShell(files, script), status);
        QCOMPARE(readFile(files.path("out")), expected);
    }

    // A save of -o that a signal or the file-size limit ends after the old
    // file was read and the first bytes written leaves the old file, under
    // both names, and nothing beside it; once the file is cut to its new
    // size, the new one. A signal still ends the program (status 128+N); the
    // limit is an error that says what was kept.
    void anEndedSaveKeepsTheOldFile_data()
    {
        QTest::addColumn<int>("signal"); // 0: a limit of 100,000 bytes instead
        QTest::addColumn<bool>("hardLinked"); // rewritten in place, else replaced
        QTest::addColumn<int>("stop"); // the signal comes when this system call returns
        QTest::addColumn<QByteArray>("says");
        QTest::newRow("SIGINT, in place") << SIGINT << true << int(SYS_pwrite64) << QByteArray();
        QTest::newRow("SIGHUP, replaced") << SIGHUP << false << int(SYS_pwrite64) << QByteArray();
        QTest::newRow("SIGPIPE, in place") << SIGPIPE << true << int(SYS_pwrite64) << QByteArray();
        QTest::newRow("real-time signal, in place") << SIGRTMIN + 3 << true << int(SYS_pwrite64) << QByteArray();
        QTest::newRow("SIGTERM, cut to the new size") << SIGTERM << true << int(SYS_ftruncate) << QByteArray();
        QTest::newRow("SIGTERM, synced, replaced") << SIGTERM << false << int(SYS_fsync) << QByteArray();
        QTest::newRow("size limit, in place") << 0 << true << int(SYS_pwrite64) << QByteArray("put back as it was\n");
        QTest::newRow("size limit, replaced") << 0 << false << int(SYS_pwrite64) << QByteArray("left as it was\n");
    }
    void anEndedSaveKeepsTheOldFile()
    {
        QFETCH(int, signal);
        QFETCH(bool, hardLinked);
        QFETCH(int, stop);
        QFETCH(QByteArray, says);
        TempFiles files;
        files.write("list", numberedWords("word", 2000));
        const QByteArray old = numberedWords("an old line ", 20000); // longer than the picks
        files.write("out.txt", old);
        QCOMPARE(hardLinked ? ::link(qPrintable(files.path("out.txt")), qPrintable(files.path("alias.txt"))) : 0, 0);
        QProcess picks; // what a save that is done writes
        picks.start(TAVILON_PICK_PROGRAM, {"pick", "-n", "15000", files.path("list")});
        const QByteArray kept = stop == SYS_ftruncate && picks.waitForFinished() ? picks.readAllStandardOutput() : old;
        const int ended = runSaving(files.root(), signal, stop);
        QCOMPARE(WIFSIGNALED(ended) ? 128 + WTERMSIG(ended) : WEXITSTATUS(ended), signal ? 128 + signal : 1);
        const QByteArray told = "tavilon-pick: out.txt: File too large; the file was " + says;
        QCOMPARE(readFile(files.path("err")), says.isEmpty() ? says : told);
        QCOMPARE(readFile(files.path("out.txt")), kept);
        QCOMPARE(readFile(files.path("alias.txt")), hardLinked ? kept : QByteArray("(missing)"));
        QCOMPARE(QDir(files.root()).entryList({".tavilon-*"}, QDir::Files | QDir::Hidden), QStringList());
    }
};

QTEST_GUILESS_MAIN(TestProgramStreams)
#include "test_program_streams.moc"
