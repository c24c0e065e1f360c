#include "input_spool.h"

#include "core/errors/core_errors.h"
#include "core/saving/signal_cleanup.h"
#include "core/saving/unique_fd.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <vector>

#include <fcntl.h>
#include <poll.h>
#include <pthread.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tavilon {

namespace {

CoreError spoolError(const std::string& folder, int err)
{
    return sentenceError(ErrorCode::WriteFailed, "Cannot keep standard input in a temporary file in \"%1\": %2.",
                         {folder, systemReason(err)}, folder,
                         "cannot keep standard input in a temporary file here: " + systemReason(err), err);
}

// Standard input that cannot be read: closed, or open for writing only.
CoreError notReadableError(const std::string& name, bool closed)
{
    if (closed)
        return sentenceError(ErrorCode::ReadFailed, "Cannot read \"%1\": it is closed.", {name}, name, "it is closed");
    return sentenceError(ErrorCode::ReadFailed, "Cannot read \"%1\": it is not open for reading.", {name}, name,
                         "it is not open for reading");
}

// Makes the file and removes its name before any signal can end the program.
Outcome<int> makeUnnamedFile(const std::string& folder)
{
    std::string pattern = folder;
    if (pattern.back() != '/')
        pattern += '/';
    pattern += "tavilon-pick-XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');

    HeldEndingSignals held;
    UniqueFd fd(::mkstemp(name.data()));
    if (fd.get() < 0)
        return spoolError(folder, errno);
    if (::unlink(name.data()) != 0)
        return spoolError(folder, errno); // cannot be: the folder let us create it
    ::fcntl(fd.get(), F_SETFD, FD_CLOEXEC);
    return fd.release();
}

// While it lives, a write past the file-size limit fails with EFBIG, which
// is said, instead of ending the program without a word (SIGXFSZ).
class FileSizeLimitFails {
public:
    FileSizeLimitFails()
    {
        struct sigaction ignore {};
        ignore.sa_handler = SIG_IGN;
        sigemptyset(&ignore.sa_mask);
        ::sigaction(SIGXFSZ, &ignore, &previous_);
    }
    ~FileSizeLimitFails() { ::sigaction(SIGXFSZ, &previous_, nullptr); }
    FileSizeLimitFails(const FileSizeLimitFails&) = delete;
    FileSizeLimitFails& operator=(const FileSizeLimitFails&) = delete;

private:
    struct sigaction previous_ {};
};

// Waits until `fd`, left non-blocking by whoever opened it, has data or its end.
bool awaitData(int fd)
{
    pollfd ready{fd, POLLIN, 0};
    while (::poll(&ready, 1, -1) < 0)
        if (errno != EINTR)
            return false;
    return true;
}

bool writeAll(int fd, const char* data, std::size_t size)
{
    while (size > 0) {
        const ssize_t written = ::write(fd, data, size);
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        data += written;
        size -= static_cast<std::size_t>(written);
    }
    return true;
}

} // namespace

std::string spoolFolder()
{
    const char* tmpdir = std::getenv("TMPDIR");
    return tmpdir && *tmpdir ? std::string(tmpdir) : std::string("/tmp");
}

Outcome<InputFile> spoolToPrivateFile(int fd, const std::string& name)
{
    // A closed descriptor must not read as an empty list; the spool made
    // below could even take its number and be read as the input itself.
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags < 0 || (flags & O_ACCMODE) == O_WRONLY)
        return notReadableError(name, flags < 0);
    const std::string folder = spoolFolder();
    auto made = makeUnnamedFile(folder);
    if (!made)
        return made.error();
    UniqueFd spool(made.value());

    std::vector<char> buffer(std::size_t{1} << 16);
    const FileSizeLimitFails limit;
    for (;;) {
        const ssize_t got = ::read(fd, buffer.data(), buffer.size());
        if (got == 0)
            break;
        if (got < 0) {
            if (errno == EINTR || ((errno == EAGAIN || errno == EWOULDBLOCK) && awaitData(fd)))
                continue;
            return readFailedError(name, errno);
        }
        if (!writeAll(spool.get(), buffer.data(), static_cast<std::size_t>(got)))
            return spoolError(folder, errno);
    }
    if (::lseek(spool.get(), 0, SEEK_SET) != 0)
        return spoolError(folder, errno);
    return InputFile::adopt(spool.release(), name);
}

Outcome<InputFile> openStandardInput(int fd, const std::string& name)
{
    struct stat st {};
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags >= 0 && (flags & O_ACCMODE) != O_WRONLY && ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode)
        && ::lseek(fd, 0, SEEK_CUR) == 0) {
        if (auto inPlace = InputFile::reopen(fd, name))
            return inPlace;
    }
    return spoolToPrivateFile(fd, name);
}

bool namesPipe(const std::string& path)
{
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISFIFO(st.st_mode);
}

Outcome<InputFile> openNamedPipe(const std::string& path)
{
    const UniqueFd pipe(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY));
    if (pipe.get() < 0)
        return openFailedError(path, errno);
    return spoolToPrivateFile(pipe.get(), path);
}

} // namespace tavilon
