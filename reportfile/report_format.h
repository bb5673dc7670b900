// The report's grammar (doc/formats.md, "Report"), once: its fixed lines, the
// shape of every other line, and for each shape its writer beside its reader.
// Writers put a line at `at` (with its CR LF) and return its end; the caller
// gives room enough (kMaxLineBytes, or kMaxHourLineBytes for an hourly line).
// Readers take one line without its line end.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "common/types.h"
#include "zonefile/zone_file.h"

namespace zoneloads {

constexpr std::string_view kLineEnd = "\r\n";
constexpr std::string_view kWarning1 = "# ATENCION # Los valores son orientativos de potencias sensibles";
constexpr std::string_view kWarning2 = "# ATENCION # NO sirven como c\xE1lculo de cargas.";
constexpr std::string_view kNameStart = "# Nombre zona: ";
constexpr std::string_view kNameEnd = " : # Pesos g(i) #";  // the name line runs on into the g(i) header
constexpr std::string_view kWeightsPTitle = "# Pesos p(i) #";
constexpr std::string_view kLegendTitle = "# LEYENDA #";
constexpr std::string_view kLegend = "Treal[C],Tmax[C],Tmin[C],Qs[W],QL[W],VventInf[kg/s],daCal,daRef";
constexpr std::string_view kExtremesTitle = "# max QsREF[W] , max QsCAL[W], Para la zona";
constexpr std::string_view kTotalsTitle = "# TOTAL --- Qsensible [w] , Qlatente[W],Qs[w]Sin agregar,Qs[W]sin agregar";
constexpr std::string_view kSeparator = " , ";  // between the values of hourly, extremes and totals lines
constexpr std::string_view kWeightSeparator = ",";

constexpr int kWeightsG = 24;
constexpr int kWeightsP = 2;
// An hourly line: the six real series (Series, zonefile/zone_file.h) in an
// order of its own, then daCal and daRef.
constexpr int kHourFields = 8;
constexpr Series kHourLineSeries[kRealSeries] = {kTreal, kTmax, kTmin, kQs, kQL, kVventInf};
constexpr int kDaCalField = 6;
constexpr int kDaRefField = 7;
// The field (from 0) of series `s` in an hourly line.
constexpr int hourField(Series s) {
    int field = 0;
    while (kHourLineSeries[field] != s) ++field;
    return field;
}
// A totals line: the four sums over the zone blocks, in this order (as
// HourlyTotals, report/hourly_totals.h, keeps them).
enum TotalsSeries { kSumQs, kSumQL, kSumQsNeg, kSumQsPos };
constexpr int kTotalsFields = 4;

// The nine lines that open a zone block, in order: fixed texts, the name
// line and the two weights lines. The writer and the reader both walk this
// table, so a change of the block's head is made here alone.
enum class OpeningShape { fixed, name, weightsG, weightsP };
struct OpeningLine {
    OpeningShape shape;
    std::string_view text;  // the fixed text; empty for the other shapes
    const char* what;       // how a reader's message names the line
};
constexpr int kOpeningLines = 9;
extern const OpeningLine kBlockOpening[kOpeningLines];

// Room for the longest line but an hourly one (the 24 weights of g(i), about
// 320 bytes) and for what a formatter may store past the end it returns.
constexpr std::size_t kMaxLineBytes = 512;
// The longest hourly line: six reals of 12 characters, two integers of 11,
// seven separators and the line end. Its writer may store up to
// kMaxNumberChars bytes past that end.
constexpr std::size_t kMaxHourLineBytes = 6 * 12 + 2 * 11 + 7 * 3 + 2;

// ---- Writers ----

// `text` and the line end.
char* writeTextLine(char* at, std::string_view text);

// The nine opening lines of the zone's block.
char* writeOpeningLines(char* at, const ZoneRecord& zone);

// What an hourly line's writer remembers of the line before: the text of
// each real column, which an unchanged value copies rather than formats
// again (set points, idle loads and flows stay the same for hours on end).
// Start each block with a fresh one; the previous line must stay where it
// was written, just before the new one.
struct LastWrittenLine {
    struct Column {
        std::uint32_t bits = 0;
        const char* text = nullptr;  // nullptr: nothing to copy yet
        std::size_t length = 0;
    };
    Column columns[6];
};

// The hourly line of hour h of the zone.
char* writeHourLine(char* at, const ZoneRecord& zone, int h, LastWrittenLine& last);

// The extremes line: qsMax, qsMin.
char* writeExtremesLine(char* at, float32 qsMax, float32 qsMin);

// One line of the totals section.
char* writeTotalsLine(char* at, float32 sumQs, float32 sumQL, float32 sumQsNeg, float32 sumQsPos);

// ---- Readers ----

// A part of a line.
struct Field {
    const char* text;
    std::size_t length;
};

// Splits a line at every occurrence of `separator` (kSeparator or
// kWeightSeparator) into exactly `count` fields; false when it holds another
// number of them.
bool splitFields(std::string_view line, std::string_view separator, Field* fields, int count);

// An hourly line split into its kHourFields fields, each checked to hold only
// the bytes a number can; false for any other line.
bool splitHourLine(std::string_view line, Field* fields);

// What a reader of hourly lines remembers of the line before: the text and
// value of each real column, so that a column repeating its text (set
// points and flows do, for hours on end) is not read again. Start each block
// with a fresh one; the line before must stay where it was read.
struct LastReadLine {
    struct Column {
        const char* text = nullptr;  // nullptr: nothing to compare with yet
        std::size_t length = 0;
        double value = 0;
    };
    Column columns[6];
};

// Reads an hourly line of the grammar in one pass: its six reals, in the
// line's order (kHourLineSeries), into `reals`, and its eight fields into `fields` (unless
// nullptr); false when it is no such line (then splitHourLine and parseReal
// tell what is wrong with it).
bool readHourLine(std::string_view line, LastReadLine& last, double* reals, Field* fields);

}  // namespace zoneloads
