#pragma once

#include "core/errors/outcome.h"

#include <cstdint>
#include <string>

namespace tavilon {

// Where a save lands: the user's path with every symbolic link of its last
// part followed, so `path` itself is never a link, and what is there now.
struct SaveTarget {
    std::string path;           // the final name; never a symbolic link
    std::string folder;         // the folder that holds it ("." for a bare name)
    std::string name;           // its last part, without the folder
    bool exists = false;        // a regular file is there now
    std::uint64_t size = 0;     // the fields below are only set when it exists
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::uint64_t links = 0;
    unsigned mode = 0;          // permission bits, setuid/setgid/sticky included
    unsigned owner = 0;
    unsigned group = 0;
};

// Follows the symbolic links of `path` (at most 40 in a row) and checks that
// the end is a regular file or a free name in an existing folder. Nothing is
// opened or written. A folder, a pipe, a device or a socket is refused as
// NotRegularFile, anything else as OpenFailed; the error's `reason` says why
// in a few words and its `subject` is `path`.
Outcome<SaveTarget> resolveSaveTarget(const std::string& path);

// A save refused because `path` cannot be written (errno `err`): OpenFailed,
// or WriteFailed when the disk or the quota is full.
CoreError cannotWrite(const std::string& path, int err);

} // namespace tavilon
