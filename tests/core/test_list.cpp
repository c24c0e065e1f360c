#include "core/list/input_file.h"
#include "core/list/word_list.h"
#include "tests/support/temp_files.h"

#include <QtTest>

#include <numeric>
#include <random>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

using namespace tavilon;

Q_DECLARE_METATYPE(tavilon::ErrorCode)

namespace {

// Every word of the list at `path`, fetched by number.
QStringList everyWord(const std::string& path, std::uint64_t count)
{
    std::vector<std::uint64_t> targets(count);
    std::iota(targets.begin(), targets.end(), 1);
    const auto picked = collectWords(path, targets);
    QStringList words;
    for (std::size_t i = 0; i < count; ++i)
        words << QString::fromUtf8(picked.value().word(i));
    return words;
}

// Why the list cannot be opened or counted.
CoreError countError(Outcome<TextSource> list)
{
    return list ? countWords(list.value()).error() : list.error();
}

} // namespace

class TestList : public QObject {
    Q_OBJECT

    TempFiles files_;

private slots:
    void initTestCase()
    {
        QCOMPARE(::mkfifo(qPrintable(files_.path("pipe")), 0600), 0);
        const std::string socket = files_.path("socket").toStdString();
        sockaddr_un address {};
        address.sun_family = AF_UNIX;
        socket.copy(address.sun_path, sizeof address.sun_path - 1);
        const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
        QCOMPARE(::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
        ::close(fd); // its file stays
    }

    // First, so that the peak memory it reads is the count's alone.
    void aHundredMegabyteLineCountsInBoundedMemory()
    {
        TempFiles files;
        QFile file(files.path("one-line.txt"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        for (int i = 0; i < 100; ++i)
            file.write(QByteArray(1 << 20, 'w'));
        file.close();
        rusage before {}, after {};
        getrusage(RUSAGE_SELF, &before);
        QCOMPARE(countWords(file.fileName().toStdString()).value(), std::uint64_t {1});
        getrusage(RUSAGE_SELF, &after);
        QVERIFY(after.ru_maxrss - before.ru_maxrss < 16 * 1024); // KiB
    }

    void countsAndFetches_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("words");
        QTest::newRow("blank only") << QByteArray(" \n\t\r\n  ") << QStringList();
        QTest::newRow("mixed ends, no final end")
            << QByteArray("a\r\nb\nc\rd") << QStringList {"a", "b", "c", "d"};
        QTest::newRow("blanks skipped and trimmed") << QByteArray(
            "\n\n  two words \t\n \t \n\r\n007\n") << QStringList { "two words", "007" };
        QTest::newRow("UTF-8 mark skipped")
            << QByteArray("\xEF\xBB\xBFgr\xC3\xBC\xC3\x9F\n") << QStringList {"grüß"};
        QTest::newRow("Windows-1252")
            << QByteArray("caf\xE9\n\x80uro\n") << QStringList { "café", "€uro" };
        QTest::newRow("UTF-16 LE") << QByteArray("\xFF\xFE\xE9\0\xE9\0n\0\r\0\n\0z\0w\0e\0i\0", 20)
                                   << QStringList {"één", "zwei"};
        QTest::newRow("UTF-16 BE") << QByteArray("\xFE\xFF\0a\0\n\0b", 8) << QStringList {"a", "b"};
        QTest::newRow("UTF-16 pair") << QByteArray("\xFF\xFE\x3D\xD8\x00\xDE\n\0", 8)
                                     << QStringList {QString::fromUtf8("\xF0\x9F\x98\x80")};
    }
    void countsAndFetches()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, words);
        const std::string path = files_.write("list.txt", bytes);
        QCOMPARE(countWords(path).value(), std::uint64_t(words.size()));
        QCOMPARE(everyWord(path, std::uint64_t(words.size())), words);
        // Beyond the end, only a change is known, not what the file holds now.
        const CoreError beyond = collectWords(path, {std::uint64_t(words.size() + 1)}).error();
        QCOMPARE(beyond.code, ErrorCode::ListChanged);
    }

    // A list written over at its own size while it is counted has changed.
    void aListRewrittenWhileCountedHasChanged_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("one thread") << QByteArray("abcdefg\n").repeated(1 << 17);
        QTest::newRow("shared among threads") << QByteArray("abcdefg\n").repeated(4 << 20);
        QTest::newRow("UTF-16") << QByteArray("\xFF\xFE")
                + QByteArray("a\0\n\0", 4).repeated(1 << 18);
    }
    void aListRewrittenWhileCountedHasChanged()
    {
        QFETCH(QByteArray, bytes);
        const std::string path = files_.write("rewritten.txt", bytes);
        QVERIFY(backdate(path)); // a write now moves its time, however coarse the clock
        QFile file(QString::fromStdString(path));
        QVERIFY(file.open(QIODevice::ReadWrite));
        const auto rewrite = [&](std::uint64_t, std::uint64_t) {
            return file.seek(2) && file.write(QByteArray("zz\n\n").repeated(1024)) > 0
                && file.flush();
        };
        QCOMPARE(countWords(path, rewrite).error().code, ErrorCode::ListChanged);
    }

    void binaryDataIsNoWordList_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("NUL late in a long file") << QByteArray(3 << 20, 'x').append('\0');
        QTest::newRow("UTF-16 NUL character") << QByteArray("\xFF\xFE" "a\0\0\0", 6);
    }
    void binaryDataIsNoWordList()
    {
        QFETCH(QByteArray, bytes);
        const std::string path = files_.write("binary.dat", bytes);
        const CoreError error = countError(TextSource::open(path));
        QCOMPARE(error.code, ErrorCode::NotWordList);
        QCOMPARE(error.subject, path);
    }

    // A pipe is refused before a byte is read; a socket cannot even be opened.
    void pipesAndSocketsAreRefusedAsWhatTheyAre_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("reason");
        QTest::newRow("pipe") << "pipe" << "is a pipe, not a word list file";
        QTest::newRow("socket") << "socket" << "is a socket, not a word list file";
    }
    void pipesAndSocketsAreRefusedAsWhatTheyAre()
    {
        QFETCH(QString, name);
        QFETCH(QString, reason);
        const CoreError error = countError(TextSource::open(files_.path(name).toStdString()));
        QCOMPARE(error.code, ErrorCode::NotRegularFile);
        QCOMPARE(QString::fromStdString(error.reason), reason);
    }

    // sysfs says each of its files holds a page, whatever it holds.
    void aFileWhoseSizeIsMadeUpIsRefused()
    {
        const std::string path = "/sys/kernel/uevent_seqnum";
        if (!QFile::exists(QString::fromStdString(path)))
            QSKIP("sysfs is not mounted here");
        QCOMPARE(countError(TextSource::open(path)).code, ErrorCode::NotRegularFile);
    }

    // A pipe whose writer stays: a read that waited would never return.
    void aFileThatDoesNotAnswerIsRefused()
    {
        int ends[2] = {-1, -1};
        QCOMPARE(::pipe(ends), 0);
        const CoreError error = countError(TextSource::open(InputFile::adopt(ends[0], "waiting")));
        ::close(ends[1]);
        QCOMPARE(error.code, ErrorCode::ReadFailed);
        QCOMPARE(
            error.reason, std::string("does not answer (it waits for data that may never come)"));
    }

    // Lines straddle the count's 2 MiB parts; its marks lead to the same words.
    void countsAcrossPartsAndFetchesWithItsMarks()
    {
        std::mt19937 rng(5);
        std::string bytes = "\xEF\xBB\xBF"; // a mark shifts the text off the page grid
        std::vector<std::string> words;     // every line holds one
        const auto addLine = [&](const std::string& word, const char* end) {
            bytes += word + end;
            words.push_back(word);
        };
        for (std::size_t mib = 1; mib <= 9; ++mib) {
            while (bytes.size() < (mib << 20) - 40)
                addLine(
                    std::string(3 + rng() % 10, char('a' + rng() % 26)), rng() % 9 ? "\n" : "\r\n");
            addLine(std::string((mib << 20) - 1 - bytes.size(), 'x'), "\r\n");
            bytes += "  ";
            addLine("word-across", "  \n");
        }
        addLine("last", "");
        auto source = TextSource::open(files_.write("parts.txt", QByteArray::fromStdString(bytes)));
        WordIndex index;
        QCOMPARE(countWords(source.value(), {}, &index).value(), words.size());
        for (std::size_t picks : {std::size_t {3}, std::size_t {20000}}) {
            std::vector<std::uint64_t> targets {words.size()};
            while (targets.size() < picks)
                targets.push_back(1 + rng() % words.size());
            const auto picked = collectWords(source.value(), targets, {}, &index);
            for (std::size_t i = 0; i < std::min<std::size_t>(picks, 60); ++i)
                QCOMPARE(std::string(picked.value().word(i)), words[targets[i] - 1]);
        }
    }

    // Only the words drawn count against the budget, not every word up to the last.
    void thePicksTextBudgetCountsOnlyTheWordsDrawn()
    {
        const QByteArray spread = QByteArray("a\n") + QByteArray(1000, 'x') + "\nb\nc\n";
        auto between = TextSource::open(files_.write("between.txt", spread));
        const auto fits = collectWords(between.value(), {1, 3, 4, 4}, {}, nullptr, 10);
        QCOMPARE(std::string(fits.value().word(3)), std::string("c"));
        const auto over = collectWords(between.value(), {1, 2, 3, 4}, {}, nullptr, 10);
        QCOMPARE(over.error().code, ErrorCode::TooMuchText);
    }
};

QTEST_APPLESS_MAIN(TestList)
#include "test_list.moc"
