#include "core/list/input_file.h"
#include "core/list/word_list.h"
#include "tests/support/temp_files.h"

#include <QtTest>

#include <algorithm>
#include <csignal>
#include <random>
#include <sys/resource.h>
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
        for (int i = 0; i < fields.size(); ++i)
            QCOMPARE(QString::fromStdString(fetchWord(path, std::uint64_t(i + 1)).value()), fields[i]);
        // Beyond the end, only a change is known, not what the file holds now.
        const CoreError beyond = collectWords(path, {std::uint64_t(fields.size() + 1)}).error();
        QCOMPARE(beyond.code, ErrorCode::ListChanged);
        QVERIFY2(beyond.message.find("holds") == std::string::npos, beyond.message.c_str());
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
        for (std::size_t mib = 1; mib <= 9; ++mib) {
            while (bytes.size() < (mib << 20) - 40)
                bytes += std::string(3 + rng() % 10, char('a' + rng() % 26)) + (rng() % 9 ? "\n" : "\r\n");
            bytes += std::string((mib << 20) - 1 - bytes.size(), 'x') + "\r\n  word-across  \n";
        }
        TempFiles files;
        const std::string path = files.write("windows.txt", QByteArray::fromStdString(bytes + "last"));
        // Every line holds a word.
        const std::uint64_t expected = std::uint64_t(std::count(bytes.begin(), bytes.end(), '\n')) + 1;
        auto source = TextSource::open(path);
        WordIndex index;
        QCOMPARE(countWords(source.value(), {}, &index).value(), expected);
        for (std::size_t picks : {std::size_t{3}, std::size_t{20000}}) {
            std::vector<std::uint64_t> targets {expected};
            while (targets.size() < picks)
                targets.push_back(1 + rng() % expected);
            const auto picked = collectWords(source.value(), targets, {}, &index);
            for (std::size_t i = 0; i < std::min<std::size_t>(picks, 60); ++i)
                QCOMPARE(std::string(picked.value().word(i)), fetchWord(path, targets[i]).value());
        }
        // Keeping every field up to the last target would pass the budget; the fields alone do not.
        const QByteArray spread = QByteArray("a\n") + QByteArray(1000, 'x') + "\nb\nc\n";
        auto between = TextSource::open(files.write("between.txt", spread));
        QCOMPARE(std::string(collectWords(between.value(), {1, 3, 4, 4}, {}, nullptr, 10).value().word(3)), "c");
        QCOMPARE(collectWords(between.value(), {1, 2, 3, 4}, {}, nullptr, 10).error().code, ErrorCode::TooMuchText);
    }

    // Each row's cut runs through the count's guard again: it must turn every
    // bus error into "has changed", and put the earlier handler back.
    void aListCutShortWhileCountedHasChanged_data()
    {
        QTest::addColumn<qint64>("newSize");
        QTest::newRow("emptied") << qint64(0);
        QTest::newRow("cut on a page edge") << qint64(6 << 20);
        QTest::newRow("cut inside a page") << qint64((1 << 20) + 1000);
    }
    void aListCutShortWhileCountedHasChanged()
    {
        QFETCH(qint64, newSize);
        TempFiles files;
        const std::string path = files.write("shrinking.txt", QByteArray("word\n").repeated(12 << 18));
        struct sigaction before {}, now {};
        ::sigaction(SIGBUS, nullptr, &before);
        auto source = TextSource::open(path);
        int calls = 0; // the first progress comes after the first step: the rest of the part then lies past the end
        const auto counted = countWords(source.value(), [&](std::uint64_t, std::uint64_t) {
            return ++calls > 1 || ::truncate(path.c_str(), off_t(newSize)) == 0;
        });
        QCOMPARE(counted.error().code, ErrorCode::ListChanged);
        ::sigaction(SIGBUS, nullptr, &now);
        QVERIFY(now.sa_handler == before.sa_handler); // the handler from before the count is back
    }
};

QTEST_APPLESS_MAIN(TestList)
#include "test_list.moc"
