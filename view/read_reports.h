// Reading the reports: each section is read (its hours, by the report's own
// readers), given its figures and drawn on the pipeline's workers, and what
// the outputs need of it is kept in report order: the rows, the building's
// hours and picture, the zone sections' HTML and hours in scratch files.
#pragma once

#include <string>
#include <vector>

#include "common/file_name.h"
#include "common/output_file.h"
#include "view/figures/report_figures.h"

namespace zoneloads {
namespace view {

// What the outputs keep of one report once it is read.
struct LoadedReport {
    ReportFigures figures;     // its name, rows, peak days and building's hours
    std::string buildingHtml;  // the building's section of the page
    long long blockBytes = 0;  // how many bytes of zone sections it left in the blocks file
};

// Where the zone blocks wait until the outputs can take them: their
// sections' HTML, until the page's head is written, and their hours, for
// the workbook.
struct SectionScratch {
    OutputFile blocks;
    ZoneQsFile zoneQs;    // its scratch file is open only when a workbook is asked for
    bool forPage = true;  // false when the page is discarded (written to the null device): nothing is drawn
};

// Reads the reports in order into `loaded` (a zone results file as the
// report of all its zones), reading and drawing sections on
// `threads` worker threads (0: all on this one; the results are the same),
// with `tolerance` K of the set points before an hour counts outside them.
// False, with a one-line message naming the file and the line, when a report
// cannot be read; a failure of a scratch file is kept in it.
bool readReports(const std::vector<FileName>& reports, int threads, double tolerance, SectionScratch& scratch,
                 std::vector<LoadedReport>& loaded, std::string& error);

}  // namespace view
}  // namespace zoneloads
