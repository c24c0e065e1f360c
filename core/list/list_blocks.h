#pragma once

#include "read_buffer.h"
#include "text_source.h"
#include "word_index.h"
#include "core/errors/outcome.h"

#include <cstddef>
#include <cstdint>

namespace tavilon {

// The text of a list read block by block for a pass that picks words out
// of it. An index from counting the same, unchanged file lets the pass skip
// to a line start shortly before a word it wants.
class ListBlocks {
public:
    ListBlocks(TextSource& source, const WordIndex* index);

    TextSource& source() { return source_; }
    Outcome<void> rewind() { return source_.rewind(); }

    // Moves to the last line start the index knows before word `target`,
    // where that lies ahead. True when it moved, with the number of words
    // that end before that line start in `wordsBefore`.
    Outcome<bool> skipTowards(std::uint64_t target, std::uint64_t& wordsBefore);

    // Reads the next block; 0 at the end.
    Outcome<std::size_t> read();

    // The block last read.
    const char* data() const { return store_.data(); }
    const unsigned char* bytesAt(std::size_t offset) const
    {
        return reinterpret_cast<const unsigned char*>(data() + offset);
    }

private:
    TextSource& source_;
    const WordIndex* index_;
    ReadBuffer store_;
    std::uint64_t textOffset_ = 0;  // where the next read starts
    std::size_t nearBytesLeft_ = 0; // read in pages after a skip, until past the mark spacing
};

} // namespace tavilon
