#include "tavilon_version.h"
#include "cli/pick_command.h"
#include "tests/support/temp_files.h"
#include "tests/support/word_lists.h"

#include <QtTest>

#include <csignal>
#include <fcntl.h>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

using namespace tavilon;

struct Run {
    int status = -1; // -1: did not end normally
    QByteArray out, err;
};

// The command in this process, "LIST" standing for `list`, `input` (a file) on standard input.
static Run runCommand(const QStringList& args, const std::string& list, const std::string& input = {},
                      PickCommandHooks hooks = {})
{
    std::vector<std::string> argv;
    for (const QString& a : args)
        argv.push_back(a == "LIST" ? list : a.toStdString());
    hooks.standardInput = input.empty() ? -1 : ::open(input.c_str(), O_RDONLY | O_CLOEXEC);
    std::ostringstream out, err;
    const int status = runPickCommand(argv, out, err, hooks);
    ::close(hooks.standardInput);
    return {status, QByteArray::fromStdString(out.str()), QByteArray::fromStdString(err.str())};
}

static QProcessEnvironment withSpoolIn(const QString& tmpdir)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("TMPDIR", tmpdir);
    return env;
}

// The real program (run by `wrapper`), `input` on its standard input (a pipe), its output to `outputFile`.
static Run runProgram(const QStringList& args, const QString& tmpdir, const QByteArray& input = {},
                      const QString& outputFile = {}, const QStringList& wrapper = {})
{
    QProcess process;
    process.setProcessEnvironment(withSpoolIn(tmpdir));
    process.setStandardOutputFile(outputFile);
    const QStringList all = wrapper + QStringList {TAVILON_PICK_PROGRAM} + args;
    process.start(all.front(), all.mid(1));
    process.write(input);
    process.closeWriteChannel();
    if (!process.waitForFinished(120000) || process.exitStatus() != QProcess::NormalExit)
        return {};
    return {process.exitCode(), process.readAllStandardOutput(), process.readAllStandardError()};
}

class TestPickCommand : public QObject {
    Q_OBJECT
private slots:
    // What each command prints and its exit status: 0 done, 1 the file or
    // the output failed, 2 wrong usage. "..." ends a start of the output;
    // PICK3 stands for what "pick -n 3 LIST" prints:
    // every accepted way of writing the options, standard input included.
    void commands_data()
    {
        QTest::addColumn<QString>("line"); // the arguments, split at spaces
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("out");
        QTest::addColumn<QString>("err");
        QTest::newRow("count") << "count LIST" << 0 << "1000\n" << "";
        QTest::newRow("count of an empty list") << "count EMPTY" << 0 << "\n" << "";
        QTest::newRow("pick one by default") << "pick LIST" << 0 << "w705\n" << "";
        QTest::newRow("box-refused words") << "pick -n2 ODD" << 0 << "a\u2029b\uFDD0c\na\u2029b\uFDD0c\n" << "";
        QTest::newRow("-n3") << "pick -n3 LIST" << 0 << "PICK3" << "";
        QTest::newRow("-n before the command") << "-n 3 pick LIST" << 0 << "PICK3" << "";
        QTest::newRow("-n after FILE, POSIXLY_CORRECT") << "pick LIST -n 3 POSIX" << 0 << "PICK3" << "";
        QTest::newRow("count, -o - after FILE") << "count - -o-" << 0 << "1000\n" << "";
        QTest::newRow("-n takes a dash value, none") << "pick -n -4 LIST" << 0 << "" << "";
        QTest::newRow("--version last") << "pick LIST --vers" << 0 << "tavilon-pick " TAVILON_VERSION "\n" << "";
        QTest::newRow("--help before an error") << "count --he -x" << 0 << "Usage:..." << "";
        QTest::newRow("pick from an empty list") << "pick EMPTY" << 1 << "" << "empty.txt: has no words to pick from\n";
        QTest::newRow("too many") << "pick -n 2000000 LIST" << 1 << "" << "tavilon-pick: at most 1000000 words";
        QTest::newRow("not a number") << "pick LIST --number=1x" << 2 << "" << "\"1x\" is not a number of picks";
        QTest::newRow("unknown command") << "shuffle" << 2 << "" << "unknown command \"shuffle\"";
        QTest::newRow("after --, -n is a file") << "pick -- -n 3" << 2 << "" << "pick takes one FILE";
        QTest::newRow("-n without value") << "pick LIST -n" << 2 << "" << "-n needs a number";
        QTest::newRow("empty --output=") << "pick LIST --output=" << 2 << "" << "--output needs a file name";
        QTest::newRow("unknown short option") << "pick -xy LIST" << 2 << "" << "unknown option \"-xy\"";
        QTest::newRow("-h with more") << "-hn3" << 2 << "" << "unknown option \"-hn3\"";
        QTest::newRow("unknown long option") << "pick --bogus=1" << 2 << "" << "unknown option \"--bogus\"";
        QTest::newRow("--help with a value") << "--help=all" << 2 << "" << "--help takes no value";
        QTest::newRow("-n twice") << "pick -n 1 LIST -n2" << 2 << "" << "number of picks is given more than once";
        QTest::newRow("-o twice") << "pick -o a LIST -o-" << 2 << "" << "output file is given more than once";
        QTest::newRow("-n for count") << "count -n 3 LIST" << 2 << "" << "count takes no number";
        // SRC holds 0, 999, 65000 (at the limit for 1000 words: drawn again), 5 and 258, two bytes a draw.
        QTest::newRow("shortened --rand, from stdin, -o -") << "pick -o- --rand SRC -n3" << 0 << "w0\nw999\nw5\n" << "";
        QTest::newRow("stdin as the source") << "pick LIST --random-source - -n3" << 0 << "w512\nw679\nw554\n" << "";
        QTest::newRow("one word draws no bytes") << "pick -n2 ONE --random-source=/dev/null" << 0 << "a\na\n" << "";
        QTest::newRow("the source runs out") << "pick -n6 LIST --random-source=SRC" << 1 << "" << "src: end of file";
        QTest::newRow("stdin as both") << "pick --random-source LIST" << 1 << "" << "list.txt: cannot be the random";
        QTest::newRow("empty source") << "pick --random-source= LIST" << 2 << "" << "--random-source needs a file name";
        QTest::newRow("-u skips repeats") << "pick LIST -un3" << 0 << "PICK3" << "";
        QTest::newRow("--unique, a source") << "pick --uni -n 3 - --random-source=SRC" << 0 << "w5\nw0\nw998\n" << "";
        QTest::newRow("-u past the count") << "pick -u -n 1001 LIST" << 1 << "" << "list.txt: holds 1000 words: fewer";
        QTest::newRow("count -z: one word of lines") << "count LIST --zero" << 0 << "1\n" << "";
    }
    void commands()
    {
        QFETCH(QString, line);
        QStringList args = line.split(' ');
        QFETCH(int, status);
        QFETCH(QString, out);
        QFETCH(QString, err);
        TempFiles files;
        const std::string list = files.write("list.txt", numberedWords("w", 1000));
        args.replaceInStrings("EMPTY", QString::fromStdString(files.write("empty.txt", "")));
        args.replaceInStrings("ONE", QString::fromStdString(files.write("one.txt", "a\n")));
        args.replaceInStrings("ODD", QString::fromStdString(files.write("odd.txt", "a\u2029b\uFDD0c\n")));
        const QByteArray source("\0\0\x03\xe7\xfd\xe8\0\x05\x01\x02", 10);
        args.replaceInStrings("SRC", QString::fromStdString(files.write("src", source)));
        if (args.removeAll("POSIX"))
            qputenv("POSIXLY_CORRECT", "1");
        const QString previous = QDir::currentPath();
        QVERIFY(QDir::setCurrent(files.root())); // "-o a" would land here
        const Run run = runCommand(args, list, list);
        QVERIFY(QDir::setCurrent(previous));
        qunsetenv("POSIXLY_CORRECT");
        const QByteArray expected = out == "PICK3" ? runCommand({"pick", "-n", "3", "LIST"}, list).out : out.toUtf8();
        QCOMPARE(run.status, status);
        if (out.endsWith("..."))
            QVERIFY2(run.out.startsWith(expected.chopped(3)), run.out.constData());
        else
            QCOMPARE(run.out, expected);
        QVERIFY2(run.err.contains(err.toUtf8()), run.err.constData());
        if (status == 2) // wrong usage shows how to use it
            QVERIFY2(run.err.contains("Usage:"), run.err.constData());
        QCOMPARE(QDir(files.root()).entryList(QDir::Files).size(), 5); // nothing made
    }

    // -z: words end at NUL, in UTF-8 and UTF-16 lists alike, and keep CR, LF and inner blanks; blanks
    // around them are trimmed, empty ones skipped. With -u and as many picks as words, each comes once.
    void zeroTerminatedWordsRoundTrip()
    {
        const QList<QByteArray> words {"a b", "c\r\nd", "\n", "e\tf", "caf\xC3\xA9"};
        QByteArray text, expected;
        for (const QByteArray& word : words)
            text += " " + word + "\t" + QByteArray(2, '\0'); // an empty word between two NULs
        for (const bool utf16 : {false, true}) {
            TempFiles files;
            const QString unicode = QString::fromUtf8(text);
            const QByteArray units(reinterpret_cast<const char*>(unicode.utf16()), unicode.size() * 2);
            const std::string list = files.write("z.txt", utf16 ? "\xFF\xFE" + units : "\xEF\xBB\xBF" + text);
            QCOMPARE(runCommand({"count", "-z", "LIST"}, list).out, "5\n");
            const Run run = runCommand({"pick", "LIST", "-zun", "5", "--random-source", "/dev/urandom"}, list);
            QList<QByteArray> drawn = run.out.split('\0');
            QVERIFY2(run.status == 0, run.err.constData());
            QCOMPARE(drawn.takeLast(), QByteArray()); // the last word ends in NUL too
            std::sort(drawn.begin(), drawn.end());
            QCOMPARE(drawn, QList<QByteArray>({"\n", "a b", "c\r\nd", "caf\xC3\xA9", "e\tf"}));
        }
    }

    // A file is saved only when the command succeeds, and then the same bytes as standard output
    // (links and mode: test_saving, the same writer). Every output is checked: a full disk is an error too.
    void outputsAreCheckedAndSavedLikeTheWindowSaves()
    {
        TempFiles files;
        const QByteArray odd("caf\xC3\xA9 \xE2\x80\xA8x\n\r\n");
        const std::string list = files.write("list.txt", odd + numberedWords("w", 500));
        const QString out = QString::fromStdString(files.write("out.txt", "older and longer content that must go\n"));
        for (const QStringList& args : {QStringList{"pick", "-n", "50", "LIST"}, QStringList{"count", "LIST"},
                                        QStringList{"pick", "-un", "50", "--random-source", "/dev/zero", "LIST"}}) {
            const Run run = runCommand(args + QStringList{"-o", out}, list);
            QVERIFY2(run.status == 0, run.err.constData());
            QCOMPARE(run.out, QByteArray());
            QCOMPARE(readFile(out), runCommand(args, list).out);
        }
        const QByteArray saved = readFile(out); // and a failing command leaves it so
        const QString empty = QString::fromStdString(files.write("e.txt", ""));
        QCOMPARE(runCommand({"pick", "-n", "5", empty, "-o", out}, list).status, 1);
        QCOMPARE(readFile(out), saved);
        const Run folder = runCommand({"pick", "missing.txt", "-o", files.root()}, list);
        QCOMPARE(folder.status, 1);
        QVERIFY2(folder.err.contains("folder"), folder.err.constData());
        QVERIFY2(!folder.err.contains("missing.txt"), folder.err.constData()); // the output is checked first
        for (const QString line : {"count LIST", "--help", "--version", "pick -n 3 LIST"}) {
            const QStringList args = line.split(' ').replaceInStrings("LIST", QString::fromStdString(list));
            const Run full = runProgram(args, files.root(), {}, "/dev/full");
            QVERIFY2(full.status == 1, qPrintable(line));
            QVERIFY2(full.err.contains("cannot write"), full.err.constData());
        }
    }

    void theListChangingAfterTheCount()
    {
        for (const char* change : {"renamed over", "NUL written where the picks skip", "emptied"}) {
            TempFiles files;
            const std::string list = files.write("list.txt", numberedWords("old", 100000));
            QVERIFY(backdate(list));
            PickCommandHooks hooks;
            hooks.afterCount = [&] {
                QFile file(QString::fromStdString(list));
                if (change[0] == 'r')
                    std::rename(files.write("other.txt", numberedWords("new", 10)).c_str(), list.c_str());
                else if (file.open(QIODevice::ReadWrite))
                    change[0] == 'N' ? file.seek(600000) && file.write("\0", 1) : file.resize(0);
            };
            const Run run = runCommand({"pick", "-n", "20", "LIST"}, list, {}, hooks);
            const bool refused = change[0] != 'r';
            QVERIFY2(run.status == int(refused), change);
            QVERIFY2(run.out.count('\n') == (refused ? 0 : 20), change);
            QVERIFY2(!run.out.contains("new"), change); // never a word of the new file
            QVERIFY2(!run.err.contains("holds"), change);
            if (refused)
                QVERIFY2(run.err.contains("has changed since it was counted"), change);
        }
    }

    // Memory grows with the number of picks, not the words' length: 300 picks of a 10 MiB word in 1 GiB,
    // and 24 words of 8 MiB, longer together than one pass holds, read in further passes in draw order; also with -z.
    void longPicksStreamInBoundedMemory()
    {
        const QString prlimit = QStandardPaths::findExecutable("prlimit");
        if (prlimit.isEmpty())
            QSKIP("prlimit is not installed");
        for (const auto& [words, wordSize, picks, addressLimit, end] :
             {std::tuple {1, 10 << 20, 300, "--as=1073741824", '\n'}, {24, 8 << 20, 24, "--as=209715200", '\n'},
              {24, 8 << 20, 24, "--as=209715200", '\0'}}) {
            TempFiles files;
            QByteArray big, small; // a list of one letter a word draws the same word numbers
            for (int i = 0; i < words; ++i) {
                big += QByteArray(wordSize, char('a' + i)) + end;
                small += QByteArray(1, char('a' + i)) + "\n";
            }
            const QStringList args {"pick", "-n", QString::number(picks)};
            const QString list = QString::fromStdString(files.write("long.txt", std::exchange(big, {})));
            const QStringList zero = end ? QStringList() : QStringList {"-z"};
            const Run run = runProgram(args + zero + QStringList {list}, files.root(), {}, files.path("out.txt"),
                                       {prlimit, addressLimit, "--"});
            QVERIFY2(run.status == 0, run.err.constData());
            QFile out(files.path("out.txt"));
            QVERIFY(out.open(QIODevice::ReadOnly));
            QCOMPARE(out.size(), qint64(picks) * (wordSize + 1));
            QByteArray drawn; // the first letter of each word written
            for (qint64 line = 0; line < picks && out.seek(line * (wordSize + 1)); ++line)
                drawn += out.read(1) + "\n";
            QCOMPARE(drawn, runCommand(args + QStringList {"LIST"}, files.write("small.txt", small)).out);
        }
    }

    // Names and arguments in messages cannot act on the terminal, and each
    // escape reads one way: in a list, an output and a number.
    void messagesEscapeNames()
    {
        TempFiles files;
        const QByteArray folder = QFile::encodeName(files.root()) + "/";
        for (const auto& [name, shown] : std::initializer_list<std::pair<QByteArray, QByteArray>> {
                 {"x\x1b[31mRED", "x\\x1b[31mRED"}, {"a\nb\tc\rd\x7f", "a\\nb\\tc\\rd\\x7f"}, {"a\\x1b", "a\\\\x1b"},
                 {"caf\xE9\xE2\x82\xC0\xAF\xED\xA0\x80", "caf\\xe9\\xe2\\x82\\xc0\\xaf\\xed\\xa0\\x80"}, // not UTF-8
                 {"a\xC2\x9B\xE2\x80\xAE", "a\\u009b\\u202e"},
                 {"caf\xC3\xA9 \xE6\x97\xA5", "caf\xC3\xA9 \xE6\x97\xA5"}}) {
            const std::string at = folder.toStdString(), raw = name.toStdString();
            const QByteArray q = name.contains(' ') ? "\"" : ""; // "NAME: reason", a name with blanks quoted
            const QByteArray path = q + folder + shown;
            // The arguments, and what the message holds.
            const std::vector<std::pair<std::vector<std::string>, QByteArray>> cases {
                {{"count", at + raw}, "tavilon-pick: " + path + q + ": No such file"},
                {{"pick", "-o", at + raw + "/out", "-"}, path + "/out" + q + ": its folder does not exist"},
                {{"pick", "-n", raw, "-"}, "\"" + shown + "\""}};
            for (const auto& [argv, expected] : cases) {
                std::ostringstream out, err;
                QVERIFY(runPickCommand(argv, out, err, {nullptr, -1}) != 0);
                QVERIFY2(QByteArray::fromStdString(err.str()).contains(expected), err.str().c_str());
            }
        }
    }

    // Standard input goes through a private spool in TMPDIR, which has no name while the program runs
    // and is gone however it ends: by itself, or by a signal; a TMPDIR that cannot take it is named.
    void standardInputLeavesNoSpool()
    {
        TempFiles spool;
        const QByteArray words = numberedWords("w", 10000);
        QCOMPARE(runProgram({"count"}, spool.root(), QByteArray("a\nb\0c\n", 6)).err,
                 "tavilon-pick: standard input: not a word list: it holds binary data (NUL bytes)\n");
        QVERIFY(runProgram({"count"}, spool.path("gone"), "a\n").err.contains("temporary file"));
        const QString folder = QFileInfo(spool.root()).canonicalFilePath();
        for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
            QProcess program;
            program.setProcessEnvironment(withSpoolIn(folder));
            program.start(TAVILON_PICK_PROGRAM, {"pick", "-n", "5"});
            QVERIFY(program.waitForStarted());
            QCOMPARE(program.write(words), words.size());
            QVERIFY(program.waitForBytesWritten());
            QString spooled; // standard input stays open: the program has spooled all it was given and waits
            struct stat st {};
            const QDir descriptors(QString("/proc/%1/fd").arg(program.processId()));
            for (QDeadlineTimer until(20000); !until.hasExpired() && st.st_size != words.size(); QTest::qWait(20)) {
                for (const QFileInfo& fd : descriptors.entryInfoList(QDir::Files | QDir::System))
                    if (fd.symLinkTarget().startsWith(folder + "/") && ::stat(qPrintable(fd.filePath()), &st) == 0)
                        spooled = fd.symLinkTarget();
            }
            QCOMPARE(st.st_size, words.size());
            QCOMPARE(st.st_mode & 07777, 0600u);
            QVERIFY2(spooled.endsWith(" (deleted)"), qPrintable(spooled));
            QVERIFY(QDir(folder).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot));
            QCOMPARE(::kill(pid_t(program.processId()), signal), 0);
            QVERIFY(program.waitForFinished(20000));
            QCOMPARE(program.exitStatus(), QProcess::CrashExit);
            QCOMPARE(program.readAllStandardOutput(), QByteArray());
        }
        QVERIFY(QDir(spool.root()).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot));
    }
};

QTEST_GUILESS_MAIN(TestPickCommand)
#include "test_pick_command.moc"
