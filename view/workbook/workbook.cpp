#include "view/workbook/workbook.h"

#include <xlsxwriter.h>

#include <cerrno>

#include "common/output_file.h"
#include "common/platform.h"
#include "view/workbook/sheets.h"

namespace zoneloads {
namespace view {
namespace {

constexpr std::size_t kOtherOpenFiles = 32;  // the run's other files, the library's own beside the sheets'

// The sheets of a table, from the plan, each started as `start` starts it.
template <typename Start>
RowTable rowTable(std::vector<lxw_worksheet*>::const_iterator& sheets, std::size_t count, const WorkbookLimits& limits,
                  Start start) {
    RowTable table{std::vector<lxw_worksheet*>(sheets, sheets + static_cast<std::ptrdiff_t>(count)),
                   limits.rowsPerSheet - 1};
    sheets += static_cast<std::ptrdiff_t>(count);
    for (lxw_worksheet* sheet : table.sheets) start(sheet);
    return table;
}

// What went wrong in the library, in the words of the program's messages.
std::string libraryFailure(lxw_error error, int systemError) {
    switch (error) {
        case LXW_ERROR_MEMORY_MALLOC_FAILED: return "sin memoria";
        case LXW_ERROR_CREATING_XLSX_FILE:
        case LXW_ERROR_CREATING_TMPFILE:
        case LXW_ERROR_READING_TMPFILE:
        case LXW_ERROR_ZIP_FILE_OPERATION:
        case LXW_ERROR_ZIP_FILE_ADD:
        case LXW_ERROR_ZIP_CLOSE:
        case LXW_ERROR_ZIP_BAD_ZIP_FILE:
        case LXW_ERROR_ZIP_INTERNAL_ERROR:
        case LXW_ERROR_ZIP_PARAMETER_ERROR:
            return systemError != 0 ? errorReason(systemError) : "error de entrada/salida";
        default: return "error de la biblioteca del libro " + std::to_string(static_cast<int>(error));
    }
}

// Writes each sheet's last row to the file of its rows and takes the size of
// that file, which the sheet's part must hold whole; the first failure to
// write (the library goes on past one), 0 when none.
//
// Why this reaches into the library: in constant memory it prints each
// finished row into a scratch file of the sheet's (the member
// `optimize_tmpfile`, which its header declares but does not document),
// checks none of those writes, and at the close copies that file into the
// sheet's part ignoring a failed flush or read. A disk that fills while the
// hours are written would then give a workbook that opens with rows
// missing. No documented call tells either, so this checks that file
// itself, after writing its last row (lxw_worksheet_write_single_row,
// declared in the same header), and the read-back (workbookIsWhole) checks
// that each part holds all its bytes. Both names are those of libxlsxwriter
// 1.1.4, Debian 12's and the one .ci/mingw_deps.sh builds; a version without
// them does not build here.
int flushRows(const std::vector<lxw_worksheet*>& sheets, WrittenSheets& written) {
    written.rowBytes.clear();
    for (lxw_worksheet* sheet : sheets) {
        std::FILE* rows = sheet->optimize_tmpfile;
        if (!rows) return EIO;  // every sheet keeps its rows in a file
        errno = 0;
        lxw_worksheet_write_single_row(sheet);  // the row it holds; it then holds none
        long long size = std::fflush(rows) == 0 && !std::ferror(rows) ? positionOf(rows) : -1;
        if (size < 0) return errno != 0 ? errno : EIO;
        written.rowBytes.push_back(size);
    }
    return 0;
}

}  // namespace

bool writeWorkbook(const std::string& fileName, const std::string& scratchFolder,
                   const std::vector<ReportFigures>& reports, const std::vector<DifferenceRow>& differences,
                   ZoneQsFile& zoneQs, const WorkbookLimits& limits, WrittenSheets& written, std::string& error) {
    // In nearly constant memory the library keeps each sheet's rows in a
    // file of its own, open until the end: a workbook of more sheets than
    // the process may open files is refused before anything is made.
    SheetPlan plan = planSheets(reports, differences.size(), limits);
    const std::size_t needed = plan.names.size() + kOtherOpenFiles;
    std::size_t allowed = allowOpenFiles(needed);
    if (needed > allowed) {
        error = std::to_string(plan.names.size()) + " hojas: hacen falta " + std::to_string(needed) +
                " ficheros abiertos a la vez y el sistema solo deja abrir " + std::to_string(allowed);
        return false;
    }
    // The library tells its failures on standard error, in English: its
    // result is told here instead, once.
    StandardErrorSilenced silenced;
    lxw_workbook_options options = {};
    options.constant_memory = LXW_TRUE;
    options.use_zip64 = LXW_TRUE;
    std::string folder = scratchFolder;
    options.tmpdir = folder.empty() ? nullptr : &folder[0];
    errno = 0;
    lxw_workbook* book = workbook_new_opt(fileName.c_str(), &options);
    if (!book) {
        error = libraryFailure(LXW_ERROR_MEMORY_MALLOC_FAILED, 0);
        return false;
    }
    Formats formats = makeFormats(book);

    std::vector<lxw_worksheet*> sheets;
    for (const std::string& name : plan.names) {
        errno = 0;
        sheets.push_back(workbook_add_worksheet(book, name.c_str()));
        if (!sheets.back()) {
            // Its rows' file could not be made (the plan's names are all valid).
            int why = errno != 0 ? errno : EIO;
            workbook_close(book);
            error = libraryFailure(LXW_ERROR_CREATING_TMPFILE, why);
            return false;
        }
    }
    bool hoursRead = true;
    {
        auto next = sheets.cbegin();
        auto start = [&formats](void (*how)(lxw_worksheet*, const Formats&)) {
            return [how, &formats](lxw_worksheet* sheet) { how(sheet, formats); };
        };
        RowTable summary = rowTable(next, plan.summary, limits, start(startSummarySheet));
        writeSummary(summary, reports, formats);
        RowTable comparison = rowTable(next, plan.comparison, limits, start(startComparisonSheet));
        writeComparison(comparison, differences, formats);
        RowTable monthly = rowTable(next, plan.monthly, limits, start(startMonthlySheet));
        std::vector<std::size_t> buildingRows = writeMonthly(monthly, reports, formats);
        std::vector<lxw_worksheet*> charts(next, next + static_cast<std::ptrdiff_t>(plan.charts));
        next += static_cast<std::ptrdiff_t>(plan.charts);
        writeCharts(book, charts, reports, buildingRows, plan, limits);
        std::vector<lxw_worksheet*> duration(next, next + static_cast<std::ptrdiff_t>(plan.duration));
        next += static_cast<std::ptrdiff_t>(plan.duration);
        writeDuration(duration, reports, limits, formats);
        RowTable peakDays = rowTable(next, plan.peakDays, limits, start(startPeakDaysSheet));
        writePeakDays(peakDays, reports, formats);
        hoursRead = writeHourly(next, reports, plan, zoneQs, limits, formats);
    }
    int rowsLost = flushRows(sheets, written);
    errno = 0;
    lxw_error closed = workbook_close(book);  // writes the file, whatever came before
    if (!hoursRead) {
        error = "no se pueden leer las horas guardadas";
        return false;
    }
    if (rowsLost != 0) {
        error = errorReason(rowsLost);
        return false;
    }
    if (closed != LXW_NO_ERROR) {
        error = libraryFailure(closed, errno);
        return false;
    }
    return true;
}

}  // namespace view
}  // namespace zoneloads
