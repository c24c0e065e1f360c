#include "pick_command.h"

#include <iostream>

#include <fcntl.h>
#include <unistd.h>

namespace {

// A standard descriptor that was closed when we started is taken by
// /dev/null, opened the wrong way round so that using it fails: otherwise
// the next file we open gets its number and takes its place (the input spool
// read as standard input, picks written into the list). Returns whether
// `fd` was closed.
bool occupyIfClosed(int fd, int flags)
{
    if (::fcntl(fd, F_GETFD) >= 0)
        return false;
    const int opened = ::open("/dev/null", flags | O_CLOEXEC);
    if (opened >= 0 && opened != fd)
        ::close(opened);
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    tavilon::PickCommandHooks hooks;
    if (occupyIfClosed(0, O_WRONLY))
        hooks.standardInput = -1;
    if (occupyIfClosed(1, O_RDONLY))
        hooks.standardOutput = -1;
    if (occupyIfClosed(2, O_RDONLY))
        hooks.standardError = -1;
    std::ios::sync_with_stdio(false);
    return tavilon::runPickCommand(std::vector<std::string>(argv + 1, argv + argc), std::cout, std::cerr, hooks);
}
