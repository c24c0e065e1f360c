#include "word_list.h"

#include "scan_kernels.h"
#include "text_decode.h"
#include "text_source.h"
#include "word_list_reader.h"

#include <algorithm>
#include <cstring>
#include <numeric>

namespace tavilon {

namespace {

constexpr std::size_t BlockSize = 64u << 10; // reads of 64 KiB: measured fastest here
constexpr std::size_t PieceSize = 64u << 10; // masks made 64 KiB at a time

CoreError notWordList(const std::string& path)
{
    return {ErrorCode::NotWordList, quotedPath(path) + " is not a word list: it holds binary data (NUL bytes)."};
}

CoreError cancelled()
{
    return {ErrorCode::Cancelled, "Stopped; nothing was changed."};
}

bool isBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view trimmed(const char* begin, const char* end)
{
    while (begin < end && isBlank(*begin))
        ++begin;
    while (end > begin && isBlank(end[-1]))
        --end;
    return {begin, static_cast<std::size_t>(end - begin)};
}

// A target packed in one word: its field number above, its position among
// the press's draws in the low IndexBits bits, so that sorting the words
// sorts by field number.
constexpr int IndexBits = 20;
constexpr std::uint64_t IndexMask = (std::uint64_t{1} << IndexBits) - 1;

std::uint64_t fieldOf(std::uint64_t packed) { return packed >> IndexBits; }
std::size_t drawOf(std::uint64_t packed) { return static_cast<std::size_t>(packed & IndexMask); }

// The targets in increasing order of field number: a radix sort, since a
// press may hold a million of them.
std::vector<std::uint64_t> sortedTargets(const std::vector<std::uint64_t>& keys)
{
    std::vector<std::uint64_t> items(keys.size());
    std::uint64_t maxItem = 0;
    for (std::size_t i = 0; i < keys.size(); ++i) {
        items[i] = (keys[i] << IndexBits) | i;
        maxItem = std::max(maxItem, items[i]);
    }
    if (keys.size() < 256) {
        std::sort(items.begin(), items.end());
        return items;
    }
    std::vector<std::uint64_t> scratch(keys.size());
    constexpr int Bits = 12;
    constexpr std::size_t Buckets = std::size_t{1} << Bits;
    std::vector<std::size_t> counts(Buckets + 1);
    // Draws of the same field need no order among themselves: the draw bits
    // are left out of the sort.
    for (int shift = IndexBits; shift < 64 && (maxItem >> shift) != 0; shift += Bits) {
        std::fill(counts.begin(), counts.end(), 0);
        for (std::uint64_t item : items)
            ++counts[((item >> shift) & (Buckets - 1)) + 1];
        for (std::size_t b = 1; b <= Buckets; ++b)
            counts[b] += counts[b - 1];
        for (std::uint64_t item : items)
            scratch[counts[(item >> shift) & (Buckets - 1)]++] = item;
        items.swap(scratch);
    }
    return items;
}

} // namespace

std::string listChangedMessage(const std::string& path, std::uint64_t fieldsFound)
{
    return "The word list " + quotedPath(path) + " has changed since it was counted: it now holds "
        + std::to_string(fieldsFound) + (fieldsFound == 1 ? " word" : " words")
        + ". Load it again to count it afresh.";
}

void FieldIndex::clear()
{
    marks_.clear();
    stride_ = 1;
}

void FieldIndex::offer(const Mark& mark, std::uint64_t block)
{
    if (block % stride_ != 0)
        return;
    marks_.push_back(mark);
    if (marks_.size() > maxMarks_) {
        // Full: keep every other mark and take half as many from now on.
        std::size_t kept = 0;
        for (std::size_t i = 0; i < marks_.size(); i += 2)
            marks_[kept++] = marks_[i];
        marks_.resize(kept);
        stride_ *= 2;
    }
}

const FieldIndex::Mark* FieldIndex::before(std::uint64_t target) const
{
    auto it = std::partition_point(marks_.begin(), marks_.end(),
                                   [&](const Mark& mark) { return mark.fieldsBefore < target; });
    return it == marks_.begin() ? nullptr : &*(it - 1);
}

Outcome<std::string> countFields(const std::string& path, const ProgressFn& progress, FieldIndex* index)
{
    auto opened = TextSource::open(path);
    if (!opened)
        return opened.error();
    TextSource& source = opened.value();
    if (index) {
        index->clear();
        if (source.isUtf16())
            index = nullptr; // its text offsets are not file offsets
    }

    const scan::Kernels& kernels = scan::bestKernels();
    std::vector<char> buffer(BlockSize);
    scan::CountState state;
    std::uint64_t textOffset = 0;
    for (std::uint64_t block = 0;; ++block) {
        auto n = source.read(buffer.data(), buffer.size());
        if (!n)
            return n.error();
        if (n.value() == 0)
            break;
        kernels.count(reinterpret_cast<const unsigned char*>(buffer.data()), n.value(), state);
        if (state.sawNul)
            return notWordList(path);
        if (index) {
            // The line after the block's last line end starts a field to come.
            for (std::size_t i = n.value(); i > 0; --i) {
                if (buffer[i - 1] == '\n' || buffer[i - 1] == '\r') {
                    index->offer({textOffset + i, state.fields}, block);
                    break;
                }
            }
        }
        textOffset += n.value();
        if (progress && !progress(source.bytesConsumed(), source.fileSize()))
            return cancelled();
    }
    if (state.carry == 0) // a last line with content and no line end
        ++state.fields;
    if (state.fields == 0)
        return std::string();
    return std::to_string(state.fields);
}

Outcome<std::string> fetchField(const std::string& path, std::uint64_t target)
{
    auto reader = WordListReader::open(path);
    if (!reader)
        return reader.error();
    std::string field;
    std::uint64_t counter = 0;
    while (counter != target) {
        auto more = reader.value().next(field);
        if (!more)
            return more.error();
        if (!more.value())
            return CoreError{ErrorCode::ListChanged, listChangedMessage(path, counter)};
        ++counter;
    }
    return field;
}

std::uint64_t PickedFields::packSpan(std::size_t begin, std::size_t size)
{
    if (size < BigSize && begin < (std::uint64_t{1} << (64 - SizeBits)))
        return (std::uint64_t{begin} << SizeBits) | size;
    bigSpans_.push_back({begin, size});
    return ((bigSpans_.size() - 1) << SizeBits) | BigSize;
}

std::string_view PickedFields::field(std::size_t i) const
{
    const std::uint64_t span = spans_[i];
    const std::size_t size = span & BigSize;
    if (size != BigSize)
        return {arena_.data() + (span >> SizeBits), size};
    const auto& big = bigSpans_[span >> SizeBits];
    return {arena_.data() + big.first, big.second};
}

std::size_t PickedFields::totalSize() const
{
    std::size_t total = 0;
    for (std::size_t i = 0; i < spans_.size(); ++i)
        total += field(i).size();
    return total;
}

Outcome<PickedFields> collectFields(const std::string& path, const std::vector<std::uint64_t>& targets,
                                    const ProgressFn& progress, const FieldIndex* index)
{
    PickedFields picked;
    picked.spans_.assign(targets.size(), 0);
    picked.arena_.reserve(std::min<std::size_t>(targets.size() * 16, std::size_t{64} << 20));
    if (targets.empty())
        return picked;
    if (targets.size() > IndexMask + 1)
        return CoreError{ErrorCode::TooManyPicks, "Too many words asked for at once."};
    for (std::uint64_t t : targets) {
        if (t == 0 || t > MaxFieldNumber)
            return CoreError{ErrorCode::InvalidCount, "Word number " + std::to_string(t) + " cannot be looked up."};
    }

    // Visit the targets in increasing order; the list is read once.
    const std::vector<std::uint64_t> order = sortedTargets(targets);

    auto opened = TextSource::open(path);
    if (!opened)
        return opened.error();
    TextSource& source = opened.value();
    const scan::Kernels& kernels = scan::bestKernels();

    std::size_t nextI = 0;
    std::uint64_t fields = 0;
    std::uint64_t carry = 1;

    // The buffer holds the line in progress from the previous block (only when
    // it is the next field wanted) followed by the newly read bytes.
    std::vector<char> buffer(BlockSize);
    std::size_t kept = 0;
    std::vector<std::uint64_t> lineEnds(PieceSize / 64);
    std::vector<std::uint64_t> blanks(PieceSize / 64);

    auto take = [&](const char* begin, const char* end) {
        const std::string_view text = trimmed(begin, end);
        const std::size_t at = picked.arena_.size();
        appendFieldUtf8(picked.arena_, text);
        const std::uint64_t span = picked.packSpan(at, picked.arena_.size() - at);
        while (nextI < order.size() && fieldOf(order[nextI]) == fields)
            picked.spans_[drawOf(order[nextI++])] = span;
    };

    std::uint64_t textOffset = 0; // where the next read starts
    if (source.isUtf16())
        index = nullptr;
    while (nextI < order.size()) {
        if (index && kept == 0) {
            // Skip ahead to the last line start before the next target.
            const FieldIndex::Mark* mark = index->before(fieldOf(order[nextI]));
            if (mark && mark->offset > textOffset) {
                auto moved = source.seek(mark->offset);
                if (!moved)
                    return moved.error();
                textOffset = mark->offset;
                fields = mark->fieldsBefore;
                carry = 1;
            }
        }
        if (buffer.size() < kept + BlockSize)
            buffer.resize(kept + BlockSize);
        auto n = source.read(buffer.data() + kept, BlockSize);
        if (!n)
            return n.error();
        textOffset += n.value();
        const std::size_t dataEnd = kept + n.value();
        std::size_t lineStart = 0; // where the line in progress begins
        if (n.value() == 0) {
            if (carry == 0) { // a last line with content and no line end
                ++fields;
                if (fieldOf(order[nextI]) == fields)
                    take(buffer.data(), buffer.data() + dataEnd);
            }
            break;
        }
        for (std::size_t pieceStart = kept; pieceStart < dataEnd && nextI < order.size(); pieceStart += PieceSize) {
            const std::size_t pieceLen = std::min(PieceSize, dataEnd - pieceStart);
            const auto* bytes = reinterpret_cast<const unsigned char*>(buffer.data() + pieceStart);
            // A piece of n bytes closes at most n / 2 + 1 fields: when the next
            // target lies beyond that, only count.
            if (fieldOf(order[nextI]) > fields + pieceLen / 2 + 2) {
                scan::CountState state {fields, carry, false};
                kernels.count(bytes, pieceLen, state);
                if (state.sawNul)
                    return notWordList(path);
                fields = state.fields;
                carry = state.carry;
                for (std::size_t i = pieceStart + pieceLen; i > pieceStart; --i) {
                    if (buffer[i - 1] == '\n' || buffer[i - 1] == '\r') {
                        lineStart = i;
                        break;
                    }
                }
                continue;
            }
            if (kernels.mask(bytes, pieceLen, lineEnds.data(), blanks.data()))
                return notWordList(path);
            const std::size_t chunks = (pieceLen + 63) / 64;
            for (std::size_t k = 0; k < chunks; ++k) {
                const std::uint64_t e = lineEnds[k];
                const std::uint64_t t = scan::addWithCarry(e, blanks[k], carry);
                std::uint64_t closing = e & ~t;
                const std::size_t base = pieceStart + 64 * k;
                if (closing != 0) {
                    const auto count = static_cast<std::uint64_t>(__builtin_popcountll(closing));
                    if (nextI < order.size() && fields + count >= fieldOf(order[nextI])) {
                        while (closing != 0 && nextI < order.size()) {
                            const int bit = __builtin_ctzll(closing);
                            closing &= closing - 1;
                            ++fields;
                            if (fieldOf(order[nextI]) != fields)
                                continue;
                            const std::uint64_t before = e & ((std::uint64_t{1} << bit) - 1);
                            const std::size_t start = before != 0
                                ? base + static_cast<std::size_t>(64 - __builtin_clzll(before))
                                : lineStart;
                            take(buffer.data() + start, buffer.data() + base + static_cast<std::size_t>(bit));
                        }
                        fields += static_cast<std::uint64_t>(__builtin_popcountll(closing));
                    } else {
                        fields += count;
                    }
                }
                if (e != 0)
                    lineStart = base + static_cast<std::size_t>(64 - __builtin_clzll(e));
            }
        }
        if (progress && !progress(source.bytesConsumed(), source.fileSize()))
            return cancelled();
        // Keep the unfinished line only when it is the next field wanted.
        if (nextI < order.size() && fields + 1 == fieldOf(order[nextI])) {
            kept = dataEnd - lineStart;
            std::memmove(buffer.data(), buffer.data() + lineStart, kept);
        } else {
            kept = 0;
        }
    }
    if (nextI < order.size())
        return CoreError{ErrorCode::ListChanged, listChangedMessage(path, fields)};
    return picked;
}

} // namespace tavilon
