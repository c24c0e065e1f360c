#pragma once

#include <cstdint>

namespace tavilon {

// Which file a path named at one moment, and how it stood: a file replaced
// by another (a rename over it) has another device or inode, and a file
// written since has another size or modification time.
struct FileIdentity {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::uint64_t size = 0;
    std::int64_t modifiedNs = 0; // modification time, nanoseconds since the epoch

    friend bool operator==(const FileIdentity&, const FileIdentity&) = default;
};

} // namespace tavilon
