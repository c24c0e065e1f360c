#include "core/list/split_count.h"
#include "core/list/text_source.h"
#include "core/list/word_index.h"
#include "core/list/word_list.h"
#include "tests/support/temp_files.h"

#include <QtTest>

#include <random>

using namespace tavilon;

Q_DECLARE_METATYPE(tavilon::ErrorCode)

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

} // namespace

// The count in parts must give the one-thread count wherever the parts are
// cut, and its marks must be line starts with the right count before them.
class TestSplitCount : public QObject {
    Q_OBJECT
private slots:
    void anySplitCountsAsOneThread_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("blanks at the cut") << QByteArray("one   \n \t  \n   two  \t\n  \t   \nthree   ");
        QTest::newRow("a byte-order mark") << QByteArray("\xEF\xBB\xBF  first\n second \r\n\nthird");
        QTest::newRow("long lines") << mixedLines(600);
    }
    void anySplitCountsAsOneThread()
    {
        QFETCH(QByteArray, bytes);
        TempFiles files;
        const std::string path = files.write("list.txt", bytes);
        auto source = TextSource::open(path);
        const std::uint64_t textSize = source.value().fileSize() - source.value().textStart();
        const std::uint64_t expected = plainCount(bytes.mid(static_cast<int>(source.value().textStart())));
        QCOMPARE(countInParts(source.value(), {}, 64).value(), expected);
        for (std::uint64_t cut = 0; cut <= textSize; ++cut) {
            QCOMPARE(countInParts(source.value(), {cut}, 16).value(), expected);
            QCOMPARE(countInParts(source.value(), {cut / 2, cut}, 32).value(), expected);
        }
    }

    void marksAreLineStartsWithTheirCounts()
    {
        const QByteArray text = mixedLines(200 << 10);
        TempFiles files;
        const std::string path = files.write("marks.txt", text);
        auto source = TextSource::open(path);
        const std::uint64_t expected = plainCount(text);
        QCOMPARE(countWords(path).value(), expected); // in parts, as the suite's environment asks
        for (std::uint64_t cut : {std::uint64_t{1}, std::uint64_t{(16 << 10) - 1}, std::uint64_t{(64 << 10) + 7},
                                  std::uint64_t{100'001}, static_cast<std::uint64_t>(text.size()) - 2}) {
            WordIndex index(8);
            QCOMPARE(countInParts(source.value(), {cut, cut + 40'000}, 4096, {}, &index).value(), expected);
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

    // Progress comes after the calling thread's first piece: the list is cut
    // there, or the count is cancelled (newSize -1); the other threads may
    // have read all of their parts by then, or not yet.
    void aCutOrCancelReachesEveryPart_data()
    {
        QTest::addColumn<qint64>("newSize");
        QTest::addColumn<ErrorCode>("code");
        QTest::newRow("emptied") << qint64(0) << ErrorCode::ListChanged;
        QTest::newRow("cut in the first part") << qint64(1 << 20) << ErrorCode::ListChanged;
        QTest::newRow("cut in the second part") << qint64(5 << 20) << ErrorCode::ListChanged;
        QTest::newRow("cancelled") << qint64(-1) << ErrorCode::Cancelled;
    }
    void aCutOrCancelReachesEveryPart()
    {
        QFETCH(qint64, newSize);
        QFETCH(ErrorCode, code);
        TempFiles files;
        const std::string path = files.write("shrinking.txt", mixedLines(8 << 20));
        auto source = TextSource::open(path);
        const auto cuts = evenSplits(source.value(), 3, 4096);
        QCOMPARE(cuts.size(), std::size_t{2});
        int calls = 0;
        auto counted = countInParts(source.value(), cuts, 64 << 10, [&](std::uint64_t, std::uint64_t) {
            return ++calls > 1 || (newSize >= 0 && QFile::resize(QString::fromStdString(path), newSize));
        });
        QCOMPARE(counted.ok() ? ErrorCode::OpenFailed : counted.error().code, code);
        if (newSize < 0) // a cancel stops the count at its first progress
            QCOMPARE(calls, 1);
    }
};

QTEST_APPLESS_MAIN(TestSplitCount)
#include "test_split_count.moc"
