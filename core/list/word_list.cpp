#include "word_list.h"

#include "fault_guard.h"
#include "mapped_window.h"
#include "read_way.h"
#include "scan_kernels.h"
#include "split_count.h"
#include "word_list_reader.h"
#include "core/errors/core_errors.h"

#include <algorithm>
#include <vector>

namespace tavilon {

namespace {

constexpr std::size_t BlockSize = 64u << 10; // reads of 64 KiB: measured fastest here
// Mapped windows of a few MiB: large enough that mapping costs little,
// small enough that resident memory stays flat.
constexpr std::size_t WindowSize = 4u << 20;
// Each window is scanned in steps, with a word to the progress in between.
constexpr std::size_t ProgressStep = 1u << 20;
// With an index, marks are noted this far apart at most.
constexpr std::size_t MarkPiece = 16u << 10;
constexpr std::size_t MarksPerStep = ProgressStep / MarkPiece;

// Just past the last line end in [p, p + n), or 0 when there is none.
std::size_t pastLastLineEnd(const unsigned char* p, std::size_t n)
{
    for (std::size_t i = n; i > 0; --i) {
        if (p[i - 1] == '\n' || p[i - 1] == '\r')
            return i;
    }
    return 0;
}

// The line after the block's last line end starts a word to come.
void noteLastLineStart(WordIndex& index, const std::vector<char>& block, std::size_t size,
                       std::uint64_t blockOffset, std::uint64_t wordsSoFar, std::uint64_t blockNumber)
{
    const std::size_t end = pastLastLineEnd(reinterpret_cast<const unsigned char*>(block.data()), size);
    if (end != 0)
        index.offer({blockOffset + end, wordsSoFar}, blockNumber);
}

// The count of one step of a mapped window: plain data only, since a bus
// error jumps out of the scan.
struct WindowScan {
    const unsigned char* bytes = nullptr;
    std::size_t size = 0;
    scan::CountBlockFn count = nullptr;
    scan::CountState state;
    bool withMarks = false;
    // Per piece of MarkPiece bytes that closed a word: where the line after
    // its last line end starts (from `bytes`), and the words before it.
    std::size_t markAt[MarksPerStep] = {};
    std::uint64_t markWords[MarksPerStep] = {};
    std::size_t markPiece[MarksPerStep] = {};
    std::size_t marks = 0;
};

void scanWindow(void* context)
{
    auto& w = *static_cast<WindowScan*>(context);
    if (!w.withMarks) {
        w.count(w.bytes, w.size, w.state);
        return;
    }
    for (std::size_t start = 0, piece = 0; start < w.size; start += MarkPiece, ++piece) {
        const std::size_t n = w.size - start < MarkPiece ? w.size - start : MarkPiece;
        const std::uint64_t before = w.state.words;
        w.count(w.bytes + start, n, w.state);
        if (w.state.words == before)
            continue; // no word closed here: the last mark still serves
        w.markAt[w.marks] = start + pastLastLineEnd(w.bytes + start, n);
        w.markWords[w.marks] = w.state.words;
        w.markPiece[w.marks] = piece;
        ++w.marks;
    }
}

enum class MappedEnd { Done, CannotMap, Changed, Nul, Cancelled };

// Counts the text of a file read as bytes through mapped windows, from its
// start up to the size it had when opened; `mappedTo` tells how far (a file
// offset) and `pieces` how many pieces went by for the index. Stops early
// where a window cannot be mapped.
MappedEnd countMapped(const TextSource& source, const ProgressFn& progress, WordIndex* index,
                      scan::CountState& state, std::uint64_t& mappedTo, std::uint64_t& pieces)
{
    const std::uint64_t size = source.fileSize();
    const std::uint64_t textStart = source.textStart();
    mappedTo = textStart;
    WindowScan scan;
    scan.count = scan::bestKernels().count;
    scan.withMarks = index != nullptr;
    for (std::uint64_t windowStart = 0; windowStart < size; windowStart += WindowSize) {
        const auto length = static_cast<std::size_t>(std::min<std::uint64_t>(WindowSize, size - windowStart));
        auto window = MappedWindow::map(source.file(), windowStart, length);
        if (!window)
            return MappedEnd::CannotMap;
        std::size_t at = windowStart < textStart ? static_cast<std::size_t>(textStart - windowStart) : 0;
        while (at < length) {
            const std::size_t step = std::min(ProgressStep, length - at);
            scan.bytes = window->data() + at;
            scan.size = step;
            scan.state = state;
            scan.marks = 0;
            if (!runGuardedScan(scanWindow, &scan))
                return MappedEnd::Changed;
            state = scan.state;
            if (state.sawNul)
                return MappedEnd::Nul;
            const std::uint64_t textOffset = windowStart + at - textStart;
            for (std::size_t m = 0; m < scan.marks; ++m)
                index->offer({textOffset + scan.markAt[m], scan.markWords[m]}, pieces + scan.markPiece[m]);
            pieces += (step + MarkPiece - 1) / MarkPiece;
            at += step;
            mappedTo = windowStart + at;
            if (progress && !progress(mappedTo, size))
                return MappedEnd::Cancelled;
        }
    }
    return MappedEnd::Done;
}

bool fileShrank(const TextSource& source)
{
    auto now = source.currentIdentity();
    return !now || now.value().size < source.fileSize();
}

} // namespace

Outcome<std::uint64_t> countWords(TextSource& source, const ProgressFn& progress, WordIndex* index)
{
    if (index) {
        index->clear();
        if (source.isUtf16())
            index = nullptr; // its text offsets are not file offsets
    }

    // A list read as bytes from its start is read the way measured fastest
    // for its size and the processors at hand; mapped windows go on below.
    if (!source.isUtf16() && source.atTextStart()) {
        const ReadWay way = chooseReadWay(source.fileSize() - std::min(source.fileSize(), source.textStart()));
        if (way.kind == ReadWay::Kind::Pieces) {
            const std::size_t alignment = std::max(way.pieceSize, std::size_t{64} << 10);
            auto counted = countInParts(source, evenSplits(source, way.threads, alignment), way.pieceSize, progress,
                                        index);
            if (!counted)
                return counted.error();
            return counted.value();
        }
    }

    const scan::Kernels& kernels = scan::bestKernels();
    scan::CountState state;
    // Block numbers for the index go on from the mapped windows' pieces.
    std::uint64_t block = 0;
    std::uint64_t textOffset = 0;
    if (!source.isUtf16() && source.atTextStart()) {
        std::uint64_t mappedTo = 0;
        switch (countMapped(source, progress, index, state, mappedTo, block)) {
        case MappedEnd::Changed:
            return listChangedError(source.path());
        case MappedEnd::Nul:
            if (fileShrank(source)) // pages past a new end read as zeros
                return listChangedError(source.path());
            return notWordListError(source.path());
        case MappedEnd::Cancelled:
            return cancelledError();
        case MappedEnd::Done:
        case MappedEnd::CannotMap:
            break;
        }
        // Reading goes on where mapping stopped, and past the size the file
        // had when opened, should it have grown since.
        textOffset = mappedTo - source.textStart();
        if (textOffset != 0) {
            if (auto moved = source.seek(textOffset); !moved)
                return moved.error();
        }
    }

    std::vector<char> buffer(BlockSize);
    for (;; ++block) {
        auto n = source.read(buffer.data(), buffer.size());
        if (!n)
            return n.error();
        if (n.value() == 0)
            break;
        kernels.count(reinterpret_cast<const unsigned char*>(buffer.data()), n.value(), state);
        if (state.sawNul)
            return notWordListError(source.path());
        if (index)
            noteLastLineStart(*index, buffer, n.value(), textOffset, state.words, block);
        textOffset += n.value();
        if (progress && !progress(source.bytesConsumed(), source.fileSize()))
            return cancelledError();
    }
    if (state.carry == 0) // a last line with content and no line end
        ++state.words;
    return state.words;
}

Outcome<std::uint64_t> countWords(const std::string& path, const ProgressFn& progress, WordIndex* index,
                                  FileIdentity* identity)
{
    auto opened = TextSource::open(path);
    if (!opened)
        return opened.error();
    auto counted = countWords(opened.value(), progress, index);
    if (counted && identity)
        *identity = opened.value().identity();
    return counted;
}

Outcome<std::string> fetchWord(const std::string& path, std::uint64_t target)
{
    auto reader = WordListReader::open(path);
    if (!reader)
        return reader.error();
    std::string word;
    std::uint64_t counter = 0;
    while (counter != target) {
        auto more = reader.value().next(word);
        if (!more)
            return more.error();
        if (!more.value())
            return listChangedError(path);
        ++counter;
    }
    return word;
}

} // namespace tavilon
