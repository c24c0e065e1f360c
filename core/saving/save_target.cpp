#include "save_target.h"

#include "core/errors/core_errors.h"

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace tavilon {

namespace {

// The most symbolic links followed in a row before the chain counts as a loop.
constexpr int linkLimit = 40;

std::string folderOf(const std::string& path)
{
    const auto slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return ".";
    if (slash == 0)
        return "/";
    return path.substr(0, slash);
}

std::string nameOf(const std::string& path)
{
    const auto slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// A target at `path`, before anything is known of a file there.
SaveTarget targetAt(const std::string& path)
{
    SaveTarget target;
    target.path = path;
    target.folder = folderOf(path);
    target.name = nameOf(path);
    return target;
}

// The disk or the quota is full, or the file would pass the size limit.
bool outOfRoom(int err)
{
    return err == ENOSPC || err == EDQUOT || err == EFBIG;
}

// Refuses what is not a regular file, in one whole sentence for each kind
// that kindOf() names.
CoreError notRegularFile(const std::string& path, unsigned mode)
{
    const std::string kind = kindOf(mode);
    if (kind == "a folder")
        return sentenceError(ErrorCode::NotRegularFile,
                             TAVILON_SENTENCE("CoreError", "\"%1\" is a folder, not a file; nothing was written."),
                             {path}, path, "is a folder, not a file");
    const char* pattern =
        TAVILON_SENTENCE("CoreError", "\"%1\" is a special file, not a regular file; nothing was written.");
    if (kind == "a pipe")
        pattern = TAVILON_SENTENCE("CoreError", "\"%1\" is a pipe, not a regular file; nothing was written.");
    else if (kind == "a device")
        pattern = TAVILON_SENTENCE("CoreError", "\"%1\" is a device, not a regular file; nothing was written.");
    else if (kind == "a socket")
        pattern = TAVILON_SENTENCE("CoreError", "\"%1\" is a socket, not a regular file; nothing was written.");
    return sentenceError(ErrorCode::NotRegularFile, pattern, {path}, path, "is " + kind + ", not a regular file");
}

// The text of a symbolic link, however long it is.
bool readLink(const std::string& path, std::string& text, int& err)
{
    std::vector<char> buffer(256);
    for (;;) {
        const ssize_t got = ::readlink(path.c_str(), buffer.data(), buffer.size());
        if (got < 0) {
            err = errno;
            return false;
        }
        if (static_cast<std::size_t>(got) < buffer.size()) {
            text.assign(buffer.data(), static_cast<std::size_t>(got));
            return true;
        }
        buffer.resize(buffer.size() * 2);
    }
}

// The name the symbolic link `link` leads to; a relative link is read from
// the folder that holds the link.
Outcome<std::string> nextInChain(const std::string& userPath, const std::string& link)
{
    std::string text;
    int err = 0;
    if (!readLink(link, text, err))
        return cannotWrite(userPath, err);
    if (text.empty())
        return sentenceError(ErrorCode::OpenFailed,
                             TAVILON_SENTENCE("CoreError", "\"%1\" cannot be written: it is an empty symbolic link."),
                             {userPath}, userPath, "is an empty symbolic link");
    const bool fromHere = text.front() == '/' || link.find('/') == std::string::npos;
    std::string next = fromHere ? text : link.substr(0, link.find_last_of('/') + 1) + text;
    if (next.back() == '/')
        return sentenceError(ErrorCode::NotRegularFile,
                             TAVILON_SENTENCE("CoreError", "\"%1\" leads to a folder, not a file; nothing was "
                                                           "written."),
                             {userPath}, userPath, "leads to a folder, not a file");
    return next;
}

// Why a free name cannot take a new file: its folder is missing or a file.
CoreError folderProblem(const std::string& userPath, const std::string& finalPath)
{
    const std::string folder = folderOf(finalPath);
    struct stat st {};
    if (::stat(folder.c_str(), &st) != 0) {
        const int err = errno;
        if (err == ENOTDIR)
            return sentenceError(ErrorCode::OpenFailed,
                                 TAVILON_SENTENCE("CoreError", "\"%1\" cannot be saved: a part of the folder path "
                                                               "\"%2\" is a file, not a folder."),
                                 {userPath, folder}, userPath, "a part of its folder path is a file, not a folder");
        if (err == ENOENT)
            return sentenceError(ErrorCode::OpenFailed,
                                 TAVILON_SENTENCE("CoreError", "The folder \"%1\" does not exist, so \"%2\" cannot be "
                                                               "saved there."),
                                 {folder, userPath}, userPath, "its folder does not exist");
        return cannotWrite(userPath, err);
    }
    return sentenceError(ErrorCode::OpenFailed,
                         TAVILON_SENTENCE("CoreError", "\"%1\" cannot be saved: \"%2\" is a file, not a folder."),
                         {userPath, folder}, userPath, quotedPath(folder) + " is a file, not a folder");
}

// Where nothing could be looked at (errno `err`): a free name in an existing
// folder takes a new file, perhaps behind a dangling link.
Outcome<SaveTarget> freeNameTarget(const std::string& userPath, const std::string& finalPath, int err)
{
    if (err == ENOENT) {
        struct stat folder {};
        if (::stat(folderOf(finalPath).c_str(), &folder) == 0 && S_ISDIR(folder.st_mode))
            return targetAt(finalPath);
        return folderProblem(userPath, finalPath);
    }
    if (err == ENOTDIR)
        return folderProblem(userPath, finalPath);
    if (err == ELOOP)
        return sentenceError(ErrorCode::OpenFailed,
                             TAVILON_SENTENCE("CoreError", "\"%1\" cannot be saved: its folder path holds a loop of "
                                                           "symbolic links (%2)."),
                             {userPath, systemReason(err)}, userPath, "its folder path holds a loop of symbolic links",
                             err);
    return cannotWrite(userPath, err);
}

// What is at `finalPath` (not a link, as `st` tells): a regular file to save over.
Outcome<SaveTarget> existingTarget(const std::string& userPath, const std::string& finalPath, const struct stat& st)
{
    if (!S_ISREG(st.st_mode))
        return notRegularFile(userPath, st.st_mode);
    SaveTarget target = targetAt(finalPath);
    target.exists = true;
    target.size = static_cast<std::uint64_t>(st.st_size);
    target.device = static_cast<std::uint64_t>(st.st_dev);
    target.inode = static_cast<std::uint64_t>(st.st_ino);
    target.links = static_cast<std::uint64_t>(st.st_nlink);
    target.mode = static_cast<unsigned>(st.st_mode & 07777);
    target.owner = static_cast<unsigned>(st.st_uid);
    target.group = static_cast<unsigned>(st.st_gid);
    return target;
}

} // namespace

CoreError cannotWrite(const std::string& path, int err)
{
    const std::string reason = systemReason(err);
    return sentenceError(outOfRoom(err) ? ErrorCode::WriteFailed : ErrorCode::OpenFailed,
                         TAVILON_SENTENCE("CoreError", "\"%1\" cannot be written: %2."), {path, reason}, path, reason,
                         err);
}

Outcome<SaveTarget> resolveSaveTarget(const std::string& path)
{
    if (path.empty())
        return sentenceError(ErrorCode::OpenFailed, TAVILON_SENTENCE("CoreError", "No file name was given."), {}, path,
                             "no file name was given");
    if (path.back() == '/')
        return sentenceError(ErrorCode::NotRegularFile,
                             TAVILON_SENTENCE("CoreError", "\"%1\" names a folder, not a file; nothing was written."),
                             {path}, path, "names a folder, not a file");

    std::string current = path;
    for (int hops = 0;; ++hops) {
        struct stat st {};
        if (::lstat(current.c_str(), &st) != 0)
            return freeNameTarget(path, current, errno);
        if (!S_ISLNK(st.st_mode))
            return existingTarget(path, current, st);
        if (hops >= linkLimit)
            return sentenceError(ErrorCode::OpenFailed,
                                 TAVILON_SENTENCE("CoreError", "\"%1\" cannot be saved: its symbolic links form a "
                                                               "loop (%2). No link was changed."),
                                 {path, systemReason(ELOOP)}, path, "its symbolic links form a loop", ELOOP);
        auto next = nextInChain(path, current);
        if (!next)
            return next.error();
        current = std::move(next.value());
    }
}

} // namespace tavilon
