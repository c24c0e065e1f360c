#include "word_list_reader.h"

#include "blanks.h"

#include "text_decode.h"
#include "core/errors/core_errors.h"

namespace tavilon {

namespace {

bool isLineEnd(char c) { return c == '\n' || c == '\r'; }

// The line without its surrounding blanks, as UTF-8, when anything is left.
bool trimmedWord(const std::string& line, std::string& word)
{
    const std::string_view trimmed = trimBlanks(line);
    if (trimmed.empty())
        return false;
    word = wordToUtf8(trimmed);
    return true;
}

} // namespace

Outcome<WordListReader> WordListReader::open(const std::string& path)
{
    auto source = TextSource::open(path);
    if (!source)
        return source.error();
    return WordListReader(std::move(source.value()));
}

WordListReader::WordListReader(TextSource source) : source_(std::move(source)), buffer_(64 * 1024) {}

Outcome<bool> WordListReader::refill()
{
    auto n = source_.read(buffer_.data(), buffer_.size());
    if (!n)
        return n.error();
    pos_ = 0;
    end_ = n.value();
    if (end_ == 0)
        atEnd_ = true;
    return end_ != 0;
}

Outcome<bool> WordListReader::next(std::string& word)
{
    std::string line;
    for (;;) {
        if (pos_ == end_) {
            if (atEnd_)
                break;
            auto more = refill();
            if (!more)
                return more.error();
            if (!more.value())
                break;
        }
        const char c = buffer_[pos_++];
        if (c == '\0')
            return notWordListError(source_.path());
        if (!isLineEnd(c)) {
            line.push_back(c);
            continue;
        }
        if (trimmedWord(line, word))
            return true;
        line.clear();
    }
    // The last line may have no line end.
    return trimmedWord(line, word);
}

} // namespace tavilon
