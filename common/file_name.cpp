#include "common/file_name.h"

#include "common/platform.h"

namespace zoneloads {

FileName::FileName(const std::string& bytes) : text(bytes), path(pathFromBytes(bytes)) {}

FileName::FileName(const char* bytes) : FileName(std::string(bytes)) {}

FileName fileNameOfPath(const std::filesystem::path& path) {
    FileName name;
    name.text = textOfPath(path);
    name.path = path;
    return name;
}

}  // namespace zoneloads
