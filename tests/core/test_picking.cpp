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

// A row of refusalsKeepTheSequence_data() for a list of `count` words.
static void refusal(const char* name, const QByteArray& list, qulonglong count, qulonglong picks,
                    const char* says, qulonglong linesInBox = 0,
                    qulonglong budget = PressTextBudget)
{
    QTest::newRow(name) << list << count << picks << linesInBox << budget << QString(says);
}

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
        QTest::newRow("underflow after the dot") << "0.0001e-399" << "0.0001e-399" << 0ull << true;
        QTest::newRow("huge asks for the most") << "1e300"
                                                << "1e300" << qulonglong(UINT64_MAX) << true;
        const QString e490 = "1" + QString(500, '0') + "e-10";
        QTest::newRow("no number: 1, 500 zeros, e-10") << e490 << e490 << 0ull << false;
        for (const char* text : { "   ", "-", ".", "12a", "1e", "0x10", "inf", "nan", "1,000",
                 "&H10", "1.2.3", "1 2", "1e400", "0.5e400", ".5e400", "+-1" })
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

    // The one-pass press and the runs (using the count's marks, taking words
    // of any length) give what reading the list anew for every pick gives.
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
            auto list = TextSource::open(path);
            WordIndex index(round % 2 ? 4 : 65536); // a tiny index spreads its marks out
            const PressInput input { 1 + rng() % (longWords ? 300 : 80),
                countWords(list.value(), {}, &index).value(), path };
            const std::string expected = pressOnePickAtATime(input, slow).value().words;
            if (!longWords) // the one-pass press refuses them
                QCOMPARE(press(input, fast).value().words, expected);
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

    // Draws without repeats give the sequence with the numbers seen skipped,
    // and from bytes Floyd's subset then a shuffle; long lists keep a table.
    void distinctDraws_data()
    {
        QTest::addColumn<qulonglong>("count");
        QTest::addColumn<qulonglong>("picks");
        QTest::newRow("no picks") << 10ull << 0ull;
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

    // A refused press leaves the sequence where it was.
    void refusalsKeepTheSequence_data()
    {
        QTest::addColumn<QByteArray>("list");
        QTest::addColumn<qulonglong>("count");
        QTest::addColumn<qulonglong>("picks");
        QTest::addColumn<qulonglong>("linesInBox");
        QTest::addColumn<qulonglong>("budget"); // bytes of text one press may build
        QTest::addColumn<QString>("says");      // "": the press succeeds
        const QByteArray longest(int(MaxWordLength), 'x'), ab("a\nb\n"), emoji("\xF0\x9F\x98\x80");
        const qulonglong most = MaxPicksPerPress, full = MaxOutputLines - 2;
        refusal("empty list", "", 0, 1, "no words to pick");
        refusal("binary file", QByteArray("a\0b\n", 4), 2, 1, "binary data");
        refusal("the most picks", ab, 2, most, "");
        refusal("box fills up exactly", ab, 2, 2, "", full);
        refusal("box would overflow", ab, 2, 3, "holds 999998 lines", full);
        refusal("one line in the box", ab, 2, most, "holds 1 line and", 1);
        refusal("one pick past the box", ab, 2, 1, "so 1 pick would", most);
        refusal("longest word", longest, 1, 1, "");
        refusal("word too long", longest + "x", 1, 1, "10001 characters long");
        refusal("counted in code units", emoji.repeated(int(MaxWordLength) / 2 + 1), 1, 1,
                "10002 characters long");
        refusal("three bytes, one unit", QByteArray("\xE4\xB8\xAD").repeated(int(MaxWordLength)),
                1, 1, "");
        refusal("paragraph end", "a\xE2\x80\xA9", 1, 1, "U+2029");
        refusal("layout mark FDD0", "a\xEF\xB7\x90", 1, 1, "U+FDD0");
        refusal("layout mark FDD1", "a\xEF\xB7\x91", 1, 1, "U+FDD1");
        refusal("line separator", "a\xE2\x80\xA8", 1, 1, "");
        refusal("within 600 bytes", "word", 1, 120, "", 0, 600);
        refusal("past 600 bytes", "word", 1, 121, "Ask for fewer", 0, 600);
    }
    void refusalsKeepTheSequence()
    {
        QFETCH(QByteArray, list);
        QFETCH(qulonglong, count);
        QFETCH(qulonglong, picks);
        QFETCH(qulonglong, linesInBox);
        QFETCH(qulonglong, budget);
        QFETCH(QString, says);
        TempFiles files;
        const PressInput input { picks, count, files.write("w.txt", list + "\n"), {}, linesInBox };
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

    // A press refuses a list written since it was counted, and claims
    // nothing about what it holds now.
    void aPressRefusesAListWrittenSinceItWasCounted()
    {
        TempFiles files;
        const std::string path = files.write("list.txt", numberedWords("old", 1000));
        FileIdentity counted;
        QVERIFY(backdate(path));
        QVERIFY(countWords(path, {}, nullptr, &counted).ok());
        QFile file(QString::fromStdString(path));
        QVERIFY(file.open(QIODevice::ReadWrite));
        QCOMPARE(file.write("W"), 1);
        file.close();
        RandomSource random;
        const auto refused = press({50, 1000, path, counted}, random);
        QCOMPARE(refused.error().code, ErrorCode::ListChanged);
        QVERIFY(random.state() == RandomSource::StartState);
        QVERIFY(refused.error().message.find("holds") == std::string::npos);
    }
};

QTEST_APPLESS_MAIN(TestPicking)
#include "test_picking.moc"
