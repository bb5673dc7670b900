// An output file that is written under a temporary name beside it and takes
// its place only once complete, so that a failed run leaves an existing file
// as it was and creates none. A path that is a symbolic link replaces the
// file the link points to; a device, a FIFO or the console is written in
// place and never replaced or removed.
#pragma once

#include <cstdio>
#include <string>

namespace zoneloads {

struct ReplacedFile {
    std::FILE* file = nullptr;
    std::string path;               // the file that is written (a link's target)
    std::string tempPath;           // what is written until it is put in place; empty: in place
    bool replacesExisting = false;  // `path` is a regular file that will be replaced
};

// Opens `fileName` for writing in binary mode (see above); false when it
// cannot be opened, and then nothing was created.
bool openReplaced(ReplacedFile& f, const std::string& fileName);

// Closes the file and, when `keep`, puts it in place with the permissions of
// the file it replaces. Returns false, with the temporary file removed, when
// `keep` is false or the close or the replacing failed.
bool finishReplaced(ReplacedFile& f, bool keep);

// Creates a new, empty file beside `path` whose name no file has yet, opened
// with `mode`, and gives its name in `tempPath`; nullptr when it cannot.
std::FILE* createBeside(const std::string& path, const char* mode, std::string& tempPath);

}  // namespace zoneloads
