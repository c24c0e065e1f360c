#include "scan_kernels.h"
#include "temp_files.h"
#include "word_list.h"
#include "word_list_reader.h"

#include <QtTest>

#include <random>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#include <unistd.h>
#endif

using namespace tavilon;

namespace {

// Every field of a list, read by the plain reader.
std::vector<std::string> allFields(const std::string& path)
{
    std::vector<std::string> fields;
    auto reader = WordListReader::open(path);
    if (!reader)
        return fields;
    std::string field;
    while (true) {
        auto more = reader.value().next(field);
        if (!more || !more.value())
            break;
        fields.push_back(field);
    }
    return fields;
}

// Count of fields in a byte string, written as plainly as possible.
std::uint64_t referenceCount(const std::string& bytes)
{
    std::uint64_t count = 0;
    bool content = false;
    for (char c : bytes) {
        if (c == '\n' || c == '\r') {
            count += content;
            content = false;
        } else if (c != ' ' && c != '\t') {
            content = true;
        }
    }
    return count + content;
}

QByteArray utf16(const QString& text, bool littleEndian)
{
    QByteArray out = littleEndian ? QByteArray("\xFF\xFE", 2) : QByteArray("\xFE\xFF", 2);
    for (QChar ch : text) {
        const ushort u = ch.unicode();
        if (littleEndian) {
            out.append(char(u & 0xFF));
            out.append(char(u >> 8));
        } else {
            out.append(char(u >> 8));
            out.append(char(u & 0xFF));
        }
    }
    return out;
}

// Random text over an alphabet rich in line ends and blanks.
std::string randomList(std::mt19937& rng, std::size_t size)
{
    static const char alphabet[] = "\r\n \tab\r\nxyz\n";
    std::uniform_int_distribution<std::size_t> pick(0, sizeof alphabet - 2);
    std::string s(size, ' ');
    for (char& c : s)
        c = alphabet[pick(rng)];
    return s;
}

} // namespace

class TestWordList : public QObject {
    Q_OBJECT
private slots:
    void counts_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("count");
        QTest::addColumn<QStringList>("fields");
        QTest::newRow("empty file gives no count") << QByteArray() << "" << QStringList();
        QTest::newRow("five lines") << QByteArray("a\nb\nc\nd\ne\n") << "5" << QStringList{"a", "b", "c", "d", "e"};
        QTest::newRow("no final line end") << QByteArray("a\nb") << "2" << QStringList{"a", "b"};
        QTest::newRow("CR LF") << QByteArray("one\r\ntwo\r\n") << "2" << QStringList{"one", "two"};
        QTest::newRow("lone CR") << QByteArray("one\rtwo\r") << "2" << QStringList{"one", "two"};
        QTest::newRow("mixed ends") << QByteArray("a\r\nb\nc\rd") << "4" << QStringList{"a", "b", "c", "d"};
        QTest::newRow("blank lines skipped") << QByteArray("\n\na\n \t \n\r\nb\n\n") << "2" << QStringList{"a", "b"};
        QTest::newRow("blank only") << QByteArray(" \n\t\r\n  ") << "" << QStringList();
        QTest::newRow("trimmed, inner blanks kept") << QByteArray("  two words \t\n") << "1" << QStringList{"two words"};
        QTest::newRow("text stays text") << QByteArray("007\n1e5\n#TRUE#\n\"a,b\"\n") << "4"
                                         << QStringList{"007", "1e5", "#TRUE#", "\"a,b\""};
        QTest::newRow("UTF-8 mark skipped") << QByteArray("\xEF\xBB\xBFword\n") << "1" << QStringList{"word"};
        QTest::newRow("UTF-8 kept") << QByteArray("gr\xC3\xBC\xC3\x9F\n") << "1" << QStringList{QString::fromUtf8("grüß")};
        QTest::newRow("Windows-1252") << QByteArray("caf\xE9\n\x80uro\n") << "2" << QStringList{QString::fromUtf8("café"), QString::fromUtf8("€uro")};
        QTest::newRow("UTF-16 LE") << utf16(QString::fromUtf8("één\r\nzwei\r\n"), true) << "2" << QStringList{QString::fromUtf8("één"), "zwei"};
        QTest::newRow("UTF-16 BE, no final end") << utf16(QString::fromUtf8("a\nβ"), false) << "2" << QStringList{"a", QString::fromUtf8("β")};
    }
    void counts()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, count);
        QFETCH(QStringList, fields);
        TempFiles files;
        const std::string path = files.write("list.txt", bytes);
        auto counted = countFields(path);
        QVERIFY2(counted.ok(), counted.ok() ? "" : counted.error().message.c_str());
        QCOMPARE(QString::fromStdString(counted.value()), count);
        for (int i = 0; i < fields.size(); ++i) {
            auto field = fetchField(path, static_cast<std::uint64_t>(i + 1));
            QVERIFY(field.ok());
            QCOMPARE(QString::fromStdString(field.value()), fields[i]);
        }
        auto beyond = fetchField(path, static_cast<std::uint64_t>(fields.size() + 1));
        QVERIFY(!beyond.ok());
        QCOMPARE(beyond.error().code, ErrorCode::ListChanged);
    }

    void fifteenHundredFieldsAndRepeatedFetches()
    {
        TempFiles files;
        QByteArray bytes;
        for (int i = 1; i <= 1500; ++i)
            bytes += "w" + QByteArray::number(i) + "\r\n";
        const std::string path = files.write("big.txt", bytes);
        QCOMPARE(countFields(path).value(), std::string("1500"));
        QCOMPARE(fetchField(path, 1).value(), std::string("w1"));
        QCOMPARE(fetchField(path, 1500).value(), std::string("w1500"));
        // The second fetch starts from the top again.
        QCOMPARE(fetchField(path, 700).value(), std::string("w700"));
        QCOMPARE(fetchField(path, 700).value(), std::string("w700"));
    }

    void refusals_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("NUL byte") << QByteArray("abc\0def\n", 8);
        QTest::newRow("NUL late in a long file") << (QByteArray(3 << 20, 'x') + QByteArray(1, '\0'));
        QTest::newRow("UTF-16 with a NUL character") << QByteArray("\xFF\xFE" "a\0\0\0", 6);
    }
    void refusals()
    {
        QFETCH(QByteArray, bytes);
        TempFiles files;
        const std::string path = files.write("bin.dat", bytes);
        auto counted = countFields(path);
        QVERIFY(!counted.ok());
        QCOMPARE(counted.error().code, ErrorCode::NotWordList);
        QVERIFY(counted.error().message.find(path) != std::string::npos);
    }

    void pathsThatAreNotWordLists()
    {
        TempFiles files;
        auto missing = countFields(files.path("missing.txt").toStdString());
        QCOMPARE(missing.error().code, ErrorCode::OpenFailed);
        QVERIFY(missing.error().message.find("No such file") != std::string::npos);
        QCOMPARE(countFields(files.root().toStdString()).error().code, ErrorCode::NotRegularFile);
        QCOMPARE(countFields("").error().code, ErrorCode::OpenFailed);
#ifdef Q_OS_UNIX
        // A FIFO without a writer must be refused, not waited on.
        const QByteArray fifo = files.path("pipe").toLocal8Bit();
        QCOMPARE(::mkfifo(fifo.constData(), 0600), 0);
        QCOMPARE(countFields(fifo.toStdString()).error().code, ErrorCode::NotRegularFile);
        QCOMPARE(countFields("/dev/zero").error().code, ErrorCode::NotRegularFile);
#endif
    }

    void unreadableFile()
    {
#ifdef Q_OS_UNIX
        if (::geteuid() == 0)
            QSKIP("root reads every file");
#endif
        TempFiles files;
        const std::string path = files.write("secret.txt", "a\n");
        QFile::setPermissions(QString::fromStdString(path), QFileDevice::WriteOwner);
        QCOMPARE(countFields(path).error().code, ErrorCode::OpenFailed);
    }

    void everyKernelAgreesWithThePlainCount()
    {
        std::mt19937 rng(7);
        for (int round = 0; round < 300; ++round) {
            std::string bytes = randomList(rng, std::uniform_int_distribution<std::size_t>(0, 700)(rng));
            const std::uint64_t expected = referenceCount(bytes);
            for (int k = 0; k < scan::availableKernelCount(); ++k) {
                const auto& kernels = scan::availableKernels(k);
                // Fed in two pieces at a random split, as blocks arrive.
                const std::size_t split = bytes.empty() ? 0 : rng() % bytes.size();
                scan::CountState state;
                const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
                kernels.count(p, split, state);
                kernels.count(p + split, bytes.size() - split, state);
                QCOMPARE(state.fields + (state.carry == 0 ? 1 : 0), expected);
                QVERIFY(!state.sawNul);
            }
        }
    }

    void everyKernelFindsANul()
    {
        for (int k = 0; k < scan::availableKernelCount(); ++k) {
            for (std::size_t at : {0u, 31u, 32u, 63u, 64u, 100u}) {
                std::string bytes(130, 'a');
                bytes[at] = '\0';
                scan::CountState state;
                scan::availableKernels(k).count(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(), state);
                QVERIFY2(state.sawNul, scan::availableKernels(k).name);
                std::uint64_t e[3];
                std::uint64_t b[3];
                QVERIFY(scan::availableKernels(k).mask(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(), e, b));
            }
        }
    }

    void randomFilesCountAsThePlainReaderReads()
    {
        // Files larger than one read, so fields cross block boundaries.
        std::mt19937 rng(11);
        TempFiles files;
        for (int round = 0; round < 6; ++round) {
            std::string bytes = randomList(rng, (1u << 20) + std::uniform_int_distribution<std::size_t>(0, 200000)(rng));
            const std::string path = files.write(QString("r%1.txt").arg(round), QByteArray::fromStdString(bytes));
            const auto fields = allFields(path);
            const std::string expected = fields.empty() ? std::string() : std::to_string(fields.size());
            QCOMPARE(countFields(path).value(), expected);
            QCOMPARE(fields.size(), referenceCount(bytes));
        }
    }

    void oneGoFetchMatchesFetchingEachField()
    {
        std::mt19937 rng(3);
        TempFiles files;
        for (int round = 0; round < 40; ++round) {
            // Some lists with long lines, some larger than a read.
            std::string bytes;
            if (round % 4 == 0) {
                bytes = randomList(rng, (1u << 20) + 5000);
            } else {
                std::uniform_int_distribution<int> len(0, round % 3 == 0 ? 3000 : 12);
                const int lines = std::uniform_int_distribution<int>(0, 400)(rng);
                for (int i = 0; i < lines; ++i) {
                    bytes += std::string(static_cast<std::size_t>(rng() % 3), ' ');
                    const int n = len(rng);
                    for (int j = 0; j < n; ++j)
                        bytes += static_cast<char>('a' + rng() % 26);
                    bytes += (rng() % 3 == 0) ? "\r\n" : ((rng() % 2) ? "\n" : "\r");
                }
            }
            const std::string path = files.write(QString("l%1.txt").arg(round), QByteArray::fromStdString(bytes));
            const auto fields = allFields(path);
            if (fields.empty())
                continue;
            std::vector<std::uint64_t> targets;
            const int k = std::uniform_int_distribution<int>(1, 60)(rng);
            for (int i = 0; i < k; ++i)
                targets.push_back(std::uniform_int_distribution<std::uint64_t>(1, fields.size())(rng));
            targets.push_back(fields.size());
            targets.push_back(targets.front()); // a repeat
            auto picked = collectFields(path, targets);
            QVERIFY(picked.ok());
            for (std::size_t i = 0; i < targets.size(); ++i)
                QCOMPARE(std::string(picked.value().field(i)), fields[targets[i] - 1]);
        }
    }

    void skippingAheadWithTheCountsIndexFindsTheSameFields()
    {
        std::mt19937 rng(17);
        TempFiles files;
        for (int round = 0; round < 12; ++round) {
            // Several reads long, some lines longer than a read, a mark in front.
            std::string bytes = round % 3 == 0 ? "\xEF\xBB\xBF" : "";
            const int lines = std::uniform_int_distribution<int>(1000, 60000)(rng);
            for (int i = 0; i < lines; ++i) {
                const std::size_t len = rng() % 50 == 0 ? 70000 + rng() % 9000 : 1 + rng() % 12;
                if (rng() % 9 == 0)
                    bytes += "\t ";
                bytes += std::string(len, static_cast<char>('a' + rng() % 26));
                bytes += (rng() % 3 == 0) ? "\r\n" : ((rng() % 5 == 0) ? "\n\n \n" : "\n");
            }
            const std::string path = files.write(QString("x%1.txt").arg(round), QByteArray::fromStdString(bytes));
            FieldIndex index(round % 2 == 0 ? 4 : 65536); // a tiny index spreads its marks out
            const std::uint64_t count = std::stoull(countFields(path, {}, &index).value());
            QVERIFY(index.size() > 0);
            std::vector<std::uint64_t> targets;
            for (int i = 0; i < 40; ++i)
                targets.push_back(std::uniform_int_distribution<std::uint64_t>(1, count)(rng));
            targets.push_back(count);
            auto plain = collectFields(path, targets);
            auto skipping = collectFields(path, targets, {}, &index);
            QVERIFY(plain.ok() && skipping.ok());
            for (std::size_t i = 0; i < targets.size(); ++i)
                QCOMPARE(std::string(skipping.value().field(i)), std::string(plain.value().field(i)));
            QCOMPARE(collectFields(path, {count + 1}, {}, &index).error().code, ErrorCode::ListChanged);
        }
    }

    void utf16ListsKeepNoIndex()
    {
        TempFiles files;
        const std::string path = files.write("u.txt", utf16(QString("a\nb\n").repeated(40000), true));
        FieldIndex index;
        QCOMPARE(countFields(path, {}, &index).value(), std::string("80000"));
        QCOMPARE(index.size(), std::size_t{0});
        QCOMPARE(std::string(collectFields(path, {79999}, {}, &index).value().field(0)), std::string("a"));
    }

    void oneGoFetchBeyondTheListReportsAChange()
    {
        TempFiles files;
        const std::string path = files.write("three.txt", "a\nb\nc");
        auto picked = collectFields(path, {2, 4});
        QVERIFY(!picked.ok());
        QCOMPARE(picked.error().code, ErrorCode::ListChanged);
        // Only the change is known, not what the file holds now.
        QVERIFY(picked.error().message.find("Load it again") != std::string::npos);
        QVERIFY(picked.error().message.find("holds") == std::string::npos);
    }

    void progressCanStopACount()
    {
        TempFiles files;
        const std::string path = files.write("long.txt", QByteArray(3 << 20, 'a') + "\n");
        int calls = 0;
        auto counted = countFields(path, [&](std::uint64_t done, std::uint64_t total) {
            ++calls;
            return done < total / 2;
        });
        QCOMPARE(counted.error().code, ErrorCode::Cancelled);
        QVERIFY(calls >= 2);
    }
};

QTEST_APPLESS_MAIN(TestWordList)
#include "test_word_list.moc"
