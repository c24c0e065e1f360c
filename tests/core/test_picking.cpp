#include "field_count.h"
#include "number_text.h"
#include "picks_number.h"
#include "selection.h"
#include "temp_files.h"
#include "word_list.h"
#include "word_lists.h"

#include <QtTest>

#include <fcntl.h>
#include <random>
#include <sys/stat.h>

using namespace tavilon;

namespace {

PressInput inputFor(std::uint64_t picks, const std::string& path)
{
    return {picks, fieldCountValue(countFields(path).value()), path};
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
        QTest::addColumn<QString>("shown");
        QTest::addColumn<qulonglong>("picks");
        QTest::newRow("empty asks for one") << "" << "1" << 1ull;
        QTest::newRow("0 asks for one") << "0" << "1" << 1ull;
        QTest::newRow("00 asks for none") << "00" << "00" << 0ull;
        QTest::newRow("2.5 asks for two") << "2.5" << "2.5" << 2ull;
        QTest::newRow("negative asks for none") << "-3" << "-3" << 0ull;
        QTest::newRow("exponent") << "1e3" << "1e3" << 1000ull;
        QTest::newRow("blanks around, leading zeros") << "  007\t" << "  007\t" << 7ull;
        QTest::newRow("sign and dots") << "+.5e1" << "+.5e1" << 5ull;
        QTest::newRow("underflow is zero") << "1e-400" << "1e-400" << 0ull;
        QTest::newRow("huge asks for the most") << "1e300" << "1e300" << qulonglong(UINT64_MAX);
        for (const char* text : {"   ", "-", ".", "12a", "1e", "0x10", "inf", "nan", "1,000", "&H10", "1.2.3", "1 2", "1e400", "+-1"})
            QTest::addRow("no number: %s", text) << text << text << 0ull;
    }
    void numberRule()
    {
        QFETCH(QString, text);
        QFETCH(QString, shown);
        QFETCH(qulonglong, picks);
        const PicksNumber number = picksNumber(text.toStdString());
        QCOMPARE(QString::fromStdString(number.shown), shown);
        const bool refused = QByteArray(QTest::currentDataTag()).startsWith("no number");
        QCOMPARE(number.picks.ok(), !refused);
        QCOMPARE(isNumeric(text.toStdString()), !refused && !text.isEmpty());
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
        std::uint32_t steps = 4; // a full-period 24-bit generator visits every state once per cycle
        for (float r = 0; source.state() != RandomSource::StartState && steps <= (1u << 24) && r >= 0.0f && r < 1.0f; ++steps)
            r = source.next();
        QCOMPARE(steps, 1u << 24);
        QCOMPARE(targetFor(5, 0.99999994f), 5ull);
        QCOMPARE(targetFor(1e12, 0.99999994f), static_cast<std::uint64_t>(1e12 * 0.99999994039535522 + 1));
    }

    void firstPicksOfAFreshProgram()
    {
        TempFiles files;
        const std::string path = files.write("w.txt", "alpha\nbeta\n  gamma \r\n\r\ndelta\n");
        RandomSource random, again;
        QCOMPARE(press(inputFor(5, path), random).value().words, "gamma\ngamma\ngamma\nbeta\nbeta\n");
        const std::string first = press(inputFor(3, path), again).value().words; // the next press goes on
        QCOMPARE(first + press(inputFor(2, path), again).value().words, "gamma\ngamma\ngamma\nbeta\nbeta\n");
        QCOMPARE(press(inputFor(0, path), again).value().words, "");
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
        QTest::addColumn<qulonglong>("linesInBox");
        QTest::addColumn<QString>("says"); // "": the press succeeds
        const QByteArray longest(int(MaxWordLength), 'x'), ab("a\nb\n");
        QTest::newRow("empty list") << QByteArray() << 1ull << 0ull << 0ull << "no words to pick";
        QTest::newRow("list shrank since counted") << ab << 50ull << 1000ull << 0ull << "has changed since it was counted";
        QTest::newRow("binary file") << QByteArray("a\0b\n", 4) << 1ull << 2ull << 0ull << "binary data";
        QTest::newRow("the most picks") << ab << qulonglong(MaxPicksPerPress) << 0ull << 0ull << "";
        QTest::newRow("too many picks") << ab << qulonglong(MaxPicksPerPress + 1) << 0ull << 0ull << "At most 1000000";
        QTest::newRow("box fills up exactly") << ab << 2ull << 0ull << qulonglong(MaxOutputLines - 2) << "";
        QTest::newRow("box would overflow") << ab << 3ull << 0ull << qulonglong(MaxOutputLines - 2) << "holds 999998 lines";
        QTest::newRow("longest word") << longest << 1ull << 0ull << 0ull << "";
        QTest::newRow("word too long") << longest + "x" << 1ull << 0ull << 0ull << "10001 characters long";
        QTest::newRow("counted in code units") << QByteArray("\xF0\x9F\x98\x80").repeated(int(MaxWordLength) / 2 + 1) << 1ull
                                               << 0ull << 0ull << "10002 characters long";
        QTest::newRow("many bytes, few units") << QByteArray("\xC3\xA9").repeated(int(MaxWordLength)) << 1ull << 0ull << 0ull << "";
        QTest::newRow("paragraph separator") << QByteArray("a\xE2\x80\xA9" "b") << 1ull << 0ull << 0ull << "U+2029";
        QTest::newRow("layout mark FDD1") << QByteArray("a\xEF\xB7\x91") << 1ull << 0ull << 0ull << "U+FDD1";
        QTest::newRow("line separator is fine") << QByteArray("a\xE2\x80\xA8" "b") << 1ull << 0ull << 0ull << "";
        QTest::newRow("within a budget of 600") << QByteArray("word") << 120ull << 0ull << 0ull << "";
        QTest::newRow("past a budget of 600") << QByteArray("word") << 121ull << 0ull << 0ull << "Ask for fewer";
    }
    void refusalsKeepTheSequence()
    {
        QFETCH(QByteArray, list);
        QFETCH(qulonglong, picks);
        QFETCH(qulonglong, count);
        QFETCH(qulonglong, linesInBox);
        QFETCH(QString, says);
        TempFiles files;
        const std::string path = files.write("w.txt", list + "\n");
        const PressInput input {picks, count ? count : fieldCountValue(countFields(path).value()), path, {}, linesInBox};
        RandomSource random;
        const auto result = press(input, random, {}, nullptr, QByteArray(QTest::currentDataTag()).contains("budget of 600") ? 600 : PressTextBudget);
        QCOMPARE(random.state() == RandomSource::StartState, !says.isEmpty());
        QVERIFY2(says.isEmpty() ? result.ok() && result.value().picks == picks
                                : result.error().message.find(says.toStdString()) != std::string::npos,
                 result.ok() ? "" : result.error().message.c_str());
    }

    void aStoppedPressOrAFailedWriteChangesNothing()
    {
        TempFiles files;
        const std::string path = files.write("w.txt", numberedWords("word", 400000));
        RandomSource random;
        QCOMPARE(press(inputFor(1000, path), random, [](std::uint64_t, std::uint64_t) { return false; }).error().code,
                 ErrorCode::Cancelled);
        auto list = TextSource::open(path);
        QCOMPARE(pickText(list.value(), 400000, 5000, random, nullptr, "\n", [](std::string_view) { return false; }).error().code,
                 ErrorCode::WriteFailed);
        QCOMPARE(random.state(), RandomSource::StartState);
    }

    // The words picked come from the file that was counted, and from nothing
    // else: tavilon-pick keeps the list open from the count, a press checks
    // the counted file's identity.
    void picksComeFromTheListCounted_data()
    {
        QTest::addColumn<QString>("change");
        QTest::addColumn<bool>("kept"); // the list stays open from the count
        QTest::newRow("kept, another list renamed over it") << "rename" << true;
        QTest::newRow("kept, NUL where the picks read") << "@100" << true;
        QTest::newRow("kept, NUL where the picks skip") << "@1000000" << true;
        QTest::newRow("kept, words moved") << "moved" << true;
        QTest::newRow("press, renamed over") << "rename" << false;
        QTest::newRow("press, grown") << "append" << false;
        QTest::newRow("press, one byte written in place") << "@100" << false;
    }
    void picksComeFromTheListCounted()
    {
        QFETCH(QString, change);
        QFETCH(bool, kept);
        TempFiles files;
        const std::string path = files.write("list.txt", numberedWords("old", 200000));
        const timespec longAgo[2] = {{1'000'000'000, 0}, {1'000'000'000, 0}}; // any later write shows in its time
        QCOMPARE(::utimensat(AT_FDCWD, path.c_str(), longAgo, 0), 0);
        auto list = TextSource::open(path);
        FieldIndex index;
        const std::uint64_t count = fieldCountValue(countFields(list.value(), {}, &index).value());
        QFile file(QString::fromStdString(path));
        if (change == "rename")
            QCOMPARE(std::rename(files.write("new.txt", numberedWords("new", 200000)).c_str(), path.c_str()), 0);
        else if (file.open(change == "append" ? QIODevice::Append : QIODevice::ReadWrite)
                 && (change == "append" || file.seek(change.startsWith('@') ? change.mid(1).toLongLong() : 100)))
            file.write(change == "moved" ? QByteArray("\n\n\n\n") : QByteArray("\0", 1));
        file.close();
        RandomSource random;
        std::string words;
        const auto picked = kept ? pickWords(list.value(), count, 50, random, &index, [&](std::string_view w) {
            words += std::string(w) + '\n';
            return true;
        }) : Outcome<std::uint64_t>(press({50, count, path, list.value().identity()}, random).error());
        if (kept && change == "rename") {
            QCOMPARE(QByteArray::fromStdString(words).count("old"), 50);
            return;
        }
        QVERIFY(words.empty());
        QCOMPARE(picked.error().code, ErrorCode::ListChanged);
        QVERIFY2(picked.error().message.find("holds") == std::string::npos, picked.error().message.c_str()); // nothing is claimed about it now
        QCOMPARE(random.state(), RandomSource::StartState);
    }
};

QTEST_APPLESS_MAIN(TestPicking)
#include "test_picking.moc"
