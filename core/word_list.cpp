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

constexpr std::size_t BlockSize = 1u << 20;  // reads of 1 MiB
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

} // namespace

std::string listChangedMessage(const std::string& path, std::uint64_t fieldsFound)
{
    return "The word list " + quotedPath(path) + " has changed since it was counted: it now holds "
        + std::to_string(fieldsFound) + (fieldsFound == 1 ? " word" : " words")
        + ". Load it again to count it afresh.";
}

Outcome<std::string> countFields(const std::string& path, const ProgressFn& progress)
{
    auto opened = TextSource::open(path);
    if (!opened)
        return opened.error();
    TextSource& source = opened.value();

    const scan::Kernels& kernels = scan::bestKernels();
    std::vector<char> buffer(BlockSize);
    scan::CountState state;
    for (;;) {
        auto n = source.read(buffer.data(), buffer.size());
        if (!n)
            return n.error();
        if (n.value() == 0)
            break;
        kernels.count(reinterpret_cast<const unsigned char*>(buffer.data()), n.value(), state);
        if (state.sawNul)
            return notWordList(path);
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

std::string_view PickedFields::field(std::size_t i) const
{
    const std::uint32_t slot = slotOfTarget_[i];
    const std::size_t begin = slot == 0 ? 0 : ends_[slot - 1];
    return std::string_view(arena_).substr(begin, ends_[slot] - begin);
}

Outcome<PickedFields> collectFields(const std::string& path, const std::vector<std::uint64_t>& targets,
                                    const ProgressFn& progress)
{
    PickedFields picked;
    picked.slotOfTarget_.assign(targets.size(), 0);
    if (targets.empty())
        return picked;
    for (std::uint64_t t : targets) {
        if (t == 0)
            return CoreError{ErrorCode::InvalidCount, "A word number of 0 was asked for."};
    }

    // Visit the targets in increasing order; the list is read once.
    std::vector<std::uint32_t> order(targets.size());
    std::iota(order.begin(), order.end(), 0u);
    std::sort(order.begin(), order.end(), [&](std::uint32_t a, std::uint32_t b) { return targets[a] < targets[b]; });

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
        picked.arena_ += fieldToUtf8(text);
        picked.ends_.push_back(picked.arena_.size());
        const auto slot = static_cast<std::uint32_t>(picked.ends_.size() - 1);
        while (nextI < order.size() && targets[order[nextI]] == fields)
            picked.slotOfTarget_[order[nextI++]] = slot;
    };

    while (nextI < order.size()) {
        if (buffer.size() < kept + BlockSize)
            buffer.resize(kept + BlockSize);
        auto n = source.read(buffer.data() + kept, BlockSize);
        if (!n)
            return n.error();
        const std::size_t dataEnd = kept + n.value();
        std::size_t lineStart = 0; // where the line in progress begins
        if (n.value() == 0) {
            if (carry == 0) { // a last line with content and no line end
                ++fields;
                if (targets[order[nextI]] == fields)
                    take(buffer.data(), buffer.data() + dataEnd);
            }
            break;
        }
        for (std::size_t pieceStart = kept; pieceStart < dataEnd && nextI < order.size(); pieceStart += PieceSize) {
            const std::size_t pieceLen = std::min(PieceSize, dataEnd - pieceStart);
            const auto* bytes = reinterpret_cast<const unsigned char*>(buffer.data() + pieceStart);
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
                    if (nextI < order.size() && fields + count >= targets[order[nextI]]) {
                        while (closing != 0 && nextI < order.size()) {
                            const int bit = __builtin_ctzll(closing);
                            closing &= closing - 1;
                            ++fields;
                            if (targets[order[nextI]] != fields)
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
        if (nextI < order.size() && fields + 1 == targets[order[nextI]]) {
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
