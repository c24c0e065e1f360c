#include "core/list/scan_kernels.h"
#include "core/list/shared_count.h"
#include "core/list/text_source.h"
#include "core/list/word_index.h"
#include "tests/support/temp_files.h"

#include <QtTest>

#include <random>

using namespace tavilon;

Q_DECLARE_METATYPE(tavilon::ErrorCode)

namespace {

bool isLineEnd(char c) { return c == '\n' || c == '\r'; }
bool isBlankOrEnd(char c) { return c == ' ' || c == '\t' || isLineEnd(c); }

// The words of `text`, counted a byte at a time.
std::uint64_t plainCount(const QByteArray& text)
{
    std::uint64_t words = 0;
    bool content = false;
    for (char c : text) {
        words += isLineEnd(c) && content;
        content = !isLineEnd(c) && (content || !isBlankOrEnd(c));
    }
    return words + content;
}

// Lines of letters and blanks, CR LF, LF or CR, some blank, some long.
QByteArray mixedLines(std::size_t size)
{
    std::mt19937 rng(11);
    static const char* const ends[] = {"\n", "\r\n", "\r", " \n", "\t\r\n  \n"};
    QByteArray text;
    while (std::size_t(text.size()) < size) {
        text += QByteArray(rng() % 4, ' ');
        text += QByteArray(rng() % 7 == 0 ? 3000 : 1 + rng() % 12, char('a' + rng() % 26));
        text += ends[rng() % 5];
    }
    return text;
}

CountParts partsOf(int threads, std::uint64_t partSize, std::size_t pieceSize, int kernel = 0)
{
    return {threads, pieceSize, partSize, scan::shippedKernels().at(kernel).count};
}

// A row of `bytes` for each kernel the build ships.
void addKernelRows(const char* name, const QByteArray& bytes)
{
    for (std::size_t k = 0; k < scan::shippedKernels().size(); ++k)
        QTest::addRow("%s, %s", name, scan::shippedKernels()[k].name) << bytes << int(k);
}

const scan::Kernels& kernelOrSkip(int k)
{
    const scan::Kernels& kernels = scan::shippedKernels().at(k);
    if (!kernels.runsHere)
        QTest::qSkip("this processor cannot run the kernel", __FILE__, __LINE__);
    return kernels;
}

} // namespace

// Every kernel counts as a plain byte loop, and parts cut anywhere as one thread.
class TestSharedCount : public QObject {
    Q_OBJECT
private slots:
    // Masks of line ends and blanks, and the NUL that makes a file no list.
    void aKernelMasksAsAPlainLoop_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("kernel");
        const QByteArray blanks = QByteArray(" \t\r\n", 4).repeated(40);
        addKernelRows("mixed lines", mixedLines(700) + blanks + QByteArray("x\0y", 3));
    }
    void aKernelMasksAsAPlainLoop()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, kernel);
        const scan::Kernels& kernels = kernelOrSkip(kernel);
        const auto* text = reinterpret_cast<const unsigned char*>(bytes.constData());
        scan::CountState state;
        kernels.count(text, bytes.size(), state);
        QVERIFY(state.sawNul);
        for (qsizetype length : {qsizetype(64), qsizetype(130), bytes.size() - 3, bytes.size()}) {
            const qsizetype chunks = (length + 63) / 64;
            std::vector<std::uint64_t> ends(chunks);
            std::vector<std::uint64_t> blanks(chunks);
            const bool nul = kernels.mask(text, length, ends.data(), blanks.data());
            QCOMPARE(nul, bytes.left(length).contains('\0'));
            for (qsizetype i = 0; i < chunks * 64; ++i) {
                const char c = i < length ? bytes[i] : ' '; // the last chunk is padded with spaces
                QCOMPARE(bool((ends[i / 64] >> (i % 64)) & 1), isLineEnd(c));
                QCOMPARE(bool((blanks[i / 64] >> (i % 64)) & 1), isBlankOrEnd(c));
            }
        }
    }

    void anyCutCountsAsOneThread_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("kernel");
        addKernelRows("blanks at the cut", "one   \n \t  \n   two  \t\n  \t   \nthree   ");
        addKernelRows("a byte-order mark", "\xEF\xBB\xBF  first\n second \r\n\nthird");
        addKernelRows("long lines", mixedLines(600));
    }
    void anyCutCountsAsOneThread()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, kernel);
        kernelOrSkip(kernel);
        TempFiles files;
        const std::string path = files.write("list.txt", bytes);
        auto source = TextSource::open(path);
        const TextSource& list = source.value();
        const std::uint64_t expected = plainCount(bytes.mid(list.textStart()));
        for (std::uint64_t partSize = 1; partSize <= std::uint64_t(bytes.size()); ++partSize) {
            QCOMPARE(countShared(list, partsOf(3, partSize, 16, kernel)).value(), expected);
            QCOMPARE(countShared(list, partsOf(1, partSize, 32, kernel)).value(), expected);
        }
    }

    void marksAreLineStartsWithTheWordsBefore()
    {
        const QByteArray text = mixedLines(200 << 10);
        TempFiles files;
        auto source = TextSource::open(files.write("marks.txt", text));
        const std::uint64_t expected = plainCount(text);
        for (std::uint64_t pages : {1, 3, 16}) {
            WordIndex index(8);
            const CountParts parts = partsOf(3, pages * 4096, 4096);
            QCOMPARE(countShared(source.value(), parts, {}, &index).value(), expected);
            QVERIFY(index.size() >= 4);
            for (std::uint64_t target = 1; target <= expected; ++target) {
                const WordIndex::Mark* mark = index.before(target);
                if (!mark)
                    continue;
                const QByteArray before = text.left(mark->offset);
                QVERIFY(before.isEmpty() || isLineEnd(before.back()));
                QCOMPARE(plainCount(before), mark->wordsBefore);
            }
        }
    }

    // After the calling thread's first piece the list is cut, or the count cancelled.
    void aCutOrCancelReachesEveryPart_data()
    {
        QTest::addColumn<bool>("cancel");
        QTest::addColumn<qint64>("newSize");
        QTest::addColumn<ErrorCode>("code");
        QTest::newRow("emptied") << false << qint64(0) << ErrorCode::ListChanged;
        QTest::newRow("cut in the first part")
            << false << qint64(1 << 19) << ErrorCode::ListChanged;
        QTest::newRow("cut in a later part") << false << qint64(5 << 20) << ErrorCode::ListChanged;
        QTest::newRow("cut inside a piece")
            << false << qint64((6 << 20) + 1000) << ErrorCode::ListChanged;
        QTest::newRow("cancelled") << true << qint64(8 << 20) << ErrorCode::Cancelled;
    }
    void aCutOrCancelReachesEveryPart()
    {
        QFETCH(bool, cancel);
        QFETCH(qint64, newSize);
        QFETCH(ErrorCode, code);
        TempFiles files;
        const std::string path = files.write("shrinking.txt", mixedLines(8 << 20));
        auto source = TextSource::open(path);
        int calls = 0;
        const auto cutOrStop = [&](std::uint64_t, std::uint64_t) {
            return ++calls > 1 || (!cancel && QFile::resize(QString::fromStdString(path), newSize));
        };
        auto counted = countShared(source.value(), partsOf(3, 1 << 20, 64 << 10), cutOrStop);
        QCOMPARE(counted.error().code, code);
    }
};

QTEST_APPLESS_MAIN(TestSharedCount)
#include "test_shared_count.moc"
