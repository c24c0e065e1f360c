#pragma once

#include "input_file.h"
#include "core/errors/outcome.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace tavilon {

// The text of a word list as a stream of bytes in which line ends and
// blanks can be found directly: a UTF-8 byte-order mark is skipped, a file
// with a UTF-16 mark (either byte order) is turned into UTF-8 on the way,
// anything else is passed through as it is.
class TextSource {
public:
    static Outcome<TextSource> open(const std::string& path);
    static Outcome<TextSource> open(InputFile file);

    // Up to `capacity` bytes of text (capacity at least 16); 0 at the end.
    Outcome<std::size_t> read(char* dest, std::size_t capacity);

    // Moves to a position in the text, counted in bytes from the text's
    // start (after a byte-order mark). Only for text read as bytes.
    Outcome<void> seek(std::uint64_t textOffset);
    // Back to the start of the text, for any encoding.
    Outcome<void> rewind();

    bool isUtf16() const { return encoding_ != Encoding::Bytes; }
    // True while nothing has been handed out since opening or a move.
    bool atTextStart() const { return consumed_ == markLength_ + pending_.size() && !eof_; }
    // Where the text begins in the file (after a byte-order mark).
    std::uint64_t textStart() const { return markLength_; }
    // The file under the text, for scans that map it (text read as bytes only).
    const InputFile& file() const { return file_; }
    std::uint64_t fileSize() const { return file_.size(); }
    std::uint64_t bytesConsumed() const { return consumed_; }
    const std::string& path() const { return file_.path(); }
    const FileIdentity& identity() const { return file_.identity(); }
    Outcome<FileIdentity> currentIdentity() const { return file_.currentIdentity(); }
    // Whether the file was written since it was opened (or cannot be asked).
    bool changedSinceOpened() const;

private:
    enum class Encoding { Bytes, Utf16LE, Utf16BE };

    explicit TextSource(InputFile file);
    Outcome<std::size_t> readUtf16(char* dest, std::size_t capacity);

    InputFile file_;
    Encoding encoding_ = Encoding::Bytes;
    std::string pending_;     // bytes read while looking for a mark, not yet handed out
    std::vector<char> raw_;   // UTF-16 input
    char16_t highSurrogate_ = 0;
    bool eof_ = false;
    std::uint64_t consumed_ = 0;
    std::uint64_t markLength_ = 0;
};

} // namespace tavilon
