// The real program under a shell's redirections and limits, and ended by signals.
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

// Writes "list" and "out.txt", an old text of `oldLines` (by default longer
// than the picks), also named "alias.txt" when `hardLinked`: then a save
// rewrites it in place.
QByteArray writeOldOutput(TempFiles& files, bool hardLinked, int oldLines = 20000)
{
    files.write("list", numberedWords("word", 2000));
    const QByteArray old = numberedWords("an old line ", oldLines);
    const std::string out = files.write("out.txt", old);
    if (hardLinked && ::link(out.c_str(), qPrintable(files.path("alias.txt"))) != 0)
        qFatal("cannot link %s", out.c_str());
    return old;
}

QStringList temporaryFiles(const TempFiles& files)
{
    return QDir(files.root()).entryList({".tavilon-*"}, QDir::Files | QDir::Hidden);
}

} // namespace

class TestProgramStreams : public QObject {
    Q_OBJECT
private slots:
    // -o naming standard output writes through it, keeping what the file
    // held. Input that cannot be read or spooled, or output that cannot be
    // written, is an error. Past the file-size limit a save of -o fails and
    // says what it kept; no command changes out.txt or leaves a temporary file.
    // Names under -z come out byte for byte; a long word is held once.
    void streams_data()
    {
        QTest::addColumn<QString>("script");
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("out"); // the file "out" afterwards
        const QByteArray full("tavilon-pick: standard output: cannot write\n");
        const QByteArray tooLarge("tavilon-pick: out.txt: File too large; the file was ");
        const QString limitedSave = "(ulimit -f 97; $P pick -n 15000 list -o out.txt 2> out)";
        QTest::newRow("appended standard output")
            << "printf 'log\\n' > out; $P pick -n 2 list -o /dev/stdout >> out" << 0
            << QByteArray("log\nword1411\nword1066\n");
        QTest::newRow("closed input") << "$P count <&- > out 2>&1" << 1
                                      << QByteArray("tavilon-pick: standard input: it is closed\n");
        QTest::newRow("input past the file-size limit")
            << "(ulimit -f 1; seq 5000 | TMPDIR=. $P count - > out 2>&1)" << 1
            << QByteArray("tavilon-pick: .: cannot keep standard input in a temporary file"
                          " here: File too large\n");
        QTest::newRow("binary input") << "printf 'a\\0b\\n' | $P count 2> out" << 1
            << QByteArray("tavilon-pick: standard input: not a word list:"
                          " it holds binary data (NUL bytes)\n");
        QTest::newRow("file input, read in place") << "TMPDIR=gone $P count < list > out" << 0
                                                   << QByteArray("2000\n");
        QTest::newRow("/dev/stdin on a pipe") << "seq 3 | $P count /dev/stdin > out" << 0
                                              << QByteArray("3\n");
        QTest::newRow("a shell's <(...)") << "$P count <(seq 4) > out" << 0 << QByteArray("4\n");
        QTest::newRow("non-blocking input") // data that comes later is waited for
            << "(sleep 0.2; seq 5) | python3 -c 'import fcntl, os, sys; "
               "fcntl.fcntl(0, fcntl.F_SETFL, os.O_NONBLOCK); os.execv(sys.argv[1], sys.argv[1:])' "
               "$P count > out" << 0 << QByteArray("5\n");
        QTest::newRow("no TMPDIR") << "echo a | TMPDIR=gone $P count 2> out" << 1
            << QByteArray("tavilon-pick: gone: cannot keep standard input in a temporary file"
                          " here: No such file or directory\n");
        QTest::newRow("--help, full") << "$P --help 2> out > /dev/full" << 1 << full;
        QTest::newRow("--version, full") << "$P --version 2> out > /dev/full" << 1 << full;
        QTest::newRow("save past the limit, in place") // a second name keeps it in place
            << "ln out.txt alias.txt; " + limitedSave << 1 << tooLarge + "put back as it was\n";
        QTest::newRow("save past the limit, replaced")
            << limitedSave << 1 << tooLarge + "left as it was\n";
        QTest::newRow("-z, names keep their bytes")
            << "printf 'caf\\351\\0\\377\\n' | $P pick -zun2 > out" << 0
            << QByteArray("\xFF\n\0caf\xE9\0", 8);
        QTest::newRow("a word of 32 MiB held once") // three copies pass the limit
            << "head -c 32M /dev/zero | tr '\\0' x > big;"
               " (ulimit -v 73728; $P pick -n3 big | wc -c > out)"
            << 0 << QByteArray("100663299\n");
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
        QCOMPARE(temporaryFiles(files), QStringList());
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

    // 24 words of 8 MiB, more than one pass holds, are written in draw
    // order within 200 MiB: memory does not grow with the words' length.
    void longPicksStreamInBoundedMemory_data()
    {
        QTest::addColumn<QString>("option");
        QTest::addColumn<char>("end"); // what ends each word of the list
        QTest::newRow("lines") << "" << '\n';
        QTest::newRow("-z") << "-z" << '\0';
    }
    void longPicksStreamInBoundedMemory()
    {
        QFETCH(QString, option);
        QFETCH(char, end);
        TempFiles files;
        QFile list(files.path("list"));
        QVERIFY(list.open(QIODevice::WriteOnly));
        QByteArray letters; // a list of one letter a word draws the same word numbers
        for (char letter = 'a'; letter < 'a' + 24; ++letter) {
            list.write(QByteArray(8 << 20, letter) + end);
            letters += letter + QByteArray("\n");
        }
        list.close();
        files.write("letters", letters);
        QCOMPARE(runShell(files, "(ulimit -v 204800; $P pick -n24 list " + option + " > out)"), 0);
        QCOMPARE(QFileInfo(files.path("out")).size(), 24 * ((8 << 20) + 1));
        QCOMPARE(runShell(files, "tr '\\0' '\\n' < out | cut -c1 > drawn"), 0); // first letters
        QCOMPARE(runShell(files, "$P pick -n24 letters > picks"), 0);
        QCOMPARE(readFile(files.path("drawn")), readFile(files.path("picks")));
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
        QCOMPARE(temporaryFiles(files), QStringList());
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
