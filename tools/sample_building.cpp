// sample-building: writes a synthetic but plausible zone results file, so the
// tool can be tried and tested without a simulation at hand.
//
//   sample-building OUT [--zones N] [--seed S] [--varied]   (--help, --version)
//
// Zones get names, weights and a year of hourly results: day-to-day and
// hourly weather, occupied weekday hours and unoccupied nights and weekends,
// sun by hour and month; heating (Qs below 0) when the free-floating
// temperature falls below the set point, cooling (above 0) when it rises
// above, and 0 in between. With --varied every real series changes every
// hour (set points, loads that are never exactly 0, flows), as a
// simulation's output does. The output depends only on N, S and --varied:
// every value comes from an integer generator and float arithmetic, never
// from the math library, so every platform writes the same bytes.
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "common/calendar.h"
#include "common/output_file.h"
#include "common/platform.h"
#include "common/program.h"
#include "common/text_encoding.h"
#include "zonefile/zone_file.h"

namespace {

using zoneloads::float32;
using zoneloads::int32;
using zoneloads::ZoneRecord;

struct Random {
    std::uint64_t state;
};

std::uint64_t nextRandom(Random& r) {  // splitmix64
    std::uint64_t z = (r.state += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

// Uniform in [lo, hi), from 24 random bits.
float32 uniform(Random& r, float32 lo, float32 hi) {
    float32 unit = static_cast<float32>(nextRandom(r) >> 40) / 16777216.0f;
    return lo + (hi - lo) * unit;
}

// x rounded down to a multiple of 1/steps.
float32 quantize(float32 x, float32 steps) {
    float32 scaled = x * steps;
    auto whole = static_cast<std::int64_t>(scaled < 0 ? scaled - 1 : scaled);
    return static_cast<float32>(whole) / steps;
}

const float32 kMonthlyOutdoor[12] = {6, 8, 11, 13, 17, 22, 25, 25, 21, 15, 10, 7};
const float32 kDiurnal[24] = {-2.4f, -3.0f, -3.6f, -3.9f, -3.6f, -3.0f, -1.5f, 0.0f, 1.8f, 3.3f,  4.5f,  5.4f,
                              6.0f,  6.3f,  6.0f,  5.1f,  3.9f,  2.7f,  1.5f,  0.6f, 0.0f, -0.6f, -1.2f, -1.8f};
const char* const kUses[6] = {"Oficina", "Aula", "Pasillo", "Aseo", "Sala reuniones", "Almacen"};

void setText(char* field, std::size_t size, const std::string& text) {
    std::memset(field, 0, size);
    std::memcpy(field, text.data(), text.size() < size ? text.size() : size - 1);
}

std::string twoDigits(int n) {
    return std::string(1, static_cast<char>('0' + n / 10 % 10)) + static_cast<char>('0' + n % 10);
}

void fillWeights(ZoneRecord& zone, Random& r) {
    float32 weight = uniform(r, 0.35f, 0.6f);
    float32 ratio = uniform(r, 0.45f, 0.7f);
    for (float32& g : zone.g) {
        g = quantize(weight, 100000.0f);
        weight *= ratio;
    }
    zone.p[0] = 1.0f;
    zone.p[1] = -quantize(uniform(r, 0.75f, 0.9f), 100.0f);
}

void fillSpaces(ZoneRecord& zone, Random& r, int index) {
    int spaces = 1 + static_cast<int>(nextRandom(r) % 4);
    for (int s = 0; s < spaces; ++s) {
        zone.spaceValues[s] = quantize(uniform(r, 8.0f, 120.0f), 10.0f);
        setText(zone.spaceNames[s], zoneloads::kSpaceNameBytes, "E" + twoDigits(index % 100) + "_" + twoDigits(s + 1));
    }
}

// Relative sunshine by hour of the day and by month (northern mid latitude).
const float32 kSunByHour[24] = {0, 0,     0,     0,    0,    0,    0.05f, 0.2f,  0.4f, 0.6f, 0.8f, 0.95f,
                                1, 0.95f, 0.85f, 0.7f, 0.5f, 0.3f, 0.12f, 0.03f, 0,    0,    0,    0};
const float32 kSunByMonth[12] = {0.45f, 0.55f, 0.7f, 0.8f, 0.9f, 1, 1, 0.95f, 0.8f, 0.65f, 0.5f, 0.4f};

// How a zone's year is made: a zone of its own size and exposure, in a
// weather that changes from day to day and from hour to hour.
struct ZoneClimate {
    float32 lossFactor;     // W per K to outdoors
    float32 occupiedGains;  // W, people and equipment
    float32 baseGains;      // W when unoccupied
    float32 sunGains;       // W at full sun
    float32 weather = 0;    // today's departure from the monthly mean, K
    float32 cloud = 1;      // today's share of full sun
    float32 capacity = 0;   // W the zone's plant can give or take; 0: whatever is needed
};

// One zone in three has a plant too small for the hottest and coldest days:
// its temperature then leaves its set points by more than a few tenths.
ZoneClimate makeClimate(Random& r, int index) {
    ZoneClimate c = {uniform(r, 80.0f, 200.0f), uniform(r, 300.0f, 900.0f), uniform(r, 20.0f, 80.0f),
                     uniform(r, 200.0f, 1500.0f)};
    if (index % 3 == 1) c.capacity = c.lossFactor * 13.0f;
    return c;
}

// One hour: the free-floating temperature against the set points decides
// whether the zone is heated (Qs below 0), cooled (Qs above 0) or left alone.
// `varied`: every real series changes every hour, as a simulation's do.
void fillHour(ZoneRecord& zone, int h, int month, ZoneClimate& c, Random& r, bool varied) {
    int day = h / 24;
    int hour = h % 24;
    bool weekday = day % 7 < 5;
    bool occupied = weekday && hour >= 8 && hour < 20;
    float32 outdoor = kMonthlyOutdoor[month] + kDiurnal[hour] + c.weather + uniform(r, -0.8f, 0.8f);
    float32 gains = occupied ? c.occupiedGains * uniform(r, 0.7f, 1.1f) : c.baseGains * uniform(r, 0.8f, 1.2f);
    gains += c.sunGains * kSunByHour[hour] * kSunByMonth[month] * c.cloud;
    float32 free = outdoor + gains / c.lossFactor;
    float32 tMin = occupied ? 20.0f : 16.0f;
    float32 tMax = occupied ? 25.0f : 30.0f;
    if (varied) {
        tMin += quantize(uniform(r, -0.3f, 0.3f), 100.0f);
        tMax += quantize(uniform(r, -0.3f, 0.3f), 100.0f);
    }
    float32 load = 0;
    float32 inside = free;
    if (free < tMin) {
        load = (free - tMin) * c.lossFactor;
        inside = tMin + uniform(r, -0.2f, 0.1f);
    } else if (free > tMax) {
        load = (free - tMax) * c.lossFactor;
        inside = tMax + uniform(r, -0.1f, 0.2f);
    }
    if (c.capacity > 0 && (load > c.capacity || load < -c.capacity)) {
        // What the plant cannot give or take leaves the zone off its set point.
        float32 held = load > 0 ? c.capacity : -c.capacity;
        inside += (load - held) / c.lossFactor;
        load = held;
    } else if (load == 0 && varied) {
        load = uniform(r, -40.0f, 40.0f);  // the set point held against small swings
    }
    if (varied && load > -0.5f && load < 0.5f) load = load < 0 ? -0.7f : 0.7f;  // never an exact 0
    zone.Treal[h] = quantize(inside, 100.0f);
    zone.Tmax[h] = tMax;
    zone.Tmin[h] = tMin;
    zone.Qs[h] = quantize(load, 10.0f);
    zone.QL[h] = occupied ? quantize(uniform(r, 40.0f, 320.0f), 10.0f)
                          : (varied ? quantize(uniform(r, -30.0f, 30.0f), 10.0f) : 0.0f);
    zone.VventInf[h] = occupied ? quantize(uniform(r, 0.05f, 0.2f), 10000.0f)
                                : (varied ? quantize(uniform(r, 0.01f, 0.02f), 100000.0f) : 0.0123f);
    zone.daCal[h] = zone.Qs[h] < 0 ? 1 : 0;
    zone.daRef[h] = zone.Qs[h] > 0 ? 1 : 0;
}

void fillHours(ZoneRecord& zone, Random& r, int index, bool varied) {
    ZoneClimate climate = makeClimate(r, index);
    for (int h = 0; h < zoneloads::kHoursPerYear; ++h) {
        int month = zoneloads::hourMonth(h);
        if (h % 24 == 0) {  // a new day: its weather follows yesterday's
            climate.weather = 0.7f * climate.weather + uniform(r, -2.0f, 2.0f);
            climate.cloud = uniform(r, 0.3f, 1.0f);
        }
        fillHour(zone, h, month, climate, r, varied);
    }
}

void fillZone(ZoneRecord& zone, Random& r, int index, bool varied) {
    std::memset(&zone, 0, sizeof zone);
    setText(zone.name, zoneloads::kNameBytes,
            "P" + twoDigits(index / 20) + " Z" + twoDigits(index % 100) + " " + kUses[index % 6]);
    zone.zoneValueA = quantize(uniform(r, 20.0f, 200.0f), 10.0f);
    zone.zoneValueB = 2.7f;
    zone.zoneValueC = 1.0f;
    fillWeights(zone, r);
    fillSpaces(zone, r, index);
    fillHours(zone, r, index, varied);
}

const char kUsage[] =
    "uso: sample-building FICHERO [--zones N] [--seed S] [--varied]\n"
    "\n"
    "Escribe un fichero de resultados de zonas de ejemplo, con N zonas (3 por\n"
    "omisi\u00f3n) y 8760 horas de resultados inventados pero veros\u00edmiles, para\n"
    "probar zoneloads sin una simulaci\u00f3n. La misma orden da los mismos bytes.\n"
    "\n"
    "  --zones N        zonas, de 0 a 100000\n"
    "  --seed S         semilla de los valores\n"
    "  --varied         todas las series cambian cada hora, como en una simulaci\u00f3n\n"
    "  -h, --help, /?   esta ayuda\n"
    "  --version        la versi\u00f3n\n";

int wrongArguments(const std::string& fault) {
    std::cerr << "sample-building: " << fault << "\n" << kUsage << std::flush;
    return 2;
}

bool parseCount(const std::string& text, long long& value) {
    char* end = nullptr;
    value = std::strtoll(text.c_str(), &end, 10);
    return !text.empty() && *end == '\0' && value >= 0 && value <= 100000;
}

// Writes the building; false, with the message in `error`, when the file
// cannot be written.
bool writeBuilding(const zoneloads::FileName& name, long long zones, long long seed, bool varied, std::string& error) {
    zoneloads::OutputFile out;
    if (!zoneloads::openOutput(out, name)) {
        error = zoneloads::outputMessage(out);
        return false;
    }
    int32 count = static_cast<int32>(zones);
    bool written = zoneloads::writeOutput(out, &count, sizeof count);
    auto zone = std::make_unique<ZoneRecord>();
    Random r{static_cast<std::uint64_t>(seed)};
    for (int i = 0; i < count && written; ++i) {
        fillZone(*zone, r, i, varied);
        written = zoneloads::writeOutput(out, zone.get(), sizeof *zone);
    }
    return zoneloads::commitOutputs({&out}, error);
}

int run(int argc, char** argv) {
    std::vector<std::string> args;
    zoneloads::FileName output;
    for (const std::filesystem::path& argument : zoneloads::commandLineArguments(argc, argv)) {
        args.push_back(zoneloads::textOfPath(argument));
        if (args.size() == 1) output = zoneloads::fileNameOfPath(argument);
    }
    if (!args.empty() && (args[0] == "-h" || args[0] == "--help" || args[0] == "/?")) {
        std::cout << kUsage << std::flush;
        return 0;
    }
    if (!args.empty() && args[0] == "--version") {
        std::cout << "sample-building " ZONELOADS_VERSION "\n" << std::flush;
        return 0;
    }
    if (args.empty()) return wrongArguments("falta el fichero");
    // A name that starts with "-" is an option mistyped, never a file to write;
    // "-" alone is no name either (it is no standard output here).
    if (args[0] == "-") return wrongArguments("falta el fichero (- no es un nombre de fichero)");
    if (args[0][0] == '-') return wrongArguments("opci\u00f3n desconocida: " + zoneloads::displayFileName(args[0]));
    long long zones = 3;
    long long seed = 1;
    bool varied = false;
    for (std::size_t i = 1; i < args.size(); ++i) {
        if (args[i] == "--varied") {
            varied = true;
        } else if (args[i] == "--zones" || args[i] == "--seed") {
            if (i + 1 == args.size() || !parseCount(args[i + 1], args[i] == "--zones" ? zones : seed)) {
                return wrongArguments("se esperaba un n\u00famero de 0 a 100000 tras " + args[i]);
            }
            ++i;
        } else {
            return wrongArguments("opci\u00f3n desconocida: " + zoneloads::displayFileName(args[i]));
        }
    }
    std::string error;
    if (!writeBuilding(output, zones, seed, varied, error)) {
        std::cerr << "sample-building: " << error << "\n" << std::flush;
        return 1;
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const zoneloads::Program program{"sample-building", 1, false};
    return zoneloads::runProgram(program, run, argc, argv);
}
