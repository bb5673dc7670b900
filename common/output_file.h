// Every file the programs write is an OutputFile. A file on a disk is
// written under a temporary name beside it and takes its place only when
// commitOutputs puts the outputs of a run in place: all of them together,
// or, if any failed or cannot be put in place, none (an output already put
// in place is then given its old bytes back). An OutputFile that was not
// committed is abandoned by its destructor, its temporary removed, so an
// early return or an exception leaves every existing file as it was and
// creates none.
//
// A path that is a symbolic link replaces the file the link points to. A
// device, a FIFO, the console and the process's own open streams
// (/dev/stdout, /dev/fd/N) are written in place, where they stand, and never
// replaced or removed. An existing file the user may not write is refused.
// Scratch files (openScratch) are read back by their writer and never put
// anywhere.
#pragma once

#include <cstddef>
#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "common/file_name.h"

namespace zoneloads {

struct OutputFile {
    std::string name;                 // as the user gave it: what messages name
    std::FILE* file = nullptr;        // open from a successful open until committed or abandoned
    std::filesystem::path path;       // the file put in place (a link's target)
    std::filesystem::path temporary;  // written until put in place; empty when written in place or nameless
    bool replacesExisting = false;    // `path` is a file that the commit replaces
    int error = 0;                    // the errno value of the first failure; 0 while none
    const char* failure = nullptr;    // what failed first: "no se puede crear", "error al escribir"
    std::string reason;               // why, when it is not a system error's
    int interruptRegistration = -1;   // the temporary's, removed on an interrupt
    bool straightToDisk = false;      // see writeStraightToDisk
    long long written = 0;            // bytes written so far

    OutputFile() = default;
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;
    ~OutputFile();
};

// Opens the output `name` for writing in binary mode (see above); false,
// with the failure kept in `out`, when it cannot be opened, and then nothing
// was created.
bool openOutput(OutputFile& out, const FileName& name);

// The file that an output named `path` writes: its symbolic links followed,
// even when the last one dangles (the file it points to is then created).
std::filesystem::path followLinks(const std::filesystem::path& path);

// Opens a scratch file, for writing and reading back, that no name leads to:
// it is gone once closed, whatever ends the run. `what` names it in messages.
bool openScratch(OutputFile& out, const char* what);

// Makes an empty scratch file with a name in the system's temporary folder,
// ending in `extension`, for a library that opens files by name; the file is
// closed (out.file is nullptr) and removed when `out` is abandoned or
// destroyed, or the run is interrupted.
bool openNamedScratch(OutputFile& out, const char* what, const char* extension);

// For an output written in large pieces (the report): no stdio buffer, each
// piece started on its way to the disk as soon as it is written, so that
// putting the output in place need not wait for all of it, and the cached
// pages of the file it replaces dropped at once.
void writeStraightToDisk(OutputFile& out);

// Writes the bytes; after a failure nothing more is written and the first
// failure is kept. Returns false once the output has failed.
bool writeOutput(OutputFile& out, const void* bytes, std::size_t length);
bool writeOutput(OutputFile& out, std::string_view text);

// Keeps a failure found outside the output's own writes (a scratch file that
// could not be read back into it, a library that could not write it),
// unless an earlier one is kept already. Returns false.
bool failOutput(OutputFile& out, const char* failure, int error);

// As failOutput, with the reason in words of its own rather than a system
// error's (a library's account of what went wrong).
bool failOutput(OutputFile& out, const char* failure, const std::string& reason);

// True once a write, or anything kept by failOutput, has failed.
bool outputFailed(const OutputFile& out);

// Writes out what the output holds in its buffer, so that an output written
// in place (a pipe, standard output) shows it now; false, the failure kept,
// when that fails or failed before.
bool flushOutput(OutputFile& out);

// "NAME: FAILURE (WHY)", the one-line message of a failed output.
std::string outputMessage(const OutputFile& out);

// Closes the file without putting it anywhere: a temporary is removed.
void abandonOutput(OutputFile& out);

// Closes every output and puts all of them in place, or, when one failed or
// cannot be put in place, none: each keeps or gets back its old bytes, no
// temporary is left, and `error` holds the message of the first failure.
// The outputs must be distinct files. Interrupts wait until it is done.
bool commitOutputs(const std::vector<OutputFile*>& outputs, std::string& error);

}  // namespace zoneloads
