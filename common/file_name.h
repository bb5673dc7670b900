// A file name as the user gave it and as the system opens it: the text is
// what the console echoes and the messages name; the path is what is opened.
#pragma once

#include <filesystem>
#include <string>

namespace zoneloads {

struct FileName {
    std::string text;            // as given: echoed, and named in messages
    std::filesystem::path path;  // what is opened, created or compared

    FileName() = default;
    // A name given as bytes, as the dialogue's answers are (see
    // pathFromBytes); implicit, since a name is its bytes wherever one is
    // written.
    FileName(const std::string& bytes);
    FileName(const char* bytes);
};

// A name the system gave as a path (a command-line argument).
FileName fileNameOfPath(const std::filesystem::path& path);

}  // namespace zoneloads
