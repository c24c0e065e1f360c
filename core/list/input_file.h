#pragma once

#include "core/errors/file_identity.h"
#include "core/errors/outcome.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace tavilon {

// A regular file opened read-only. Anything that is not a regular file (a
// directory, a FIFO, a device) is refused before a byte is read, so opening
// never blocks. Reads never wait either: a file that has nothing to give yet
// (some kernel files are regular files that wait for data) is reported as
// not answering. Closed when the object goes.
class InputFile {
public:
    static Outcome<InputFile> open(const std::string& path);
    // The regular file behind the descriptor `fd` opened again, with
    // open()'s checks, on an open file of its own: the caller's keeps its
    // offset and flags. `name` is what messages call it.
    static Outcome<InputFile> reopen(int fd, std::string name);
    // Takes over a descriptor opened elsewhere, without the file-type check
    // (`name` is what messages call it). Its reads do not wait either.
    static InputFile adopt(int fd, std::string name);

    InputFile(InputFile&& other) noexcept;
    InputFile& operator=(InputFile&& other) noexcept;
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;
    ~InputFile();

    // Reads up to `capacity` bytes; 0 means the end of the file.
    Outcome<std::size_t> read(char* dest, std::size_t capacity);
    // Moves to a byte offset from the start of the file.
    Outcome<void> seek(std::uint64_t offset);

    std::uint64_t size() const { return size_; }
    // The open descriptor, for mapping the file; stays owned by this object.
    int descriptor() const { return fd_; }
    // The file as it stood when it was opened.
    const FileIdentity& identity() const { return identity_; }
    // The file as it stands now (the same file, even if its name has moved).
    Outcome<FileIdentity> currentIdentity() const;
    const std::string& path() const { return path_; }

private:
    InputFile(int fd, const FileIdentity& identity, std::string path);
    void close();

    int fd_ = -1;
    std::uint64_t size_ = 0;
    FileIdentity identity_;
    std::string path_;
};

} // namespace tavilon
