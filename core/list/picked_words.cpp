#include "picked_words.h"

#include "blanks.h"
#include "read_buffer.h"
#include "scan_kernels.h"
#include "text_decode.h"
#include "core/errors/core_errors.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <memory>

namespace tavilon {

namespace {

constexpr std::size_t BlockSize = 64u << 10; // reads of 64 KiB: measured fastest here
constexpr std::size_t PieceSize = 4u << 10; // masks made 4 KiB at a time
// After a skip the target lies within the count's mark spacing (16 KiB for
// lists up to 1 GiB): reads of a page at a time reach it having copied half
// as much, on average, as one read of the whole spacing. The pages of a
// large list are rarely in the processor's cache, and copying them was most
// of the cost of 1000 picks from 1 GB (21 ms with 16 KiB reads).
constexpr std::size_t SkipReadSize = 16u << 10;
constexpr std::size_t SkipStep = 4u << 10;
constexpr std::size_t CacheLine = 64;
// How many targets ahead a pass asks for the memory a target writes.
constexpr std::size_t PrefetchAhead = 16;

// True when no byte of [p, p + n) has its top bit set.
bool isAscii(const char* p, std::size_t n)
{
    std::uint64_t high = 0;
    std::size_t i = 0;
    for (; i + 8 <= n; i += 8) {
        std::uint64_t word;
        std::memcpy(&word, p + i, sizeof word);
        high |= word;
    }
    for (; i < n; ++i)
        high |= static_cast<unsigned char>(p[i]);
    return (high & 0x8080808080808080u) == 0;
}

// A target packed in one 64-bit number: its word number above, its position
// among the draws in the low IndexBits bits, so that sorting the packed
// numbers sorts by word number.
constexpr int IndexBits = std::bit_width(MaxTargetsPerPass - 1);
constexpr std::uint64_t IndexMask = (std::uint64_t{1} << IndexBits) - 1;

std::uint64_t wordOf(std::uint64_t packed) { return packed >> IndexBits; }
std::size_t drawOf(std::uint64_t packed) { return static_cast<std::size_t>(packed & IndexMask); }

// The targets in increasing order of word number: a radix sort, since a
// press may hold a million of them.
using Table = std::vector<std::uint64_t, LargeAllocator<std::uint64_t>>;

Table sortedTargets(const std::vector<std::uint64_t>& keys)
{
    Table items;
    items.reserve(keys.size());
    std::uint64_t maxItem = 0;
    for (std::size_t i = 0; i < keys.size(); ++i) {
        items.push_back((keys[i] << IndexBits) | i);
        maxItem = std::max(maxItem, items.back());
    }
    if (keys.size() < 256) {
        std::sort(items.begin(), items.end());
        return items;
    }
    Table scratchStore(keys.size());
    std::uint64_t* scratch = scratchStore.data();
    std::uint64_t* from = items.data();
    int passes = 0;
    constexpr int Bits = 12;
    constexpr std::size_t Buckets = std::size_t{1} << Bits;
    std::vector<std::size_t> counts(Buckets + 1);
    // Draws of the same word need no order among themselves: the draw bits
    // are left out of the sort.
    for (int shift = IndexBits; shift < 64 && (maxItem >> shift) != 0; shift += Bits) {
        std::fill(counts.begin(), counts.end(), 0);
        for (std::size_t i = 0; i < keys.size(); ++i)
            ++counts[((from[i] >> shift) & (Buckets - 1)) + 1];
        for (std::size_t b = 1; b <= Buckets; ++b)
            counts[b] += counts[b - 1];
        for (std::size_t i = 0; i < keys.size(); ++i)
            scratch[counts[(from[i] >> shift) & (Buckets - 1)]++] = from[i];
        std::swap(from, scratch);
        ++passes;
    }
    if (passes % 2 != 0)
        std::copy(from, from + keys.size(), items.data());
    return items;
}

// The position just past the highest set bit of a non-zero mask.
std::size_t pastHighestBit(std::uint64_t mask) { return static_cast<std::size_t>(std::bit_width(mask)); }

// How a pass finds its words: by targets sorted into file order, or, when
// the targets are many for the words they reach, by keeping every word up
// to the highest target and looking each draw up afterwards (no sort, and
// each word is stored once, as it passes).
enum class Way { SortedTargets, EveryWord };

// The way measured faster: keeping every word costs about as much per word
// as sorting costs per target plus taking the words drawn, once the targets
// number at least half the words they reach.
Way fasterWay(const std::vector<std::uint64_t>& targets)
{
    const std::uint64_t highest = *std::max_element(targets.begin(), targets.end());
    return highest <= 2 * static_cast<std::uint64_t>(targets.size()) ? Way::EveryWord : Way::SortedTargets;
}

// One pass over a list that picks up the words at the targets.
class WordCollector {
public:
    WordCollector(TextSource& source, const std::vector<std::uint64_t>& targets, const ProgressFn& progress,
                   const WordIndex* index, std::size_t textBudget, Way way)
        : source_(source), textBudget_(textBudget), targets_(targets), everyWord_(way == Way::EveryWord),
          order_(everyWord_ ? Table() : sortedTargets(targets)), progress_(progress),
          index_(source.isUtf16() ? nullptr : index), // UTF-16 text offsets are not file offsets
          kernels_(scan::bestKernels()), store_(BlockSize + CacheLine), lineEnds_(PieceSize / 64), blanks_(PieceSize / 64)
    {
        picked_.resize(targets.size());
        if (everyWord_) {
            highest_ = *std::max_element(targets.begin(), targets.end());
            wordSpans_ = Table(highest_);
        }
    }

    Outcome<PickedWords> run()
    {
        auto rewound = source_.rewind();
        if (!rewound)
            return rewound.error();
        while (wantsMore()) {
            if (auto skipped = skipAhead(); !skipped)
                return skipped.error();
            auto n = readBlock();
            if (!n)
                return n.error();
            if (n.value() == 0) {
                finishLastLine();
                break;
            }
            if (auto scanned = scanBlock(kept_ + n.value()); !scanned)
                return scanned.error();
            if (progress_ && !progress_(source_.bytesConsumed(), source_.fileSize()))
                return cancelledError();
        }
        if (overBudget_)
            return textBudgetError(textBudget_);
        if (wantsMore())
            return listChangedError(source_.path());
        if (everyWord_) {
            for (std::size_t i = 0; i < targets_.size(); ++i)
                picked_.setSpan(i, wordSpans_[targets_[i] - 1]);
        }
        return std::move(picked_);
    }

private:
    bool wantsMore() const { return everyWord_ ? nextWord_ <= highest_ : next_ < order_.size(); }
    std::uint64_t nextTarget() const { return everyWord_ ? nextWord_ : wordOf(order_[next_]); }

    // Moves to the last line start the index knows before the next target.
    Outcome<void> skipAhead()
    {
        if (!index_ || kept_ != 0)
            return {};
        const WordIndex::Mark* mark = index_->before(nextTarget());
        if (!mark || mark->offset <= textOffset_)
            return {};
        auto moved = source_.seek(mark->offset);
        if (!moved)
            return moved.error();
        textOffset_ = mark->offset;
        words_ = mark->wordsBefore;
        carry_ = 1;
        nearBytesLeft_ = SkipReadSize;
        return {};
    }

    // Reads the next block after the kept part of the line in progress.
    Outcome<std::size_t> readBlock()
    {
        // Room for a kept line to move up to a cache line's length on.
        if (store_.size() < lead_ + kept_ + BlockSize + CacheLine)
            store_.grow(lead_ + kept_ + BlockSize + CacheLine, lead_ + kept_);
        // Near a skip's target, reads end on pages of the file.
        const std::size_t size = nearBytesLeft_ == 0
                                     ? BlockSize
                                     : SkipStep - (source_.textStart() + textOffset_) % SkipStep;
        auto n = source_.read(buffer() + kept_, size);
        if (n) {
            textOffset_ += n.value();
            nearBytesLeft_ -= std::min(nearBytesLeft_, n.value());
        }
        lineStart_ = 0;
        return n;
    }

    // A last line with content and no line end is a word too.
    void finishLastLine()
    {
        if (carry_ != 0)
            return;
        ++words_;
        dataEnd_ = kept_;
        blockAsciiKnown_ = false;
        if (nextTarget() == words_)
            take(0, kept_);
    }

    Outcome<void> scanBlock(std::size_t dataEnd)
    {
        // Words of a block without high bytes are stored without checks.
        blockAscii_ = false;
        blockAsciiKnown_ = false;
        dataEnd_ = dataEnd;
        for (std::size_t pieceStart = kept_; pieceStart < dataEnd && wantsMore(); pieceStart += PieceSize) {
            const std::size_t pieceLen = std::min(PieceSize, dataEnd - pieceStart);
            // A piece of n bytes closes at most n / 2 + 1 words: when the
            // next target lies beyond that, only count.
            auto scanned = nextTarget() > words_ + pieceLen / 2 + 2 ? countPiece(pieceStart, pieceLen)
                                                                      : pickFromPiece(pieceStart, pieceLen);
            if (!scanned)
                return scanned;
        }
        keepLineInProgress(dataEnd);
        return {};
    }

    Outcome<void> countPiece(std::size_t pieceStart, std::size_t pieceLen)
    {
        scan::CountState state {words_, carry_, false};
        kernels_.count(bytesAt(pieceStart), pieceLen, state);
        if (state.sawNul)
            return notWordListError(source_.path());
        words_ = state.words;
        carry_ = state.carry;
        if (const std::size_t end = pastLastLineEnd(bytesAt(pieceStart), pieceLen))
            lineStart_ = pieceStart + end;
        return {};
    }

    Outcome<void> pickFromPiece(std::size_t pieceStart, std::size_t pieceLen)
    {
        if (kernels_.mask(bytesAt(pieceStart), pieceLen, lineEnds_.data(), blanks_.data()))
            return notWordListError(source_.path());
        const std::size_t chunks = (pieceLen + 63) / 64;
        for (std::size_t k = 0; k < chunks; ++k) {
            const std::uint64_t ends = lineEnds_[k];
            const std::uint64_t t = scan::addWithCarry(ends, blanks_[k], carry_);
            const std::uint64_t closing = ends & ~t; // line ends that close a word
            const std::size_t base = pieceStart + 64 * k;
            if (closing != 0)
                pickFromChunk(base, ends, closing);
            if (ends != 0)
                lineStart_ = base + pastHighestBit(ends);
        }
        return {};
    }

    // Walks the words that close in one 64-byte chunk, taking the wanted ones.
    void pickFromChunk(std::size_t base, std::uint64_t ends, std::uint64_t closing)
    {
        const auto count = static_cast<std::uint64_t>(std::popcount(closing));
        if (!wantsMore() || words_ + count < nextTarget()) {
            words_ += count;
            return;
        }
        while (closing != 0 && wantsMore()) {
            const int bit = std::countr_zero(closing);
            closing &= closing - 1;
            ++words_;
            if (nextTarget() != words_)
                continue;
            const std::uint64_t before = ends & ((std::uint64_t{1} << bit) - 1);
            const std::size_t start = before != 0 ? base + pastHighestBit(before) : lineStart_;
            take(start, base + static_cast<std::size_t>(bit));
        }
        words_ += static_cast<std::uint64_t>(std::popcount(closing));
    }

    // Keeps the unfinished line only when it is the next word wanted.
    void keepLineInProgress(std::size_t dataEnd)
    {
        if (wantsMore() && words_ + 1 == nextTarget()) {
            kept_ = dataEnd - lineStart_;
            // Placed so that the next read lands on a cache line.
            const std::size_t lead = (CacheLine - kept_ % CacheLine) % CacheLine;
            std::memmove(store_.data() + lead, buffer() + lineStart_, kept_);
            lead_ = lead;
        } else {
            kept_ = 0;
            lead_ = 0;
        }
    }

    // The word in buffer()[begin, end) goes to every draw of it.
    void take(std::size_t begin, std::size_t end)
    {
        const std::string_view word = trimBlanks(std::string_view(buffer() + begin, end - begin));
        if (overBudget_ || word.size() > textBudget_ - std::min(textBudget_, picked_.storedSize())) {
            overBudget_ = true; // stops the pass after this block
            next_ = order_.size();
            nextWord_ = highest_ + 1;
            return;
        }
        if (!blockAsciiKnown_) {
            blockAscii_ = isAscii(buffer(), dataEnd_);
            blockAsciiKnown_ = true;
        }
        const std::uint64_t span = blockAscii_ ? picked_.storeAscii(word) : picked_.store(word);
        if (everyWord_) {
            wordSpans_[nextWord_++ - 1] = span;
            return;
        }
        while (wantsMore() && nextTarget() == words_) {
            if (next_ + PrefetchAhead < order_.size())
                picked_.prefetchSpan(drawOf(order_[next_ + PrefetchAhead]));
            picked_.setSpan(drawOf(order_[next_++]), span);
        }
    }

    const unsigned char* bytesAt(std::size_t offset) const
    {
        return reinterpret_cast<const unsigned char*>(buffer() + offset);
    }

    TextSource& source_;
    const std::size_t textBudget_;
    bool overBudget_ = false;
    const std::vector<std::uint64_t>& targets_;
    const bool everyWord_;
    const Table order_; // sorted targets, for that way
    std::uint64_t highest_ = 0;             // for the other: the words kept,
    std::uint64_t nextWord_ = 1;            // the next one to keep,
    Table wordSpans_;                        // and where each one went
    const ProgressFn& progress_;
    const WordIndex* index_;
    const scan::Kernels& kernels_;
    PickedWords picked_;

    std::size_t next_ = 0;        // the next target in order_
    std::uint64_t words_ = 0;     // words closed so far
    std::uint64_t carry_ = 1;     // 1 while only blanks since the last line end
    std::uint64_t textOffset_ = 0; // where the next read starts
    // The buffer holds the line in progress from the previous block (only
    // when it is the next word wanted) followed by the newly read bytes.
    ReadBuffer store_;
    std::size_t lead_ = 0; // where the buffer begins in store_
    char* buffer() { return store_.data() + lead_; }
    const char* buffer() const { return store_.data() + lead_; }
    std::size_t kept_ = 0;
    std::size_t lineStart_ = 0; // where the line in progress begins
    std::size_t nearBytesLeft_ = 0; // read after a skip in pages, until past the mark spacing
    std::size_t dataEnd_ = 0;      // the end of the block's bytes in the buffer
    bool blockAsciiKnown_ = false; // checked only when a word is taken from the block
    bool blockAscii_ = false;
    std::vector<std::uint64_t> lineEnds_;
    std::vector<std::uint64_t> blanks_;
};

} // namespace

std::uint64_t PickedWords::packBigSpan(std::size_t begin, std::size_t size)
{
    bigSpans_.push_back({begin, size});
    return ((bigSpans_.size() - 1) << SizeBits) | BigSize;
}

void PickedWords::resize(std::size_t targets)
{
    spans_.assign(targets, 0);
    arena_.reserve(std::min<std::size_t>(targets * 16, std::size_t{64} << 20));
}

std::uint64_t PickedWords::store(std::string_view bytes)
{
    const std::size_t at = arena_.size();
    appendWordUtf8(arena_, bytes);
    return packSpan(at, arena_.size() - at);
}

std::string_view PickedWords::bigWord(std::size_t which) const
{
    const auto& big = bigSpans_[which];
    return {arena_.data() + big.first, big.second};
}

std::size_t PickedWords::totalSize() const
{
    std::size_t total = 0;
    for (std::size_t i = 0; i < spans_.size(); ++i)
        total += word(i).size();
    return total;
}

Outcome<PickedWords> collectWords(TextSource& source, const std::vector<std::uint64_t>& targets,
                                  const ProgressFn& progress, const WordIndex* index, std::size_t textBudget)
{
    if (targets.size() > MaxTargetsPerPass)
        return sentenceError(ErrorCode::TooManyPicks, TAVILON_SENTENCE("CoreError", "Too many words asked for at once."),
                             {});
    for (std::uint64_t t : targets) {
        if (t == 0 || t > MaxWordNumber)
            return sentenceError(ErrorCode::InvalidCount,
                                 TAVILON_SENTENCE("CoreError", "Word number %1 cannot be looked up."), {std::to_string(t)});
    }
    if (targets.empty()) {
        PickedWords none;
        return none;
    }
    const Way way = fasterWay(targets);
    auto picked = WordCollector(source, targets, progress, index, textBudget, way).run();
    // Keeping every word may pass the budget where the words drawn alone
    // would not: those are tried on their own then.
    if (!picked && picked.error().code == ErrorCode::TooMuchText && way == Way::EveryWord)
        return WordCollector(source, targets, progress, index, textBudget, Way::SortedTargets).run();
    return picked;
}

Outcome<PickedWords> collectWords(const std::string& path, const std::vector<std::uint64_t>& targets,
                                  const ProgressFn& progress, const WordIndex* index)
{
    auto opened = TextSource::open(path);
    if (!opened)
        return opened.error();
    return collectWords(opened.value(), targets, progress, index);
}

} // namespace tavilon
