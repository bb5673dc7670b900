// Zone-list files, whose grammar doc/formats.md gives: zone numbers written
// as C's "%i" reads them, separated by white space, in plain bytes, UTF-8
// after a byte-order mark, or UTF-16LE.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "common/types.h"

namespace zoneloads {

// The characters of a zone-list file, read a block at a time as the scan
// needs them (or all given in `text`, for a list held in memory).
struct ListInput {
    std::FILE* file = nullptr;  // nullptr: `text` is all there is
    std::string text;           // characters to scan, from `at` on
    std::size_t at = 0;
    std::string pending;   // bytes read but not yet characters
    bool started = false;  // the byte-order mark has been looked for
    bool utf16 = false;
    bool finished = false;   // the file has been read to its end (or failed)
    bool readError = false;  // reading the file failed (not its end)
};

// A list input over the given characters.
ListInput listFromText(const std::string& text);

enum class ListScan { ok, badToken, outOfRange, readError };

// Fills `slots` (all of them: what the file does not fill holds -1) from the
// zone-list file. Reading ends at the end of the file or once every slot is
// filled; nothing after that is read. A negative number ends the list that
// the report walks, so only the numbers before the first negative one must be
// below `zoneCount`; the first that is not gives `outOfRange`, with the number
// (in decimal, or as written when beyond int32) in `offending`.
ListScan scanZoneList(ListInput& in, int32 zoneCount, std::vector<int32>& slots, std::string& offending);

}  // namespace zoneloads
