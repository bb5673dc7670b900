#include "testkit/zone_files.h"

#include <algorithm>
#include <cstring>
#include <fstream>
#include <iterator>
#include <system_error>

#include "common/number_format.h"
#include "common/random_word.h"

namespace zoneloads {
namespace testkit {

std::unique_ptr<ZoneRecord> makeZone(const std::string& name, int seed) {
    auto zone = std::make_unique<ZoneRecord>();
    std::memset(zone.get(), 0, sizeof *zone);
    std::memcpy(zone->name, name.data(), name.size() < kNameBytes ? name.size() : kNameBytes);
    for (int i = 0; i < 24; ++i) zone->g[i] = static_cast<float32>(seed) + static_cast<float32>(i) / 100.0f;
    zone->p[0] = 1.0f;
    zone->p[1] = -0.82f;
    for (int h = 0; h < kHoursPerYear; ++h) {
        zone->Treal[h] = 20.0f + static_cast<float32>(h % 10) / 2.0f + static_cast<float32>(seed);
        zone->Tmax[h] = 25.0f;
        zone->Tmin[h] = 20.0f;
        zone->Qs[h] = static_cast<float32>((h % 7 - 3) * 50 + seed);
        zone->QL[h] = static_cast<float32>(h % 5 * 10);
        zone->VventInf[h] = 0.0123f;
        zone->daCal[h] = h % 3;
        zone->daRef[h] = h % 2;
    }
    return zone;
}

std::vector<std::unique_ptr<ZoneRecord>> makeKnownZones(const std::string& nameA) {
    std::vector<std::unique_ptr<ZoneRecord>> zones;
    zones.push_back(makeZone(nameA, 0));
    zones.push_back(makeZone("B", 0));
    ZoneRecord& a = *zones[0];
    ZoneRecord& b = *zones[1];
    for (int h = 0; h < kHoursPerYear; ++h) {
        a.Qs[h] = 0;
        a.QL[h] = 10;
        b.Qs[h] = h < 10 ? std::numeric_limits<float>::quiet_NaN() : -1.0f;
        b.QL[h] = 2;
    }
    a.Qs[100] = a.Qs[200] = 500;
    a.Qs[300] = -250.5f;
    a.Qs[5000] = 1000.25f;
    return zones;
}

void writeZoneFile(const std::string& path, int32 count, const std::vector<const ZoneRecord*>& zones) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(&count), sizeof count);
    for (const ZoneRecord* zone : zones) out.write(reinterpret_cast<const char*>(zone), sizeof *zone);
    ASSERT_TRUE(out.good()) << path;
}

void writeSampleZoneFile(const std::string& path, int zones) {
    std::vector<std::unique_ptr<ZoneRecord>> records;
    std::vector<const ZoneRecord*> pointers;
    for (int i = 0; i < zones; ++i) {
        records.push_back(makeZone("Z" + std::to_string(i), i));
        pointers.push_back(records.back().get());
    }
    writeZoneFile(path, zones, pointers);
}

std::string float32Text(float32 value) {
    char text[kMaxNumberChars];
    return std::string(text, formatFloat32(value, text));
}

void writeBytes(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    ASSERT_TRUE(out.good()) << path;
}

std::string readBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool fileExists(const std::string& path) {
    std::error_code error;  // a name too long for the system exists no more than a missing one
    return std::filesystem::exists(path, error);
}

std::vector<std::string> reportLines(const std::string& bytes) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = bytes.find("\r\n", start)) != std::string::npos; start = end + 2) {
        lines.push_back(bytes.substr(start, end - start));
    }
    if (start < bytes.size()) lines.push_back(bytes.substr(start));  // an unended last line
    return lines;
}

FolderState snapshotFolder(const std::string& reportFile) {
    FolderState state;
    for (const auto& entry : std::filesystem::directory_iterator(".")) {
        std::string name = entry.path().filename().string();
        state.names.insert(name);
        if (entry.is_regular_file() && name != reportFile) {
            state.inputs.emplace_back(entry.path(), readBytes(entry.path().string()),
                                      std::filesystem::last_write_time(entry.path()));
        }
    }
    return state;
}

void expectFolderKept(const FolderState& before, const std::string& reportFile) {
    for (const auto& [path, bytes, time] : before.inputs) {
        EXPECT_EQ(readBytes(path.string()), bytes) << path;
        EXPECT_EQ(std::filesystem::last_write_time(path), time) << path;
    }
    for (const auto& entry : std::filesystem::directory_iterator(".")) {
        std::string name = entry.path().filename().string();
        EXPECT_TRUE(before.names.count(name) || name == reportFile) << "left behind: " << name;
    }
}

ZoneFile openZones(const std::string& path) {
    ZoneFile zones;
    ZoneFileCheck check = openZoneFile(path, zones);
    EXPECT_EQ(check.fault, ZoneFileFault::none) << path << ": " << zoneFileFaultWords(check);
    return zones;
}

void ScratchDir::SetUp() {
    previous = std::filesystem::current_path();
    // A death test's child runs the test again from its start, in the folder
    // its parent made: it makes none of its own, which nobody would remove.
    owner = GTEST_FLAG_GET(internal_run_death_test).empty();
    if (!owner) {
        dir = previous;
        return;
    }
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = info->name();
    std::replace(name.begin(), name.end(), '/', '-');  // a parameterized test's name holds one
    dir = std::filesystem::temp_directory_path() / ("zoneloads-" + name + "-" + std::to_string(randomWord()));
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    std::filesystem::current_path(dir);
}

void ScratchDir::TearDown() {
    if (!owner) return;
    std::filesystem::current_path(previous);
    std::error_code ignored;
    std::filesystem::remove_all(dir, ignored);
}

}  // namespace testkit
}  // namespace zoneloads
