#pragma once

#include "save_target.h"
#include "core/errors/outcome.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace tavilon {

// How a save reached the disk.
enum class WriteMethod {
    NewFile,         // a new file, written under a temporary name and renamed
    Replaced,        // a new copy took the old file's place in one rename
    RewrittenInPlace // the existing file was overwritten, space reserved first
};

struct WriteReport {
    std::string path;       // the file written: the user's path with its links followed
    WriteMethod method = WriteMethod::NewFile;
    std::uint64_t bytes = 0;
};

// Writes `content` to `path` (bytes of a local path) so that the file
// afterwards holds exactly `content`. A symbolic link is followed to the file
// it names and stays a link. An existing file keeps its hard links, owner,
// group and permissions, and can be saved wherever the file itself is
// writable, even in a folder that is not. Pipes, devices, sockets and folders
// are refused before anything is written (see resolveSaveTarget). A failure
// once writing began is a WriteFailed whose sentence names the file and says
// what became of it. A signal that ends the program meanwhile leaves the old
// file, or the finished new one (see SignalCleanup); past the file-size limit
// the save fails instead.
Outcome<WriteReport> writeFileKeepingIdentity(const std::string& path, std::string_view content);

} // namespace tavilon
