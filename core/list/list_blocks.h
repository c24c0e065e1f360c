#pragma once

#include "read_buffer.h"
#include "text_source.h"
#include "word_index.h"
#include "core/errors/outcome.h"

#include <cstddef>
#include <cstdint>

namespace tavilon {

// The text of a list read block by block for a pass that picks words out
// of it. The part of a line still in progress at the end of a block can be
// kept in front of the next block, and an index from counting the same,
// unchanged file lets the pass skip to a line start shortly before a word
// it wants.
class ListBlocks {
public:
    ListBlocks(TextSource& source, const WordIndex* index);

    TextSource& source() { return source_; }
    Outcome<void> rewind() { return source_.rewind(); }

    // Moves to the last line start the index knows before word `target`,
    // where that lies ahead and no line is kept. True when it moved, with
    // the number of words that end before that line start in `wordsBefore`.
    Outcome<bool> skipTowards(std::uint64_t target, std::uint64_t& wordsBefore);

    // Reads the next block after the kept part of a line; 0 at the end.
    Outcome<std::size_t> read();

    // The kept part of a line followed by the block last read.
    char* data() { return store_.data() + lead_; }
    const char* data() const { return store_.data() + lead_; }
    const unsigned char* bytesAt(std::size_t offset) const
    {
        return reinterpret_cast<const unsigned char*>(data() + offset);
    }
    std::size_t kept() const { return kept_; }

    // Keeps data()[begin, end) for the front of the next block; an empty
    // range keeps nothing.
    void keep(std::size_t begin, std::size_t end);

private:
    TextSource& source_;
    const WordIndex* index_;
    ReadBuffer store_;
    std::size_t lead_ = 0; // where data() begins in store_
    std::size_t kept_ = 0;
    std::uint64_t textOffset_ = 0;  // where the next read starts
    std::size_t nearBytesLeft_ = 0; // read in pages after a skip, until past the mark spacing
};

} // namespace tavilon
