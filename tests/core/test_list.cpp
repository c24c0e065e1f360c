#include "core/list/input_file.h"
#include "core/list/word_list.h"
#include "tests/support/temp_files.h"

#include <QtTest>

#include <algorithm>
#include <numeric>
#include <random>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace tavilon;

class TestList : public QObject {
    Q_OBJECT
private slots:
    // First, so that the peak memory it reads is the count's alone.
    void aHundredMegabyteLineCountsInBoundedMemory()
    {
        TempFiles files;
        QFile file(files.path("one-line.txt"));
        for (int i = 0; i < 100 && (file.isOpen() || file.open(QIODevice::WriteOnly)); ++i)
            file.write(QByteArray(1 << 20, 'w'));
        file.close();
        rusage before {}, after {};
        getrusage(RUSAGE_SELF, &before);
        QCOMPARE(countWords(file.fileName().toStdString()).value(), std::uint64_t{1});
        getrusage(RUSAGE_SELF, &after);
        QVERIFY2(after.ru_maxrss - before.ru_maxrss < 16 * 1024, "the peak grew by 16 MiB or more");
    }

    void countsAndFetches_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("fields");
        QTest::newRow("blank only") << QByteArray(" \n\t\r\n  ") << QStringList();
        QTest::newRow("mixed ends, no final end") << QByteArray("a\r\nb\nc\rd") << QStringList{"a", "b", "c", "d"};
        QTest::newRow("blanks skipped and trimmed")
            << QByteArray("\n\n  two words \t\n \t \n\r\n007\n") << QStringList{"two words", "007"};
        QTest::newRow("UTF-8 mark skipped") << QByteArray("\xEF\xBB\xBFgr\xC3\xBC\xC3\x9F\n") << QStringList{"grüß"};
        QTest::newRow("Windows-1252") << QByteArray("caf\xE9\n\x80uro\n") << QStringList{"café", "€uro"};
        QTest::newRow("UTF-16 LE")
            << QByteArray("\xFF\xFE\xE9\0\xE9\0n\0\r\0\n\0z\0w\0e\0i\0", 20) << QStringList{"één", "zwei"};
    }
    void countsAndFetches()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, fields);
        TempFiles files;
        const std::string path = files.write("list.txt", bytes);
        QCOMPARE(countWords(path).value(), std::uint64_t(fields.size()));
        std::vector<std::uint64_t> everyWord(static_cast<std::size_t>(fields.size()));
        std::iota(everyWord.begin(), everyWord.end(), 1);
        const auto picked = collectWords(path, everyWord);
        for (int i = 0; i < fields.size(); ++i)
            QCOMPARE(QString::fromUtf8(picked.value().word(std::size_t(i))), fields[i]);
        // Beyond the end, only a change is known, not what the file holds now.
        const CoreError beyond = collectWords(path, {std::uint64_t(fields.size() + 1)}).error();
        QCOMPARE(beyond.code, ErrorCode::ListChanged);
        QVERIFY2(beyond.message.find("holds") == std::string::npos, beyond.message.c_str());
    }

    // Written over at its own size while it is counted: the size stays, the
    // file's times move, and the count cannot hold.
    void aListRewrittenWhileCountedHasChanged_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("one thread") << QByteArray("abcdefg\n").repeated(1 << 17);
        QTest::newRow("shared among threads") << QByteArray("abcdefg\n").repeated(4 << 20);
        QTest::newRow("UTF-16") << QByteArray("\xFF\xFE") + QByteArray("a\0\n\0", 4).repeated(1 << 18);
    }
    void aListRewrittenWhileCountedHasChanged()
    {
        QFETCH(QByteArray, bytes);
        TempFiles files;
        const std::string path = files.write("rewritten.txt", bytes);
        QVERIFY(backdate(path)); // so that a write now moves its time, however coarse the clock
        QFile file(QString::fromStdString(path));
        QVERIFY(file.open(QIODevice::ReadWrite));
        const auto rewrite = [&](std::uint64_t, std::uint64_t) {
            return file.seek(2) && file.write(QByteArray("zz\n\n").repeated(1024)) > 0 && file.flush();
        };
        const auto counted = countWords(path, rewrite);
        QVERIFY2(!counted.ok(), "the count of a list written over went through");
        QCOMPARE(counted.error().code, ErrorCode::ListChanged);
    }

    // A socket cannot even be opened; the message says what it is.
    void aSocketIsNamedForWhatItIs()
    {
        TempFiles files;
        const std::string path = files.path("socket").toStdString();
        sockaddr_un address {};
        address.sun_family = AF_UNIX;
        path.copy(address.sun_path, sizeof address.sun_path - 1);
        const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
        QCOMPARE(::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
        const CoreError error = TextSource::open(path).error();
        ::close(fd);
        QCOMPARE(error.code, ErrorCode::NotRegularFile);
        QCOMPARE(error.reason, std::string("is a socket, not a word list file"));
    }

    void whatIsNoWordListIsRefusedWithoutWaiting_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("code");
        QTest::newRow("NUL late in a long file")
            << "late.dat" << QByteArray(3 << 20, 'x').append('\0') << int(ErrorCode::NotWordList);
        QTest::newRow("UTF-16 NUL character")
            << "u16.dat" << QByteArray("\xFF\xFE" "a\0\0\0", 6) << int(ErrorCode::NotWordList);
        QTest::newRow("pipe without a writer") << "pipe" << QByteArray() << int(ErrorCode::NotRegularFile);
        QTest::newRow("sysfs, whose size is made up") << "/sys/kernel/uevent_seqnum" << QByteArray()
                                                       << int(ErrorCode::NotRegularFile);
        QTest::newRow("a file that does not answer") << "waiting-list" << QByteArray() << int(ErrorCode::ReadFailed);
    }
    void whatIsNoWordListIsRefusedWithoutWaiting()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        QFETCH(int, code);
        if (name.startsWith("/sys/") && !QFile::exists(name))
            QSKIP("sysfs is not mounted here");
        TempFiles files;
        const std::string path = name.startsWith('/') ? name.toStdString() : files.path(name).toStdString();
        if (!bytes.isEmpty())
            files.write(name, bytes);
        if (name == "pipe")
            QCOMPARE(::mkfifo(path.c_str(), 0600), 0);
        int ends[2] = {-1, -1}; // a pipe whose writer stays: a waiting read would never return
        QCOMPARE(name == "waiting-list" ? ::pipe(ends) : 0, 0);
        auto list = ends[0] < 0 ? TextSource::open(path) : TextSource::open(InputFile::adopt(ends[0], path));
        const CoreError error = list.ok() ? countWords(list.value()).error() : list.error();
        ::close(ends[1]);
        QCOMPARE(int(error.code), code);
        QVERIFY2(error.message.find(path) != std::string::npos, error.message.c_str());
        if (code == int(ErrorCode::ReadFailed)) // rather than waiting for it
            QVERIFY2(error.message.find("does not answer") != std::string::npos, error.message.c_str());
    }

    // Lines straddle the 1 MiB steps and 2 MiB parts of the count, a CR LF
    // split across each; the marks it leaves lead to the same fields, for few
    // targets (sorted and taken alone) and for many (every field kept).
    void countsAcrossWindowsAndFetchesWithItsMarks()
    {
        std::mt19937 rng(5);
        std::string bytes = "\xEF\xBB\xBF"; // a mark shifts the text off the page grid
        std::vector<std::string> words; // every line holds one
        const auto addLine = [&](const std::string& word, const char* end) {
            bytes += word + end;
            words.push_back(word);
        };
        for (std::size_t mib = 1; mib <= 9; ++mib) {
            while (bytes.size() < (mib << 20) - 40)
                addLine(std::string(3 + rng() % 10, char('a' + rng() % 26)), rng() % 9 ? "\n" : "\r\n");
            addLine(std::string((mib << 20) - 1 - bytes.size(), 'x'), "\r\n");
            bytes += "  ";
            addLine("word-across", "  \n");
        }
        addLine("last", "");
        TempFiles files;
        const std::string path = files.write("windows.txt", QByteArray::fromStdString(bytes));
        const std::uint64_t expected = words.size();
        auto source = TextSource::open(path);
        WordIndex index;
        QCOMPARE(countWords(source.value(), {}, &index).value(), expected);
        for (std::size_t picks : {std::size_t{3}, std::size_t{20000}}) {
            std::vector<std::uint64_t> targets {expected};
            while (targets.size() < picks)
                targets.push_back(1 + rng() % expected);
            const auto picked = collectWords(source.value(), targets, {}, &index);
            for (std::size_t i = 0; i < std::min<std::size_t>(picks, 60); ++i)
                QCOMPARE(std::string(picked.value().word(i)), words[targets[i] - 1]);
        }
        // Keeping every field up to the last target would pass the budget; the fields alone do not.
        const QByteArray spread = QByteArray("a\n") + QByteArray(1000, 'x') + "\nb\nc\n";
        auto between = TextSource::open(files.write("between.txt", spread));
        QCOMPARE(std::string(collectWords(between.value(), {1, 3, 4, 4}, {}, nullptr, 10).value().word(3)), "c");
        QCOMPARE(collectWords(between.value(), {1, 2, 3, 4}, {}, nullptr, 10).error().code, ErrorCode::TooMuchText);
    }
};

QTEST_APPLESS_MAIN(TestList)
#include "test_list.moc"
