#include "file_writer.h"

#include "signal_cleanup.h"
#include "unique_fd.h"
#include "core/errors/core_errors.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <optional>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

#ifdef __linux__
#include <sys/xattr.h>
#endif

namespace tavilon {

namespace {

// A temporary file in the target's folder, removed unless it was renamed,
// also when a signal ends the program while it exists.
class TemporaryName {
public:
    explicit TemporaryName(int folder) : folder_(folder) {}
    TemporaryName(const TemporaryName&) = delete;
    TemporaryName& operator=(const TemporaryName&) = delete;
    ~TemporaryName()
    {
        if (!name_.empty())
            ::unlinkat(folder_, name_.c_str(), 0);
        cleanup_.disarm();
    }
    // Creates a fresh file; the name is short so that it fits any folder
    // whatever the length of the target's own name.
    int create(mode_t mode)
    {
        static constexpr char letters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
        std::random_device seed;
        std::mt19937 random(seed());
        std::uniform_int_distribution<int> pick(0, int(sizeof letters) - 2);
        for (int attempt = 0; attempt < 100; ++attempt) {
            std::string name = ".tavilon-";
            for (int i = 0; i < 6; ++i)
                name += letters[pick(random)];
            HeldEndingSignals held; // no signal between making the file and arming its removal
            const int fd = ::openat(folder_, name.c_str(),
                                    O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW | O_NOCTTY, mode);
            if (fd >= 0) {
                cleanup_.arm(folder_, name);
                name_ = std::move(name);
                return fd;
            }
            if (errno != EEXIST)
                return -1;
        }
        errno = EEXIST;
        return -1;
    }
    const std::string& name() const { return name_; }
    void keep()
    {
        name_.clear();
        cleanup_.disarm();
    }

private:
    int folder_;
    std::string name_;
    SignalCleanup cleanup_;
};

// Writes all of `data` at `offset`, through short writes and interruptions;
// `done` tells how far it got. With `undo`, each write is noted there before
// it starts, in pieces, so that a signal puts back only what was reached.
bool writeAll(int fd, std::string_view data, std::uint64_t offset, int& err, std::size_t& done,
              SignalCleanup* undo = nullptr)
{
    done = 0;
    while (done < data.size()) {
        const std::size_t chunk = std::min<std::size_t>(data.size() - done, std::size_t(1) << (undo ? 24 : 30));
        if (undo)
            undo->reach(offset + done + chunk);
        const ssize_t written = ::pwrite(fd, data.data() + done, chunk, static_cast<off_t>(offset + done));
        if (written < 0) {
            if (errno == EINTR)
                continue;
            err = errno;
            return false;
        }
        if (written == 0) {
            err = ENOSPC;
            return false;
        }
        done += static_cast<std::size_t>(written);
    }
    return true;
}

bool writeAll(int fd, std::string_view data, std::uint64_t offset, int& err)
{
    std::size_t done = 0;
    return writeAll(fd, data, offset, err, done);
}

bool readAll(int fd, std::string& into, std::size_t size)
{
    into.assign(size, '\0');
    std::size_t done = 0;
    while (done < size) {
        const ssize_t got = ::pread(fd, into.data() + done, size - done, static_cast<off_t>(done));
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return false;
        done += static_cast<std::size_t>(got);
    }
    return true;
}

bool syncFile(int fd, int& err)
{
    while (::fsync(fd) != 0) {
        if (errno != EINTR) {
            err = errno;
            return false;
        }
    }
    return true;
}

// Makes sure the disk holds room for `newSize` bytes before a byte of the old
// content is overwritten. Where the file system cannot reserve space, the
// file is grown with zeros past its old end instead; the old bytes stay.
// Returns 0, or the errno value of the step that failed.
int reserveSpace(int fd, std::uint64_t oldSize, std::uint64_t newSize)
{
    if (newSize == 0)
        return 0;
#ifdef __linux__
    int result;
    do {
        result = ::fallocate(fd, 0, 0, static_cast<off_t>(newSize));
    } while (result != 0 && errno == EINTR);
    if (result == 0)
        return 0;
    if (errno != EOPNOTSUPP && errno != ENOSYS)
        return errno;
#else
    const int reserved = ::posix_fallocate(fd, 0, static_cast<off_t>(newSize));
    if (reserved != EINVAL && reserved != EOPNOTSUPP)
        return reserved;
#endif
    // The reservation's own error is not the save's: only the zeros can fail it now.
    static const std::string zeros(std::size_t(64) << 10, '\0');
    for (std::uint64_t at = oldSize; at < newSize;) {
        const auto chunk = static_cast<std::size_t>(std::min<std::uint64_t>(zeros.size(), newSize - at));
        int err = 0;
        if (!writeAll(fd, std::string_view(zeros).substr(0, chunk), at, err))
            return err;
        at += chunk;
    }
    return 0;
}

// Puts the size back after a reservation that failed or was not used.
// False when the size could not be put back.
bool restoreSize(int fd, std::uint64_t oldSize)
{
    struct stat st {};
    if (::fstat(fd, &st) != 0)
        return false;
    return static_cast<std::uint64_t>(st.st_size) == oldSize || ::ftruncate(fd, static_cast<off_t>(oldSize)) == 0;
}

#ifdef __linux__
// Gives the new copy the old file's extended attributes (access control
// lists among them). False when one cannot be read or set.
bool copyExtendedAttributes(const std::string& from, int to)
{
    ssize_t listSize = ::llistxattr(from.c_str(), nullptr, 0);
    if (listSize < 0)
        return errno == ENOTSUP;
    if (listSize == 0)
        return true;
    std::string names(static_cast<std::size_t>(listSize), '\0');
    listSize = ::llistxattr(from.c_str(), names.data(), names.size());
    if (listSize < 0)
        return false;
    names.resize(static_cast<std::size_t>(listSize));
    for (std::size_t at = 0; at < names.size();) {
        const std::string name(names.c_str() + at);
        at += name.size() + 1;
        if (name.empty())
            continue;
        const ssize_t size = ::lgetxattr(from.c_str(), name.c_str(), nullptr, 0);
        if (size < 0)
            return false;
        std::string value(static_cast<std::size_t>(size), '\0');
        const ssize_t got = ::lgetxattr(from.c_str(), name.c_str(), value.data(), value.size());
        if (got < 0)
            return false;
        if (::fsetxattr(to, name.c_str(), value.data(), static_cast<std::size_t>(got), 0) != 0)
            return false;
    }
    return true;
}
#endif

int openFolder(const std::string& folder)
{
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
#ifdef O_PATH
    // A folder that may be searched but not listed still takes new names.
    if (fd < 0 && errno == EACCES)
        return ::open(folder.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
#endif
    return fd;
}

// A save that failed with `err` once writing began: `pattern` says so and
// what became of the file, and `after` adds the same to the short reason.
CoreError writeError(const std::string& path, int err, const char* pattern, const char* after)
{
    const std::string reason = systemReason(err);
    return sentenceError(ErrorCode::WriteFailed, pattern, {path, reason}, path, reason + after, err);
}

// A save that failed before the old file changed, or that put it back whole.
CoreError leftAsItWas(const std::string& path, int err)
{
    return writeError(path, err,
                      TAVILON_SENTENCE("CoreError", "Saving \"%1\" failed: %2. The file was left as it was."),
                      "; the file was left as it was");
}

// Gives the new copy `fd` the old file's owner, group, attributes and
// permissions. False when one of them cannot be given.
bool takeOverIdentity(int fd, const SaveTarget& target)
{
    struct stat made {};
    if (::fstat(fd, &made) != 0)
        return false;
    // The owner first: a change of owner clears the setuid and setgid bits.
    if ((made.st_uid != target.owner || made.st_gid != target.group)
        && ::fchown(fd, static_cast<uid_t>(target.owner), static_cast<gid_t>(target.group)) != 0)
        return false;
#ifdef __linux__
    if (!copyExtendedAttributes(target.path, fd))
        return false;
#endif
    return ::fchmod(fd, static_cast<mode_t>(target.mode)) == 0;
}

// Writes a complete copy under a temporary name in the same folder, gives it
// the old file's owner, group, attributes and permissions, syncs it and
// renames it over the name. Returns nothing when this way cannot keep what
// the old file had (its folder is not writable, its owner cannot be given,
// the name is a mount point): the caller then rewrites the file in place.
std::optional<Outcome<WriteReport>> replaceByRename(const std::string& userPath, const SaveTarget& target,
                                                    std::string_view content)
{
    const bool existing = target.exists;
    const auto cannotCreate = [&](int err) -> std::optional<Outcome<WriteReport>> {
        if (existing)
            return std::nullopt;
        return Outcome<WriteReport>(cannotWrite(userPath, err));
    };
    const auto writeFailed = [&](int err) -> std::optional<Outcome<WriteReport>> {
        if (existing)
            return Outcome<WriteReport>(leftAsItWas(userPath, err));
        return Outcome<WriteReport>(
            writeError(userPath, err, TAVILON_SENTENCE("CoreError", "Saving \"%1\" failed: %2. No file was made."),
                       "; no file was made"));
    };

    UniqueFd folder(openFolder(target.folder));
    if (!folder.valid())
        return cannotCreate(errno);
    TemporaryName temporary(folder.get());
    UniqueFd file(temporary.create(existing ? 0600 : 0666));
    if (!file.valid())
        return cannotCreate(errno);
    if (existing && !takeOverIdentity(file.get(), target))
        return std::nullopt;

    int err = 0;
    if (!writeAll(file.get(), content, 0, err) || !syncFile(file.get(), err) || (err = file.closeChecked()) != 0)
        return writeFailed(err);
    if (::renameat(folder.get(), temporary.name().c_str(), folder.get(), target.name.c_str()) != 0) {
        err = errno;
        if (existing && (err == EXDEV || err == EBUSY))
            return std::nullopt;
        return writeFailed(err);
    }
    temporary.keep();
    // The rename itself reaches the disk with the folder; a folder opened
    // only for its path cannot be synced, and the save stands without it.
    (void)::fsync(folder.get());
    return Outcome<WriteReport>(WriteReport{target.path, existing ? WriteMethod::Replaced : WriteMethod::NewFile,
                                            content.size()});
}

// Overwrites the existing file itself, so that every hard link, the owner,
// the group, the permissions and any attributes stay. Space for the new
// content is reserved before the first byte is overwritten; when a write
// still fails, the overwritten bytes are put back where that is possible.
class InPlaceRewrite {
public:
    InPlaceRewrite(const std::string& userPath, std::string_view content) : userPath_(userPath), content_(content) {}

    Outcome<WriteReport> run(const SaveTarget& target)
    {
        Outcome<void> done = open(target);
        if (!done)
            return done.error();
        if (canRestore_)
            canRestore_ = readAll(file_.get(), oldPrefix_, static_cast<std::size_t>(std::min(oldSize_, newSize())));
        // From here on, a signal that ends the program puts the old bytes back
        // first, and a write past the file-size limit fails instead of ending it.
        undo_.armPutBack(file_.get(), canRestore_ ? std::string_view(oldPrefix_) : std::string_view(), oldSize_);
        done = reserve();
        if (done)
            done = overwrite();
        if (done)
            done = finish();
        if (!done)
            return done.error();
        return WriteReport{target.path, WriteMethod::RewrittenInPlace, newSize()};
    }

private:
    std::uint64_t newSize() const { return content_.size(); }

    // Opens the file that was resolved, and only that one: it may have been
    // replaced since. Without leave to read it, its old bytes cannot go back.
    Outcome<void> open(const SaveTarget& target)
    {
        // O_NONBLOCK: should a pipe have taken the file's place, the open must not hang.
        const int flags = O_NOFOLLOW | O_CLOEXEC | O_NOCTTY | O_NONBLOCK;
        file_ = UniqueFd(::open(target.path.c_str(), O_RDWR | flags));
        if (!file_.valid() && errno == EACCES) {
            canRestore_ = false;
            file_ = UniqueFd(::open(target.path.c_str(), O_WRONLY | flags));
        }
        if (!file_.valid()) {
            const int err = errno;
            if (err == ELOOP)
                return sentenceError(ErrorCode::OpenFailed,
                                     TAVILON_SENTENCE("CoreError", "\"%1\" changed into a symbolic link while it was "
                                                                   "being saved; nothing was written."),
                                     {userPath_}, userPath_,
                                     "changed into a symbolic link while it was being saved; nothing was written");
            return cannotWrite(userPath_, err);
        }
        struct stat st {};
        if (::fstat(file_.get(), &st) != 0 || !S_ISREG(st.st_mode)
            || static_cast<std::uint64_t>(st.st_ino) != target.inode
            || static_cast<std::uint64_t>(st.st_dev) != target.device)
            return sentenceError(ErrorCode::OpenFailed,
                                 TAVILON_SENTENCE("CoreError", "\"%1\" changed while it was being saved; nothing was "
                                                               "written."),
                                 {userPath_}, userPath_, "changed while it was being saved; nothing was written");
        const int status = ::fcntl(file_.get(), F_GETFL);
        if (status >= 0)
            ::fcntl(file_.get(), F_SETFL, status & ~O_NONBLOCK);
        oldSize_ = static_cast<std::uint64_t>(st.st_size);
        return {};
    }

    Outcome<void> reserve()
    {
        const int err = reserveSpace(file_.get(), oldSize_, newSize());
        if (err == 0)
            return {};
        if (restoreSize(file_.get(), oldSize_))
            return leftAsItWas(userPath_, err);
        return writeError(userPath_, err,
                          TAVILON_SENTENCE("CoreError", "Saving \"%1\" failed: %2. Its text is as it was, but it may "
                                                        "now end in added zero bytes."),
                          "; its text is as it was, but it may now end in added zero bytes");
    }

    // Writes the new content over the old; when that fails, puts back the
    // bytes that were overwritten.
    Outcome<void> overwrite()
    {
        int err = 0;
        std::size_t written = 0;
        if (writeAll(file_.get(), content_, 0, err, written, &undo_))
            return {};
        int ignored = 0;
        const std::string_view overwritten =
            std::string_view(oldPrefix_).substr(0, std::min(written, oldPrefix_.size()));
        const bool restored = canRestore_ && writeAll(file_.get(), overwritten, 0, ignored)
                              && ::ftruncate(file_.get(), static_cast<off_t>(oldSize_)) == 0
                              && syncFile(file_.get(), ignored);
        if (restored)
            return writeError(userPath_, err,
                              TAVILON_SENTENCE("CoreError", "Writing \"%1\" failed: %2. The file was put back as it "
                                                            "was."),
                              "; the file was put back as it was");
        restoreSize(file_.get(), oldSize_); // at best: the message already says what may be left
        return writeError(userPath_, err,
                          TAVILON_SENTENCE("CoreError", "Writing \"%1\" failed: %2. The file may now begin with part "
                                                        "of the new text, followed by its old content."),
                          "; the file may now begin with part of the new text");
    }

    // Cuts off what is left of the old content past the new end, and makes
    // sure the file reaches the disk.
    Outcome<void> finish()
    {
        int err = 0;
        bool oldTailLeft = false; // the old text's end still follows the new text
        {
            // Old bytes past the new end cannot come back once they are cut off:
            // from here on, a signal waits until the save is done.
            HeldEndingSignals held;
            if (::ftruncate(file_.get(), static_cast<off_t>(newSize())) != 0) {
                err = errno;
                oldTailLeft = newSize() < oldSize_;
            } else {
                syncFile(file_.get(), err);
            }
            undo_.disarm(); // before the descriptor goes
        }
        if (err == 0)
            err = file_.closeChecked();
        if (err == 0)
            return {};
        if (oldTailLeft)
            return writeError(userPath_, err,
                              TAVILON_SENTENCE("CoreError", "Saving \"%1\" failed: %2. The file holds the new text, "
                                                            "followed by the rest of its old content."),
                              "; the file holds the new text, followed by the rest of its old content");
        return writeError(userPath_, err,
                          TAVILON_SENTENCE("CoreError", "Saving \"%1\" failed: %2. The new text was written but may "
                                                        "not be complete on disk."),
                          "; the new text was written but may not be complete on disk");
    }

    const std::string& userPath_;
    std::string_view content_;
    UniqueFd file_;
    std::uint64_t oldSize_ = 0;
    bool canRestore_ = true;
    std::string oldPrefix_;
    // Last, so that it is disarmed before the old bytes and the descriptor go.
    SignalCleanup undo_;
};

} // namespace

Outcome<WriteReport> writeFileKeepingIdentity(const std::string& path, std::string_view content)
{
    auto target = resolveSaveTarget(path);
    if (!target)
        return target.error();
    const SaveTarget& where = target.value();
    // A file the user may not write is not replaced, even where its folder
    // would allow a rename.
    if (where.exists && ::faccessat(AT_FDCWD, where.path.c_str(), W_OK, AT_EACCESS) != 0) {
        const int err = errno;
        return cannotWrite(path, err);
    }
    // One rename keeps everything of a new file, or of a file with a single
    // name whose owner and attributes can be copied; anything else is
    // rewritten where it is.
    if (!where.exists || where.links == 1) {
        if (auto done = replaceByRename(path, where, content))
            return std::move(*done);
    }
    return InPlaceRewrite(path, content).run(where);
}

} // namespace tavilon
