#include "pick_command.h"
#include "temp_files.h"

#include <QtTest>

#include <cstdio>
#include <sstream>
#include <streambuf>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/stat.h>
#endif

using namespace tavilon;

namespace {

// A stream whose every write fails, as on a full disk.
class FullBuffer : public std::streambuf {
protected:
    int_type overflow(int_type) override { return traits_type::eof(); }
    std::streamsize xsputn(const char*, std::streamsize) override { return 0; }
};

QByteArray numberedWords(const char* word, int lines)
{
    QByteArray bytes;
    for (int i = 0; i < lines; ++i)
        bytes += QByteArray(word) + QByteArray::number(i) + "\n";
    return bytes;
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
        QTest::newRow("not a number") << QStringList{"pick", "-n", "12a", "LIST"} << 2 << "" << "not a number";
        QTest::newRow("missing file") << QStringList{"count", "MISSING"} << 1 << "" << "No such file";
        QTest::newRow("pick from an empty list") << QStringList{"pick", "EMPTY"} << 1 << "" << "no words";
        QTest::newRow("too many") << QStringList{"pick", "-n", "2000000", "LIST"} << 1 << "" << "At most";
        QTest::newRow("no command") << QStringList{} << 2 << "" << "Usage";
        QTest::newRow("unknown command") << QStringList{"shuffle", "LIST"} << 2 << "" << "unknown";
        QTest::newRow("count with two files") << QStringList{"count", "LIST", "LIST"} << 2 << "" << "Usage";
        QTest::newRow("-n without value") << QStringList{"pick", "LIST", "-n"} << 2 << "" << "needs a number";
    }
    void commands()
    {
        QFETCH(QStringList, args);
        QFETCH(int, status);
        QFETCH(QString, out);
        QFETCH(QString, errContains);
        TempFiles files;
        const std::string list = files.write("list.txt", "alpha\nbeta\ngamma\ndelta\n");
        const std::string empty = files.write("empty.txt", "");
        std::vector<std::string> argv;
        for (const QString& a : args) {
            if (a == "LIST")
                argv.push_back(list);
            else if (a == "EMPTY")
                argv.push_back(empty);
            else if (a == "MISSING")
                argv.push_back(files.path("missing.txt").toStdString());
            else
                argv.push_back(a.toStdString());
        }
        std::ostringstream o;
        std::ostringstream e;
        QCOMPARE(runPickCommand(argv, o, e), status);
        QCOMPARE(QString::fromStdString(o.str()), out);
        QVERIFY2(QString::fromStdString(e.str()).contains(errContains), e.str().c_str());
    }

    // Every command reports a failed write to standard output.
    void failedWritesExitWithAnError_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::newRow("count") << QStringList{"count", "LIST"};
        QTest::newRow("help") << QStringList{"--help"};
        QTest::newRow("pick") << QStringList{"pick", "-n", "3", "LIST"};
    }
    void failedWritesExitWithAnError()
    {
        QFETCH(QStringList, args);
        TempFiles files;
        const std::string list = files.write("list.txt", "alpha\nbeta\n");
        std::vector<std::string> argv;
        for (const QString& a : args)
            argv.push_back(a == "LIST" ? list : a.toStdString());
        FullBuffer full;
        std::ostream out(&full);
        std::ostringstream e;
        QCOMPARE(runPickCommand(argv, out, e), 1);
        QVERIFY2(e.str().find("cannot write") != std::string::npos, e.str().c_str());

#ifdef Q_OS_LINUX
        // The program itself, writing to a device that is always full.
        QStringList real;
        for (const QString& a : args)
            real << (a == "LIST" ? QString::fromStdString(list) : a);
        const ProgramRun run = runProgram(real, "/dev/full");
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

    // Picks go out one by one: many picks of a long word need no room for
    // all of them at once.
    void longPicksStreamInBoundedMemory()
    {
#ifndef Q_OS_LINUX
        QSKIP("limits memory with prlimit");
#else
        const QString prlimit = QStandardPaths::findExecutable("prlimit");
        if (prlimit.isEmpty())
            QSKIP("prlimit is not installed");
        TempFiles files;
        const std::string list = files.write("long.txt", QByteArray(10 << 20, 'w') + "\n");
        // 300 picks of 10 MiB: 3 GiB of output under a 1 GiB address limit.
        const ProgramRun run = runProgram({"pick", "-n", "300", QString::fromStdString(list)}, "/dev/null", prlimit,
                                          {"--as=1073741824", "--"});
        QVERIFY2(run.status == 0, run.err.constData());
#endif
    }

    void helpGoesToStandardOutput()
    {
        std::ostringstream o;
        std::ostringstream e;
        QCOMPARE(runPickCommand({"--help"}, o, e), 0);
        QVERIFY(o.str().find("Exit status") != std::string::npos);
        QVERIFY(e.str().empty());
    }
};

QTEST_APPLESS_MAIN(TestPickCommand)
#include "test_pick_command.moc"
