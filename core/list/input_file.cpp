#include "input_file.h"

#include "core/errors/core_errors.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <unistd.h>

namespace tavilon {

namespace {

int openReadOnly(const std::string& path)
{
    // O_NONBLOCK so that a FIFO without a writer cannot hang the open; the
    // file type is checked before any read.
    return ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
}
bool statFile(int fd, struct stat& st) { return ::fstat(fd, &st) == 0; }
FileIdentity identityOf(const struct stat& st)
{
    return {static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino),
            static_cast<std::uint64_t>(st.st_size),
            static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1'000'000'000 + st.st_mtim.tv_nsec};
}
void keepReadsFromWaiting(int fd)
{
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags >= 0)
        ::fcntl(fd, F_SETFL, flags | O_NONBLOCK);
}
// A file of the kernel's attribute file systems (sysfs and its kin) says it
// holds a page of bytes whatever it holds, so no count of it would hold:
// it is refused as not a regular file. /proc's files say they hold nothing
// and are read to their end.
bool sizeIsMadeUp(int fd)
{
    struct statfs fs {};
    if (::fstatfs(fd, &fs) != 0)
        return false;
    switch (static_cast<unsigned long>(fs.f_type)) {
    case 0x62656572: // sysfs
    case 0x64626720: // debugfs
    case 0x74726163: // tracefs
    case 0x73636673: // securityfs
    case 0x62656570: // configfs
    case 0x27e0eb:   // cgroup
    case 0x63677270: // cgroup2
        return true;
    default:
        return false;
    }
}
bool isRegular(int fd, const struct stat& st) { return S_ISREG(st.st_mode) && !sizeIsMadeUp(fd); }
// The sentence for a file of the kind kindOf() names, one whole sentence
// for each kind.
const char* notListSentence(const struct stat& st)
{
    if (S_ISDIR(st.st_mode))
        return TAVILON_SENTENCE("CoreError", "\"%1\" is a folder, not a word list file.");
    if (S_ISFIFO(st.st_mode))
        return TAVILON_SENTENCE("CoreError", "\"%1\" is a pipe, not a word list file.");
    if (S_ISCHR(st.st_mode) || S_ISBLK(st.st_mode))
        return TAVILON_SENTENCE("CoreError", "\"%1\" is a device, not a word list file.");
    if (S_ISSOCK(st.st_mode))
        return TAVILON_SENTENCE("CoreError", "\"%1\" is a socket, not a word list file.");
    return TAVILON_SENTENCE("CoreError", "\"%1\" is not a regular file, not a word list file.");
}

CoreError notListError(const std::string& path, const struct stat& st)
{
    // sysfs's files are regular files whose size means nothing
    const std::string kind = S_ISREG(st.st_mode) ? "not a regular file" : kindOf(st.st_mode);
    return sentenceError(ErrorCode::NotRegularFile, notListSentence(st), {path}, path,
                         "is " + kind + ", not a word list file");
}

} // namespace

Outcome<InputFile> InputFile::open(const std::string& path)
{
    if (path.empty())
        return sentenceError(ErrorCode::OpenFailed,
                             TAVILON_SENTENCE("CoreError", "No word list is chosen (the file name is empty)."), {});
    const int fd = openReadOnly(path);
    struct stat st {};
    if (fd < 0) {
        const int err = errno;
        // a socket cannot be opened at all: say what it is
        if (::stat(path.c_str(), &st) == 0 && S_ISSOCK(st.st_mode))
            return notListError(path, st);
        return openFailedError(path, err);
    }
    if (!statFile(fd, st)) {
        const int err = errno;
        ::close(fd);
        return openFailedError(path, err);
    }
    if (!isRegular(fd, st)) {
        ::close(fd);
        return notListError(path, st);
    }
    // The descriptor stays non-blocking: a regular file reads as usual, and
    // one that would wait says so instead.
    return InputFile(fd, identityOf(st), path);
}

Outcome<InputFile> InputFile::reopen(int fd, std::string name)
{
    const std::string path = "/proc/self/fd/" + std::to_string(fd);
    const int own = openReadOnly(path);
    struct stat st {};
    if (own < 0 || !statFile(own, st)) {
        const int err = errno;
        if (own >= 0)
            ::close(own);
        return openFailedError(name, err);
    }
    if (!isRegular(own, st)) {
        ::close(own);
        return notListError(name, st);
    }
    return InputFile(own, identityOf(st), std::move(name));
}

InputFile InputFile::adopt(int fd, std::string name)
{
    keepReadsFromWaiting(fd);
    struct stat st {};
    FileIdentity identity;
    if (statFile(fd, st))
        identity = identityOf(st);
    return InputFile(fd, identity, std::move(name));
}

InputFile::InputFile(int fd, const FileIdentity& identity, std::string path)
    : fd_(fd), size_(identity.size), identity_(identity), path_(std::move(path))
{
}

InputFile::InputFile(InputFile&& other) noexcept
    : fd_(other.fd_), size_(other.size_), identity_(other.identity_), path_(std::move(other.path_))
{
    other.fd_ = -1;
}

InputFile& InputFile::operator=(InputFile&& other) noexcept
{
    if (this != &other) {
        close();
        fd_ = other.fd_;
        size_ = other.size_;
        identity_ = other.identity_;
        path_ = std::move(other.path_);
        other.fd_ = -1;
    }
    return *this;
}

InputFile::~InputFile()
{
    close();
}

void InputFile::close()
{
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
}

Outcome<std::size_t> InputFile::read(char* dest, std::size_t capacity)
{
    for (;;) {
        const ssize_t got = ::read(fd_, dest, capacity);
        if (got >= 0)
            return static_cast<std::size_t>(got);
        if (errno == EINTR)
            continue;
        const int err = errno;
        if (err == EAGAIN || err == EWOULDBLOCK)
            return sentenceError(ErrorCode::ReadFailed,
                                 TAVILON_SENTENCE("CoreError", "Cannot read \"%1\": the file does not answer (it waits "
                                                               "for data that may never come), so it is not a word list."),
                                 {path_}, path_, "does not answer (it waits for data that may never come)");
        return readFailedError(path_, err);
    }
}

Outcome<FileIdentity> InputFile::currentIdentity() const
{
    struct stat st {};
    if (!statFile(fd_, st)) {
        const int err = errno;
        return readFailedError(path_, err);
    }
    return identityOf(st);
}

Outcome<void> InputFile::seek(std::uint64_t offset)
{
    if (::lseek(fd_, static_cast<off_t>(offset), SEEK_SET) < 0) {
        const int err = errno;
        return readFailedError(path_, err);
    }
    return {};
}

} // namespace tavilon
