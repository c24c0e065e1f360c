#pragma once

#include "outcome.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace tavilon {

// A regular file opened read-only. Anything that is not a regular file (a
// directory, a FIFO, a device) is refused before a byte is read, so opening
// never blocks. Closed when the object goes.
class InputFile {
public:
    static Outcome<InputFile> open(const std::string& path);

    InputFile(InputFile&& other) noexcept;
    InputFile& operator=(InputFile&& other) noexcept;
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;
    ~InputFile();

    // Reads up to `capacity` bytes; 0 means the end of the file.
    Outcome<std::size_t> read(char* dest, std::size_t capacity);
    // Moves to a byte offset from the start of the file.
    Outcome<bool> seek(std::uint64_t offset);

    std::uint64_t size() const { return size_; }
    const std::string& path() const { return path_; }

private:
    InputFile(int fd, std::uint64_t size, std::string path);
    void close();

    int fd_ = -1;
    std::uint64_t size_ = 0;
    std::string path_;
};

std::string quotedPath(const std::string& path);

} // namespace tavilon
