// The summary table: one row per zone block and one for the totals of each
// report, as the script CSV (doc/formats.md, "Summary CSV"), as a CSV for a
// Spanish-locale spreadsheet, and as aligned text.
#pragma once

#include <string>
#include <vector>

#include "view/statistics.h"

namespace zoneloads {
namespace view {

// The 24 hours of the day of a peak: its first hour (-1 for no peak) and
// the section's values in each (temperatures only for a zone block).
struct PeakDay {
    int firstHour = -1;
    double qs[kHoursPerDay] = {};
    double ql[kHoursPerDay] = {};
    double treal[kHoursPerDay] = {};
    double tmax[kHoursPerDay] = {};
    double tmin[kHoursPerDay] = {};
};

// The day of the peak at `hour` (none when negative).
PeakDay peakDay(const SectionFigures& figures, int hour);

// One row: a zone block, or the totals section of a report.
struct SummaryRow {
    std::string report;  // the report's name as given
    int block = 0;       // the block's 1-based position; 0 for the totals
    std::string zone;    // the zone's name, its report bytes; empty for the totals
    Summary summary;
    // The totals only: the sums of the zone blocks' own peaks, QsREF and
    // QsCAL (their non-coincident peak), and the zone block with most hours
    // outside its set points (0 for none; the first of equals).
    double zonePeaksPos = 0;
    double zonePeaksNeg = 0;
    int worstBlock = 0;
    std::string worstZone;
    Summary worst;  // that block's summary
    // The totals only: the zone blocks' hours outside their set points,
    // added up (zone-hours).
    int zoneHoursAbove = 0;
    int zoneHoursBelow = 0;
};

// The row of a section of the report `reportName`.
SummaryRow summaryRow(const std::string& reportName, const std::string& zoneName, int block, const Summary& summary);

// Sets what the totals row takes from the report's zone rows: the sums of
// their peaks and the block with most hours outside its set points.
void addZoneFigures(SummaryRow& totals, const std::vector<SummaryRow>& zoneRows);

// The hours a row counts outside the set points: its own for a zone block,
// those of its worst zone block for the totals.
const Summary& temperatureSummary(const SummaryRow& row);

// The factor de simultaneidad: the building's peak over the sum of its zone
// blocks' peaks; 0 when they have none.
double simultaneity(double buildingPeak, double zonePeaks);

// Watt-hours as the table writes kilowatt-hours: six significant digits.
std::string kWhText(double wh);

// The script CSV: its header's names, and a row's fields as text.
std::vector<std::string> csvHeaderNames();
std::vector<std::string> csvFields(const SummaryRow& row);

// A CSV line of the fields, `separator` between them (a field holding the
// separator, a quote or a line break quoted), without its line end.
std::string csvLine(const std::vector<std::string>& fields, char separator = ',');

// The CSV for a Spanish-locale spreadsheet: the script CSV's columns with
// ";" between fields, decimal commas, dates as "dd/mm/aaaa hh:mm" of
// kSpreadsheetYear, Windows-1252 bytes; a name a spreadsheet could take for a
// formula starts with "'". Header first, each line ended by CR LF.
std::string spanishCsv(const std::vector<SummaryRow>& rows);

// The rows as a text table with aligned columns, header first, one line
// each, each peak with its date ("17 jul 13:00"). For a terminal
// (`forTerminal`) names are UTF-8 as the page shows them, control bytes as
// visible marks; otherwise they are the report's bytes, line breaks as
// blanks.
std::string textTable(const std::vector<SummaryRow>& rows, bool forTerminal = false);

}  // namespace view
}  // namespace zoneloads
