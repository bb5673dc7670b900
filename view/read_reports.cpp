#include "view/read_reports.h"

#include <memory>
#include <utility>

#include "common/pipeline.h"
#include "report/section_source.h"
#include "reportfile/report_reader.h"
#include "view/figures/statistics.h"
#include "view/page/page.h"

namespace zoneloads {
namespace view {
namespace {

// What a worker makes of a section: its row and HTML (a zone block's whole
// section, its hours encoded for the page's script; the building's pictures,
// its head waiting for its zone blocks), or the fault found in its lines;
// the building's hours, for the workbook and the comparisons; and when a
// workbook is asked for, a zone block's Qs and the days of the section's
// peaks.
struct DrawnSection {
    bool read = false;
    std::string error;
    bool building = false;
    SummaryRow row;
    std::string html;
    std::unique_ptr<SectionHours> buildingHours;
    std::vector<double> qs;
    std::vector<PeakDay> peakDays;  // QsREF's, then QsCAL's
};

// Where one section is read and drawn: its lines, and its hours, which the
// slot's next zone block fills again (no fresh memory per section).
struct SectionSlot {
    Section section;
    SectionHours hours;
};

// Reads a section's hours and draws it.
DrawnSection drawSection(const std::string& reportName, int index, SectionSlot& slot, double tolerance, bool forPage,
                         bool forWorkbook) {
    const Section& section = slot.section;
    DrawnSection d;
    d.building = section.totals;
    if (d.building) d.buildingHours = std::make_unique<SectionHours>();
    SectionHours& hours = d.building ? *d.buildingHours : slot.hours;
    d.read = readSectionHours(reportName, section, hours, d.error);
    if (!d.read) return d;
    SectionFigures figures = sectionFigures(hours, tolerance);
    d.row = zoneRow(reportName, section.name, section.block, figures, section.zone);
    if (forPage) d.html = d.building ? sectionFiguresHtml(hours, figures) : zoneSectionHtml(d.row, index, hours);
    if (forWorkbook) {
        d.peakDays = {peakDay(hours, figures.qsRef.hour), peakDay(hours, figures.qsCal.hour)};
        if (!d.building) d.qs = hours.qs;
    }
    return d;
}

// Where a drawn section goes: a zone block's row to the report's rows, its
// HTML to the blocks file and its Qs to the zone Qs file; the building's
// row, with what it takes from the zone blocks, and its HTML and hours to
// the report.
bool placeSection(DrawnSection d, SectionScratch& scratch, LoadedReport& report, std::string& error) {
    if (!d.read) {
        error = d.error;
        return false;
    }
    ReportFigures& figures = report.figures;
    figures.peakDays.insert(figures.peakDays.end(), d.peakDays.begin(), d.peakDays.end());
    if (d.building) {
        SummaryRow building = buildingRow(figures.name, d.row.figures, figures.rows);
        if (scratch.forPage) {
            report.buildingHtml = sectionHeadHtml(building) + hourlyChartHtml() + d.html;
        }
        figures.rows.push_back(std::move(building));
        figures.building = std::move(*d.buildingHours);
        return true;
    }
    figures.rows.push_back(std::move(d.row));
    writeOutput(scratch.blocks, d.html);
    report.blockBytes += static_cast<long long>(d.html.size());
    if (scratch.zoneQs.scratch.file) appendZoneQs(scratch.zoneQs, d.qs);
    return true;
}

// Reads one report, or a zone results file as the report of all its zones.
// This thread only splits the report into sections; each is read and drawn
// on the pipeline's threads, in a ring of section slots
// (section k in slot k % depth, which section k - depth has left once taken
// back), so memory stays at a few sections and every core works. Results are
// taken in report order, so the first fault in the file is the one reported.
bool readReport(const FileName& file, int index, int threads, double tolerance, SectionScratch& scratch,
                LoadedReport& report, std::string& error) {
    SectionSource source;
    if (!openSectionSource(source, file, error)) return false;
    const std::string& name = file.text;
    report.figures.name = name;
    report.figures.firstBlock = scratch.zoneQs.blocks;
    const std::size_t depth = static_cast<std::size_t>(threads) + 1;
    const bool forWorkbook = scratch.zoneQs.scratch.file != nullptr;
    const bool forPage = scratch.forPage;
    std::vector<SectionSlot> slots(depth);
    bool placed = true;
    ReadResult result = ReadResult::end;
    std::string readError;
    {
        Pipeline<DrawnSection> drawing(threads, depth);  // after the slots, which its jobs use
        auto placeOldest = [&] {
            DrawnSection d = drawing.takeOldest();
            if (placed) placed = placeSection(std::move(d), scratch, report, error);
        };
        for (std::size_t k = 0; placed; ++k) {
            if (drawing.full()) placeOldest();
            SectionSlot& slot = slots[k % slots.size()];
            if ((result = readSection(source, slot.section, readError)) != ReadResult::section) break;
            drawing.give([&name, index, &slot, tolerance, forPage, forWorkbook] {
                return drawSection(name, index, slot, tolerance, forPage, forWorkbook);
            });
        }
        while (!drawing.empty()) placeOldest();
    }
    closeSectionSource(source);
    if (!placed) return false;  // a fault in an earlier section than reading found one in
    if (result == ReadResult::error) {
        error = readError;
        return false;
    }
    return true;
}

}  // namespace

bool readReports(const std::vector<FileName>& reports, int threads, double tolerance, SectionScratch& scratch,
                 std::vector<LoadedReport>& loaded, std::string& error) {
    loaded.clear();
    for (const FileName& report : reports) {
        loaded.emplace_back();
        int index = static_cast<int>(loaded.size()) - 1;
        if (!readReport(report, index, threads, tolerance, scratch, loaded.back(), error)) return false;
    }
    return true;
}

}  // namespace view
}  // namespace zoneloads
