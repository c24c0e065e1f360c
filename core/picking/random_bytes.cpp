#include "random_bytes.h"

#include "core/errors/core_errors.h"

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <utility>

#include <fcntl.h>
#include <unistd.h>

namespace tavilon {

namespace {

constexpr std::size_t BufferSize = 4096;

// Only tavilon-pick reads a random source, so its sentences are left
// unmarked: no window shows them, and the translators need not word them.
CoreError sourceError(const std::string& name, const char* pattern, int err)
{
    return sentenceError(ErrorCode::ReadFailed, pattern, {name, systemReason(err)}, name, systemReason(err), err);
}

CoreError openError(const std::string& name, int err)
{
    return sourceError(name, "Cannot open the random source \"%1\": %2.", err);
}

CoreError readError(const std::string& name, int err)
{
    return sourceError(name, "Cannot read the random source \"%1\": %2.", err);
}

CoreError ranOutError(const std::string& name)
{
    return sentenceError(ErrorCode::ReadFailed,
                         "The random source \"%1\" ran out of bytes before the draws were done.", {name}, name,
                         "end of file: too few random bytes for these draws");
}

} // namespace

Outcome<RandomBytes> RandomBytes::open(const std::string& path)
{
    // Blocking on purpose: a device or a pipe gives its bytes as they come.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY);
    if (fd < 0)
        return openError(path, errno);
    return RandomBytes(fd, path);
}

Outcome<RandomBytes> RandomBytes::duplicate(int fd, const std::string& name)
{
    const int copy = fd < 0 ? -1 : ::fcntl(fd, F_DUPFD_CLOEXEC, 3);
    if (copy < 0)
        return readError(name, fd < 0 ? EBADF : errno);
    // Standard input may have been left non-blocking by whoever passed it.
    const int flags = ::fcntl(copy, F_GETFL);
    if (flags >= 0 && (flags & O_NONBLOCK))
        ::fcntl(copy, F_SETFL, flags & ~O_NONBLOCK);
    return RandomBytes(copy, name);
}

RandomBytes::RandomBytes(int fd, std::string name) : fd_(fd), name_(std::move(name)), buffer_(BufferSize) {}

RandomBytes::RandomBytes(RandomBytes&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)), name_(std::move(other.name_)), buffer_(std::move(other.buffer_)),
      begin_(other.begin_), end_(other.end_)
{
}

RandomBytes& RandomBytes::operator=(RandomBytes&& other) noexcept
{
    if (this != &other) {
        if (fd_ >= 0)
            ::close(fd_);
        fd_ = std::exchange(other.fd_, -1);
        name_ = std::move(other.name_);
        buffer_ = std::move(other.buffer_);
        begin_ = other.begin_;
        end_ = other.end_;
    }
    return *this;
}

RandomBytes::~RandomBytes()
{
    if (fd_ >= 0)
        ::close(fd_);
}

Outcome<void> RandomBytes::fill(unsigned char* dest, std::size_t size)
{
    while (size > 0) {
        if (begin_ == end_) {
            const ssize_t got = ::read(fd_, buffer_.data(), buffer_.size());
            if (got < 0 && errno == EINTR)
                continue;
            if (got < 0)
                return readError(name_, errno);
            if (got == 0)
                return ranOutError(name_);
            begin_ = 0;
            end_ = static_cast<std::size_t>(got);
        }
        const std::size_t taken = std::min(size, end_ - begin_);
        std::memcpy(dest, buffer_.data() + begin_, taken);
        begin_ += taken;
        dest += taken;
        size -= taken;
    }
    return {};
}

Outcome<std::uint64_t> RandomBytes::below(std::uint64_t n)
{
    if (n == 0 || n > MaxRange)
        return sentenceError(ErrorCode::InvalidCount, "A random number below %1 cannot be drawn.",
                             {std::to_string(n)});
    // span = 256^b, the fewest bytes b with 256^b >= n; n <= 2^56 keeps it
    // within 64 bits.
    const std::size_t bytes = (static_cast<std::size_t>(std::bit_width(n - 1)) + 7) / 8;
    const std::uint64_t span = std::uint64_t{1} << (8 * bytes);
    for (;;) {
        std::uint64_t value = 0;
        if (end_ - begin_ >= bytes) { // most draws: read from the buffer in place
            for (std::size_t i = 0; i < bytes; ++i)
                value = value << 8 | buffer_[begin_ + i];
            begin_ += bytes;
        } else {
            unsigned char raw[8] {};
            if (auto filled = fill(raw, bytes); !filled)
                return filled.error();
            for (std::size_t i = 0; i < bytes; ++i)
                value = value << 8 | raw[i];
        }
        // Kept while below the largest multiple of n that fits in span,
        // that is while the multiple of n at or below it leaves room for n
        // more: one division a draw, in 32 bits where n fits in them.
        const std::uint64_t rest = n <= UINT32_MAX
            ? static_cast<std::uint32_t>(value) % static_cast<std::uint32_t>(n)
            : value % n;
        if (value - rest <= span - n)
            return rest;
    }
}

} // namespace tavilon
