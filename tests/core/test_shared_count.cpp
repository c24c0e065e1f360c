#include "core/list/shared_count.h"
#include "core/list/text_source.h"
#include "core/list/way_trial.h"
#include "core/list/word_index.h"
#include "core/list/word_list.h"
#include "tests/support/temp_files.h"

#include <QtTest>

#include <random>

using namespace tavilon;

Q_DECLARE_METATYPE(tavilon::ErrorCode)
Q_DECLARE_METATYPE(tavilon::ReadWay::Kind)

namespace {

std::uint64_t plainCount(const QByteArray& text)
{
    std::uint64_t fields = 0;
    bool content = false;
    for (char c : text) {
        const bool end = c == '\n' || c == '\r';
        fields += end && content;
        content = !end && (content || (c != ' ' && c != '\t'));
    }
    return fields + content;
}

// Lines of letters and blanks, CR LF, LF or CR, some blank, some long.
QByteArray mixedLines(std::size_t size)
{
    std::mt19937 rng(11);
    static const char* const ends[] = {"\n", "\r\n", "\r", " \n", "\t\r\n  \n"};
    QByteArray text;
    while (static_cast<std::size_t>(text.size()) < size) {
        text += QByteArray(static_cast<int>(rng() % 4), ' ');
        const int length = static_cast<int>(rng() % 7 == 0 ? 3000 : 1 + rng() % 12);
        text += QByteArray(length, static_cast<char>('a' + rng() % 26));
        text += ends[rng() % 5];
    }
    return text;
}

ReadWay wayOf(ReadWay::Kind kind, int threads, std::uint64_t partSize, std::size_t pieceSize)
{
    ReadWay way;
    way.kind = kind;
    way.threads = threads;
    way.partSize = partSize;
    way.pieceSize = pieceSize;
    return way;
}

} // namespace

// The count in parts must give the one-thread count wherever the parts are
// cut and whichever way they are read, and its marks must be line starts
// with the right count before them.
class TestSharedCount : public QObject {
    Q_OBJECT
private slots:
    void anyCutCountsAsOneThread_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("blanks at the cut") << QByteArray("one   \n \t  \n   two  \t\n  \t   \nthree   ");
        QTest::newRow("a byte-order mark") << QByteArray("\xEF\xBB\xBF  first\n second \r\n\nthird");
        QTest::newRow("long lines") << mixedLines(600);
    }
    void anyCutCountsAsOneThread()
    {
        QFETCH(QByteArray, bytes);
        TempFiles files;
        const std::string path = files.write("list.txt", bytes);
        auto source = TextSource::open(path);
        const std::uint64_t expected = plainCount(bytes.mid(static_cast<int>(source.value().textStart())));
        for (std::uint64_t partSize = 1; partSize <= std::uint64_t(bytes.size()); ++partSize) {
            QCOMPARE(countShared(source.value(), wayOf(ReadWay::Kind::Copied, 3, partSize, 16)).value().words, expected);
            QCOMPARE(countShared(source.value(), wayOf(ReadWay::Kind::Copied, 1, partSize, 32)).value().words, expected);
        }
    }

    void mappedOrMeasuredPartsCountAsOneThread_data()
    {
        QTest::addColumn<ReadWay::Kind>("kind");
        QTest::addColumn<int>("threads");
        QTest::newRow("mapped, one thread") << ReadWay::Kind::Mapped << 1;
        QTest::newRow("mapped, three threads") << ReadWay::Kind::Mapped << 3;
        QTest::newRow("measured, three threads") << ReadWay::Kind::Measured << 3;
    }
    void mappedOrMeasuredPartsCountAsOneThread()
    {
        QFETCH(ReadWay::Kind, kind);
        QFETCH(int, threads);
        const QByteArray text = mixedLines(200 << 10);
        TempFiles files;
        const std::string path = files.write("marks.txt", text);
        auto source = TextSource::open(path);
        const std::uint64_t expected = plainCount(text);
        QCOMPARE(countWords(path).value(), expected); // as the suite's environment asks
        for (std::uint64_t pages : {1, 3, 16}) {
            WordIndex index(8);
            QCOMPARE(countShared(source.value(), wayOf(kind, threads, pages * 4096, 4096), {}, &index).value().words,
                     expected);
            QVERIFY(index.size() >= 4);
            for (std::uint64_t target = 1; target <= expected; ++target) {
                const WordIndex::Mark* mark = index.before(target);
                if (!mark)
                    continue;
                const QByteArray before = text.left(static_cast<int>(mark->offset));
                QVERIFY(before.isEmpty() || before.endsWith('\n') || before.endsWith('\r'));
                QCOMPARE(plainCount(before), mark->wordsBefore);
            }
        }
    }

    // Both ways are tried three times, then the faster one's fastest part
    // decides; a part that cannot be mapped ends the trial.
    void aTrialKeepsTheFasterWay_data()
    {
        QTest::addColumn<QList<double>>("copied");
        QTest::addColumn<QList<double>>("mapped");
        QTest::addColumn<bool>("mapsAfter");
        QTest::newRow("mapped faster") << QList<double> {3, 3, 3} << QList<double> {2, 9, 9} << true;
        QTest::newRow("copies faster") << QList<double> {9, 1, 9} << QList<double> {2, 2, 2} << false;
        QTest::newRow("still trying") << QList<double> {3, 3, 3} << QList<double> {1, 1} << true;
        QTest::newRow("mapping failed") << QList<double> {3} << QList<double> {-1} << false;
    }
    void aTrialKeepsTheFasterWay()
    {
        QFETCH(QList<double>, copied);
        QFETCH(QList<double>, mapped);
        QFETCH(bool, mapsAfter);
        WayTrial trial(WayTrial::Mode::Measured);
        QCOMPARE(trial.mapsPart(0), false);
        QCOMPARE(trial.mapsPart(1), true);
        for (double seconds : copied)
            trial.record(false, seconds);
        for (double seconds : mapped) {
            if (seconds < 0)
                trial.mappingFailed();
            else
                trial.record(true, seconds);
        }
        QCOMPARE(trial.trying(), mapped.size() < 3 && mapped.last() > 0);
        QCOMPARE(trial.mapsPart(7), mapsAfter);
    }

    // Progress comes after the calling thread's first piece or step: the list
    // is cut there, or the count is cancelled (newSize -1); the other threads
    // may have read all of their parts by then, or not yet.
    void aCutOrCancelReachesEveryPart_data()
    {
        QTest::addColumn<ReadWay::Kind>("kind");
        QTest::addColumn<qint64>("newSize");
        QTest::addColumn<ErrorCode>("code");
        for (const auto& [kind, name] : {std::pair {ReadWay::Kind::Copied, "copied"}, {ReadWay::Kind::Mapped, "mapped"}}) {
            QTest::addRow("%s, emptied", name) << kind << qint64(0) << ErrorCode::ListChanged;
            QTest::addRow("%s, cut in the first part", name) << kind << qint64(1 << 19) << ErrorCode::ListChanged;
            QTest::addRow("%s, cut in a later part", name) << kind << qint64(5 << 20) << ErrorCode::ListChanged;
            QTest::addRow("%s, cancelled", name) << kind << qint64(-1) << ErrorCode::Cancelled;
        }
    }
    void aCutOrCancelReachesEveryPart()
    {
        QFETCH(ReadWay::Kind, kind);
        QFETCH(qint64, newSize);
        QFETCH(ErrorCode, code);
        TempFiles files;
        const std::string path = files.write("shrinking.txt", mixedLines(8 << 20));
        auto source = TextSource::open(path);
        int calls = 0;
        auto counted = countShared(source.value(), wayOf(kind, 3, 1 << 20, 64 << 10), [&](std::uint64_t, std::uint64_t) {
            return ++calls > 1 || (newSize >= 0 && QFile::resize(QString::fromStdString(path), newSize));
        });
        QCOMPARE(counted.ok() ? ErrorCode::OpenFailed : counted.error().code, code);
        if (newSize < 0) // a cancel stops the count at its first progress
            QCOMPARE(calls, 1);
    }
};

QTEST_APPLESS_MAIN(TestSharedCount)
#include "test_shared_count.moc"
