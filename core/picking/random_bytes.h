#pragma once

#include "core/errors/outcome.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace tavilon {

// Randomness read from a file's bytes: a device such as /dev/urandom for
// fresh draws on every run, or a fixed file for the same draws every time.
// Unlike a word list, it may be a device or a pipe, and its reads wait for
// data. Closed when the object goes.
class RandomBytes {
public:
    // Opens `path` for reading; `name` is what messages call it.
    static Outcome<RandomBytes> open(const std::string& path);
    // Reads from a copy of descriptor `fd` (standard input), called `name`.
    static Outcome<RandomBytes> duplicate(int fd, const std::string& name);

    RandomBytes(RandomBytes&& other) noexcept;
    RandomBytes& operator=(RandomBytes&& other) noexcept;
    RandomBytes(const RandomBytes&) = delete;
    RandomBytes& operator=(const RandomBytes&) = delete;
    ~RandomBytes();

    // A number from 0 to n - 1 (1 <= n <= MaxRange), each equally likely:
    // the fewest bytes b with 256^b >= n, read as a big-endian value, and
    // read again while the value is at or above 256^b - (256^b mod n), the
    // largest multiple of n that fits. Running out of bytes is an error.
    Outcome<std::uint64_t> below(std::uint64_t n);

    static constexpr std::uint64_t MaxRange = std::uint64_t{1} << 56;
    const std::string& name() const { return name_; }

private:
    RandomBytes(int fd, std::string name);
    Outcome<void> fill(unsigned char* dest, std::size_t size);

    int fd_ = -1;
    std::string name_;
    std::vector<unsigned char> buffer_;
    std::size_t begin_ = 0; // the unread bytes in buffer_ run from begin_ to end_
    std::size_t end_ = 0;
};

} // namespace tavilon
