#include "pick_command.h"
#include "tavilon_version.h"
#include "temp_files.h"
#include "word_lists.h"

#include <QtTest>

#include <cstdio>
#include <sstream>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

using namespace tavilon;

namespace {

struct CommandRun {
    int status = -1;
    QByteArray out;
    QByteArray err;
};

// Runs the command in this process; standard input, when given, is a
// descriptor open on `standardInput`, else reading it fails at once.
CommandRun runArgv(const std::vector<std::string>& argv, const std::string& standardInput = {})
{
    PickCommandHooks hooks;
    hooks.standardInput = standardInput.empty() ? -1 : ::open(standardInput.c_str(), O_RDONLY | O_CLOEXEC);
    std::ostringstream o;
    std::ostringstream e;
    CommandRun run;
    run.status = runPickCommand(argv, o, e, hooks);
    if (hooks.standardInput >= 0)
        ::close(hooks.standardInput);
    run.out = QByteArray::fromStdString(o.str());
    run.err = QByteArray::fromStdString(e.str());
    return run;
}

// The same with "LIST" standing for `list`.
CommandRun runCommand(const QStringList& args, const std::string& list, const std::string& standardInput = {})
{
    std::vector<std::string> argv;
    for (const QString& a : args)
        argv.push_back(a == "LIST" ? list : a.toStdString());
    return runArgv(argv, standardInput);
}

// Nothing in a message can act on a terminal: no control character but the
// line ends, no C1 control or bidirectional override, only UTF-8.
bool isTerminalSafe(const QByteArray& text)
{
    for (char c : text) {
        const auto u = static_cast<unsigned char>(c);
        if ((u < 0x20 && u != '\n') || u == 0x7F)
            return false;
    }
    const QString decoded = QString::fromUtf8(text);
    if (decoded.toUtf8() != text)
        return false;
    for (QChar c : decoded) {
        const char16_t u = c.unicode();
        if ((u >= 0x80 && u <= 0x9F) || (u >= 0x2028 && u <= 0x202E) || (u >= 0x2066 && u <= 0x2069))
            return false;
    }
    return true;
}

struct ProgramRun {
    int status = -1;
    QByteArray err;
};

// Runs the real program with its standard output going to `outputFile`.
ProgramRun runProgram(const QStringList& args, const QString& outputFile, const QString& wrapper = {},
                      const QStringList& wrapperArgs = {})
{
    QProcess process;
    process.setStandardOutputFile(outputFile);
    if (wrapper.isEmpty())
        process.start(QStringLiteral(TAVILON_PICK_PROGRAM), args);
    else
        process.start(wrapper, wrapperArgs + QStringList{QStringLiteral(TAVILON_PICK_PROGRAM)} + args);
    if (!process.waitForFinished(120000))
        return {};
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1, process.readAllStandardError()};
}

} // namespace

class TestPickCommand : public QObject {
    Q_OBJECT
private slots:
    // What each command prints and its exit status: 0 done, 1 the file or
    // the output failed, 2 wrong usage (with the usage, and nothing created).
    void commands_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("out");
        QTest::addColumn<QString>("errContains");
        QTest::newRow("count") << QStringList{"count", "LIST"} << 0 << "4\n" << "";
        QTest::newRow("count of an empty list") << QStringList{"count", "EMPTY"} << 0 << "\n" << "";
        QTest::newRow("pick one by default") << QStringList{"pick", "LIST"} << 0 << "gamma\n" << "";
        QTest::newRow("pick three") << QStringList{"pick", "-n", "3", "LIST"} << 0 << "gamma\ngamma\ngamma\n" << "";
        QTest::newRow("empty number picks one") << QStringList{"pick", "-n", "", "LIST"} << 0 << "gamma\n" << "";
        QTest::newRow("00 picks none") << QStringList{"pick", "-n", "00", "LIST"} << 0 << "" << "";
        QTest::newRow("missing file") << QStringList{"count", "MISSING"} << 1 << "" << "No such file";
        QTest::newRow("pick from an empty list") << QStringList{"pick", "EMPTY"} << 1 << "" << "no words";
        QTest::newRow("too many") << QStringList{"pick", "-n", "2000000", "LIST"} << 1 << "" << "At most";
        QTest::newRow("not a number") << QStringList{"pick", "-n", "12a", "LIST"} << 2 << "" << "not a number";
        QTest::newRow("no command") << QStringList{} << 2 << "" << "Usage";
        QTest::newRow("unknown command") << QStringList{"shuffle", "LIST"} << 2 << "" << "unknown";
        QTest::newRow("count with two files") << QStringList{"count", "LIST", "LIST"} << 2 << "" << "Usage";
        QTest::newRow("-n without value") << QStringList{"pick", "LIST", "-n"} << 2 << "" << "needs a number";
        QTest::newRow("unknown short option") << QStringList{"pick", "-x", "LIST"} << 2 << "" << "unknown option \"-x\"";
        QTest::newRow("unknown long option") << QStringList{"pick", "--bogus=1", "LIST"} << 2 << "" << "unknown option \"--bogus\"";
        QTest::newRow("--number at the end") << QStringList{"pick", "LIST", "--number"} << 2 << "" << "--number needs a number";
        QTest::newRow("-o at the end") << QStringList{"pick", "LIST", "-o"} << 2 << "" << "-o needs a file name";
        QTest::newRow("empty --output=") << QStringList{"pick", "LIST", "--output="} << 2 << "" << "--output needs a file name";
        QTest::newRow("-n twice") << QStringList{"pick", "-n", "1", "LIST", "-n2"} << 2 << "" << "more than once";
        QTest::newRow("-o twice") << QStringList{"pick", "-o", "a", "LIST", "--output=b"} << 2 << "" << "more than once";
        QTest::newRow("-n for count") << QStringList{"count", "-n", "3", "LIST"} << 2 << "" << "count takes no number";
        QTest::newRow("two files") << QStringList{"pick", "LIST", "LIST"} << 2 << "" << "pick takes one FILE";
        QTest::newRow("after --, -n is a file") << QStringList{"pick", "--", "-n", "3"} << 2 << "" << "pick takes one FILE";
        QTest::newRow("--help with a value") << QStringList{"--help=all"} << 2 << "" << "--help takes no value";
        QTest::newRow("only --") << QStringList{"--"} << 2 << "" << "a command is missing";
        QTest::newRow("not a number after FILE") << QStringList{"pick", "LIST", "--number=1x"} << 2 << "" << "\"1x\" is not a number";
    }
    void commands()
    {
        QFETCH(QStringList, args);
        QFETCH(int, status);
        QFETCH(QString, out);
        QFETCH(QString, errContains);
        TempFiles files;
        const std::string list = files.write("list.txt", "alpha\nbeta\ngamma\ndelta\n");
        args.replaceInStrings("EMPTY", QString::fromStdString(files.write("empty.txt", "")));
        args.replaceInStrings("MISSING", files.path("missing.txt"));
        const QString previous = QDir::currentPath();
        QVERIFY(QDir::setCurrent(files.root())); // "-o a" would land here
        const CommandRun run = runCommand(args, list);
        QVERIFY(QDir::setCurrent(previous));
        QCOMPARE(run.status, status);
        QCOMPARE(QString::fromUtf8(run.out), out);
        QVERIFY2(run.err.contains(errContains.toUtf8()), run.err.constData());
        if (status == 2) {
            QVERIFY2(run.err.startsWith("tavilon-pick: ") && run.err.contains("Usage:") && run.err.contains("--help"),
                     run.err.constData());
            QCOMPARE(QDir(files.root()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries),
                     (QStringList{"empty.txt", "list.txt"}));
        }
    }

    // Every command reports a failed write to standard output.
    void failedWritesExitWithAnError_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::newRow("count") << QStringList{"count", "LIST"};
        QTest::newRow("help") << QStringList{"--help"};
        QTest::newRow("version") << QStringList{"--version"};
        QTest::newRow("pick") << QStringList{"pick", "-n", "3", "LIST"};
    }
    void failedWritesExitWithAnError()
    {
#ifndef Q_OS_LINUX
        QSKIP("writes to /dev/full");
#else
        QFETCH(QStringList, args);
        TempFiles files;
        args.replaceInStrings("LIST", QString::fromStdString(files.write("list.txt", "alpha\nbeta\n")));
        const ProgramRun run = runProgram(args, "/dev/full");
        QCOMPARE(run.status, 1);
        QVERIFY2(run.err.contains("cannot write"), run.err.constData());
#endif
    }

    // The picks come from the file that was counted, or there are none.
    void theListChangingAfterTheCount_data()
    {
        QTest::addColumn<QString>("change");
        QTest::addColumn<int>("status");
        QTest::newRow("another list renamed over it") << "rename" << 0;
        QTest::newRow("a NUL written into it") << "nul" << 1;
        QTest::newRow("emptied") << "truncate" << 1;
    }
    void theListChangingAfterTheCount()
    {
#ifndef Q_OS_UNIX
        QSKIP("sets file times with utimensat");
#else
        QFETCH(QString, change);
        QFETCH(int, status);
        TempFiles files;
        const std::string list = files.write("list.txt", numberedWords("old", 100000));
        const timespec longAgo[2] = {{1'000'000'000, 0}, {1'000'000'000, 0}};
        QCOMPARE(::utimensat(AT_FDCWD, list.c_str(), longAgo, 0), 0);
        PickCommandHooks hooks;
        hooks.afterCount = [&] {
            if (change == "rename") {
                const std::string other = files.write("other.txt", numberedWords("new", 10));
                QCOMPARE(std::rename(other.c_str(), list.c_str()), 0);
            } else {
                QFile file(QString::fromStdString(list));
                QVERIFY(file.open(QIODevice::ReadWrite));
                if (change == "nul") {
                    QVERIFY(file.seek(20));
                    file.write(QByteArray("\0", 1));
                } else {
                    QVERIFY(file.resize(0));
                }
            }
        };
        std::ostringstream o;
        std::ostringstream e;
        QCOMPARE(runPickCommand({"pick", "-n", "20", list}, o, e, hooks), status);
        if (status == 0) {
            const std::string text = o.str();
            QCOMPARE(std::count(text.begin(), text.end(), '\n'), 20);
            QVERIFY(text.find("new") == std::string::npos);
        } else {
            QVERIFY(o.str().empty());
            QVERIFY2(e.str().find("has changed since it was counted") != std::string::npos, e.str().c_str());
            QVERIFY(e.str().find("holds") == std::string::npos);
        }
#endif
    }

    // Characters that the output box refuses are the file's words here all
    // the same: they come out exactly.
    void wordsAreWrittenExactly()
    {
        TempFiles files;
        const QByteArray word("a\xE2\x80\xA9" "b\xEF\xB7\x90" "c");
        const std::string list = files.write("list.txt", word + "\n");
        std::ostringstream o;
        std::ostringstream e;
        QCOMPARE(runPickCommand({"pick", "-n", "2", list}, o, e), 0);
        QCOMPARE(QByteArray::fromStdString(o.str()), word + "\n" + word + "\n");
    }

    // Memory grows with the number of picks, not with the words' length:
    // many picks of one long word, and many long words together longer
    // than the words one pass holds, which go out in further passes in the
    // order drawn.
    void longPicksStreamInBoundedMemory_data()
    {
        QTest::addColumn<int>("words");
        QTest::addColumn<int>("wordSize");
        QTest::addColumn<QString>("picks");
        QTest::addColumn<QString>("addressLimit");
        // 300 picks of 10 MiB: 3 GiB of output under a 1 GiB address limit.
        QTest::newRow("one long word") << 1 << (10 << 20) << "300" << "--as=1073741824";
        // About 15 distinct words of 8 MiB: 120 MiB held at once before,
        // with room to grow, past a 200 MiB address limit.
        QTest::newRow("many long words") << 24 << (8 << 20) << "24" << "--as=209715200";
    }
    void longPicksStreamInBoundedMemory()
    {
#ifndef Q_OS_LINUX
        QSKIP("limits memory with prlimit");
#else
        QFETCH(int, words);
        QFETCH(int, wordSize);
        QFETCH(QString, picks);
        QFETCH(QString, addressLimit);
        const QString prlimit = QStandardPaths::findExecutable("prlimit");
        if (prlimit.isEmpty())
            QSKIP("prlimit is not installed");
        TempFiles files;
        QByteArray letters;
        {
            QFile list(files.path("long.txt"));
            QVERIFY(list.open(QIODevice::WriteOnly));
            for (int i = 0; i < words; ++i) {
                letters += char('a' + i);
                QVERIFY(list.write(QByteArray(wordSize, char('a' + i)) + "\n") == wordSize + 1);
            }
        }
        const QString output = files.path("out.txt");
        const ProgramRun run = runProgram({"pick", "-n", picks, files.path("long.txt")}, output, prlimit,
                                          {addressLimit, "--"});
        QVERIFY2(run.status == 0, run.err.constData());
        // A list of one letter a word draws the same word numbers.
        QByteArray small;
        for (char c : letters)
            small += QByteArray(1, c) + "\n";
        const std::string smallList = files.write("small.txt", small);
        std::ostringstream expected, ignored;
        QCOMPARE(runPickCommand({"pick", "-n", picks.toStdString(), smallList}, expected, ignored), 0);
        QFile out(output);
        QVERIFY(out.open(QIODevice::ReadOnly));
        QCOMPARE(out.size(), qint64(picks.toInt()) * (wordSize + 1));
        QByteArray drawn;
        for (qint64 line = 0; line < picks.toInt(); ++line) {
            QVERIFY(out.seek(line * (wordSize + 1)));
            drawn += out.read(1) + "\n";
        }
        QCOMPARE(drawn, QByteArray::fromStdString(expected.str()));
#endif
    }

    // Every way of writing the options gives what the plain form gives.
    void optionFormsGiveTheSameWords_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QStringList>("plain");
        const QStringList pick3{"pick", "-n", "3", "LIST"};
        QTest::newRow("-n3") << QStringList{"pick", "-n3", "LIST"} << pick3;
        QTest::newRow("-n after FILE") << QStringList{"pick", "LIST", "-n", "3"} << pick3;
        QTest::newRow("--number=3") << QStringList{"pick", "LIST", "--number=3"} << pick3;
        QTest::newRow("--number 3") << QStringList{"pick", "--number", "3", "LIST"} << pick3;
        QTest::newRow("shortened --num=3") << QStringList{"pick", "--num=3", "LIST"} << pick3;
        QTest::newRow("-n before the command") << QStringList{"-n", "3", "pick", "LIST"} << pick3;
        QTest::newRow("-n then --") << QStringList{"pick", "-n", "3", "--", "LIST"} << pick3;
        QTest::newRow("--number= empty") << QStringList{"pick", "--number=", "LIST"} << QStringList{"pick", "-n", "", "LIST"};
        QTest::newRow("-n takes a dash value") << QStringList{"pick", "-n", "-4", "LIST"} << QStringList{"pick", "--number=-4", "LIST"};
        QTest::newRow("-o - is standard output") << QStringList{"pick", "-o", "-", "-n3", "LIST"} << pick3;
        QTest::newRow("--output=- is standard output") << QStringList{"--output=-", "pick", "-n3", "LIST"} << pick3;
        QTest::newRow("- reads standard input") << QStringList{"pick", "-n", "3", "-"} << pick3;
        QTest::newRow("no FILE reads standard input") << QStringList{"pick", "-n3"} << pick3;
        QTest::newRow("count of standard input") << QStringList{"count", "-"} << QStringList{"count", "LIST"};
        QTest::newRow("count, -o - after FILE") << QStringList{"count", "LIST", "-o-"} << QStringList{"count", "LIST"};
    }
    void optionFormsGiveTheSameWords()
    {
        QFETCH(QStringList, args);
        QFETCH(QStringList, plain);
        TempFiles files;
        const std::string list = files.write("list.txt", numberedWords("w", 1000));
        const CommandRun expected = runCommand(plain, list);
        QCOMPARE(expected.status, 0);
        const CommandRun run = runCommand(args, list, list);
        QVERIFY2(run.status == 0, run.err.constData());
        QCOMPARE(run.out, expected.out);
        QVERIFY(run.err.isEmpty());
    }

    // A FILE that looks like an option is reached after "--".
    void doubleDashEndsOptions()
    {
        TempFiles files;
        files.write("-n", "dash\n");
        const QString previous = QDir::currentPath();
        QVERIFY(QDir::setCurrent(files.root()));
        const CommandRun run = runCommand({"pick", "--", "-n"}, {});
        const CommandRun count = runCommand({"count", "--", "-n"}, {});
        QVERIFY(QDir::setCurrent(previous));
        QCOMPARE(run.status, 0);
        QCOMPARE(run.out, QByteArray("dash\n"));
        QCOMPARE(count.out, QByteArray("1\n"));
    }

    void helpAndVersion_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("outStartsWith");
        const QString version = QStringLiteral("tavilon-pick " TAVILON_VERSION "\n");
        QTest::newRow("--version") << QStringList{"--version"} << version;
        QTest::newRow("shortened --vers") << QStringList{"--vers"} << version;
        QTest::newRow("--version after a command") << QStringList{"pick", "LIST", "--version"} << version;
        QTest::newRow("--help") << QStringList{"--help"} << "Usage:";
        QTest::newRow("-h") << QStringList{"-h"} << "Usage:";
        QTest::newRow("--help before an error") << QStringList{"count", "--help", "-x"} << "Usage:";
    }
    void helpAndVersion()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, outStartsWith);
        const CommandRun run = runCommand(args, "missing.txt");
        QCOMPARE(run.status, 0);
        QVERIFY(run.err.isEmpty());
        QVERIFY2(run.out.startsWith(outStartsWith.toUtf8()), run.out.constData());
        if (outStartsWith != "Usage:")
            QCOMPARE(run.out, outStartsWith.toUtf8()); // the version and nothing else
    }

    // -o writes exactly what standard output would get, and only once the
    // command has succeeded.
    void outputFileGetsTheSameBytes_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::newRow("pick 50") << QStringList{"pick", "-n", "50", "LIST"};
        QTest::newRow("pick none") << QStringList{"pick", "-n", "00", "LIST"};
        QTest::newRow("count") << QStringList{"count", "LIST"};
        QTest::newRow("count of a list without words") << QStringList{"count", "EMPTY"};
    }
    void outputFileGetsTheSameBytes()
    {
        QFETCH(QStringList, args);
        TempFiles files;
        const std::string list = files.write("list.txt", QByteArray("caf\xC3\xA9 \xE2\x80\xA8x\n\r\n") + numberedWords("w", 500));
        const std::string empty = files.write("empty.txt", " \n\t\n");
        args.replaceInStrings("EMPTY", QString::fromStdString(empty));
        const std::string output = files.write("out.txt", "older and longer content that must go\n");
        const CommandRun expected = runCommand(args, list);
        QCOMPARE(expected.status, 0);
        const CommandRun run = runCommand(args + QStringList{"-o", QString::fromStdString(output)}, list);
        QVERIFY2(run.status == 0, run.err.constData());
        QVERIFY(run.out.isEmpty());
        QFile file(QString::fromStdString(output));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), expected.out);
    }

    // OUTPUT is saved like a file saved from the window: its other names,
    // permissions and inode stay; a folder or device is refused; a command
    // that fails leaves an existing OUTPUT as it was.
    void outputFileKeepsLinksAndRefusesWhatIsNoFile()
    {
#ifndef Q_OS_UNIX
        QSKIP("hard links and modes");
#else
        TempFiles files;
        const std::string list = files.write("list.txt", "alpha\nbeta\n");
        const std::string output = files.write("out.txt", "old\n");
        const std::string alias = files.path("alias.txt").toStdString();
        QCOMPARE(::link(output.c_str(), alias.c_str()), 0);
        QCOMPARE(::chmod(output.c_str(), 0640), 0);
        struct stat before {};
        QCOMPARE(::stat(output.c_str(), &before), 0);

        CommandRun run = runCommand({"pick", "-n", "4", "LIST", "-o", QString::fromStdString(output)}, list);
        QVERIFY2(run.status == 0, run.err.constData());
        const CommandRun expected = runCommand({"pick", "-n", "4", "LIST"}, list);
        struct stat after {};
        QCOMPARE(::stat(alias.c_str(), &after), 0);
        QCOMPARE(after.st_ino, before.st_ino);
        QCOMPARE(after.st_nlink, nlink_t{2});
        QCOMPARE(after.st_mode & 07777, mode_t{0640});
        QFile aliasFile(QString::fromStdString(alias));
        QVERIFY(aliasFile.open(QIODevice::ReadOnly));
        QCOMPARE(aliasFile.readAll(), expected.out);

        // A failing command writes nothing.
        const std::string empty = files.write("empty.txt", "");
        run = runCommand({"pick", QString::fromStdString(empty), "-o", QString::fromStdString(output)}, list);
        QCOMPARE(run.status, 1);
        QFile outFile(QString::fromStdString(output));
        QVERIFY(outFile.open(QIODevice::ReadOnly));
        QCOMPARE(outFile.readAll(), expected.out);

        // A folder, a device: refused before the list is read.
        run = runCommand({"pick", "LIST", "-o", files.root()}, "missing.txt");
        QCOMPARE(run.status, 1);
        QVERIFY2(run.err.contains("folder") && !run.err.contains("missing.txt"), run.err.constData());
        QVERIFY(QFileInfo(files.root()).isDir());
        run = runCommand({"count", "LIST", "-o", "/dev/null"}, list);
        QCOMPARE(run.status, 1);
        QVERIFY2(run.err.contains("not a regular file"), run.err.constData());
#endif
    }

    // Names and arguments in messages cannot act on the terminal, and each
    // escape reads one way.
    void messagesEscapeNames_data()
    {
        QTest::addColumn<QByteArray>("name");
        QTest::addColumn<QByteArray>("shown");
        QTest::newRow("escape sequence") << QByteArray("x\x1b[31mRED.txt") << QByteArray("\"x\\x1b[31mRED.txt\"");
        QTest::newRow("newline, tab, CR") << QByteArray("a\nb\tc\rd") << QByteArray("\"a\\nb\\tc\\rd\"");
        QTest::newRow("DEL and BEL") << QByteArray("a\x7f\x07") << QByteArray("\"a\\x7f\\x07\"");
        QTest::newRow("backslash doubled") << QByteArray("a\\x1b") << QByteArray("\"a\\\\x1b\"");
        QTest::newRow("Latin-1 byte") << QByteArray("caf\xE9") << QByteArray("\"caf\\xe9\"");
        QTest::newRow("cut-off sequence") << QByteArray("a\xE2\x82") << QByteArray("\"a\\xe2\\x82\"");
        QTest::newRow("overlong slash") << QByteArray("a\xC0\xAF") << QByteArray("\"a\\xc0\\xaf\"");
        QTest::newRow("surrogate") << QByteArray("a\xED\xA0\x80") << QByteArray("\"a\\xed\\xa0\\x80\"");
        QTest::newRow("C1 CSI") << QByteArray("a\xC2\x9B" "2J") << QByteArray("\"a\\u009b2J\"");
        QTest::newRow("right-to-left override") << QByteArray("a\xE2\x80\xAEtxt.exe") << QByteArray("\"a\\u202etxt.exe\"");
        QTest::newRow("UTF-8 stays") << QByteArray("caf\xC3\xA9 \xE6\x97\xA5.txt") << QByteArray("\"caf\xC3\xA9 \xE6\x97\xA5.txt\"");
    }
    void messagesEscapeNames()
    {
        QFETCH(QByteArray, name);
        QFETCH(QByteArray, shown);
        TempFiles files;
        const QByteArray missing = QFile::encodeName(files.root()) + "/" + name;
        const QByteArray shownPath = "\"" + QFile::encodeName(files.root()) + "/" + shown.mid(1);
        // A list that cannot be opened, an output in a missing folder, a bad number.
        const std::vector<std::vector<std::string>> commands{
            {"count", missing.toStdString()},
            {"pick", "-o", (missing + "/out.txt").toStdString(), "-"},
            {"pick", "-n", name.toStdString(), "-"},
        };
        for (const auto& args : commands) {
            const CommandRun run = runArgv(args);
            QVERIFY(run.status != 0);
            QVERIFY2(isTerminalSafe(run.err), run.err.toHex(' ').constData());
            const QByteArray expected = args[1] == "-n" ? shown : shownPath;
            QVERIFY2(run.err.contains(expected.endsWith('"') && args[1] == "-o" ? expected.chopped(1) : expected),
                     run.err.constData());
        }
    }

    // The help and the manual page name every option and every exit status.
    void manualListsEveryOption()
    {
        QFile page(QStringLiteral(TAVILON_PICK_MANUAL));
        QVERIFY(page.open(QIODevice::ReadOnly));
        const QString manual = QString::fromUtf8(page.readAll());
        const CommandRun help = runCommand({"--help"}, {});
        for (const char* item : {"-n, --number=NUMBER", "-o, --output=OUTPUT", "-h, --help", "--version", "\"--\"",
                                 "standard input", "0 done", "1 the file", "2 wrong usage"})
            QVERIFY2(help.out.contains(item), item);
        static const QRegularExpression optionLine(QStringLiteral("^ {2,6}(-\\w)?(?:, )?(--\\w+)"),
                                                   QRegularExpression::MultilineOption);
        int options = 0;
        for (const QRegularExpressionMatch& match : optionLine.globalMatch(QString::fromUtf8(help.out))) {
            for (int group = 1; group <= 2; ++group) {
                QString option = match.captured(group);
                if (option.isEmpty())
                    continue;
                ++options;
                option.replace("-", "\\-");
                QVERIFY2(manual.contains(option), qPrintable(option));
            }
        }
        QCOMPARE(options, 7); // -n --number -o --output -h --help --version
        for (const char* status : {".B 0\n", ".B 1\n", ".B 2\n"})
            QVERIFY2(manual.contains(status), status);
    }
};

QTEST_APPLESS_MAIN(TestPickCommand)
#include "test_pick_command.moc"
