#pragma once

#include "core/errors/outcome.h"

#include <cstdint>
#include <string>
#include <vector>

namespace tavilon {

// Why a save was refused or failed; finer than ErrorCode, so that callers
// (and tests) can tell the cases apart without reading the message.
enum class WriteProblem {
    None,
    EmptyName,      // no file name at all
    LinkLoop,       // the symbolic links form a loop or nest too deep
    Folder,         // the name is a folder
    NotRegularFile, // a pipe, a device or a socket
    MissingFolder,  // the folder that should hold the file does not exist
    UnderAFile,     // a part of the folder path is a file
    CannotOpen,     // no permission, read-only file system, name too long, ...
    NoSpace,        // the disk or the quota is full
    WriteFailed,    // an input/output error part-way through
};

// The ErrorCode a WriteProblem travels under in a CoreError.
ErrorCode errorCodeFor(WriteProblem problem);

// A failed save: notes `what` in `problem` when given, and carries the
// sentence `pattern` filled with `args` for the window beside `subject` and
// `reason` for "NAME: reason"; with a `systemError`, the last of `args` is
// its systemReason().
CoreError saveError(WriteProblem* problem, WriteProblem what, const char* pattern, std::vector<std::string> args,
                    const std::string& subject, std::string reason, int systemError = 0);

// A save refused because `path` cannot be written (errno `err`).
CoreError cannotWrite(WriteProblem* problem, const std::string& path, int err);

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
// opened or written. On failure `problem`, when given, says why.
Outcome<SaveTarget> resolveSaveTarget(const std::string& path, WriteProblem* problem = nullptr);

// A file name between double quotes, as messages show it.
std::string quotedName(const std::string& path);

} // namespace tavilon
