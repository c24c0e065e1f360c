#pragma once

#include "read_buffer.h"
#include "text_source.h"
#include "core/errors/outcome.h"

#include <string>
#include <vector>

namespace tavilon {

// Reads a word list one word at a time, byte by byte.
class WordListReader {
public:
    static Outcome<WordListReader> open(const std::string& path);

    // The next word (UTF-8) into `word`; false at the end of the list.
    Outcome<bool> next(std::string& word);

private:
    explicit WordListReader(TextSource source);
    Outcome<bool> refill();

    TextSource source_;
    ReadBuffer buffer_;
    std::size_t pos_ = 0;
    std::size_t end_ = 0;
    bool atEnd_ = false;
};

} // namespace tavilon
