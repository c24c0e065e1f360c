#include "pick_command.h"
#include "tavilon_version.h"
#include "temp_files.h"
#include "word_lists.h"

#include <QtTest>

#include <csignal>
#include <fcntl.h>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

using namespace tavilon;

namespace {

struct Run {
    int status = -1; // -1: did not end normally
    QByteArray out;
    QByteArray err;
};

// The command in this process, "LIST" standing for `list`; standard input,
// when given, is a descriptor open on that file.
Run runCommand(const QStringList& args, const std::string& list, const std::string& input = {}, PickCommandHooks hooks = {})
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

// The real program, its spool folder `tmpdir`, its output to `outputFile`
// (when given), and `input` written to its standard input.
Run runProgram(const QStringList& args, const QString& tmpdir, const QByteArray& input = {},
               const QString& outputFile = {}, const QStringList& wrapper = {})
{
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("TMPDIR", tmpdir);
    process.setProcessEnvironment(env);
    if (!outputFile.isEmpty())
        process.setStandardOutputFile(outputFile);
    const QStringList all = wrapper + QStringList {TAVILON_PICK_PROGRAM} + args;
    process.start(all.front(), all.mid(1));
    process.write(input);
    process.closeWriteChannel();
    if (!process.waitForFinished(120000))
        return {};
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1, process.readAllStandardOutput(),
            process.readAllStandardError()};
}

QByteArray bytesOf(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(missing)");
}

} // namespace

class TestPickCommand : public QObject {
    Q_OBJECT
private slots:
    // What each command prints ("..." at the end: starts with) and its exit
    // status: 0 done, 1 the file or the output failed, 2 wrong usage.
    void commands_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("out");
        QTest::addColumn<QString>("err");
        const QString version = "tavilon-pick " TAVILON_VERSION "\n";
        const char* odd = "a\u2029b\uFDD0c\n";
        QTest::newRow("count") << QStringList{"count", "LIST"} << 0 << "4\n" << "";
        QTest::newRow("count of an empty list") << QStringList{"count", "EMPTY"} << 0 << "\n" << "";
        QTest::newRow("pick one by default") << QStringList{"pick", "LIST"} << 0 << "gamma\n" << "";
        QTest::newRow("empty number picks one") << QStringList{"pick", "-n", "", "LIST"} << 0 << "gamma\n" << "";
        QTest::newRow("2.5 picks two") << QStringList{"pick", "-n", "2.5", "LIST"} << 0 << "gamma\ngamma\n" << "";
        QTest::newRow("00 picks none") << QStringList{"pick", "-n", "00", "LIST"} << 0 << "" << "";
        QTest::newRow("words the box refuses, as they are") << QStringList{"pick", "-n2", "ODD"} << 0 << QString(odd) + odd << "";
        QTest::newRow("--version after a command") << QStringList{"pick", "LIST", "--vers"} << 0 << version << "";
        QTest::newRow("-h") << QStringList{"-h"} << 0 << "Usage:..." << "";
        QTest::newRow("--help before an error") << QStringList{"count", "--he", "-x"} << 0 << "Usage:..." << "";
        QTest::newRow("missing file") << QStringList{"count", "MISSING"} << 1 << "" << "No such file";
        QTest::newRow("pick from an empty list") << QStringList{"pick", "EMPTY"} << 1 << "" << "no words";
        QTest::newRow("too many") << QStringList{"pick", "-n", "2000000", "LIST"} << 1 << "" << "At most";
        QTest::newRow("not a number") << QStringList{"pick", "LIST", "--number=1x"} << 2 << "" << "\"1x\" is not a number of picks";
        QTest::newRow("no command") << QStringList{} << 2 << "" << "a command is missing";
        QTest::newRow("unknown command") << QStringList{"shuffle", "LIST"} << 2 << "" << "unknown command \"shuffle\"";
        QTest::newRow("two files") << QStringList{"pick", "LIST", "LIST"} << 2 << "" << "pick takes one FILE";
        QTest::newRow("after --, -n is a file") << QStringList{"pick", "--", "-n", "3"} << 2 << "" << "pick takes one FILE";
        QTest::newRow("-n without value") << QStringList{"pick", "LIST", "-n"} << 2 << "" << "-n needs a number";
        QTest::newRow("--num at the end") << QStringList{"pick", "LIST", "--num"} << 2 << "" << "--number needs a number";
        QTest::newRow("-o at the end") << QStringList{"pick", "LIST", "-o"} << 2 << "" << "-o needs a file name";
        QTest::newRow("empty --output=") << QStringList{"pick", "LIST", "--output="} << 2 << "" << "--output needs a file name";
        QTest::newRow("unknown short option") << QStringList{"pick", "-xy", "LIST"} << 2 << "" << "unknown option \"-xy\"";
        QTest::newRow("-h with more") << QStringList{"-hn3"} << 2 << "" << "unknown option \"-hn3\"";
        QTest::newRow("unknown long option") << QStringList{"pick", "--bogus=1"} << 2 << "" << "unknown option \"--bogus\"";
        QTest::newRow("ambiguous long option") << QStringList{"pick", "--=1"} << 2 << "" << "unknown option \"--\"";
        QTest::newRow("--help with a value") << QStringList{"--help=all"} << 2 << "" << "--help takes no value";
        QTest::newRow("-n twice") << QStringList{"pick", "-n", "1", "LIST", "-n2"} << 2 << "" << "given more than once";
        QTest::newRow("-o twice") << QStringList{"pick", "-o", "a", "LIST", "--output=b"} << 2 << "" << "given more than once";
        QTest::newRow("-n for count") << QStringList{"count", "-n", "3", "LIST"} << 2 << "" << "count takes no number";
    }
    void commands()
    {
        QFETCH(QStringList, args);
        QFETCH(int, status);
        QFETCH(QString, out);
        QFETCH(QString, err);
        TempFiles files;
        const std::string list = files.write("list.txt", "alpha\nbeta\ngamma\ndelta\n");
        args.replaceInStrings("EMPTY", QString::fromStdString(files.write("empty.txt", "")));
        args.replaceInStrings("ODD", QString::fromStdString(files.write("odd.txt", "a\u2029b\uFDD0c\n")));
        args.replaceInStrings("MISSING", files.path("missing.txt"));
        const QString previous = QDir::currentPath();
        QVERIFY(QDir::setCurrent(files.root())); // "-o a" would land here
        const Run run = runCommand(args, list);
        QVERIFY(QDir::setCurrent(previous));
        QCOMPARE(run.status, status);
        QVERIFY2(out.endsWith("...") ? run.out.startsWith(out.chopped(3).toUtf8()) : run.out == out.toUtf8(), run.out.constData());
        QVERIFY2(run.err.contains(err.toUtf8()) && (status != 2 || run.err.contains("Usage:")), run.err.constData());
        QCOMPARE(QDir(files.root()).entryList(QDir::Files).size(), 3); // nothing made
    }

    // Every way of writing the options gives what the plain form gives.
    void optionFormsGiveTheSameWords_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QStringList>("plain");
        const QStringList pick3{"pick", "-n", "3", "LIST"};
        QTest::newRow("-n3") << QStringList{"pick", "-n3", "LIST"} << pick3;
        QTest::newRow("--number=3 after FILE") << QStringList{"pick", "LIST", "--number=3"} << pick3;
        QTest::newRow("--number 3") << QStringList{"pick", "--number", "3", "LIST"} << pick3;
        QTest::newRow("shortened --nu=3") << QStringList{"pick", "--nu=3", "LIST"} << pick3;
        QTest::newRow("-n before the command") << QStringList{"-n", "3", "pick", "LIST"} << pick3;
        QTest::newRow("-n after FILE, POSIXLY_CORRECT") << QStringList{"pick", "LIST", "-n", "3", "POSIX"} << pick3;
        QTest::newRow("-n then --") << QStringList{"pick", "-n", "3", "--", "LIST"} << pick3;
        QTest::newRow("-n takes a dash value") << QStringList{"pick", "-n", "-4", "LIST"} << QStringList{"pick", "--number=-4", "LIST"};
        QTest::newRow("--output=- is standard output") << QStringList{"--output=-", "pick", "-n3", "LIST"} << pick3;
        QTest::newRow("- reads standard input") << QStringList{"pick", "-n", "3", "-"} << pick3;
        QTest::newRow("no FILE reads standard input") << QStringList{"pick", "-n3"} << pick3;
        QTest::newRow("count, -o - after FILE") << QStringList{"count", "-", "-o-"} << QStringList{"count", "LIST"};
    }
    void optionFormsGiveTheSameWords()
    {
        QFETCH(QStringList, args);
        QFETCH(QStringList, plain);
        TempFiles files;
        const std::string list = files.write("list.txt", numberedWords("w", 1000));
        if (args.removeAll("POSIX"))
            qputenv("POSIXLY_CORRECT", "1");
        const Run run = runCommand(args, list, list);
        qunsetenv("POSIXLY_CORRECT");
        QVERIFY2(run.status == 0 && run.err.isEmpty(), run.err.constData());
        QCOMPARE(run.out, runCommand(plain, list).out);
    }

    // A file is saved only when the command succeeds, and then as the
    // window saves: the same bytes as standard output, links and mode kept.
    // Every output is checked: a full disk is an error too.
    void outputsAreCheckedAndSavedLikeTheWindowSaves()
    {
        TempFiles files;
        const std::string list = files.write("list.txt", QByteArray("caf\xC3\xA9 \xE2\x80\xA8x\n\r\n") + numberedWords("w", 500));
        const std::string output = files.write("out.txt", "older and longer content that must go\n");
        QCOMPARE(::link(output.c_str(), files.path("alias.txt").toLocal8Bit().constData()) | ::chmod(output.c_str(), 0640), 0);
        const QString out = QString::fromStdString(output);
        for (const QStringList& args : {QStringList{"pick", "-n", "50", "LIST"}, QStringList{"count", "LIST"}}) {
            const Run run = runCommand(args + QStringList{"-o", out}, list);
            QVERIFY2(run.status == 0 && run.out.isEmpty(), run.err.constData());
            QCOMPARE(bytesOf(files.path("alias.txt")), runCommand(args, list).out);
        }
        QCOMPARE(QFileInfo(out).permissions(), QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadUser | QFile::WriteUser);
        const QByteArray saved = bytesOf(out);
        QCOMPARE(runCommand({"pick", "-n", "5", QString::fromStdString(files.write("e.txt", "")), "-o", out}, list).status, 1);
        QCOMPARE(bytesOf(out), saved);
        const Run folder = runCommand({"pick", "missing.txt", "-o", files.root()}, list);
        QVERIFY2(folder.status == 1 && folder.err.contains("folder") && !folder.err.contains("missing.txt"), folder.err.constData());
        QVERIFY(runCommand({"count", "LIST", "-o", "/dev/null"}, list).err.contains("not a regular file"));
        for (const QStringList& args : {QStringList{"count", "LIST"}, {"--help"}, {"--version"}, {"pick", "-n", "3", "LIST"}}) {
            const Run full = runProgram(QStringList(args).replaceInStrings("LIST", QString::fromStdString(list)), files.root(), {}, "/dev/full");
            QVERIFY2(full.status == 1 && full.err.contains("cannot write"), full.err.constData());
        }
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
        QFETCH(QString, change);
        QFETCH(int, status);
        TempFiles files;
        const std::string list = files.write("list.txt", numberedWords("old", 100000));
        const timespec longAgo[2] = {{1'000'000'000, 0}, {1'000'000'000, 0}};
        QCOMPARE(::utimensat(AT_FDCWD, list.c_str(), longAgo, 0), 0);
        PickCommandHooks hooks;
        hooks.afterCount = [&] {
            QFile file(QString::fromStdString(list));
            if (change == "rename")
                std::rename(files.write("other.txt", numberedWords("new", 10)).c_str(), list.c_str());
            else if (file.open(QIODevice::ReadWrite))
                change == "nul" ? file.seek(20) && file.write("\0", 1) : file.resize(0);
        };
        const Run run = runCommand({"pick", "-n", "20", "LIST"}, list, {}, hooks);
        QCOMPARE(run.status, status);
        QCOMPARE(run.out.count('\n'), status ? 0 : 20);
        QVERIFY(!run.out.contains("new") && !run.err.contains("holds"));
        QVERIFY(status == 0 || run.err.contains("has changed since it was counted"));
    }

    // Memory grows with the number of picks, not with the words' length: 300
    // picks of a 10 MiB word under a 1 GiB address limit, and 24 words of 8 MiB,
    // longer together than one pass holds, read in further passes in draw order.
    void longPicksStreamInBoundedMemory_data()
    {
        QTest::addColumn<int>("words");
        QTest::addColumn<int>("wordSize");
        QTest::addColumn<int>("picks");
        QTest::addColumn<QString>("addressLimit");
        QTest::newRow("one long word") << 1 << (10 << 20) << 300 << "--as=1073741824";
        QTest::newRow("many long words") << 24 << (8 << 20) << 24 << "--as=209715200";
    }
    void longPicksStreamInBoundedMemory()
    {
        QFETCH(int, words);
        QFETCH(int, wordSize);
        QFETCH(int, picks);
        QFETCH(QString, addressLimit);
        const QString prlimit = QStandardPaths::findExecutable("prlimit");
        if (prlimit.isEmpty())
            QSKIP("prlimit is not installed");
        TempFiles files;
        QByteArray big, small; // a list of one letter a word draws the same word numbers
        for (int i = 0; i < words; ++i) {
            big += QByteArray(wordSize, char('a' + i)) + "\n";
            small += QByteArray(1, char('a' + i)) + "\n";
        }
        const QString output = files.path("out.txt");
        const QStringList args {"pick", "-n", QString::number(picks)};
        const Run run = runProgram(args + QStringList {QString::fromStdString(files.write("long.txt", big))}, files.root(), {},
                                   output, {prlimit, addressLimit, "--"});
        big.clear();
        QVERIFY2(run.status == 0, run.err.constData());
        QFile out(output);
        QVERIFY(out.open(QIODevice::ReadOnly) && out.size() == qint64(picks) * (wordSize + 1));
        QByteArray drawn;
        for (qint64 line = 0; line < picks && out.seek(line * (wordSize + 1)); ++line)
            drawn += out.read(1) + "\n";
        QCOMPARE(drawn, runCommand(args + QStringList {"LIST"}, files.write("small.txt", small)).out);
    }

    // Names and arguments in messages cannot act on the terminal, and each
    // escape reads one way.
    void messagesEscapeNames_data()
    {
        QTest::addColumn<QByteArray>("name");
        QTest::addColumn<QByteArray>("shown");
        QTest::newRow("escape sequence") << QByteArray("x\x1b[31mRED") << QByteArray("x\\x1b[31mRED");
        QTest::newRow("newline, tab, CR, DEL") << QByteArray("a\nb\tc\rd\x7f") << QByteArray("a\\nb\\tc\\rd\\x7f");
        QTest::newRow("backslash doubled") << QByteArray("a\\x1b") << QByteArray("a\\\\x1b");
        QTest::newRow("not UTF-8") << QByteArray("caf\xE9\xE2\x82\xC0\xAF\xED\xA0\x80") << QByteArray("caf\\xe9\\xe2\\x82\\xc0\\xaf\\xed\\xa0\\x80");
        QTest::newRow("C1 CSI, right-to-left override") << QByteArray("a\xC2\x9B\xE2\x80\xAE") << QByteArray("a\\u009b\\u202e");
        QTest::newRow("UTF-8 stays") << QByteArray("caf\xC3\xA9 \xE6\x97\xA5") << QByteArray("caf\xC3\xA9 \xE6\x97\xA5");
    }
    void messagesEscapeNames()
    {
        QFETCH(QByteArray, name);
        QFETCH(QByteArray, shown);
        TempFiles files;
        const QByteArray folder = QFile::encodeName(files.root()) + "/";
        const std::string at = folder.toStdString(), raw = name.toStdString();
        const std::vector<std::pair<std::vector<std::string>, QByteArray>> cases { // a list, an output, a number
            {{"count", at + raw}, "\"" + folder + shown + "\""},
            {{"pick", "-o", at + raw + "/out", "-"}, "\"" + folder + shown},
            {{"pick", "-n", raw, "-"}, "\"" + shown + "\""}};
        for (const auto& [argv, expected] : cases) {
            std::ostringstream out, err;
            QVERIFY(runPickCommand(argv, out, err, {nullptr, -1}) != 0);
            QVERIFY2(QByteArray::fromStdString(err.str()).contains(expected), err.str().c_str());
        }
    }
    // Standard input goes through a private spool in TMPDIR that is gone
    // however the program ends; a TMPDIR that cannot take it is named.
    void standardInputLeavesNoSpool_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QByteArray>("list");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("err");
        QByteArray utf16("\xFF\xFE", 2);
        for (char c : QByteArray("alpha\r\nbeta\r\n\r\ngamma\r\n"))
            utf16.append(c).append('\0');
        QTest::newRow("pick") << QStringList{"pick", "-n", "40"} << numberedWords("w", 20000) << 0 << "";
        QTest::newRow("UTF-16, into -o") << QStringList{"pick", "-n7", "-o", "OUT", "-"} << utf16 << 0 << "";
        QTest::newRow("count of nothing") << QStringList{"count"} << QByteArray() << 0 << "";
        QTest::newRow("binary data") << QStringList{"count"} << QByteArray("a\nb\0c\n", 6) << 1 << "\"standard input\" is not a word list";
        QTest::newRow("TMPDIR gone") << QStringList{"count"} << QByteArray("a\n") << 1 << "temporary file";
    }
    void standardInputLeavesNoSpool()
    {
        QFETCH(QStringList, args);
        QFETCH(QByteArray, list);
        QFETCH(int, status);
        QFETCH(QString, err);
        TempFiles files, spool;
        const bool gone = err == "temporary file";
        const QString out = files.path("out.txt");
        const Run run = runProgram(QStringList(args).replaceInStrings("OUT", out), spool.path(gone ? "gone" : ""), list);
        QVERIFY2(run.status == status && run.err.contains(err.toUtf8()) && (!gone || run.err.contains("gone")), run.err.constData());
        if (status == 0) {
            const QStringList fileArgs = args.filter(QRegularExpression("^(?!-$|-o$|OUT$)")) << "LIST";
            QCOMPARE(args.contains("OUT") ? bytesOf(out) : run.out, runCommand(fileArgs, files.write("list.txt", list)).out);
        }
        QCOMPARE(QDir(spool.root()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::Hidden), QStringList{});
    }

    // While the program reads standard input, its spool is private and has
    // no name; a signal that ends it then leaves nothing behind.
    void noSpoolIsLeftAfterASignal_data()
    {
        QTest::addColumn<int>("signal");
        QTest::newRow("SIGINT") << int(SIGINT);
        QTest::newRow("SIGTERM") << int(SIGTERM);
        QTest::newRow("SIGHUP") << int(SIGHUP);
    }
    void noSpoolIsLeftAfterASignal()
    {
        QFETCH(int, signal);
        TempFiles spool;
        const QString folder = QFileInfo(spool.root()).canonicalFilePath();
        QProcess program;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("TMPDIR", folder);
        program.setProcessEnvironment(env);
        program.start(TAVILON_PICK_PROGRAM, {"pick", "-n", "5"});
        const QByteArray given = numberedWords("w", 10000);
        QVERIFY(program.waitForStarted() && program.write(given) == given.size() && program.waitForBytesWritten());
        QString spooled; // standard input stays open: the program has spooled all it was given and waits
        struct stat st {};
        for (QDeadlineTimer deadline(20000); !deadline.hasExpired() && st.st_size != given.size(); QTest::qWait(20)) {
            for (const QFileInfo& fd : QDir(QString("/proc/%1/fd").arg(program.processId())).entryInfoList(QDir::NoDotAndDotDot | QDir::AllEntries))
                if (fd.symLinkTarget().startsWith(folder + "/") && ::stat(QFile::encodeName(fd.filePath()).constData(), &st) == 0)
                    spooled = fd.symLinkTarget();
        }
        QCOMPARE(qint64(st.st_size), qint64(given.size()));
        QCOMPARE(st.st_mode & 07777, mode_t{0600});
        QVERIFY2(spooled.endsWith(" (deleted)"), qPrintable(spooled));
        QCOMPARE(QDir(folder).entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::Hidden), QStringList{});
        QCOMPARE(::kill(pid_t(program.processId()), signal), 0);
        QVERIFY(program.waitForFinished(20000) && program.exitStatus() == QProcess::CrashExit);
        QCOMPARE(QDir(folder).entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::Hidden), QStringList{});
        QVERIFY(program.readAllStandardOutput().isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestPickCommand)
#include "test_pick_command.moc"
