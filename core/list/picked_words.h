#pragma once

#include "growing_bytes.h"
#include "large_allocator.h"
#include "text_source.h"
#include "word_index.h"
#include "core/errors/outcome.h"
#include "core/errors/progress.h"

#include <cstdint>
#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tavilon {

// The highest word number that can be looked up (far beyond any file).
constexpr std::uint64_t MaxWordNumber = (std::uint64_t{1} << 44) - 1;
// The most targets one pass looks up.
constexpr std::size_t MaxTargetsPerPass = std::size_t{1} << 20;

// How a word's bytes are kept: as UTF-8, converted where they are not (text
// the window shows), or exactly as read (names, which must come out as they
// went in).
enum class WordBytes { Utf8, AsRead };

// The words at the given targets (each 1-based, any order, repeats allowed)
// read in one pass over the list. Word i belongs to targets[i]; each
// distinct word is kept once, as its WordBytes say.
class PickedWords {
public:
    std::size_t size() const { return spans_.size(); }
    // The total size of all words, repeats counted.
    std::size_t totalSize() const;
    std::string_view word(std::size_t i) const
    {
        const std::uint64_t span = spans_[i];
        const std::size_t size = span & BigSize;
        if (size != BigSize)
            return {arena_.data() + (span >> SizeBits), size};
        return bigWord(span >> SizeBits);
    }

    // For the pass that fills it.
    void resize(std::size_t targets);
    // Appends a word's text (as read, converted to UTF-8); returns its span.
    std::uint64_t store(std::string_view bytes);
    // The same for bytes known to be ASCII, which need no conversion.
    std::uint64_t storeAscii(std::string_view bytes)
    {
        arena_.append(bytes);
        return storedFrom(stored_);
    }

    // A word that one read does not hold comes in parts, each added as it
    // is read (blanks around the word included) where the word is to stay,
    // so that a long word is held once. The parts then make a word, or go
    // where they made none. Nothing else is stored while parts are pending.
    void addPart(std::string_view bytes) { arena_.append(bytes); }
    std::string_view parts() const { return arena_.view().substr(stored_); }
    // Stores the parts as one word without its blanks; returns its span.
    std::uint64_t storeParts(WordBytes bytes);
    void dropParts() { arena_.truncate(stored_); }

    std::size_t storedSize() const { return stored_; }
    // Every distinct word once, one after another.
    std::string_view storedText() const { return arena_.view().substr(0, stored_); }
    void setSpan(std::size_t i, std::uint64_t span) { spans_[i] = span; }

    // Asks for word i's text, or for its span for writing, ahead of use: a
    // million picks land all over memory several times larger than the
    // processor's cache, and waiting for each in turn took most of their
    // time.
    void prefetchWord(std::size_t i) const { __builtin_prefetch(arena_.data() + (spans_[i] >> SizeBits)); }
    void prefetchSpan(std::size_t i) { __builtin_prefetch(&spans_[i], 1); }

private:
    // Where a word lies in arena_, packed as begin << SizeBits | size; a
    // word of BigSize bytes or more is kept in bigSpans_ instead.
    static constexpr int SizeBits = 24;
    static constexpr std::uint64_t BigSize = (std::uint64_t{1} << SizeBits) - 1;
    std::uint64_t packSpan(std::size_t begin, std::size_t size)
    {
        if (size < BigSize && begin < (std::uint64_t{1} << (64 - SizeBits)))
            return (std::uint64_t{begin} << SizeBits) | size;
        return packBigSpan(begin, size);
    }
    std::uint64_t packBigSpan(std::size_t begin, std::size_t size);
    std::string_view bigWord(std::size_t which) const;
    // The span of what was appended from `begin` on, which is now stored.
    std::uint64_t storedFrom(std::size_t begin)
    {
        stored_ = arena_.size();
        return packSpan(begin, stored_ - begin);
    }

    GrowingBytes arena_;                // each distinct word once, then any parts
    std::size_t stored_ = 0;            // the bytes of the words stored
    std::vector<std::uint64_t, LargeAllocator<std::uint64_t>> spans_; // each target's word
    std::vector<std::pair<std::size_t, std::size_t>> bigSpans_;
};

// Reads the words of an opened list from its start; the source is rewound
// first. Reading stops at the highest target. An index from counting the
// same, unchanged file lets it skip what lies between the targets. A target
// beyond the words the file holds means the file is not what was counted.
// The distinct words kept may take at most `textBudget` bytes.
Outcome<PickedWords> collectWords(TextSource& source, const std::vector<std::uint64_t>& targets,
                                  const ProgressFn& progress = {}, const WordIndex* index = nullptr,
                                  std::size_t textBudget = SIZE_MAX);

// The same for the file at `path`, opened for this pass alone.
Outcome<PickedWords> collectWords(const std::string& path, const std::vector<std::uint64_t>& targets,
                                  const ProgressFn& progress = {}, const WordIndex* index = nullptr);

} // namespace tavilon
