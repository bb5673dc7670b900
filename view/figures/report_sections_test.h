// For the tests of the figures: the sections of a report that zoneloads's
// own writer wrote, read as the viewer reads them, with their figures and
// summary rows.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "report/report.h"
#include "report/section_source.h"
#include "testkit/zone_files.h"
#include "view/figures/statistics.h"
#include "view/figures/summary_row.h"

namespace zoneloads {
namespace view {

// A section read from a report: its hours and figures.
struct ReadSection {
    SectionHours hours;
    SectionFigures figures;
};

class ReportSectionsTest : public testkit::ScratchDir {
protected:
    // Every section of the report of `zones` (in that order), the totals last.
    std::vector<ReadSection> sectionsOf(const std::vector<const ZoneRecord*>& zones,
                                        const std::string& report = "r.txt", std::vector<int32> order = {}) {
        testkit::writeZoneFile("zones.bin", static_cast<int32>(zones.size()), zones);
        ZoneSelection selection;
        for (std::size_t i = 0; i < zones.size(); ++i) selection.slots.push_back(static_cast<int32>(i));
        if (!order.empty()) selection.slots = order;
        std::string error;
        EXPECT_TRUE(writeReport(testkit::openZones("zones.bin"), "zones.bin", report, selection, error)) << error;
        SectionSource source;
        std::vector<ReadSection> all;
        EXPECT_TRUE(openSectionSource(source, report, error)) << error;
        Section section;
        while (readSection(source, section, error) == ReadResult::section) {
            all.emplace_back();
            EXPECT_TRUE(readSectionHours(report, section, all.back().hours, error)) << error;
            all.back().figures = sectionFigures(all.back().hours);
        }
        closeSectionSource(source);
        return all;
    }

    // The summary rows of the report of `zones`, as the viewer makes them:
    // the zone blocks', then the building's.
    std::vector<SummaryRow> rowsOf(const std::vector<const ZoneRecord*>& zones, const std::string& report) {
        std::vector<ReadSection> read = sectionsOf(zones, report);
        std::vector<SummaryRow> rows;
        for (std::size_t i = 0; i + 1 < read.size(); ++i) {
            rows.push_back(zoneRow(report, zones[i]->name, static_cast<int>(i) + 1, read[i].figures));
        }
        rows.push_back(buildingRow(report, read.back().figures, rows));
        return rows;
    }
};

}  // namespace view
}  // namespace zoneloads
