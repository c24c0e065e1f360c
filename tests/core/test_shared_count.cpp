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
    while (static_cast<std::size_t>(text.size()) < size) {
        text += QByteArray(static_cast<int>(rng() % 4), ' ');
        const int length = static_cast<int>(rng() % 7 == 0 ? 3000 : 1 + rng() % 12);
        text += QByteArray(length, static_cast<char>('a' + rng() % 26));
        text += ends[rng() % 5];
    }
    return text;
}

CountParts partsOf(int threads, std::uint64_t partSize, std::size_t pieceSize, int kernel = 0)
{
    CountParts parts;
    parts.threads = threads;
    parts.partSize = partSize;
    parts.pieceSize = pieceSize;
    parts.count = scan::shippedKernels().at(static_cast<std::size_t>(kernel)).count;
    return parts;
}

// One row per kernel the build ships; a kernel this processor cannot run
// skips its row, saying so.
void addKernelRows(const char* text)
{
    for (std::size_t k = 0; k < scan::shippedKernels().size(); ++k)
        QTest::addRow("%s, %s", text, scan::shippedKernels()[k].name) << static_cast<int>(k);
}

const scan::Kernels& kernelOrSkip(int k)
{
    const scan::Kernels& kernels = scan::shippedKernels().at(static_cast<std::size_t>(k));
    if (!kernels.runsHere)
        QTest::qSkip("this processor cannot run the kernel", __FILE__, __LINE__);
    return kernels;
}

} // namespace

// Every kernel the build ships must count as a plain byte loop does, with
// the list cut anywhere, and the count in parts must give the one-thread
// count wherever the parts are cut, with marks at line starts.
class TestSharedCount : public QObject {
    Q_OBJECT
private slots:
    // Masks of line ends and blanks, and the NUL that makes a file no list.
    void aKernelMasksAsAPlainLoop_data()
    {
        QTest::addColumn<int>("kernel");
        addKernelRows("mixed lines");
    }
    void aKernelMasksAsAPlainLoop()
    {
        QFETCH(int, kernel);
        const scan::Kernels& kernels = kernelOrSkip(kernel);
        const QByteArray text
            = mixedLines(700) + QByteArray(" \t\r\n", 4).repeated(40) + QByteArray("x\0y", 3);
        scan::CountState state;
        kernels.count(reinterpret_cast<const unsigned char*>(text.constData()), text.size(), state);
        QVERIFY(state.sawNul);
        for (int length : {64, 130, int(text.size()) - 3, int(text.size())}) {
            const int chunks = (length + 63) / 64;
            std::vector<std::uint64_t> ends(static_cast<std::size_t>(chunks));
            std::vector<std::uint64_t> blanks(static_cast<std::size_t>(chunks));
            const auto* bytes = reinterpret_cast<const unsigned char*>(text.constData());
            const bool nul
                = kernels.mask(bytes, static_cast<std::size_t>(length), ends.data(), blanks.data());
            QCOMPARE(nul, text.left(length).contains('\0'));
            for (int i = 0; i < chunks * 64; ++i) {
                const char c = i < length ? text[i] : ' '; // the last chunk is padded with spaces
                const std::size_t chunk = static_cast<std::size_t>(i / 64);
                QCOMPARE(bool((ends[chunk] >> (i % 64)) & 1), isLineEnd(c));
                QCOMPARE(bool((blanks[chunk] >> (i % 64)) & 1), isBlankOrEnd(c));
            }
        }
    }

    void anyCutCountsAsOneThread_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("kernel");
        for (std::size_t k = 0; k < scan::shippedKernels().size(); ++k) {
            const char* name = scan::shippedKernels()[k].name;
            const int kernel = static_cast<int>(k);
            QTest::addRow("blanks at the cut, %s", name)
                << QByteArray("one   \n \t  \n   two  \t\n  \t   \nthree   ") << kernel;
            QTest::addRow("a byte-order mark, %s", name)
                << QByteArray("\xEF\xBB\xBF  first\n second \r\n\nthird") << kernel;
            QTest::addRow("long lines, %s", name) << mixedLines(600) << kernel;
        }
    }
    void anyCutCountsAsOneThread()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, kernel);
        kernelOrSkip(kernel);
        TempFiles files;
        const std::string path = files.write("list.txt", bytes);
        auto source = TextSource::open(path);
        const std::uint64_t expected
            = plainCount(bytes.mid(static_cast<int>(source.value().textStart())));
        for (std::uint64_t partSize = 1; partSize <= std::uint64_t(bytes.size()); ++partSize) {
            QCOMPARE(
                countShared(source.value(), partsOf(3, partSize, 16, kernel)).value(), expected);
            QCOMPARE(
                countShared(source.value(), partsOf(1, partSize, 32, kernel)).value(), expected);
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
            QCOMPARE(
                countShared(source.value(), partsOf(3, pages * 4096, 4096), {}, &index).value(),
                expected);
            QVERIFY(index.size() >= 4);
            for (std::uint64_t target = 1; target <= expected; ++target) {
                const WordIndex::Mark* mark = index.before(target);
                if (!mark)
                    continue;
                const QByteArray before = text.left(static_cast<int>(mark->offset));
                QVERIFY(before.isEmpty() || isLineEnd(before.back()));
                QCOMPARE(plainCount(before), mark->wordsBefore);
            }
        }
    }

    // Progress comes after the calling thread's first piece: the list is
    // cut there, or the count is cancelled; the other threads may have read
    // all of their parts by then, or not yet.
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
        QCOMPARE(counted.ok() ? ErrorCode::OpenFailed : counted.error().code, code);
    }
};

QTEST_APPLESS_MAIN(TestSharedCount)
#include "test_shared_count.moc"
