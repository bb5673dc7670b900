#include "view/workbook_check/workbook_check.h"

#include <minizip/unzip.h>

#include <algorithm>
#include <cctype>
#include <string>

#include "common/platform.h"

namespace zoneloads {
namespace view {
namespace {

// minizip's access to the workbook, through a file already open: the
// "name" it opens is that FILE, so the system's own calls (wide on Windows)
// stay where the file was opened.
voidpf ZCALLBACK openGiven(voidpf, const void* file, int) { return const_cast<void*>(file); }
uLong ZCALLBACK readGiven(voidpf, voidpf file, void* buffer, uLong size) {
    return static_cast<uLong>(std::fread(buffer, 1, size, static_cast<std::FILE*>(file)));
}
uLong ZCALLBACK writeNothing(voidpf, voidpf, const void*, uLong) { return 0; }
ZPOS64_T ZCALLBACK tellGiven(voidpf, voidpf file) {
    return static_cast<ZPOS64_T>(positionOf(static_cast<std::FILE*>(file)));
}
long ZCALLBACK seekGiven(voidpf, voidpf file, ZPOS64_T offset, int origin) {
    int whence = origin == ZLIB_FILEFUNC_SEEK_CUR ? SEEK_CUR : origin == ZLIB_FILEFUNC_SEEK_END ? SEEK_END : SEEK_SET;
    return seekTo(static_cast<std::FILE*>(file), static_cast<long long>(offset), whence) ? 0 : -1;
}
int ZCALLBACK closeNothing(voidpf, voidpf) { return 0; }  // its owner closes it
int ZCALLBACK errorOfGiven(voidpf, voidpf file) { return std::ferror(static_cast<std::FILE*>(file)); }

// Counts the bytes of a sheet part's rows, between its "<sheetData>" and
// "</sheetData>", as the part streams past in pieces.
struct RowsCounter {
    std::string window;    // the last bytes seen, for a tag split between pieces
    long long seen = 0;    // bytes of the part before `window`'s end
    long long start = -1;  // where the rows start, once found
    long long end = -1;    // where they end, once found
    bool none = false;     // "<sheetData/>": a sheet without rows

    void take(const char* bytes, std::size_t size) {
        window.append(bytes, size);
        seen += static_cast<long long>(size);
        long long windowStart = seen - static_cast<long long>(window.size());
        if (start < 0 && !none) {
            std::size_t at = window.find("<sheetData");
            std::size_t close = at == std::string::npos ? at : window.find('>', at);
            if (close != std::string::npos) {
                none = window[close - 1] == '/';
                start = windowStart + static_cast<long long>(close + 1);
            }
        }
        if (start >= 0 && end < 0) {
            std::size_t at = window.find("</sheetData>");
            if (at != std::string::npos) end = windowStart + static_cast<long long>(at);
        }
        window.erase(0, window.size() - std::min<std::size_t>(window.size(), 16));
    }

    // The bytes of the rows; -1 when the part has no whole rows element.
    long long rows() const { return none ? 0 : start >= 0 && end >= start ? end - start : -1; }
};

// True when the part's text, of which `head` and `tail` are the first and
// last bytes, is a whole XML document: it ends with its root's end tag.
bool closedXml(const std::string& head, std::string tail) {
    std::size_t root = head.find('<', head.rfind("?>") == std::string::npos ? 0 : head.rfind("?>"));
    if (root == std::string::npos) return false;
    std::size_t end = head.find_first_of(" \t\r\n/>", root + 1);
    std::string closing = "</" + head.substr(root + 1, end - root - 1) + ">";
    while (!tail.empty() && std::isspace(static_cast<unsigned char>(tail.back()))) tail.pop_back();
    return tail.size() >= closing.size() && tail.compare(tail.size() - closing.size(), closing.size(), closing) == 0;
}

// The sheet (0 ..) whose part a zip entry is, "xl/worksheets/sheetN.xml";
// -1 for any other part.
long long sheetOfPart(const std::string& part) {
    const std::string prefix = "xl/worksheets/sheet", suffix = ".xml";
    if (part.size() <= prefix.size() + suffix.size() || part.compare(0, prefix.size(), prefix) != 0 ||
        part.compare(part.size() - suffix.size(), suffix.size(), suffix) != 0) {
        return -1;
    }
    std::string number = part.substr(prefix.size(), part.size() - prefix.size() - suffix.size());
    if (number.empty() || number.size() > 9 || number.find_first_not_of("0123456789") != std::string::npos) return -1;
    return std::stoll(number) - 1;
}

// Reads the zip's current part whole; true when it reads back with its
// checksum and, for XML, is closed, and a sheet holds its rows' bytes.
bool partIsWhole(unzFile zip, const WrittenSheets& written) {
    char name[512];
    unz_file_info64 info;
    if (unzGetCurrentFileInfo64(zip, &info, name, sizeof name, nullptr, 0, nullptr, 0) != UNZ_OK) return false;
    if (unzOpenCurrentFile(zip) != UNZ_OK) return false;
    std::string part = name;
    long long sheet = sheetOfPart(part);
    RowsCounter rows;
    std::string head, tail;
    std::vector<char> buffer(1 << 16);
    int read;
    while ((read = unzReadCurrentFile(zip, buffer.data(), static_cast<unsigned>(buffer.size()))) > 0) {
        if (head.size() < 512) head.append(buffer.data(), std::min<std::size_t>(512 - head.size(), read));
        tail.append(buffer.data(), static_cast<std::size_t>(read));
        if (tail.size() > 64) tail.erase(0, tail.size() - 64);
        if (sheet >= 0) rows.take(buffer.data(), static_cast<std::size_t>(read));
    }
    bool whole = read == 0 && unzCloseCurrentFile(zip) == UNZ_OK;  // the checksum is checked on closing
    bool xml = part.size() > 4 &&
               (part.compare(part.size() - 4, 4, ".xml") == 0 || part.compare(part.size() - 5, 5, ".rels") == 0);
    if (sheet >= 0) {
        auto at = static_cast<std::size_t>(sheet);
        whole = whole && at < written.rowBytes.size() && rows.rows() == written.rowBytes[at];
    }
    return whole && (!xml || closedXml(head, tail));
}

}  // namespace

bool workbookIsWhole(std::FILE* file, const WrittenSheets& written) {
    zlib_filefunc64_def access = {openGiven, readGiven,    writeNothing, tellGiven,
                                  seekGiven, closeNothing, errorOfGiven, nullptr};
    unzFile zip = unzOpen2_64(file, &access);
    if (!zip) return false;
    int status = unzGoToFirstFile(zip);
    bool whole = status == UNZ_OK;
    while (whole && status == UNZ_OK) {
        whole = partIsWhole(zip, written);
        status = unzGoToNextFile(zip);
    }
    unzClose(zip);
    return whole && status == UNZ_END_OF_LIST_OF_FILE;
}

}  // namespace view
}  // namespace zoneloads
