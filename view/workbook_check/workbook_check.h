// The check of a written workbook, read back: the library that writes a
// workbook does not check its own scratch files, so the file is read back
// before it is put in place. Its own library, the one that links minizip.
#pragma once

#include <cstdio>
#include <vector>

namespace zoneloads {
namespace view {

// What a workbook's sheets were given, for the check of the file: the bytes
// of each sheet's rows, in the sheets' order.
struct WrittenSheets {
    std::vector<long long> rowBytes;
};

// True when the workbook in `file` (open for reading) is whole: a zip file
// whose every part reads back with its checksum, every XML part closed by
// its root element's end tag, every sheet holding all the bytes of its rows
// that `written` gives. The library that writes a workbook does not check
// its own scratch files: one that met a full disk or the file-size limit,
// even for a moment, would give a workbook that no spreadsheet opens.
bool workbookIsWhole(std::FILE* file, const WrittenSheets& written);

}  // namespace view
}  // namespace zoneloads
