// An output file that is written under a temporary name beside it and takes
// its place only once complete, so that a failed or interrupted run leaves an
// existing file as it was and creates none. A path that is a symbolic link
// replaces the file the link points to. A device, a FIFO, the console and the
// process's own open streams (/dev/stdout, /dev/fd/N) are written in place,
// where they stand, and never replaced or removed. An existing file the
// user may not write is not replaced.
#pragma once

#include <cstdio>
#include <filesystem>
#include <string>

namespace zoneloads {

struct ReplacedFile {
    std::FILE* file = nullptr;
    std::filesystem::path path;      // the file that is written (a link's target)
    std::filesystem::path tempPath;  // what is written until it is put in place; empty: in place
    bool replacesExisting = false;   // `path` is a regular file that will be replaced
    int interruptRegistration = -1;  // the temporary's, removed on an interrupt
    int error = 0;                   // the errno value of the last failure, for its message
};

// Opens `fileName` for writing in binary mode (see above); false, with the
// reason in `f.error`, when it cannot be opened, and then nothing was created.
bool openReplaced(ReplacedFile& f, const std::filesystem::path& fileName);

// Closes the file and, when `keep`, puts it in place with the permissions of
// the file it replaces. Returns false, with the temporary file removed, when
// `keep` is false or the close or the replacing failed (then with the reason
// in `f.error`).
bool finishReplaced(ReplacedFile& f, bool keep);

}  // namespace zoneloads
