// The few operations whose code differs between POSIX systems and Windows.
// Everything platform-specific in the tool lives in platform.cpp.
#pragma once

#include <cstdio>
#include <string>

namespace zoneloads {

// True when `path` names the file, pipe or device that this process's
// standard input reads (compared by identity, not by name); false when
// either cannot be examined.
bool isStandardInput(const std::string& path);

// True when `path` names a device (the console, NUL, /dev/null, a FIFO ...)
// rather than a file on a disk or nothing at all.
bool isDevice(const std::string& path);

// Asks the system to start writing the given bytes of `file` to its disk,
// without waiting for them; a hint that may do nothing.
void startWriteback(std::FILE* file, long long offset, long long length);

// Tells the system that the cached contents of the file `path` will not be
// read again, so it may drop them now; the file itself is not changed. A
// hint that may do nothing.
void dropCachedContents(const std::string& path);

// Makes a write to a closed pipe or past the file-size limit fail with an
// error instead of killing the process, so that the failure can be reported.
void ignoreWriteSignals();

}  // namespace zoneloads
