#include "word_collector.h"

#include "blanks.h"
#include "list_blocks.h"
#include "scan_kernels.h"
#include "core/errors/core_errors.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <cstring>
#include <utility>

namespace tavilon {

namespace {

constexpr std::size_t PieceSize = 4u << 10; // masks made 4 KiB at a time

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

// The position just past the highest set bit of a non-zero mask.
std::size_t pastHighestBit(std::uint64_t mask) { return static_cast<std::size_t>(std::bit_width(mask)); }

// The words a pass keeps, each without its surrounding blanks, as UTF-8,
// within a budget of bytes. Words of a block without high bytes are stored
// without checks; a block is looked through only once a word is taken from
// it. A line that runs on past its block is kept in parts until it ends.
class WordKeeper {
public:
    WordKeeper(std::size_t targets, std::size_t textBudget) : textBudget_(textBudget) { picked_.resize(targets); }

    // The block words are taken from next: its first `size` bytes.
    void startBlock(const char* block, std::size_t size)
    {
        block_ = block;
        size_ = size;
        asciiKnown_ = false;
    }

    // Keeps block[begin, end) and tells where in `span`; false, keeping
    // nothing then or after, when the budget does not leave room for it.
    bool keep(std::size_t begin, std::size_t end, std::uint64_t& span)
    {
        // A word at the block's start may have begun in parts before it;
        // parts left before a later word held only blanks.
        const bool inParts = begin == 0 && !picked_.parts().empty();
        if (inParts)
            picked_.addPart(std::string_view(block_, end));
        else
            picked_.dropParts();
        const std::string_view word = trimBlanks(inParts ? picked_.parts()
                                                         : std::string_view(block_ + begin, end - begin));
        if (overBudget_ || word.size() > textBudget_ - std::min(textBudget_, picked_.storedSize())) {
            overBudget_ = true;
            picked_.dropParts();
            return false;
        }
        if (inParts) {
            span = picked_.storeParts(WordBytes::Utf8);
            return true;
        }
        if (!asciiKnown_) {
            ascii_ = isAscii(block_, size_);
            asciiKnown_ = true;
        }
        span = ascii_ ? picked_.storeAscii(word) : picked_.store(word);
        return true;
    }

    // The line that begins at block[begin] runs on past the block: its
    // part here is kept.
    void keepPart(std::size_t begin) { picked_.addPart(std::string_view(block_ + begin, size_ - begin)); }
    // A line kept in parts ended in this block without making a word.
    void dropParts() { picked_.dropParts(); }
    bool hasParts() const { return !picked_.parts().empty(); }

    bool overBudget() const { return overBudget_; }
    std::size_t budget() const { return textBudget_; }
    PickedWords& picked() { return picked_; }

private:
    PickedWords picked_;
    const std::size_t textBudget_;
    bool overBudget_ = false;
    const char* block_ = nullptr;
    std::size_t size_ = 0;
    bool asciiKnown_ = false;
    bool ascii_ = false;
};

// One pass over a list that finds the words its targets ask for, in one of
// the two ways of wanted_words.h.
template <class Wanted>
class WordCollector {
public:
    WordCollector(TextSource& source, Wanted wanted, std::size_t targets, const ProgressFn& progress,
                  const WordIndex* index, std::size_t textBudget)
        : blocks_(source, index), wanted_(std::move(wanted)), keeper_(targets, textBudget), progress_(progress),
          kernels_(scan::bestKernels())
    {
    }

    Outcome<PickedWords> run()
    {
        if (auto rewound = blocks_.rewind(); !rewound)
            return rewound.error();
        TextSource& source = blocks_.source();
        while (wanted_.wantsMore()) {
            if (auto skipped = skipAhead(); !skipped)
                return skipped.error();
            auto n = blocks_.read();
            if (!n)
                return n.error();
            lineStart_ = 0;
            if (n.value() == 0) {
                finishLastLine();
                break;
            }
            if (auto scanned = scanBlock(n.value()); !scanned)
                return scanned.error();
            if (progress_ && !progress_(source.bytesConsumed(), source.fileSize()))
                return cancelledError();
        }
        if (keeper_.overBudget())
            return textBudgetError(keeper_.budget());
        if (wanted_.wantsMore())
            return listChangedError(source.path());
        wanted_.finish(keeper_.picked());
        return std::move(keeper_.picked());
    }

private:
    // Moves to the last line start the index knows before the next word
    // wanted, unless a line is kept in parts.
    Outcome<void> skipAhead()
    {
        if (keeper_.hasParts())
            return {};
        std::uint64_t wordsBefore = 0;
        auto moved = blocks_.skipTowards(wanted_.nextWord(), wordsBefore);
        if (!moved)
            return moved.error();
        if (moved.value()) {
            words_ = wordsBefore;
            carry_ = 1;
        }
        return {};
    }

    // A last line with content and no line end is a word too.
    void finishLastLine()
    {
        if (carry_ != 0)
            return;
        ++words_;
        keeper_.startBlock(blocks_.data(), 0);
        if (wanted_.nextWord() == words_)
            take(0, 0);
    }

    Outcome<void> scanBlock(std::size_t dataEnd)
    {
        keeper_.startBlock(blocks_.data(), dataEnd);
        for (std::size_t pieceStart = 0; pieceStart < dataEnd && wanted_.wantsMore();
             pieceStart += PieceSize) {
            const std::size_t pieceLen = std::min(PieceSize, dataEnd - pieceStart);
            // A piece of n bytes closes at most n / 2 + 1 words: when the
            // next word wanted lies beyond that, only count.
            auto scanned = wanted_.nextWord() > words_ + pieceLen / 2 + 2 ? countPiece(pieceStart, pieceLen)
                                                                          : pickFromPiece(pieceStart, pieceLen);
            if (!scanned)
                return scanned;
        }
        // Parts of a line that ended here without making a word go; the
        // unfinished line is kept, in parts, only when it is the next word
        // wanted.
        if (lineStart_ != 0)
            keeper_.dropParts();
        if (wanted_.wantsMore() && words_ + 1 == wanted_.nextWord())
            keeper_.keepPart(lineStart_);
        return {};
    }

    Outcome<void> countPiece(std::size_t pieceStart, std::size_t pieceLen)
    {
        scan::CountState state {words_, carry_, false};
        kernels_.count(blocks_.bytesAt(pieceStart), pieceLen, state);
        if (state.sawNul)
            return notWordListError(blocks_.source().path());
        words_ = state.words;
        carry_ = state.carry;
        if (const std::size_t end = pastLastLineEnd(blocks_.bytesAt(pieceStart), pieceLen))
            lineStart_ = pieceStart + end;
        return {};
    }

    Outcome<void> pickFromPiece(std::size_t pieceStart, std::size_t pieceLen)
    {
        if (kernels_.mask(blocks_.bytesAt(pieceStart), pieceLen, lineEnds_.data(), blanks_.data()))
            return notWordListError(blocks_.source().path());
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
        if (!wanted_.wantsMore() || words_ + count < wanted_.nextWord()) {
            words_ += count;
            return;
        }
        while (closing != 0 && wanted_.wantsMore()) {
            const int bit = std::countr_zero(closing);
            closing &= closing - 1;
            ++words_;
            if (wanted_.nextWord() != words_)
                continue;
            const std::uint64_t before = ends & ((std::uint64_t{1} << bit) - 1);
            const std::size_t start = before != 0 ? base + pastHighestBit(before) : lineStart_;
            take(start, base + static_cast<std::size_t>(bit));
        }
        words_ += static_cast<std::uint64_t>(std::popcount(closing));
    }

    // The word in the block's [begin, end) goes to every draw of it; past
    // the budget, the pass stops after this block.
    void take(std::size_t begin, std::size_t end)
    {
        std::uint64_t span = 0;
        if (keeper_.keep(begin, end, span))
            wanted_.found(span, keeper_.picked());
        else
            wanted_.stop();
    }

    ListBlocks blocks_;
    Wanted wanted_;
    WordKeeper keeper_;
    const ProgressFn& progress_;
    const scan::Kernels& kernels_;
    std::uint64_t words_ = 0;   // words closed so far
    std::uint64_t carry_ = 1;   // 1 while only blanks since the last line end
    std::size_t lineStart_ = 0; // where the line in progress begins in the block
    std::array<std::uint64_t, PieceSize / 64> lineEnds_;
    std::array<std::uint64_t, PieceSize / 64> blanks_;
};

} // namespace

Outcome<PickedWords> collectPass(TextSource& source, SortedTargets wanted, std::size_t targets,
                                 const ProgressFn& progress, const WordIndex* index, std::size_t textBudget)
{
    return WordCollector(source, std::move(wanted), targets, progress, index, textBudget).run();
}

Outcome<PickedWords> collectPass(TextSource& source, EveryWord wanted, std::size_t targets,
                                 const ProgressFn& progress, const WordIndex* index, std::size_t textBudget)
{
    return WordCollector(source, std::move(wanted), targets, progress, index, textBudget).run();
}

} // namespace tavilon
