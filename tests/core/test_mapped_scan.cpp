#include "fault_guard.h"
#include "field_index.h"
#include "input_file.h"
#include "mapped_window.h"
#include "picked_fields.h"
#include "scan_kernels.h"
#include "temp_files.h"
#include "text_source.h"
#include "word_list.h"

#include <QtTest>

#include <random>
#include <string>
#include <vector>

#ifdef Q_OS_UNIX
#include <csignal>
#include <unistd.h>
#endif

using namespace tavilon;

namespace {

// Field count and masks the slow, obvious way.
std::uint64_t plainCount(const std::string& bytes)
{
    std::uint64_t fields = 0;
    bool content = false;
    for (char c : bytes) {
        if (c == '\n' || c == '\r') {
            fields += content;
            content = false;
        } else if (c != ' ' && c != '\t') {
            content = true;
        }
    }
    return fields + content;
}

// Lines whose bytes come from `alphabet`, `size` bytes in all.
std::string randomBytes(std::mt19937& rng, std::size_t size, const std::string& alphabet)
{
    std::uniform_int_distribution<std::size_t> pick(0, alphabet.size() - 1);
    std::string s(size, 'a');
    for (char& c : s)
        c = alphabet[pick(rng)];
    return s;
}

// Words of letters, one per line, none with blanks: the common list.
std::string plainLines(std::mt19937& rng, std::size_t size)
{
    std::string s;
    while (s.size() < size) {
        s.append(3 + rng() % 10, static_cast<char>('a' + rng() % 26));
        s += '\n';
    }
    s.resize(size);
    return s;
}

void truncateFile(const std::string& path, off_t size)
{
#ifdef Q_OS_UNIX
    QCOMPARE(::truncate(path.c_str(), size), 0);
#else
    Q_UNUSED(path);
    Q_UNUSED(size);
#endif
}

} // namespace

// Counting maps the list in windows; these check that the kernels and the
// windows agree with a plain reading, and that a list cut short while it is
// mapped gives the usual "changed" answer instead of bringing the program down.
class TestMappedScan : public QObject {
    Q_OBJECT
private slots:
    void kernelsAgreeWhateverTheBytes_data()
    {
        QTest::addColumn<QByteArray>("alphabet");
        QTest::newRow("letters and LF only") << QByteArray("abcdefgh\n");
        QTest::newRow("CR LF, no blanks") << QByteArray("abc\r\n");
        QTest::newRow("control and high bytes") << QByteArray("a\x01\x08\x0b\x0c\x1f\x21\x7f\x80\xa0\xff\n\r", 13);
        QTest::newRow("rare spaces") << QByteArray("abcdefghijklmnopqrstuvwxyzabcdefghijklmnopqrstuvwxyz\n \n\t");
        QTest::newRow("mostly blanks") << QByteArray(" \t\r\n a");
    }

    void kernelsAgreeWhateverTheBytes()
    {
        QFETCH(QByteArray, alphabet);
        std::mt19937 rng(3);
        for (int round = 0; round < 200; ++round) {
            // Long stretches without blanks go through the quick path, the
            // rest through the carry; mix both in one block.
            std::string bytes = randomBytes(rng, rng() % 600, alphabet.toStdString());
            if (round % 2)
                bytes += plainLines(rng, rng() % 300) + std::string(rng() % 3, ' ') + randomBytes(rng, 70, " a\n");
            const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
            const std::size_t chunks = (bytes.size() + 63) / 64;
            std::vector<std::uint64_t> e0(chunks + 1), b0(chunks + 1);
            scan::availableKernels(0).mask(p, bytes.size(), e0.data(), b0.data());
            for (int k = 0; k < scan::availableKernelCount(); ++k) {
                const auto& kernels = scan::availableKernels(k);
                const std::size_t split = bytes.empty() ? 0 : (rng() % bytes.size()) & ~std::size_t{63};
                scan::CountState state;
                kernels.count(p, split, state);
                kernels.count(p + split, bytes.size() - split, state);
                QVERIFY2(state.fields + (state.carry == 0 ? 1 : 0) == plainCount(bytes), kernels.name);
                QVERIFY(!state.sawNul);
                std::vector<std::uint64_t> e(chunks + 1), b(chunks + 1);
                QVERIFY(!kernels.mask(p, bytes.size(), e.data(), b.data()));
                for (std::size_t c = 0; c < chunks; ++c) {
                    QVERIFY2(e[c] == e0[c] && b[c] == b0[c], kernels.name);
                    // Every line end is a blank, and only CR and LF are line ends.
                    QCOMPARE(e[c] & ~b[c], std::uint64_t{0});
                }
            }
        }
    }

    void countsAcrossWindowsAndSteps()
    {
        // Lines straddle the 1 MiB steps and the 4 MiB windows, and a CR LF
        // is split across each boundary; the marks from this count must
        // still lead to the right fields.
        std::mt19937 rng(5);
        std::string bytes = "\xEF\xBB\xBF"; // a mark shifts the text off the page grid
        std::vector<std::size_t> boundaries;
        for (std::size_t mib = 1; mib <= 9; ++mib)
            boundaries.push_back(mib << 20);
        for (std::size_t boundary : boundaries) {
            bytes += plainLines(rng, boundary - 1 - bytes.size());
            bytes += "\r\n  word-across  \n";
        }
        bytes += "last";
        TempFiles files;
        const std::string path = files.write("windows.txt", QByteArray::fromStdString(bytes));
        const std::uint64_t expected = plainCount(bytes.substr(3));

        auto source = TextSource::open(path);
        FieldIndex index;
        QCOMPARE(countFields(source.value(), {}, &index).value(), std::to_string(expected));
        QVERIFY(index.size() > 100);
        std::vector<std::uint64_t> targets = {1, expected, expected - 1};
        for (std::size_t i = 1; i < 9; ++i)
            targets.push_back(expected * i / 9 + rng() % 3);
        auto picked = collectFields(source.value(), targets, {}, &index);
        QVERIFY(picked.ok());
        for (std::size_t i = 0; i < targets.size(); ++i)
            QCOMPARE(std::string(picked.value().field(i)), fetchField(path, targets[i]).value());
        QCOMPARE(std::string(picked.value().field(1)), std::string("last"));
    }

    void manyOrFewTargetsFindTheSameFields()
    {
        // Many targets for the fields they reach keep every field on the way;
        // few are sorted and taken alone. Both must give what a plain read gives.
        std::mt19937 rng(13);
        std::string bytes;
        for (int i = 0; i < 5000; ++i)
            bytes += (i % 11 == 0 ? " \t" : "") + std::string(1 + rng() % 9, static_cast<char>('a' + i % 26))
                     + (i % 3 ? "\n" : "\r\n") + (i % 17 == 0 ? "\n  \n" : "");
        TempFiles files;
        const std::string path = files.write("ways.txt", QByteArray::fromStdString(bytes));
        std::vector<std::string> plain;
        for (std::uint64_t t = 1; t <= 5000; ++t)
            plain.push_back(fetchField(path, t).value());
        for (std::size_t picks : {std::size_t{3}, std::size_t{2600}, std::size_t{20000}}) {
            std::vector<std::uint64_t> targets;
            for (std::size_t i = 0; i < picks; ++i)
                targets.push_back(1 + rng() % 5000);
            auto picked = collectFields(path, targets);
            QVERIFY(picked.ok());
            for (std::size_t i = 0; i < picks; ++i)
                QCOMPARE(std::string(picked.value().field(i)), plain[targets[i] - 1]);
        }
    }

    void keepingEveryFieldFallsBackWithinTheBudget()
    {
        // Keeping every field up to the last target would pass the budget,
        // the fields drawn alone do not.
        TempFiles files;
        const std::string path = files.write("big-between.txt", QByteArray("a\n") + QByteArray(1000, 'x') + "\nb\nc\n");
        auto source = TextSource::open(path);
        auto picked = collectFields(source.value(), {1, 3, 4, 4}, {}, nullptr, 10);
        QVERIFY(picked.ok());
        QCOMPARE(std::string(picked.value().field(0)), std::string("a"));
        QCOMPARE(std::string(picked.value().field(3)), std::string("c"));
        QCOMPARE(collectFields(source.value(), {1, 2, 3, 4}, {}, nullptr, 10).error().code, ErrorCode::TooMuchText);
    }

    void aListCutShortWhileCountedHasChanged_data()
    {
        QTest::addColumn<qint64>("newSize");
        QTest::newRow("emptied") << qint64(0);
        QTest::newRow("cut on a page edge") << qint64(6 << 20);
        QTest::newRow("cut inside a page") << qint64((1 << 20) + 1000);
    }

    void aListCutShortWhileCountedHasChanged()
    {
#ifndef Q_OS_UNIX
        QSKIP("files are mapped on POSIX systems only");
#else
        QFETCH(qint64, newSize);
        std::mt19937 rng(9);
        TempFiles files;
        const std::string path = files.write("shrinking.txt", QByteArray::fromStdString(plainLines(rng, 12 << 20)));
        struct sigaction before {};
        QCOMPARE(::sigaction(SIGBUS, nullptr, &before), 0);
        auto source = TextSource::open(path);
        int calls = 0;
        // The first word of progress comes after the first step: the rest
        // of the mapped window then lies past the new end.
        auto counted = countFields(source.value(), [&](std::uint64_t, std::uint64_t) {
            if (++calls == 1)
                truncateFile(path, static_cast<off_t>(newSize));
            return true;
        });
        QVERIFY(!counted.ok());
        QCOMPARE(counted.error().code, ErrorCode::ListChanged);
        // The handler that was there before the count is back.
        struct sigaction now {};
        QCOMPARE(::sigaction(SIGBUS, nullptr, &now), 0);
        QVERIFY(now.sa_handler == before.sa_handler);
#endif
    }

    void aGuardedScanOfAVanishedPageReturns()
    {
#ifndef Q_OS_UNIX
        QSKIP("files are mapped on POSIX systems only");
#else
        TempFiles files;
        const std::string path = files.write("gone.txt", QByteArray(1 << 16, 'x'));
        auto file = InputFile::open(path);
        auto window = MappedWindow::map(file.value(), 0, 1 << 16);
        QVERIFY(window.has_value());
        truncateFile(path, 0);
        struct Touch {
            const unsigned char* bytes;
            unsigned sum;
        } touch {window->data(), 0};
        const auto touchAll = [](void* context) {
            auto& t = *static_cast<Touch*>(context);
            for (std::size_t i = 0; i < (1u << 16); i += 4096)
                t.sum += t.bytes[i];
        };
        QVERIFY(!runGuardedScan(touchAll, &touch));
        QVERIFY(!runGuardedScan(touchAll, &touch)); // and again: the guard is re-armed each time
        std::vector<unsigned char> live(1 << 16, 'y');
        touch.bytes = live.data();
        QVERIFY(runGuardedScan(touchAll, &touch));
#endif
    }

    void aListThatGrowsIsCountedToItsNewEnd()
    {
        TempFiles files;
        const std::string path = files.write("growing.txt", "one\ntwo\n");
        auto source = TextSource::open(path);
        {
            QFile file(QString::fromStdString(path));
            QVERIFY(file.open(QIODevice::Append));
            file.write("three\nfour");
        }
        // The count reads to the end as it finds it, like any reader would.
        QCOMPARE(countFields(source.value()).value(), std::string("4"));
    }
};

QTEST_APPLESS_MAIN(TestMappedScan)
#include "test_mapped_scan.moc"
