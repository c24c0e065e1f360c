#include "field_count.h"
#include "number_text.h"
#include "picks_number.h"
#include "selection.h"
#include "temp_files.h"
#include "word_list.h"
#include "word_lists.h"

#include <QtTest>

#include <random>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

using namespace tavilon;

namespace {

PressInput inputFor(std::uint64_t picks, const std::string& path)
{
    return {picks, fieldCountValue(countFields(path).value()), path};
}

// Each word followed by '\n'.
std::string lines(const std::vector<std::string>& words)
{
    std::string text;
    for (const std::string& w : words)
        text += w + '\n';
    return text;
}

} // namespace

class TestPicking : public QObject {
    Q_OBJECT
private slots:
    // The number rule both boxes follow; the picks box then asks for its
    // value rounded down, and "" or "0" (exactly) ask for one pick.
    void numberRule_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("numeric");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<qulonglong>("picks");
        QTest::newRow("empty asks for one") << "" << false << "1" << 1ull;
        QTest::newRow("0 asks for one") << "0" << true << "1" << 1ull;
        QTest::newRow("00 asks for none") << "00" << true << "00" << 0ull;
        QTest::newRow("0.0 asks for none") << "0.0" << true << "0.0" << 0ull;
        QTest::newRow("2.5 asks for two") << "2.5" << true << "2.5" << 2ull;
        QTest::newRow("negative asks for none") << "-3" << true << "-3" << 0ull;
        QTest::newRow("exponent") << "1e3" << true << "1e3" << 1000ull;
        QTest::newRow("blanks around, leading zeros") << "  007\t" << true << "  007\t" << 7ull;
        QTest::newRow("sign and dots") << "+.5e1" << true << "+.5e1" << 5ull;
        QTest::newRow("underflow is zero") << "1e-400" << true << "1e-400" << 0ull;
        QTest::newRow("huge asks for the most") << "1e300" << true << "1e300" << qulonglong(UINT64_MAX);
        for (const char* nonsense : {"   ", "-", ".", "12a", "1e", "0x10", "inf", "nan", "1,000", "&H10", "1.2.3",
                                     "1 2", "1e400", "+-1"})
            QTest::newRow(nonsense) << nonsense << false << nonsense << 0ull;
    }
    void numberRule()
    {
        QFETCH(QString, text);
        QFETCH(bool, numeric);
        QFETCH(QString, shown);
        QFETCH(qulonglong, picks);
        QCOMPARE(isNumeric(text.toStdString()), numeric);
        const PicksNumber number = picksNumber(text.toStdString());
        QCOMPARE(QString::fromStdString(number.shown), shown);
        QCOMPARE(number.picks.ok(), numeric || text.isEmpty());
        if (number.picks)
            QCOMPARE(number.picks.value(), picks);
        else
            QCOMPARE(number.picks.error().message, "The number of words to pick, \"" + shown.toStdString() + "\", is not a number.");
    }

    void randomSourceAndTargets()
    {
        RandomSource source;
        for (double e : {0.7055475115776062, 0.5334240198135376, 0.5795186161994934, 0.289562463760376})
            QCOMPARE(static_cast<double>(source.next()), e);
        // A full-period 24-bit generator visits every state once per cycle.
        std::uint32_t steps = 1;
        while (source.state() != RandomSource::StartState && steps <= (1u << 24)) {
            const float r = source.next();
            QVERIFY(r >= 0.0f && r < 1.0f);
            ++steps;
        }
        QCOMPARE(steps, (1u << 24) - 3);
        QCOMPARE(targetFor(5, 0.99999994f), 5ull);
        QCOMPARE(targetFor(1e12, 0.99999994f), static_cast<std::uint64_t>(1e12 * 0.99999994039535522 + 1));
    }

    void firstPicksOfAFreshProgram()
    {
        TempFiles files;
        const std::string path = files.write("w.txt", "alpha\nbeta\n  gamma \r\n\r\ndelta\n");
        RandomSource random;
        QCOMPARE(press(inputFor(5, path), random).value().words, lines({"gamma", "gamma", "gamma", "beta", "beta"}));
        RandomSource again; // the next press goes on with the same sequence
        std::string twoPresses = press(inputFor(3, path), again).value().words;
        twoPresses += press(inputFor(2, path), again).value().words;
        QCOMPARE(twoPresses, lines({"gamma", "gamma", "gamma", "beta", "beta"}));
        QCOMPARE(press(inputFor(0, path), again).value().words, std::string());
    }

    // The one-pass press, its marks from the count, and the words handed
    // over in runs all give what reading the list from its top gives.
    void everyWayOfPickingGivesTheSameWords()
    {
        std::mt19937 rng(5);
        TempFiles files;
        RandomSource fast;
        for (int round = 0; round < 40; ++round) {
            const bool many = round % 4 == 0; // words past the box's limit, in several runs
            const int count = round % 10 == 5 ? 40000 : std::uniform_int_distribution<int>(1, 300)(rng);
            std::string bytes = round % 3 == 0 ? "\xEF\xBB\xBF" : "";
            for (int i = 0; i < count; ++i)
                bytes += (rng() % 7 == 0 ? " \t" : "")
                         + std::string(many && rng() % 90 == 0 ? 70000 : 1 + rng() % 9, char('a' + i % 26))
                         + (rng() % 3 == 0 ? "\r\n" : rng() % 5 == 0 ? "\n\n \r" : "\n");
            const std::string path = files.write(QString("r%1.txt").arg(round), QByteArray::fromStdString(bytes));
            const std::uint64_t picks = std::uniform_int_distribution<std::uint64_t>(1, many ? 5000 : 80)(rng);
            RandomSource slow = fast, byWord = fast, byRun = fast;
            std::string pressed;
            if (!many) {
                pressed = press(inputFor(picks, path), fast).value().words;
                QCOMPARE(pressOnePickAtATime(inputFor(picks, path), slow).value().words, pressed);
                QVERIFY(slow.state() == fast.state() && slow.state() != byWord.state());
            }
            auto list = TextSource::open(path);
            FieldIndex index(round % 2 ? 4 : 65536); // a tiny index spreads its marks out
            const std::uint64_t words = fieldCountValue(countFields(list.value(), {}, &index).value());
            std::string each, runs;
            QVERIFY(pickWords(list.value(), words, picks, byWord, &index, [&](std::string_view w) {
                        each += std::string(w) + '\n';
                        return true;
                    }).ok());
            QVERIFY(pickText(list.value(), words, picks, byRun, &index, "\n", [&](std::string_view text) {
                        runs += text;
                        return text.ends_with('\n'); // whole words only
                    }).ok());
            QVERIFY(many || each == pressed);
            QCOMPARE(runs, each);
            QVERIFY(byRun.state() == byWord.state() && (many || byWord.state() == fast.state()));
            fast = byWord;
        }
    }

    // Every refusal picks nothing and leaves the random sequence where it was.
    void refusalsKeepTheSequence_data()
    {
        QTest::addColumn<QByteArray>("list");
        QTest::addColumn<qulonglong>("picks");
        QTest::addColumn<qulonglong>("count");   // 0: as counted
        QTest::addColumn<qint64>("linesInBox");
        QTest::addColumn<qint64>("budget");
        QTest::addColumn<int>("code");            // -1: the press succeeds
        QTest::addColumn<QString>("says");
        const QByteArray longest(int(MaxWordLength), 'x');
        const qint64 big = qint64(PressTextBudget);
        const QByteArray ab("a\nb\n");
        QTest::newRow("empty list") << QByteArray() << 1ull << 0ull << 0ll << big << int(ErrorCode::NoWords) << "no words";
        QTest::newRow("list shrank since counted") << ab << 50ull << 1000ull << 0ll << big << int(ErrorCode::ListChanged) << "Load it again";
        QTest::newRow("the most picks") << ab << qulonglong(MaxPicksPerPress) << 0ull << 0ll << big << -1 << "";
        QTest::newRow("too many picks") << ab << qulonglong(MaxPicksPerPress + 1) << 0ull << 0ll << big << int(ErrorCode::TooManyPicks) << "At most 1000000";
        QTest::newRow("binary file") << QByteArray("a\0b\n", 4) << 1ull << 2ull << 0ll << big << int(ErrorCode::NotWordList) << "binary";
        QTest::newRow("box fills up exactly") << ab << 2ull << 0ull << qint64(MaxOutputLines - 2) << big << -1 << "";
        QTest::newRow("box would overflow") << ab << 3ull << 0ull << qint64(MaxOutputLines - 2) << big << int(ErrorCode::OutputFull) << "holds 999998 lines";
        QTest::newRow("longest word") << longest << 1ull << 0ull << 0ll << big << -1 << "";
        QTest::newRow("word too long") << longest + "x" << 1ull << 0ull << 0ll << big << int(ErrorCode::WordTooLong) << "10001 characters";
        QTest::newRow("counted in code units") << QByteArray("\xF0\x9F\x98\x80").repeated(int(MaxWordLength) / 2 + 1) << 1ull
                                               << 0ull << 0ll << big << int(ErrorCode::WordTooLong) << "10002 characters";
        QTest::newRow("many bytes, few units") << QByteArray("\xC3\xA9").repeated(int(MaxWordLength)) << 1ull << 0ull << 0ll << big << -1 << "";
        QTest::newRow("paragraph separator") << QByteArray("a\xE2\x80\xA9" "b") << 1ull << 0ull << 0ll << big << int(ErrorCode::WordNotForBox) << "U+2029";
        QTest::newRow("layout mark FDD1") << QByteArray("a\xEF\xB7\x91") << 1ull << 0ull << 0ll << big << int(ErrorCode::WordNotForBox) << "U+FDD1";
        QTest::newRow("line separator is fine") << QByteArray("a\xE2\x80\xA8" "b") << 1ull << 0ull << 0ll << big << -1 << "";
        QTest::newRow("within budget") << QByteArray("word") << 120ull << 0ull << 0ll << 600ll << -1 << "";
        QTest::newRow("past budget") << QByteArray("word") << 121ull << 0ull << 0ll << 600ll << int(ErrorCode::TooMuchText) << "Ask for fewer";
    }
    void refusalsKeepTheSequence()
    {
        QFETCH(QByteArray, list);
        QFETCH(qulonglong, picks);
        QFETCH(qulonglong, count);
        QFETCH(qint64, linesInBox);
        QFETCH(qint64, budget);
        QFETCH(int, code);
        QFETCH(QString, says);
        TempFiles files;
        const std::string path = files.write("w.txt", list + "\n");
        PressInput input {picks, count ? count : fieldCountValue(countFields(path).value()), path};
        input.outputLines = std::uint64_t(linesInBox);
        RandomSource random;
        const auto result = press(input, random, {}, nullptr, std::size_t(budget));
        if (code < 0) {
            QVERIFY2(result.ok(), result.ok() ? "" : result.error().message.c_str());
            QCOMPARE(result.value().picks, picks);
            QVERIFY(random.state() != RandomSource::StartState);
            return;
        }
        QCOMPARE(int(result.error().code), code);
        QVERIFY2(result.error().message.find(says.toStdString()) != std::string::npos, result.error().message.c_str());
        QCOMPARE(random.state(), RandomSource::StartState);
    }

    void aStoppedPressOrAFailedWriteChangesNothing()
    {
        TempFiles files;
        const std::string path = files.write("w.txt", numberedWords("word", 400000));
        RandomSource random;
        const auto stopped = press(inputFor(1000, path), random, [](std::uint64_t, std::uint64_t) { return false; });
        QCOMPARE(stopped.error().code, ErrorCode::Cancelled);
        auto list = TextSource::open(path);
        const auto failed = pickText(list.value(), 400000, 5000, random, nullptr, "\n", [](std::string_view) { return false; });
        QCOMPARE(failed.error().code, ErrorCode::WriteFailed);
        QCOMPARE(random.state(), RandomSource::StartState);
    }

    // The words picked come from the file that was counted, and from nothing else.
    void picksComeFromTheListCounted_data()
    {
        QTest::addColumn<QString>("change");
        QTest::addColumn<bool>("openList"); // the list stays open from the count (tavilon-pick), or a press opens it
        QTest::addColumn<bool>("refused");
        QTest::newRow("open, another list renamed over it") << "rename" << true << false;
        QTest::newRow("open, NUL where the picks read") << "nul@100" << true << true;
        QTest::newRow("open, NUL where the picks skip") << "nul@1000000" << true << true;
        QTest::newRow("open, words moved") << "moved" << true << true;
        QTest::newRow("press, renamed over") << "rename" << false << true;
        QTest::newRow("press, truncated") << "truncate" << false << true;
        QTest::newRow("press, grown") << "append" << false << true;
        QTest::newRow("press, one byte written in place") << "nul@100" << false << true;
    }
    void picksComeFromTheListCounted()
    {
#ifndef Q_OS_UNIX
        QSKIP("sets file times with utimensat");
#else
        QFETCH(QString, change);
        QFETCH(bool, openList);
        QFETCH(bool, refused);
        TempFiles files;
        const std::string path = files.write("list.txt", numberedWords("old", 200000));
        const timespec longAgo[2] = {{1'000'000'000, 0}, {1'000'000'000, 0}}; // any later write shows in its time
        QCOMPARE(::utimensat(AT_FDCWD, path.c_str(), longAgo, 0), 0);
        auto list = TextSource::open(path);
        FieldIndex index;
        FileIdentity identity;
        const std::uint64_t count = fieldCountValue(countFields(list.value(), {}, &index).value());
        QVERIFY(countFields(path, {}, nullptr, &identity).ok());

        QFile file(QString::fromStdString(path));
        if (change == "rename") {
            const std::string other = files.write("other.txt", numberedWords("new-and-longer", 200000));
            QCOMPARE(std::rename(other.c_str(), path.c_str()), 0);
        } else if (change == "truncate") {
            QCOMPARE(::truncate(path.c_str(), 0), 0);
        } else {
            QVERIFY(file.open(change == "append" ? QIODevice::Append : QIODevice::ReadWrite));
            QVERIFY(change == "append" || file.seek(change.startsWith("nul@") ? change.mid(4).toLongLong() : 100));
            file.write(change == "moved" ? QByteArray("\n\n\n\n\n\n") : QByteArray("\0", 1));
            file.close();
        }
        RandomSource random;
        std::vector<std::string> words;
        const CoreError error = [&] {
            if (openList) {
                auto picked = pickWords(list.value(), count, 50, random, &index, [&](std::string_view w) {
                    words.emplace_back(w);
                    return true;
                });
                return picked ? CoreError {} : picked.error();
            }
            auto pressed = press({50, count, path, identity}, random);
            return pressed ? CoreError {} : pressed.error();
        }();
        if (!refused) {
            QCOMPARE(words.size(), std::size_t{50});
            for (const std::string& word : words)
                QVERIFY2(word.starts_with("old"), word.c_str());
            return;
        }
        QVERIFY(words.empty());
        QCOMPARE(error.code, ErrorCode::ListChanged);
        // Nothing is claimed about what the file holds now.
        QVERIFY2(error.message.find("holds") == std::string::npos, error.message.c_str());
        QCOMPARE(random.state(), RandomSource::StartState);
#endif
    }
};

QTEST_APPLESS_MAIN(TestPicking)
#include "test_picking.moc"
