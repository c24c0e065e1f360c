#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

namespace tavilon {

class InputFile;

// A read-only mapping of part of a file, unmapped when the object goes.
// Touching a page that lies past the file's end (it was truncated after
// mapping) raises a bus error: touch the bytes
// only from inside runGuardedScan.
class MappedWindow {
public:
    // The alignment a window's file offset needs.
    static std::size_t granularity();

    // Maps `length` bytes from `offset` (a multiple of granularity()), or
    // gives nothing where the file cannot be mapped.
    static std::optional<MappedWindow> map(const InputFile& file, std::uint64_t offset, std::size_t length);

    MappedWindow(MappedWindow&& other) noexcept;
    MappedWindow& operator=(MappedWindow&& other) noexcept;
    MappedWindow(const MappedWindow&) = delete;
    MappedWindow& operator=(const MappedWindow&) = delete;
    ~MappedWindow();

    const unsigned char* data() const { return static_cast<const unsigned char*>(address_); }
    std::size_t size() const { return length_; }

private:
    MappedWindow(void* address, std::size_t length) : address_(address), length_(length) {}
    void unmap();

    void* address_ = nullptr;
    std::size_t length_ = 0;
};

} // namespace tavilon
