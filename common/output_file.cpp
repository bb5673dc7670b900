#include "common/output_file.h"

#include <cerrno>
#include <system_error>

#include "common/platform.h"
#include "common/random_word.h"
#include "common/text_encoding.h"

namespace zoneloads {
namespace {

namespace fs = std::filesystem;

const char kCannotCreate[] = "no se puede crear";
const char kCannotWrite[] = "error al escribir";

// A name in the system's temporary folder that no file has yet, ending in
// `extension`, for a library that wants to make a file of its own there;
// empty when the folder cannot be found.
fs::path newScratchName(const char* extension) {
    fs::path folder = temporaryFolder();
    if (folder.empty()) return {};
    std::error_code error;
    for (int attempt = 0; attempt < 16; ++attempt) {
        char name[48];
        std::snprintf(name, sizeof name, "zoneloads-%08llx%s", randomWord(), extension);
        fs::path candidate = folder / name;
        if (!fs::exists(fs::symlink_status(candidate, error))) return candidate;
    }
    return {};
}

// A name beside `path` that no file has yet: the name with ".XXXXXXXX.tmp"
// after it, or, when that would pass the longest name the folder takes,
// "zoneloads-XXXXXXXX.tmp", so that any name the file system takes is taken.
fs::path besideName(const fs::path& path) {
    unsigned long long word = randomWord();
    char suffix[32];
    std::snprintf(suffix, sizeof suffix, ".%08llx.tmp", word);
    fs::path::string_type longName = path.filename().native() + fs::path(suffix).native();
    if (longName.size() <= longestFileName(path.parent_path())) return path.parent_path() / longName;
    std::snprintf(suffix, sizeof suffix, "zoneloads-%08llx.tmp", word);
    return path.parent_path() / suffix;
}

// Creates the temporary file beside the target; false, with errno set, when
// it cannot. An interrupt waits until the file is registered for removal, so
// that no signal falls between its creation and its registration.
bool createTemporary(OutputFile& out) {
    InterruptsHeld held;
    for (int attempt = 0; attempt < 16; ++attempt) {
        out.temporary = besideName(out.path);
        out.file = createNewFile(out.temporary, false);
        if (out.file || errno != EEXIST) break;
    }
    if (!out.file) {
        out.temporary.clear();  // nothing was created
        return false;
    }
    out.interruptRegistration = removeOnInterrupt(out.temporary);
    return true;
}

// Opens a device, FIFO, console or open stream where it stands.
bool openInPlace(OutputFile& out, const fs::path& path) {
    int stream = openStreamNumber(path);
    out.path = path;
    out.file = stream >= 0 ? writeToOpenStream(stream) : openForWriting(path);
    if (!out.file) return failOutput(out, kCannotCreate, stream >= 0 ? EBADF : errno);
    return true;
}

void removeTemporary(OutputFile& out) {
    if (out.temporary.empty()) return;
    std::error_code ignored;
    fs::remove(out.temporary, ignored);
    forgetOnInterrupt(out.interruptRegistration);
    out.interruptRegistration = -1;
    out.temporary.clear();
}

// Closes the file; a failure to write its last buffered bytes is kept.
void closeOutput(OutputFile& out) {
    if (!out.file) return;
    if (std::fclose(out.file) != 0) failOutput(out, kCannotWrite, errno);
    out.file = nullptr;
}

// How one output is put in place: its old file kept aside (when it replaces
// one) until all are in place, so that it can be given back.
struct Placing {
    OutputFile* out;
    fs::path aside;       // the old file's second name; empty when there was none
    bool placed = false;  // the new file stands at the output's path
};

// Gives every output of `placing` its old state back: the old file where one
// was replaced, no file where there was none.
void restore(std::vector<Placing>& placing) {
    for (Placing& p : placing) {
        std::error_code ignored;
        if (!p.aside.empty()) {
            moveReplacing(p.aside, p.out->path);
            fs::remove(p.aside, ignored);  // still there when it was a second name of the file in place
        } else if (p.placed) {
            fs::remove(p.out->path, ignored);
        }
    }
}

// Keeps each old file aside, then moves each new one into place; false, with
// everything given back, when either step fails for any output.
bool placeAll(std::vector<Placing>& placing) {
    for (Placing& p : placing) {
        if (!p.out->replacesExisting) continue;
        fs::path aside = besideName(p.out->path);
        int error = keepAside(p.out->path, aside);
        if (error != 0) {
            restore(placing);
            return failOutput(*p.out, kCannotWrite, error);
        }
        p.aside = aside;
    }
    for (Placing& p : placing) {
        std::error_code ignored;  // a platform that cannot set them keeps its default
        if (p.out->replacesExisting) fs::permissions(p.out->temporary, fs::status(p.aside).permissions(), ignored);
        int error = moveReplacing(p.out->temporary, p.out->path);
        if (error != 0) {
            restore(placing);
            return failOutput(*p.out, kCannotWrite, error);
        }
        p.placed = true;
    }
    return true;
}

// Abandons what `out` held and makes it as new, named `name`.
void startAfresh(OutputFile& out, const std::string& name) {
    abandonOutput(out);
    out.name = name;
    out.path.clear();
    out.replacesExisting = false;
    out.error = 0;
    out.failure = nullptr;
    out.reason.clear();
    out.straightToDisk = false;
    out.written = 0;
}

}  // namespace

fs::path followLinks(const fs::path& path) {
    fs::path target = path;
    std::error_code error;
    for (int hops = 0; hops < 40 && fs::is_symlink(fs::symlink_status(target, error)); ++hops) {
        fs::path link = fs::read_symlink(target, error);
        if (error) break;
        target = link.is_absolute() ? link : target.parent_path() / link;
    }
    return target;
}

OutputFile::~OutputFile() { abandonOutput(*this); }

bool openOutput(OutputFile& out, const FileName& name) {
    startAfresh(out, name.text);
    if (openStreamNumber(name.path) >= 0) return openInPlace(out, name.path);
    fs::path target = followLinks(name.path);
    std::error_code error;
    fs::file_status status = fs::status(target, error);
    bool replaceable = (fs::is_regular_file(status) || status.type() == fs::file_type::not_found) && !isDevice(target);
    if (!replaceable) return openInPlace(out, name.path);
    out.path = target;
    if (target.filename().native().size() > longestFileName(target.parent_path())) {
        return failOutput(out, kCannotCreate, ENAMETOOLONG);  // its temporary could never take this name
    }
    out.replacesExisting = fs::is_regular_file(status);
    if (out.replacesExisting && !mayWrite(target)) return failOutput(out, kCannotCreate, EACCES);
    if (!createTemporary(out)) return failOutput(out, kCannotCreate, errno);
    return true;
}

bool openScratch(OutputFile& out, const char* what) {
    startAfresh(out, what);
    out.file = openScratchFile();
    return out.file ? true : failOutput(out, kCannotCreate, errno);
}

bool openNamedScratch(OutputFile& out, const char* what, const char* extension) {
    startAfresh(out, what);
    InterruptsHeld held;  // created and registered as one step
    fs::path name = newScratchName(extension);
    std::FILE* file = name.empty() ? nullptr : createNewFile(name, false);
    if (!file) return failOutput(out, kCannotCreate, name.empty() ? ENOENT : errno);
    out.temporary = name;
    out.interruptRegistration = removeOnInterrupt(name);
    std::fclose(file);
    return true;
}

void writeStraightToDisk(OutputFile& out) {
    if (!out.file) return;
    std::setvbuf(out.file, nullptr, _IONBF, 0);  // the pieces are large: a buffer would only copy them again
    out.straightToDisk = true;
    // The old file will be replaced: its cached pages need not wait for
    // that, which then has less to free.
    if (out.replacesExisting) dropCachedContents(out.path);
}

bool writeOutput(OutputFile& out, const void* bytes, std::size_t length) {
    if (outputFailed(out)) return false;
    if (!out.file) return failOutput(out, kCannotWrite, EBADF);
    if (length > 0 && std::fwrite(bytes, 1, length, out.file) != length) return failOutput(out, kCannotWrite, errno);
    if (out.straightToDisk) startWriteback(out.file, out.written, static_cast<long long>(length));
    out.written += static_cast<long long>(length);
    return true;
}

bool writeOutput(OutputFile& out, std::string_view text) { return writeOutput(out, text.data(), text.size()); }

bool failOutput(OutputFile& out, const char* failure, int error) {
    if (out.failure) return false;
    out.failure = failure;
    out.error = error != 0 ? error : EIO;
    return false;
}

bool failOutput(OutputFile& out, const char* failure, const std::string& reason) {
    if (out.failure) return false;
    failOutput(out, failure, EIO);
    out.reason = reason;
    return false;
}

bool outputFailed(const OutputFile& out) { return out.failure != nullptr; }

bool flushOutput(OutputFile& out) {
    if (out.failure || !out.file) return !out.failure;
    if (std::fflush(out.file) != 0) return failOutput(out, kCannotWrite, errno);
    return true;
}

std::string outputMessage(const OutputFile& out) {
    std::string why = out.reason.empty() ? errorReason(out.error) : out.reason;
    return displayFileName(out.name) + ": " + (out.failure ? out.failure : kCannotWrite) + " (" + why + ")";
}

void abandonOutput(OutputFile& out) {
    if (out.file) std::fclose(out.file);
    out.file = nullptr;
    removeTemporary(out);
}

bool commitOutputs(const std::vector<OutputFile*>& outputs, std::string& error) {
    for (OutputFile* out : outputs) closeOutput(*out);
    std::vector<Placing> placing;
    bool complete = true;
    for (OutputFile* out : outputs) {
        if (complete && outputFailed(*out)) {
            error = outputMessage(*out);
            complete = false;
        }
        if (!out->temporary.empty()) placing.push_back({out, {}, false});
    }
    if (complete) {
        InterruptsHeld held;  // the outputs change together, or, interrupted, not at all
        complete = placeAll(placing);
        for (Placing& p : placing) {
            std::error_code ignored;
            if (complete && !p.aside.empty()) fs::remove(p.aside, ignored);
            if (!complete && outputFailed(*p.out)) error = outputMessage(*p.out);
            forgetOnInterrupt(p.out->interruptRegistration);
            p.out->interruptRegistration = -1;
            if (complete) p.out->temporary.clear();
        }
    }
    for (OutputFile* out : outputs) abandonOutput(*out);
    return complete;
}

}  // namespace zoneloads
