#pragma once

#include "core/errors/outcome.h"
#include "core/list/input_file.h"

#include <string>

namespace tavilon {

// Copies everything that can be read from `fd` (standard input, a pipe) into
// a private temporary file and hands that file back, opened at its start, so
// that the list can be read twice (counted, then picked from). The file is
// made with mode 0600 in $TMPDIR (or /tmp) and its name is removed the
// moment it is open, with the terminating signals held back in between: it
// disappears with the program however the program ends, Ctrl+C included.
// `name` is what messages call the list.
Outcome<InputFile> spoolToPrivateFile(int fd, const std::string& name);

// Standard input as a list. A regular file nothing of which has been read
// yet is read where it is; anything else (a pipe, a terminal, a file read
// part-way) goes through spoolToPrivateFile, from where it stands.
Outcome<InputFile> openStandardInput(int fd, const std::string& name);

// Whether `path` names a pipe: /dev/stdin on a pipe, a shell's <(...), a
// FIFO. Such a list is read through openNamedPipe.
bool namesPipe(const std::string& path);
// Opens the pipe, waiting for a writer as any reader of a pipe does, and
// keeps what it gives as spoolToPrivateFile does.
Outcome<InputFile> openNamedPipe(const std::string& path);

// The folder the spool goes in: $TMPDIR when set and not empty, else /tmp.
std::string spoolFolder();

} // namespace tavilon
