// Test helpers: zone records with known values, zone results files built from
// them, the files' bytes, and a scratch folder that each test works in.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "zonefile/zone_file.h"

namespace zoneloads {
namespace testkit {

// A zone whose every value follows from `seed` and the hour, so a test can
// recompute any line of its block:
//   g(i) = seed + i/100, p = {1, -0.82}
//   Treal = 20 + (h % 10) / 2 + seed, Tmax = 25, Tmin = 20,
//   Qs = (h % 7 - 3) * 50 + seed (both signs, 0 when seed is 0 and h % 7 == 3),
//   QL = h % 5 * 10, VventInf = 0.0123, daCal = h % 3, daRef = h % 2.
std::unique_ptr<ZoneRecord> makeZone(const std::string& name, int seed);

// The two zones of a small building whose every figure is known. Zone A
// (named `nameA`): Qs 0 but for 500 at hours 100 and 200, -250.5 at 300 and
// 1000.25 at 5000; QL 10. Zone B: no positive hour, Qs -1 but NaN in hours
// 0 to 9; QL 2. Both otherwise as makeZone(name, 0).
std::vector<std::unique_ptr<ZoneRecord>> makeKnownZones(const std::string& nameA);

// Writes `count` followed by the given records.
void writeZoneFile(const std::string& path, int32 count, const std::vector<const ZoneRecord*>& zones);
// Writes a file of `zones` records made by makeZone (names "Z0", "Z1", ...).
void writeSampleZoneFile(const std::string& path, int zones);

// The zone results file at `path`, open for the run; a test fails when it
// cannot be used.
ZoneFile openZones(const std::string& path);

// A float32 as the report writes it.
std::string float32Text(float32 value);

// Writes `bytes` as the whole file; a failed write fails the test.
void writeBytes(const std::string& path, const std::string& bytes);
// The whole file's bytes; "" for a file that cannot be read.
std::string readBytes(const std::string& path);
// Whether anything of that name exists (false for a name the system refuses).
bool fileExists(const std::string& path);

// The lines of a report, split at CR LF (the ends themselves removed).
std::vector<std::string> reportLines(const std::string& bytes);

// What a run must leave as it found it: every regular file of the current
// folder but the report (bytes and modification time), and its names.
struct FolderState {
    std::vector<std::tuple<std::filesystem::path, std::string, std::filesystem::file_time_type>> inputs;
    std::set<std::string> names;
};

// The state of the current folder, leaving out `reportFile`'s contents.
FolderState snapshotFolder(const std::string& reportFile);

// Expects every input of `before` unchanged and no new name in the folder
// but `reportFile` (no temporary file left behind).
void expectFolderKept(const FolderState& before, const std::string& reportFile);

// Each test runs in a fresh empty folder of its own, made the current one,
// so the dialogue can be given short relative file names.
class ScratchDir : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    std::filesystem::path dir;

private:
    std::filesystem::path previous;
    bool owner = true;  // false in a death test's child, which works in its parent's folder
};

}  // namespace testkit
}  // namespace zoneloads
