#include "core/list/word_list.h"
#include "core/picking/draws.h"
#include "core/picking/number_text.h"
#include "core/picking/picks_number.h"
#include "core/picking/selection.h"
#include "tests/support/temp_files.h"
#include "tests/support/word_lists.h"

#include <QtTest>

#include <random>
#include <set>

using namespace tavilon;

class TestPicking : public QObject {
    Q_OBJECT
private slots:
    // The number rule both boxes follow; the picks box then asks for its
    // value rounded down, and "" or "0" (exactly) ask for one pick.
    void numberRule_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<qulonglong>("picks");
        QTest::addColumn<bool>("number");
        QTest::newRow("empty asks for one") << "" << "1" << 1ull << true;
        QTest::newRow("0 asks for one") << "0" << "1" << 1ull << true;
        QTest::newRow("00 asks for none") << "00" << "00" << 0ull << true;
        QTest::newRow("2.5 asks for two") << "2.5" << "2.5" << 2ull << true;
        QTest::newRow("negative asks for none") << "-3" << "-3" << 0ull << true;
        QTest::newRow("blanks around, leading zeros") << "  007\t" << "  007\t" << 7ull << true;
        QTest::newRow("sign and dots") << "+.5e1" << "+.5e1" << 5ull << true;
        QTest::newRow("underflow is zero") << "1e-400" << "1e-400" << 0ull << true;
        QTest::newRow("huge asks for the most") << "1e300"
                                                << "1e300" << qulonglong(UINT64_MAX) << true;
        for (const char* text : { "   ", "-", ".", "12a", "1e", "0x10", "inf", "nan", "1,000",
                 "&H10", "1.2.3", "1 2", "1e400", "+-1" })
            QTest::addRow("no number: %s", text) << text << text << 0ull << false;
    }
    void numberRule()
    {
        QFETCH(QString, text);
        QFETCH(QString, shown);
        QFETCH(qulonglong, picks);
        QFETCH(bool, number);
        const PicksNumber asked = picksNumber(text.toStdString());
        QCOMPARE(QString::fromStdString(asked.shown), shown);
        QCOMPARE(isNumeric(text.toStdString()),
            number && !text.isEmpty()); // "" stands for one, but is no number
        QCOMPARE(asked.picks.ok(), number);
        if (asked.picks)
            QCOMPARE(asked.picks.value(), picks);
        else
            QCOMPARE(asked.picks.error().message,
                "The number of words to pick, \"" + shown.toStdString() + "\", is not a number.");
    }

    // The one-pass press and the words handed over in runs (using the
    // count's marks) give what reading the list from its top for every pick
    // gives; runs take any word, one longer than a run too.
    void everyWayOfPickingGivesTheSameWords()
    {
        std::mt19937 rng(5);
        TempFiles files;
        RandomSource fast, slow, byRun;
        for (int round = 0; round < 40; ++round) {
            const bool longWords = round % 10 == 0; // words past the box's limit
            const bool big = round % 10 == 5;       // a long list
            std::string bytes = round % 3 == 0 ? "\xEF\xBB\xBF" : "";
            for (int i = 0, count = big ? 40000 : 1 + int(rng() % 300); i < count; ++i) {
                const std::size_t length = longWords && rng() % 60 == 0 ? 70000 : 1 + rng() % 9;
                bytes += (rng() % 7 == 0 ? " \t" : "") + std::string(length, char('a' + i % 26))
                         + (rng() % 3 == 0 ? "\r\n" : rng() % 5 == 0 ? "\n\n \r" : "\n");
            }
            const std::string path
                = files.write(QString("r%1.txt").arg(round), QByteArray::fromStdString(bytes));
            const PressInput input { 1 + rng() % (longWords ? 300 : 80), countWords(path).value(),
                path };
            const std::string expected = pressOnePickAtATime(input, slow).value().words;
            if (!longWords) // the one-pass press refuses them
                QCOMPARE(press(input, fast).value().words, expected);
            auto list = TextSource::open(path);
            WordIndex index(round % 2 ? 4 : 65536); // a tiny index spreads its marks out
            QVERIFY(countWords(list.value(), {}, &index).ok());
            std::string runs;
            QVERIFY(pickText(list.value(), input.count, input.picks, byRun, &index, "\n",
                [&](std::string_view text) {
                    runs += text;
                    return true;
                }).ok());
            QCOMPARE(runs, expected);
            QCOMPARE(byRun.state(), slow.state());
            if (!longWords)
                QCOMPARE(fast.state(), slow.state());
            fast = slow;
        }
    }

    // Draws without repeats give what the plain ways give, one draw at a
    // time: the program's sequence with the numbers seen skipped, and from
    // bytes Floyd's subset then a shuffle. Lists short for the picks keep
    // the numbers drawn as bits, long ones in a table.
    void distinctDraws_data()
    {
        QTest::addColumn<qulonglong>("count");
        QTest::addColumn<qulonglong>("picks");
        QTest::newRow("no picks") << 10ull << 0ull;
        QTest::newRow("the only word") << 1ull << 1ull;
        QTest::newRow("a few of a short list") << 1000ull << 3ull;
        QTest::newRow("a whole short list") << 1000ull << 1000ull;
        QTest::newRow("a whole list, many batches") << 50000ull << 50000ull;
        QTest::newRow("a few of a long list") << (1ull << 40) << 700ull;
    }
    void distinctDraws()
    {
        QFETCH(qulonglong, count);
        QFETCH(qulonglong, picks);
        RandomSource sequence, plainSequence;
        std::vector<std::uint64_t> expected;
        for (std::set<std::uint64_t> seen; expected.size() < picks;) {
            const std::uint64_t n = targetFor(double(count), plainSequence.next());
            if (seen.insert(n).second)
                expected.push_back(n);
        }
        QCOMPARE(drawDistinct(count, picks, sequence).value(), expected);
        QCOMPARE(sequence.state(), plainSequence.state()); // left after the last step used

        TempFiles files;
        std::mt19937 rng(11);
        QByteArray bytes(1 << 20, '\0');
        for (char& byte : bytes)
            byte = char(rng());
        const std::string path = files.write("bytes", bytes);
        auto fromBytes = RandomBytes::open(path), plainBytes = RandomBytes::open(path);
        RandomBytes& plain = plainBytes.value();
        expected.clear();
        std::set<std::uint64_t> taken;
        for (std::uint64_t j = count - picks + 1; j <= count; ++j) {
            const std::uint64_t n = plain.below(j).value() + 1;
            const bool fresh = taken.insert(n).second;
            expected.push_back(fresh ? n : j);
            if (!fresh)
                taken.insert(j);
        }
        for (std::size_t i = expected.size(); i > 1; --i)
            std::swap(expected[i - 1], expected[plain.below(i).value()]);
        QCOMPARE(drawDistinct(count, picks, fromBytes.value()).value(), expected);
        // both have read as far
        QCOMPARE(fromBytes.value().below(1ull << 40).value(), plain.below(1ull << 40).value());
    }

    void refusalsKeepTheSequence_data()
    {
        QTest::addColumn<QByteArray>("list");
        QTest::addColumn<qulonglong>("picks");
        QTest::addColumn<qulonglong>("count");   // 0: as counted
        QTest::addColumn<qulonglong>("linesInBox");
        QTest::addColumn<qulonglong>("budget"); // bytes of text one press may build
        QTest::addColumn<QString>("says");      // "": the press succeeds
        const QByteArray longest(int(MaxWordLength), 'x'), ab("a\nb\n"), emoji("\xF0\x9F\x98\x80");
        const qulonglong most = MaxPicksPerPress, full = MaxOutputLines - 2,
                         budget = PressTextBudget;
        QTest::newRow("empty list")
            << QByteArray() << 1ull << 0ull << 0ull << budget << "no words to pick";
        QTest::newRow("list shrank since counted")
            << ab << 50ull << 1000ull << 0ull << budget << "has changed since it was counted";
        QTest::newRow("binary file")
            << QByteArray("a\0b\n", 4) << 1ull << 2ull << 0ull << budget << "binary data";
        QTest::newRow("the most picks") << ab << most << 0ull << 0ull << budget << "";
        QTest::newRow("too many picks")
            << ab << most + 1 << 0ull << 0ull << budget << "At most 1000000";
        QTest::newRow("box fills up exactly") << ab << 2ull << 0ull << full << budget << "";
        QTest::newRow("box would overflow")
            << ab << 3ull << 0ull << full << budget << "holds 999998 lines";
        QTest::newRow("one line in the box")
            << ab << most << 0ull << 1ull << budget << "holds 1 line and";
        QTest::newRow("one pick past the box")
            << ab << 1ull << 0ull << most << budget << "so 1 pick would";
        QTest::newRow("longest word") << longest << 1ull << 0ull << 0ull << budget << "";
        QTest::newRow("word too long")
            << longest + "x" << 1ull << 0ull << 0ull << budget << "10001 characters long";
        QTest::newRow("counted in code units") << emoji.repeated(int(MaxWordLength) / 2 + 1) << 1ull
                                               << 0ull << 0ull << budget << "10002 characters long";
        QTest::newRow("many bytes, few units")
            << QByteArray("\xC3\xA9").repeated(int(MaxWordLength)) << 1ull << 0ull << 0ull << budget
            << "";
        QTest::newRow("paragraph end") << QByteArray("a\xE2\x80\xA9"
                                                     "b")
                                       << 1ull << 0ull << 0ull << budget << "U+2029";
        QTest::newRow("layout mark FDD0")
            << QByteArray("a\xEF\xB7\x90") << 1ull << 0ull << 0ull << budget << "U+FDD0";
        QTest::newRow("layout mark FDD1")
            << QByteArray("a\xEF\xB7\x91") << 1ull << 0ull << 0ull << budget << "U+FDD1";
        QTest::newRow("three bytes, one unit")
            << QByteArray("\xE4\xB8\xAD").repeated(int(MaxWordLength)) << 1ull << 0ull << 0ull
            << budget << "";
        QTest::newRow("line separator") << QByteArray("a\xE2\x80\xA8"
                                                      "b")
                                        << 1ull << 0ull << 0ull << budget << "";
        QTest::newRow("within 600 bytes")
            << QByteArray("word") << 120ull << 0ull << 0ull << 600ull << "";
        QTest::newRow("past 600 bytes")
            << QByteArray("word") << 121ull << 0ull << 0ull << 600ull << "Ask for fewer";
    }
    void refusalsKeepTheSequence()
    {
        QFETCH(QByteArray, list);
        QFETCH(qulonglong, picks);
        QFETCH(qulonglong, count);
        QFETCH(qulonglong, linesInBox);
        QFETCH(qulonglong, budget);
        QFETCH(QString, says);
        TempFiles files;
        const std::string path = files.write("w.txt", list + "\n");
        const PressInput input { picks, count ? count : countWords(path).value(), path, {},
            linesInBox };
        RandomSource random;
        const auto result = press(input, random, {}, nullptr, budget);
        QCOMPARE(random.state() == RandomSource::StartState, !says.isEmpty());
        QVERIFY2(
            result.ok() == says.isEmpty(), result.ok() ? "picked" : result.error().message.c_str());
        if (result.ok())
            QCOMPARE(result.value().picks, picks);
        else
            QVERIFY2(result.error().message.find(says.toStdString()) != std::string::npos,
                     result.error().message.c_str());
    }

    void aPressRefusesAListChangedSinceItWasCounted()
    {
        for (const char* change : {"renamed over", "truncated", "grown", "written in place"}) {
            TempFiles files;
            const std::string path = files.write("list.txt", numberedWords("old", 1000));
            FileIdentity counted;
            QVERIFY(backdate(path));
            QVERIFY(countWords(path, {}, nullptr, &counted).ok());
            QFile file(QString::fromStdString(path));
            if (change[0] == 'r')
                QCOMPARE(std::rename(files.write("new.txt", numberedWords("old", 1000)).c_str(),
                             path.c_str()),
                    0);
            else if (file.open(change[0] == 'g' ? QIODevice::Append : QIODevice::ReadWrite))
                change[0] == 't' ? file.resize(0) : file.write("W") == 1;
            file.close();
            RandomSource random;
            const auto refused = press({50, 1000, path, counted}, random);
            QVERIFY2(refused.error().code == ErrorCode::ListChanged, change);
            QVERIFY2(random.state() == RandomSource::StartState, change);
            // nothing is claimed about what it holds now
            QVERIFY2(refused.error().message.find("holds") == std::string::npos, change);
        }
    }
};

QTEST_APPLESS_MAIN(TestPicking)
#include "test_picking.moc"
