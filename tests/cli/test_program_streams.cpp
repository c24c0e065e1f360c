#include "tests/support/temp_files.h"
#include "tests/support/word_lists.h"

#include <QtTest>

#include <csignal>
#include <fcntl.h>
#include <sys/ptrace.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

const char* const Pick = TAVILON_PICK_PROGRAM;
const std::vector<const char*> Save {"pick", "-n", "15000", "list", "-o", "out.txt"};

// Runs `script` in bash in the folder of `files`, $P naming the program.
int runShell(const TempFiles& files, const QString& script)
{
    const QString start = QString("cd '%1' && P='%2' && ").arg(files.root(), Pick);
    return QProcess::execute("bash", {"-c", start + script});
}

// Starts the program with `args` in `folder`, standard error into "err",
// once `prepare` succeeded in the new process.
pid_t start(const QString& folder, bool (*prepare)(), std::vector<const char*> args)
{
    const QByteArray where = QFile::encodeName(folder);
    args.insert(args.begin(), Pick);
    args.push_back(nullptr);
    const pid_t child = ::fork();
    if (child != 0)
        return child;
    if (::chdir(where.constData()) == 0
        && ::dup2(::open("err", O_WRONLY | O_CREAT | O_TRUNC, 0600), 2) == 2 && prepare())
        ::execv(Pick, const_cast<char* const*>(args.data()));
    ::_exit(127);
}

bool traced()
{
    return ::ptrace(PTRACE_TRACEME, 0, nullptr, nullptr) == 0;
}

// SIGHUP ignored, as under nohup; traced.
bool ignoringHangUps()
{
    return ::signal(SIGHUP, SIG_IGN) != SIG_ERR && traced();
}

// Standard input from "words", read past its first byte and so spooled here; traced.
bool spooling()
{
    return ::dup2(::open("words", O_RDONLY), 0) == 0 && ::lseek(0, 1, SEEK_SET) == 1
        && ::setenv("TMPDIR", ".", 1) == 0 && traced();
}

// Sends the traced `child` `signal` when its first system call `stop`
// returns. Returns the wait status of its end.
int signalAfter(pid_t child, long stop, int signal)
{
    int status = 0;
    long call = -1;
    while (::waitpid(child, &status, 0) == child && WIFSTOPPED(status)) {
        __ptrace_syscall_info info {};
        const bool atCall = WSTOPSIG(status) == (SIGTRAP | 0x80)
            && ::ptrace(PTRACE_GET_SYSCALL_INFO, child, sizeof info, &info) > 0;
        if (atCall && info.op == PTRACE_SYSCALL_INFO_EXIT && call == stop) {
            ::kill(child, signal);
            ::ptrace(PTRACE_DETACH, child, nullptr, nullptr);
            break;
        }
        if (atCall && info.op == PTRACE_SYSCALL_INFO_ENTRY)
            call = long(info.entry.nr);
        const long options = PTRACE_O_TRACESYSGOOD | PTRACE_O_EXITKILL;
        ::ptrace(PTRACE_SETOPTIONS, child, nullptr, options);
        const bool passOn = !atCall && WSTOPSIG(status) != SIGTRAP;
        ::ptrace(PTRACE_SYSCALL, child, nullptr, long(passOn ? WSTOPSIG(status) : 0));
    }
    ::waitpid(child, &status, 0);
    return status;
}

// Writes "list" and an old "out.txt" of `oldLines` lines, also named
// "alias.txt" when `hardLinked` (a save then rewrites it in place).
QByteArray writeOldOutput(TempFiles& files, bool hardLinked, int oldLines = 20000)
{
    files.write("list", numberedWords("word", 2000));
    const QByteArray old = numberedWords("an old line ", oldLines);
    const std::string out = files.write("out.txt", old);
    if (hardLinked && ::link(out.c_str(), qPrintable(files.path("alias.txt"))) != 0)
        qFatal("cannot link %s", out.c_str());
    return old;
}

// A row of streams_data(): a script, its exit status and the file "out" it leaves.
void row(const char* name, const QString& script, int status, const QByteArray& out)
{
    QTest::newRow(name) << script << status << out;
}

} // namespace

class TestProgramStreams : public QObject {
    Q_OBJECT
private slots:
    // No script changes out.txt or leaves a temporary file.
    void streams_data()
    {
        QTest::addColumn<QString>("script");
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("out");
        const QByteArray full("tavilon-pick: standard output: cannot write\n");
        const QByteArray tooLarge("tavilon-pick: out.txt: File too large; the file was ");
        const QString limitedSave = "(ulimit -f 97; $P pick -n 15000 list -o out.txt 2> out)";
        const QByteArray spool(": cannot keep standard input in a temporary file here: ");
        row("appended standard output",
            "printf 'log\\n' > out; $P pick -n 2 list -o /dev/stdout >> out", 0,
            "log\nword1411\nword1066\n");
        row("closed input", "$P count <&- > out 2>&1", 1,
            "tavilon-pick: standard input: it is closed\n");
        row("input past the file-size limit",
            "(ulimit -f 1; seq 5000 | TMPDIR=. $P count - > out 2>&1)", 1,
            "tavilon-pick: ." + spool + "File too large\n");
        row("binary input", "printf 'a\\0b\\n' | $P count 2> out", 1,
            "tavilon-pick: standard input: not a word list: it holds binary data (NUL bytes)\n");
        row("file input, read in place", "TMPDIR=gone $P count < list > out", 0, "2000\n");
        row("/dev/stdin on a pipe", "seq 3 | $P count /dev/stdin > out", 0, "3\n");
        row("non-blocking input", // data that comes later is waited for
            "(sleep 0.2; seq 5) | python3 -c 'import fcntl, os, sys; "
            "fcntl.fcntl(0, fcntl.F_SETFL, os.O_NONBLOCK); os.execv(sys.argv[1], sys.argv[1:])' "
            "$P count > out", 0, "5\n");
        row("no TMPDIR", "echo a | TMPDIR=gone $P count 2> out", 1,
            "tavilon-pick: gone" + spool + "No such file or directory\n");
        row("--help, full", "$P --help 2> out > /dev/full", 1, full);
        row("--version, full", "$P --version 2> out > /dev/full", 1, full);
        row("save past the limit, in place", // a second name keeps it in place
            "ln out.txt alias.txt; " + limitedSave, 1, tooLarge + "put back as it was\n");
        row("save past the limit, replaced", limitedSave, 1, tooLarge + "left as it was\n");
        row("-z, names keep their bytes", "printf 'caf\\351\\0\\377\\n' | $P pick -zun2 > out", 0,
            QByteArray("\xFF\n\0caf\xE9\0", 8));
        row("a word of 32 MiB held once", // three copies pass the limit
            "head -c 32M /dev/zero | tr '\\0' x > big;"
            " (ulimit -v 73728; $P pick -n3 big | wc -c > out)", 0, "100663299\n");
        // 24 words of 8 MiB, more than one pass holds, go out whole in draw order.
        const QString longWords = "for c in {a..x}; do head -c 8M /dev/zero | tr '\\0' $c;"
            " printf '%1'; done > long; (ulimit -v 204800; $P pick -n24 %2 long > picks)"
            " && wc -c < picks > out && tr '\\0' '\\n' < picks | cut -c1 | tr -d '\\n' >> out";
        const QByteArray drawn("201326616\nqmnghsastrbjusixubwimsbo"); // size, first letters
        row("long lines, bounded memory", longWords.arg("\\n", ""), 0, drawn);
        row("long -z words, bounded memory", longWords.arg("\\0", "-z"), 0, drawn);
    }
    void streams()
    {
        QFETCH(QString, script);
        QFETCH(int, status);
        QFETCH(QByteArray, out);
        TempFiles files;
        const QByteArray old = writeOldOutput(files, false);
        QCOMPARE(runShell(files, script), status);
        QCOMPARE(readFile(files.path("out")), out);
        QCOMPARE(readFile(files.path("out.txt")), old);
        QCOMPARE(leftovers(files.root()), QStringList());
    }

    // The spool of standard input has no name: a signal leaves nothing.
    void aSignalWhileSpoolingLeavesNothing()
    {
        TempFiles files;
        files.write("words", numberedWords("w", 10000));
        const int ended = signalAfter(start(files.root(), spooling, {"pick"}), SYS_write, SIGINT);
        QVERIFY(WIFSIGNALED(ended));
        const QStringList left = QDir(files.root()).entryList(QDir::Files | QDir::Hidden);
        QCOMPARE(left, QStringList({"err", "words"}));
    }

    // A signal after a save's first write leaves the old file and nothing
    // beside it, and still ends the program.
    void aSignalDuringASaveKeepsTheOldFile_data()
    {
        QTest::addColumn<int>("signal");
        QTest::addColumn<bool>("hardLinked");
        QTest::addColumn<int>("oldLines");
        QTest::newRow("SIGINT, in place") << SIGINT << true << 20000;
        QTest::newRow("SIGHUP, replaced") << SIGHUP << false << 20000;
        QTest::newRow("SIGBUS sent, replaced") << SIGBUS << false << 20000;
        QTest::newRow("real-time signal, in place") << SIGRTMIN + 3 << true << 20000;
        QTest::newRow("SIGTERM, in place, shorter") << SIGTERM << true << 10; // its old length too
    }
    void aSignalDuringASaveKeepsTheOldFile()
    {
        QFETCH(int, signal);
        QFETCH(bool, hardLinked);
        QFETCH(int, oldLines);
        TempFiles files;
        const QByteArray old = writeOldOutput(files, hardLinked, oldLines);
        const int ended = signalAfter(start(files.root(), traced, Save), SYS_pwrite64, signal);
        QVERIFY(WIFSIGNALED(ended));
        QCOMPARE(WTERMSIG(ended), signal);
        QCOMPARE(readFile(files.path("err")), QByteArray());
        QCOMPARE(readFile(files.path("out.txt")), old);
        QCOMPARE(leftovers(files.root()), QStringList());
    }

    // Once the file is cut to its new size, a signal waits for the save.
    void aSignalAfterTheCutKeepsTheNewFile()
    {
        TempFiles files;
        writeOldOutput(files, true);
        QCOMPARE(runShell(files, "$P pick -n 15000 list > picks"), 0);
        const int ended = signalAfter(start(files.root(), traced, Save), SYS_ftruncate, SIGTERM);
        QVERIFY(WIFSIGNALED(ended));
        QCOMPARE(WTERMSIG(ended), SIGTERM);
        QCOMPARE(readFile(files.path("out.txt")), readFile(files.path("picks")));
    }

    // A signal the caller ignored, as nohup does, stays ignored in a save.
    void anIgnoredSignalDuringASaveIsIgnored()
    {
        TempFiles files;
        writeOldOutput(files, false);
        QCOMPARE(runShell(files, "$P pick -n 15000 list > picks"), 0);
        const pid_t child = start(files.root(), ignoringHangUps, Save);
        const int ended = signalAfter(child, SYS_pwrite64, SIGHUP);
        QVERIFY(WIFEXITED(ended));
        QCOMPARE(WEXITSTATUS(ended), 0);
        QCOMPARE(readFile(files.path("out.txt")), readFile(files.path("picks")));
    }

    // A save in place whose system call fails (strace injects the error)
    // says what the file holds; without fallocate, it still succeeds.
    void aFailedCallOfASaveInPlaceSaysWhatTheFileHolds_data()
    {
        QTest::addColumn<QString>("inject");
        QTest::addColumn<int>("oldLines"); // 1 is shorter than the picks, 2 longer
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("err");
        QTest::addColumn<QByteArray>("holds"); // out.txt afterwards
        const QByteArray picks("word1411\nword1066\n");
        const QByteArray failed("tavilon-pick: out.txt: Input/output error; the ");
        const QByteArray unsynced =
            failed + "new text was written but may not be complete on disk\n";
        const QString unsupported = "fallocate:error=EOPNOTSUPP";
        const QString cut = "ftruncate:error=EIO";
        QTest::newRow("no fallocate") << unsupported << 1 << 0 << QByteArray() << picks;
        QTest::newRow("fsync") << "fsync:error=EIO" << 2 << 1 << unsynced << picks;
        QTest::newRow("ftruncate, longer text") << cut << 1 << 1 << unsynced << picks;
        QTest::newRow("ftruncate, shorter text") << cut << 2 << 1
            << failed + "file holds the new text, followed by the rest of its old content\n"
            << picks + "ld line 1\n";
    }
    void aFailedCallOfASaveInPlaceSaysWhatTheFileHolds()
    {
        QFETCH(QString, inject);
        QFETCH(int, oldLines);
        TempFiles files;
        writeOldOutput(files, true, oldLines);
        const QString save = "strace -f -o /dev/null -e inject=%1 $P pick -n 2 list -o out.txt";
        QTEST(runShell(files, save.arg(inject) + " 2> err"), "status");
        QTEST(readFile(files.path("err")), "err");
        QTEST(readFile(files.path("out.txt")), "holds");
    }
};

QTEST_GUILESS_MAIN(TestProgramStreams)
#include "test_program_streams.moc"
