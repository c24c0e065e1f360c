#include "save_target.h"

#include "core/errors/core_errors.h"

#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>
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

std::string kindOf(mode_t mode)
{
    if (S_ISFIFO(mode))
        return "a pipe";
    if (S_ISCHR(mode) || S_ISBLK(mode))
        return "a device";
    if (S_ISSOCK(mode))
        return "a socket";
    return "a special file";
}

// The sentence for a file of kindOf(mode), one whole sentence for each kind.
const char* notFileSentence(mode_t mode)
{
    if (S_ISFIFO(mode))
        return TAVILON_SENTENCE("CoreError", "\"%1\" is a pipe, not a regular file; nothing was written.");
    if (S_ISCHR(mode) || S_ISBLK(mode))
        return TAVILON_SENTENCE("CoreError", "\"%1\" is a device, not a regular file; nothing was written.");
    if (S_ISSOCK(mode))
        return TAVILON_SENTENCE("CoreError", "\"%1\" is a socket, not a regular file; nothing was written.");
    return TAVILON_SENTENCE("CoreError", "\"%1\" is a special file, not a regular file; nothing was written.");
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

// Why a free name cannot take a new file: its folder is missing or a file.
CoreError folderProblem(const std::string& userPath, const std::string& finalPath, WriteProblem* problem)
{
    const std::string folder = folderOf(finalPath);
    struct stat st {};
    if (::stat(folder.c_str(), &st) != 0) {
        const int err = errno;
        if (err == ENOTDIR)
            return saveError(problem, WriteProblem::UnderAFile,
                             TAVILON_SENTENCE("CoreError", "\"%1\" cannot be saved: a part of the folder path "
                                                           "\"%2\" is a file, not a folder."),
                             {userPath, folder}, userPath, "a part of its folder path is a file, not a folder");
        if (err == ENOENT)
            return saveError(problem, WriteProblem::MissingFolder,
                             TAVILON_SENTENCE("CoreError", "The folder \"%1\" does not exist, so \"%2\" cannot be "
                                                           "saved there."),
                             {folder, userPath}, userPath, "its folder does not exist");
        return cannotWrite(problem, userPath, err);
    }
    return saveError(problem, WriteProblem::UnderAFile,
                     TAVILON_SENTENCE("CoreError", "\"%1\" cannot be saved: \"%2\" is a file, not a folder."),
                     {userPath, folder}, userPath, quotedName(folder) + " is a file, not a folder");
}

} // namespace

CoreError saveError(WriteProblem* problem, WriteProblem what, const char* pattern, std::vector<std::string> args,
                    const std::string& subject, std::string reason, int systemError)
{
    if (problem)
        *problem = what;
    return sentenceError(errorCodeFor(what), pattern, std::move(args), subject, std::move(reason), systemError);
}

CoreError cannotWrite(WriteProblem* problem, const std::string& path, int err)
{
    const std::string reason = systemReason(err);
    return saveError(problem, WriteProblem::CannotOpen, TAVILON_SENTENCE("CoreError", "\"%1\" cannot be written: %2."),
                     {path, reason}, path, reason, err);
}

ErrorCode errorCodeFor(WriteProblem problem)
{
    switch (problem) {
    case WriteProblem::Folder:
    case WriteProblem::NotRegularFile:
        return ErrorCode::NotRegularFile;
    case WriteProblem::NoSpace:
    case WriteProblem::WriteFailed:
        return ErrorCode::WriteFailed;
    default:
        return ErrorCode::OpenFailed;
    }
}

std::string quotedName(const std::string& path)
{
    return "\"" + path + "\"";
}

Outcome<SaveTarget> resolveSaveTarget(const std::string& path, WriteProblem* problem)
{
    if (problem)
        *problem = WriteProblem::None;
    if (path.empty())
        return saveError(problem, WriteProblem::EmptyName, TAVILON_SENTENCE("CoreError", "No file name was given."), {},
                         path, "no file name was given");
    if (path.back() == '/')
        return saveError(problem, WriteProblem::Folder,
                         TAVILON_SENTENCE("CoreError", "\"%1\" names a folder, not a file; nothing was written."),
                         {path}, path, "names a folder, not a file");

    std::string current = path;
    for (int hops = 0;; ++hops) {
        struct stat st {};
        if (::lstat(current.c_str(), &st) != 0) {
            const int err = errno;
            if (err == ENOENT) {
                // A free name (perhaps behind a dangling link): a new file,
                // if the folder is there.
                struct stat folder {};
                if (::stat(folderOf(current).c_str(), &folder) != 0 || !S_ISDIR(folder.st_mode))
                    return folderProblem(path, current, problem);
                SaveTarget target;
                target.path = current;
                target.folder = folderOf(current);
                target.name = nameOf(current);
                return target;
            }
            if (err == ENOTDIR)
                return folderProblem(path, current, problem);
            if (err == ELOOP)
                return saveError(problem, WriteProblem::LinkLoop,
                                 TAVILON_SENTENCE("CoreError", "\"%1\" cannot be saved: its folder path holds a loop "
                                                               "of symbolic links (%2)."),
                                 {path, systemReason(err)}, path, "its folder path holds a loop of symbolic links", err);
            return cannotWrite(problem, path, err);
        }
        if (S_ISLNK(st.st_mode)) {
            if (hops >= linkLimit)
                return saveError(problem, WriteProblem::LinkLoop,
                                 TAVILON_SENTENCE("CoreError", "\"%1\" cannot be saved: its symbolic links form a "
                                                               "loop (%2). No link was changed."),
                                 {path, systemReason(ELOOP)}, path, "its symbolic links form a loop", ELOOP);
            std::string text;
            int err = 0;
            if (!readLink(current, text, err))
                return cannotWrite(problem, path, err);
            if (text.empty())
                return saveError(problem, WriteProblem::CannotOpen,
                                 TAVILON_SENTENCE("CoreError", "\"%1\" cannot be written: it is an empty symbolic link."),
                                 {path}, path, "is an empty symbolic link");
            // A relative link is read from the folder that holds the link.
            if (text.front() == '/' || current.find('/') == std::string::npos)
                current = text;
            else
                current = current.substr(0, current.find_last_of('/') + 1) + text;
            if (current.back() == '/')
                return saveError(problem, WriteProblem::Folder,
                                 TAVILON_SENTENCE("CoreError", "\"%1\" leads to a folder, not a file; nothing was written."),
                                 {path}, path, "leads to a folder, not a file");
            continue;
        }
        if (S_ISDIR(st.st_mode))
            return saveError(problem, WriteProblem::Folder,
                             TAVILON_SENTENCE("CoreError", "\"%1\" is a folder, not a file; nothing was written."),
                             {path}, path, "is a folder, not a file");
        if (!S_ISREG(st.st_mode))
            return saveError(problem, WriteProblem::NotRegularFile, notFileSentence(st.st_mode), {path}, path,
                             "is " + kindOf(st.st_mode) + ", not a regular file");
        SaveTarget target;
        target.path = current;
        target.folder = folderOf(current);
        target.name = nameOf(current);
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
}

} // namespace tavilon
