#include "selection.h"
#include "temp_files.h"
#include "text_source.h"
#include "word_list.h"

#include <QtTest>

#include <random>

using namespace tavilon;

namespace {

PressInput inputFor(const std::string& picks, const std::string& path)
{
    return {picks, countFields(path).value(), path};
}

std::size_t lineCount(const std::string& text)
{
    std::size_t n = 0;
    for (std::size_t i = 0; (i = text.find("\r\n", i)) != std::string::npos; i += 2)
        ++n;
    return n;
}

} // namespace

class TestSelection : public QObject {
    Q_OBJECT
private slots:
    void picksTextRules_data()
    {
        QTest::addColumn<QString>("picks");
        QTest::addColumn<QString>("after");
        QTest::addColumn<int>("lines");
        QTest::newRow("empty picks one") << "" << "1" << 1;
        QTest::newRow("0 picks one") << "0" << "1" << 1;
        QTest::newRow("00 picks none") << "00" << "00" << 0;
        QTest::newRow("three") << "3" << "3" << 3;
        QTest::newRow("2.5 picks two") << "2.5" << "2.5" << 2;
        QTest::newRow("negative picks none") << "-1" << "-1" << 0;
    }
    void picksTextRules()
    {
        QFETCH(QString, picks);
        QFETCH(QString, after);
        QFETCH(int, lines);
        TempFiles files;
        const std::string path = files.write("w.txt", "alpha\nbeta\ngamma\ndelta\n");
        RandomSource random;
        auto result = press(inputFor(picks.toStdString(), path), random);
        QVERIFY(result.ok());
        QCOMPARE(QString::fromStdString(result.value().picksText), after);
        QCOMPARE(lineCount(result.value().appendText), static_cast<std::size_t>(lines));
    }

    void firstPicksOfAFreshProgram()
    {
        TempFiles files;
        const std::string path = files.write("w.txt", "alpha\nbeta\ngamma\ndelta\n");
        RandomSource random;
        // r = 0.7055, 0.5334, 0.5795, 0.2896, 0.3019 over four words.
        QCOMPARE(press(inputFor("5", path), random).value().appendText,
                 std::string("gamma\r\ngamma\r\ngamma\r\nbeta\r\nbeta\r\n"));
        // The next press continues the same sequence.
        RandomSource again;
        std::string twoPresses = press(inputFor("3", path), again).value().appendText;
        twoPresses += press(inputFor("2", path), again).value().appendText;
        QCOMPARE(twoPresses, std::string("gamma\r\ngamma\r\ngamma\r\nbeta\r\nbeta\r\n"));
    }

    void aOneWordListAlwaysGivesThatWord()
    {
        TempFiles files;
        const std::string path = files.write("one.txt", "  only \r\n\r\n");
        RandomSource random;
        QCOMPARE(press(inputFor("4", path), random).value().appendText, std::string("only\r\nonly\r\nonly\r\nonly\r\n"));
    }

    void onePassMatchesPickingOneAtATime()
    {
        std::mt19937 rng(5);
        TempFiles files;
        RandomSource fast;
        RandomSource slow;
        for (int round = 0; round < 60; ++round) {
            std::string bytes;
            const int lines = std::uniform_int_distribution<int>(1, round % 10 == 0 ? 40000 : 300)(rng);
            for (int i = 0; i < lines; ++i) {
                if (rng() % 7 == 0)
                    bytes += " \t";
                bytes += 'w';
                bytes += std::to_string(rng() % 1000);
                bytes += (rng() % 2) ? "\r\n" : "\n";
            }
            const std::string path = files.write(QString("r%1.txt").arg(round), QByteArray::fromStdString(bytes));
            const std::string picks = std::to_string(std::uniform_int_distribution<int>(1, 80)(rng));
            auto a = press(inputFor(picks, path), fast);
            auto b = pressOnePickAtATime(inputFor(picks, path), slow);
            QVERIFY(a.ok() && b.ok());
            QCOMPARE(a.value().appendText, b.value().appendText);
            QCOMPARE(fast.state(), slow.state());
        }
    }

    void picksAsTextRunsMatchWordByWord()
    {
        // Long words and many picks, so that the text goes out in several
        // runs and a word falls across where one run would end.
        TempFiles files;
        std::string bytes;
        for (int i = 0; i < 3000; ++i)
            bytes += std::string(i % 97 == 0 ? 70000 : 1 + i % 13, static_cast<char>('a' + i % 26)) + "\n";
        const std::string path = files.write("runs.txt", QByteArray::fromStdString(bytes));
        for (const char* picks : {"1", "5000"}) {
            auto list = TextSource::open(path);
            FieldIndex index;
            const std::string count = countFields(list.value(), {}, &index).value();
            RandomSource byWord;
            std::string expected;
            QVERIFY(pickWords(list.value(), count, picks, byWord, &index, [&](std::string_view w) {
                        expected += std::string(w) + "\r\n";
                        return true;
                    }).ok());
            RandomSource byRun;
            std::string got;
            int runs = 0;
            auto picked = pickText(list.value(), count, picks, byRun, &index, "\r\n", [&](std::string_view text) {
                ++runs;
                got += text;
                return text.size() >= 2 && text.substr(text.size() - 2) == "\r\n"; // whole words only
            });
            QCOMPARE(picked.value(), std::uint64_t(std::stoull(picks)));
            QCOMPARE(got, expected);
            QCOMPARE(byRun.state(), byWord.state());
            QVERIFY(runs >= 1 && std::size_t(runs) <= 1 + got.size() / 1000);

            // A run that cannot be passed on fails the whole pick and keeps the sequence.
            RandomSource failing;
            auto failed = pickText(list.value(), count, picks, failing, &index, "\n", [](std::string_view) { return false; });
            QCOMPARE(failed.error().code, ErrorCode::WriteFailed);
            QCOMPARE(failing.state(), RandomSource().state());
        }
    }

    void failuresPickNothingAndKeepTheSequence_data()
    {
        QTest::addColumn<QString>("picks");
        QTest::addColumn<QString>("count");
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<int>("code");
        QTest::newRow("empty list") << "1" << "" << QByteArray("") << int(ErrorCode::NoWords);
        QTest::newRow("list shrank since counted") << "50" << "1000" << QByteArray("a\nb\n") << int(ErrorCode::ListChanged);
        QTest::newRow("too many picks") << "1000001" << "2" << QByteArray("a\nb\n") << int(ErrorCode::TooManyPicks);
        QTest::newRow("far too many picks") << "1e300" << "2" << QByteArray("a\nb\n") << int(ErrorCode::TooManyPicks);
        QTest::newRow("binary file") << "1" << "2" << QByteArray("a\0b\n", 4) << int(ErrorCode::NotWordList);
        QTest::newRow("count that is no count") << "1" << "2.5" << QByteArray("a\nb\n") << int(ErrorCode::InvalidCount);
        QTest::newRow("picks that are no number") << "12a" << "2" << QByteArray("a\nb\n") << int(ErrorCode::InvalidCount);
    }
    void failuresPickNothingAndKeepTheSequence()
    {
        QFETCH(QString, picks);
        QFETCH(QString, count);
        QFETCH(QByteArray, content);
        QFETCH(int, code);
        TempFiles files;
        const std::string path = files.write("w.txt", content);
        RandomSource random;
        random.next();
        const auto before = random.state();
        auto result = press({picks.toStdString(), count.toStdString(), path}, random);
        QVERIFY(!result.ok());
        QCOMPARE(int(result.error().code), code);
        QVERIFY(!result.error().message.empty());
        QCOMPARE(random.state(), before);
    }

    void missingFileIsNamed()
    {
        RandomSource random;
        auto result = press({"1", "3", "/no/such/list.txt"}, random);
        QCOMPARE(result.error().code, ErrorCode::OpenFailed);
        QVERIFY(result.error().message.find("/no/such/list.txt") != std::string::npos);
    }

    void theLimitItselfIsAllowed()
    {
        TempFiles files;
        const std::string path = files.write("w.txt", "x\ny\n");
        RandomSource random;
        auto result = press(inputFor(std::to_string(MaxPicksPerPress), path), random);
        QVERIFY(result.ok());
        QCOMPARE(result.value().picks, MaxPicksPerPress);
        QCOMPARE(result.value().appendText.size(), MaxPicksPerPress * 3);
    }

    // The output box's rules: a press that breaks one appends nothing and
    // leaves the random source as it was.
    void outputBoxRules_data()
    {
        QTest::addColumn<QByteArray>("word");
        QTest::addColumn<QString>("picks");
        QTest::addColumn<qint64>("linesInBox");
        QTest::addColumn<qint64>("budget");
        QTest::addColumn<int>("code");  // -1: the press succeeds
        QTest::addColumn<QString>("says");
        const QByteArray longest(int(MaxWordLength), 'x');
        const QByteArray emoji("\xF0\x9F\x98\x80"); // one character, two code units
        const qint64 big = qint64(PressTextBudget);
        QTest::newRow("box fills up exactly") << QByteArray("w") << "2" << qint64(MaxOutputLines - 2) << big << -1 << "";
        QTest::newRow("box would overflow") << QByteArray("w") << "3" << qint64(MaxOutputLines - 2) << big
                                            << int(ErrorCode::OutputFull) << "holds 999998 lines";
        QTest::newRow("longest word") << longest << "1" << qint64(0) << big << -1 << "";
        QTest::newRow("word too long") << longest + "x" << "1" << qint64(0) << big << int(ErrorCode::WordTooLong)
                                       << "10001 characters";
        QTest::newRow("counted in code units") << emoji.repeated(int(MaxWordLength) / 2 + 1) << "1" << qint64(0) << big
                                               << int(ErrorCode::WordTooLong) << "10002 characters";
        QTest::newRow("many bytes, few units") << QByteArray("\xC3\xA9").repeated(int(MaxWordLength)) << "1" << qint64(0)
                                               << big << -1 << "";
        QTest::newRow("paragraph separator") << QByteArray("a\xE2\x80\xA9" "b") << "1" << qint64(0) << big
                                             << int(ErrorCode::WordNotForBox) << "U+2029";
        QTest::newRow("layout mark FDD0") << QByteArray("\xEF\xB7\x90") << "1" << qint64(0) << big
                                          << int(ErrorCode::WordNotForBox) << "U+FDD0";
        QTest::newRow("layout mark FDD1") << QByteArray("a\xEF\xB7\x91") << "1" << qint64(0) << big
                                          << int(ErrorCode::WordNotForBox) << "U+FDD1";
        QTest::newRow("line separator is fine") << QByteArray("a\xE2\x80\xA8" "b") << "1" << qint64(0) << big << -1 << "";
        QTest::newRow("within budget") << QByteArray("word") << "100" << qint64(0) << qint64(600) << -1 << "";
        QTest::newRow("past budget") << QByteArray("word") << "101" << qint64(0) << qint64(600)
                                     << int(ErrorCode::TooMuchText) << "Ask for fewer";
        QTest::newRow("one word past budget") << QByteArray(700, 'w') << "1" << qint64(0) << qint64(600)
                                              << int(ErrorCode::TooMuchText) << "Ask for fewer";
    }
    void outputBoxRules()
    {
        QFETCH(QByteArray, word);
        QFETCH(QString, picks);
        QFETCH(qint64, linesInBox);
        QFETCH(qint64, budget);
        QFETCH(int, code);
        QFETCH(QString, says);
        TempFiles files;
        const std::string path = files.write("one.txt", word + "\n");
        PressInput input = inputFor(picks.toStdString(), path);
        input.outputLines = static_cast<std::uint64_t>(linesInBox);
        RandomSource random;
        auto result = press(input, random, {}, nullptr, static_cast<std::size_t>(budget));
        if (code < 0) {
            QVERIFY2(result.ok(), result.ok() ? "" : result.error().message.c_str());
            QCOMPARE(result.value().appendText, (word + "\r\n").repeated(picks.toInt()).toStdString());
            QVERIFY(random.state() != RandomSource::StartState);
            return;
        }
        QVERIFY(!result.ok());
        QCOMPARE(int(result.error().code), code);
        QVERIFY2(result.error().message.find(says.toStdString()) != std::string::npos, result.error().message.c_str());
        QCOMPARE(random.state(), RandomSource::StartState);
    }

    void aStoppedPressChangesNothing()
    {
        TempFiles files;
        QByteArray bytes;
        for (int i = 0; i < 400000; ++i)
            bytes += "word" + QByteArray::number(i) + "\n";
        const std::string path = files.write("w.txt", bytes);
        RandomSource random;
        auto result = press(inputFor("1000", path), random, [](std::uint64_t, std::uint64_t) { return false; });
        QCOMPARE(result.error().code, ErrorCode::Cancelled);
        QCOMPARE(random.state(), RandomSource::StartState);
    }
};

QTEST_APPLESS_MAIN(TestSelection)
#include "test_selection.moc"
