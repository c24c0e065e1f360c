#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string_view>
#include <utility>

namespace tavilon {

// Bytes in one block of memory that grows at its end through std::realloc,
// which moves the pages of a large block rather than copying them (glibc
// remaps them). A 100 MiB word read in parts is so held once as it grows;
// a std::string holds the old copy and the new one while it grows.
class GrowingBytes {
public:
    GrowingBytes() = default;
    GrowingBytes(GrowingBytes&& other) noexcept
        : data_(std::exchange(other.data_, nullptr)), size_(std::exchange(other.size_, 0)),
          capacity_(std::exchange(other.capacity_, 0))
    {
    }
    GrowingBytes& operator=(GrowingBytes&& other) noexcept
    {
        std::swap(data_, other.data_);
        std::swap(size_, other.size_);
        std::swap(capacity_, other.capacity_);
        return *this;
    }
    ~GrowingBytes() { std::free(data_); }

    const char* data() const { return data_; }
    std::size_t size() const { return size_; }
    std::string_view view() const { return {data_, size_}; }

    void reserve(std::size_t capacity)
    {
        if (capacity <= capacity_)
            return;
        void* grown = std::realloc(data_, capacity);
        if (!grown)
            throw std::bad_alloc();
        data_ = static_cast<char*>(grown);
        capacity_ = capacity;
    }

    void append(std::string_view bytes)
    {
        if (bytes.empty())
            return;
        if (bytes.size() > capacity_ - size_)
            reserve(std::max(size_ + bytes.size(), capacity_ + capacity_ / 2));
        std::memcpy(data_ + size_, bytes.data(), bytes.size());
        size_ += bytes.size();
    }

    // Keeps the first `size` bytes.
    void truncate(std::size_t size) { size_ = std::min(size, size_); }

    // Removes `count` bytes from `at` on.
    void erase(std::size_t at, std::size_t count)
    {
        if (count == 0)
            return;
        std::memmove(data_ + at, data_ + at + count, size_ - at - count);
        size_ -= count;
    }

private:
    char* data_ = nullptr;
    std::size_t size_ = 0;
    std::size_t capacity_ = 0;
};

} // namespace tavilon
