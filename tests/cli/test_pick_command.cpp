#include "tavilon_version.h"
#include "cli/pick_command.h"
#include "tests/support/temp_files.h"
#include "tests/support/word_lists.h"

#include <QtTest>

#include <fcntl.h>
#include <sstream>
#include <unistd.h>

using namespace tavilon;

struct Run {
    int status;
    QByteArray out;
    QByteArray err;
};

// The command in this process, `input` on its standard input.
static Run runCommand(const std::vector<std::string>& args, const std::string& input = {},
                      PickCommandHooks hooks = {})
{
    hooks.standardInput = input.empty() ? -1 : ::open(input.c_str(), O_RDONLY | O_CLOEXEC);
    std::ostringstream out;
    std::ostringstream err;
    const int status = runPickCommand(args, out, err, hooks);
    ::close(hooks.standardInput);
    return {status, QByteArray::fromStdString(out.str()), QByteArray::fromStdString(err.str())};
}

// Picks 20 words of a list of 100,000 that `change` alters after the count.
static Run pickWhileChanging(const std::function<void(const std::string& list)>& change)
{
    TempFiles files;
    const std::string list = files.write("list.txt", numberedWords("old", 100000));
    backdate(list); // a write shows in the file's time
    PickCommandHooks hooks;
    hooks.afterCount = [&] { change(list); };
    return runCommand({"pick", "-n", "20", list}, {}, hooks);
}

// A row of commands_data(), named by its arguments.
static void row(const char* line, int status, const QString& out, const char* err = "")
{
    QTest::newRow(line) << QString(line) << status << out << QString(err);
}

class TestPickCommand : public QObject {
    Q_OBJECT
    QTemporaryDir folder_; // the current folder

private slots:
    void initTestCase()
    {
        QVERIFY(QDir::setCurrent(folder_.path()));
        qputenv("POSIXLY_CORRECT", "1"); // options after FILE count even so
        writeFile(QString("list"), numberedWords("w", 1000));
        writeFile(QString("empty"), "");
        writeFile(QString("one"), "a\n");
        writeFile(QString("two"), "a\nb\n");
        writeFile(QString("odd"), "a\u2029b\uFDD0c\n");
        // 0, 999, 65000 (at the limit for 1000 words: drawn again), 5, 258.
        writeFile(QString("src"), QByteArray("\0\0\x03\xe7\xfd\xe8\0\x05\x01\x02", 10));
    }

    // Exit status 0: done, 1: a file or the output failed, 2: wrong usage,
    // which shows the usage. Standard input is "list". No file is made.
    void commands_data()
    {
        QTest::addColumn<QString>("line"); // the arguments, split at spaces
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("out");
        QTest::addColumn<QString>("err"); // a part of standard error
        const QString odd = "a\u2029b\uFDD0c\n"; // words the output box refuses
        row("count list", 0, "1000\n");
        row("count empty", 0, "\n");
        row("pick list", 0, "w705\n");
        row("pick -n2 odd", 0, odd + odd);
        row("-n 3 pick list", 0, "w705\nw533\nw579\n");
        row("pick -n -4 list", 0, ""); // a value may begin with a dash
        row("pick list --vers", 0, "tavilon-pick " TAVILON_VERSION "\n");
        row("pick empty", 1, "", "empty: has no words to pick from\n");
        row("pick -n 1000001 list", 1, "", "tavilon-pick: at most 1000000 words");
        row("pick gone -o .", 1, "", ".: is a folder"); // before the list is read
        row("pick list --number=1\t2", 2, "", "\"1\\t2\" is not a number of picks");
        row("shuffle", 2, "", "unknown command \"shuffle\"");
        row("pick -- -n 3", 2, "", "pick takes one FILE");
        row("pick list -n", 2, "", "-n needs a number");
        row("pick list --output=", 2, "", "--output needs a file name");
        row("pick -xy list", 2, "", "unknown option \"-xy\"");
        row("-hn3", 2, "", "unknown option \"-hn3\"");
        row("pick --bogus=1", 2, "", "unknown option \"--bogus\"");
        row("--help=all", 2, "", "--help takes no value");
        row("pick -n 1 list -n2", 2, "", "number of picks is given more than once");
        row("pick -o a list -o-", 2, "", "output file is given more than once");
        row("count -n 3 list", 2, "", "count takes no number");
        row("count -u list", 2, "", "count takes no --unique");
        // Two bytes of "src" a draw.
        row("pick -o- --rand src -n3", 0, "w0\nw999\nw5\n");
        row("pick list --random-source - -n3", 0, "w512\nw679\nw554\n");
        row("pick -n2 one --random-source=/dev/null", 0, "a\na\n");
        row("pick -n6 two --random-source=src", 0, "a\na\nb\nb\nb\na\n"); // a byte a draw
        row("pick -n6 list --random-source=src", 1, "", "src: end of file");
        row("pick --random-source list", 1, "", "list: cannot be the random source");
        row("pick --random-source -", 1, "", "standard input: cannot be the random source");
        row("pick --uni -n 3 - --random-source=src", 0, "w5\nw0\nw998\n");
        row("pick -u -n 1001 list", 1, "", "list: holds 1000 words: fewer");
        row("count list --zero", 0, "1\n"); // one word of lines
    }
    void commands()
    {
        QFETCH(QString, line);
        QFETCH(int, status);
        QFETCH(QString, err);
        std::vector<std::string> args;
        for (const QString& arg : line.split(' '))
            args.push_back(arg.toStdString());
        const Run run = runCommand(args, "list");
        QCOMPARE(run.status, status);
        QTEST(QString::fromUtf8(run.out), "out");
        QVERIFY2(run.err.contains(err.toUtf8()), run.err.constData());
        QCOMPARE(run.err.contains("Usage:"), status == 2);
        QCOMPARE(QDir().entryList(QDir::Files).size(), 6);
    }

    // --help answers where it stands: an error after it is not read.
    void helpComesBeforeLaterErrors()
    {
        const Run run = runCommand({"count", "--he", "-x"});
        QCOMPARE(run.status, 0);
        QVERIFY(run.out.startsWith("Usage: tavilon-pick count"));
        QCOMPARE(run.err, QByteArray());
    }

    // -z: words end at NUL and keep CR, LF and inner blanks; empty ones are skipped.
    void zeroTerminatedWords_data()
    {
        QTest::addColumn<QByteArray>("list");
        QByteArray text;
        for (const QByteArray word : {"a b", "c\r\nd", "\n", "e\tf", "caf\xC3\xA9"})
            text += " " + word + "\t" + QByteArray(2, '\0'); // an empty word between the NULs
        const QString unicode = QString::fromUtf8(text);
        const char* units = reinterpret_cast<const char*>(unicode.utf16());
        QTest::newRow("UTF-8") << "\xEF\xBB\xBF" + text;
        QTest::newRow("UTF-16") << "\xFF\xFE" + QByteArray(units, unicode.size() * 2);
    }
    void zeroTerminatedWords()
    {
        QFETCH(QByteArray, list);
        TempFiles files;
        const std::string path = files.write("z.txt", list);
        QCOMPARE(runCommand({"count", "-z", path}).out, "5\n");
        // As many picks as words, without repeats: each word once.
        const Run run = runCommand({"pick", path, "-zun", "5", "--random-source", "src"});
        QCOMPARE(run.status, 0);
        QList<QByteArray> drawn = run.out.split('\0');
        QCOMPARE(drawn.takeLast(), QByteArray()); // the last word ends in NUL too
        std::sort(drawn.begin(), drawn.end());
        QCOMPARE(drawn, QList<QByteArray>({"\n", "a b", "c\r\nd", "caf\xC3\xA9", "e\tf"}));
    }

    // -o takes what standard output would get, over a longer text; a failing
    // command leaves the file as it was.
    void theOutputFile()
    {
        TempFiles files;
        const std::string out = files.write("out", "older and longer content that must go\n");
        const Run count = runCommand({"count", "list", "-o", out});
        QCOMPARE(count.status, 0);
        QCOMPARE(count.out, QByteArray());
        QCOMPARE(readFile(files.path("out")), "1000\n");
        QCOMPARE(runCommand({"pick", "empty", "-o", out}).status, 1);
        QCOMPARE(readFile(files.path("out")), "1000\n");
    }

    // The picks come from the file that was counted, not one renamed over it.
    void aListRenamedOverAfterTheCountIsNotRead()
    {
        TempFiles other;
        const Run run = pickWhileChanging([&](const std::string& list) {
            std::rename(other.write("new", numberedWords("new", 10)).c_str(), list.c_str());
        });
        QCOMPARE(run.status, 0);
        QCOMPARE(run.out.count('\n'), 20);
        QVERIFY(!run.out.contains("new"));
    }

    // A list written after the count is refused, though the picks skip the change.
    void aListWrittenAfterTheCountIsRefused()
    {
        const Run run = pickWhileChanging([](const std::string& list) {
            QFile file(QString::fromStdString(list));
            if (file.open(QIODevice::ReadWrite) && file.seek(600000))
                file.write("\0", 1);
        });
        QCOMPARE(run.status, 1);
        QCOMPARE(run.out, QByteArray());
        QVERIFY(run.err.contains("has changed since it was counted"));
    }

    // Names in messages cannot act on the terminal and read one way; with blanks, quoted.
    void messagesEscapeNames_data()
    {
        QTest::addColumn<QByteArray>("name");
        QTest::addColumn<QByteArray>("shown");
        QTest::newRow("controls, a backslash") << QByteArray("a\nb\tc\rd\x1b[31m\x7f\\x1b")
                                               << QByteArray("a\\nb\\tc\\rd\\x1b[31m\\x7f\\\\x1b");
        QTest::newRow("not UTF-8, C1 control, direction override")
            << QByteArray("caf\xE9\xE2\x82\xC0\xAF\xED\xA0\x80\xC2\x9B\xE2\x80\xAE")
            << QByteArray("caf\\xe9\\xe2\\x82\\xc0\\xaf\\xed\\xa0\\x80\\u009b\\u202e");
        QTest::newRow("UTF-8 and a blank")
            << QByteArray("caf\xC3\xA9 \xE6\x97\xA5") << QByteArray("\"caf\xC3\xA9 \xE6\x97\xA5\"");
    }
    void messagesEscapeNames()
    {
        QFETCH(QByteArray, name);
        QFETCH(QByteArray, shown);
        const Run run = runCommand({"count", name.toStdString()});
        QCOMPARE(run.status, 1);
        QVERIFY(run.err.startsWith("tavilon-pick: " + shown + ": No such"));
    }
};

QTEST_GUILESS_MAIN(TestPickCommand)
#include "test_pick_command.moc"
