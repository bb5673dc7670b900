#include "view/viewer.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "common/pipeline.h"
#include "common/platform.h"
#include "common/replaced_file.h"
#include "view/markup.h"
#include "view/page.h"
#include "view/report_reader.h"
#include "view/statistics.h"

namespace zoneloads {
namespace view {
namespace {

namespace fs = std::filesystem;

// One output file and whether a write to it failed, and why.
struct Output {
    ReplacedFile target;
    bool failed = false;
    int error = 0;
};

void put(Output& out, const char* bytes, std::size_t length) {
    if (out.failed) return;
    if (std::fwrite(bytes, 1, length, out.target.file) != length) {
        out.failed = true;
        out.error = errno;
    }
}

void put(Output& out, const std::string& text) { put(out, text.data(), text.size()); }

// Closes the file and, unless `keep` is false or a write failed, puts it in place.
bool finishOutput(Output& out, bool keep) {
    bool kept = finishReplaced(out.target, keep && !out.failed);
    if (keep && !out.failed && !kept) out.error = out.target.error;
    return kept;
}

// "NAME: what (why)", the message of an output that failed.
std::string outputFault(const std::string& name, const char* what, int error) {
    return name + ": " + what + " (" + errorReason(error) + ")";
}

// What the page keeps of one report once it is read: its rows, the HTML of
// its building section, and how many bytes of zone sections it left in the
// blocks file.
struct ReportPart {
    std::string name;
    std::vector<SummaryRow> rows;  // the blocks' rows, then the totals row
    SummaryRow totalsRow;
    std::string building;
    long long blockBytes = 0;
};

// What a section gives the page once read and drawn: its summary row and
// HTML, or the fault found in its lines.
struct Drawn {
    bool read = false;
    std::string error;
    bool totals = false;
    SummaryRow row;
    std::string html;
};

// Reads the figures of a section's hourly lines, then draws it.
Drawn readAndDraw(const std::string& reportName, const Section& section) {
    Drawn d;
    d.totals = section.totals;
    SectionFigures figures;
    d.read = readFigures(reportName, section, figures, d.error);
    if (d.read) {
        d.row = summaryRow(reportName, section, figures);
        d.html = sectionHtml(section, figures);
    }
    return d;
}

// Where a drawn section goes: the building's is kept for the head of the
// report's part of the page, a zone block's row goes to the table and its
// HTML to the blocks file.
bool placeSection(Drawn d, Output& blocks, ReportPart& part, std::string& error) {
    if (!d.read) {
        error = d.error;
        return false;
    }
    if (d.totals) {
        part.totalsRow = std::move(d.row);
        part.building = std::move(d.html);
        return true;
    }
    part.rows.push_back(std::move(d.row));
    put(blocks, d.html);
    part.blockBytes += static_cast<long long>(d.html.size());
    return true;
}

// Reads one report. This thread only splits the report into sections; each
// is read and drawn on the pipeline's threads, in a ring of section buffers
// (section k in slot k % depth, which section k - depth has left once taken
// back), so memory stays at a few sections and every core works. Results are
// taken in report order, so the first fault in the file is the one reported.
bool readReport(const FileName& report, int threads, Output& blocks, ReportPart& part, std::string& error) {
    ReportReader reader;
    if (!openReportFile(reader, report, error)) return false;
    const std::string& name = report.text;
    part.name = name;
    const std::size_t depth = static_cast<std::size_t>(threads) + 1;
    std::vector<Section> sections(depth);
    bool placed = true;
    ReadResult result = ReadResult::end;
    std::string readError;
    {
        Pipeline<Drawn> drawing(threads, depth);
        auto placeOldest = [&] {
            Drawn d = drawing.takeOldest();
            if (placed) placed = placeSection(std::move(d), blocks, part, error);
        };
        for (std::size_t k = 0; placed; ++k) {
            if (drawing.full()) placeOldest();
            Section& section = sections[k % sections.size()];
            if ((result = readSection(reader, section, readError)) != ReadResult::section) break;
            drawing.give([&name, &section] { return readAndDraw(name, section); });
        }
        while (!drawing.empty()) placeOldest();
    }
    closeReportFile(reader);
    if (!placed) return false;  // a fault in an earlier section than reading found one in
    if (result == ReadResult::error) {
        error = readError;
        return false;
    }
    part.rows.push_back(part.totalsRow);
    return true;
}

// Copies the next `bytes` of the blocks file into the page.
bool copyBlocks(std::FILE* blocks, long long bytes, Output& page) {
    std::vector<char> chunk(1 << 20);
    while (bytes > 0) {
        std::size_t want = static_cast<std::size_t>(std::min<long long>(bytes, static_cast<long long>(chunk.size())));
        if (std::fread(chunk.data(), 1, want, blocks) != want) {
            page.error = EIO;  // the scratch file could not be read back
            page.failed = true;
            return false;
        }
        put(page, chunk.data(), want);
        bytes -= static_cast<long long>(want);
    }
    return true;
}

bool writePage(const std::vector<ReportPart>& parts, Output& blocks, Output& page) {
    put(page, pageStart(parts.size() == 1 ? "Cargas de " + htmlName(parts[0].name)
                                          : "Cargas de " + std::to_string(parts.size()) + " edificios"));
    if (parts.size() > 1) {
        std::vector<SummaryRow> totals;
        for (const ReportPart& p : parts) totals.push_back(p.rows.back());
        put(page, summaryTableHtml(totals, "Edificios: una fila de totales por informe"));
    }
    std::fflush(blocks.target.file);
    std::rewind(blocks.target.file);
    for (const ReportPart& p : parts) {
        put(page, "<h2>Informe " + htmlName(p.name) + "</h2>\n");
        put(page, summaryTableHtml(p.rows, "Resumen por bloque de zona y del edificio (TOTAL)"));
        put(page, p.building);
        if (!copyBlocks(blocks.target.file, p.blockBytes, page)) return false;
    }
    put(page, pageEnd());
    return !page.failed;
}

bool sameFile(const fs::path& a, const fs::path& b) {
    std::error_code error;
    return fs::equivalent(a, b, error);
}

// True when the page and the CSV would be one file (a device, which both may
// be written to, aside): the same file by identity, or the same path.
bool sameOutput(const fs::path& page, const fs::path& csv) {
    if (isDevice(page) || isDevice(csv)) return false;
    if (sameFile(page, csv)) return true;
    std::error_code error;
    fs::path a = fs::weakly_canonical(fs::absolute(page, error), error).lexically_normal();
    fs::path b = fs::weakly_canonical(fs::absolute(csv, error), error).lexically_normal();
    return !error && a == b;
}

// Gives up: the outputs' temporary files are removed.
bool fail(std::string& error, const std::string& message, std::vector<Output*> outputs) {
    for (Output* o : outputs) {
        if (o->target.file) finishOutput(*o, false);
    }
    error = message;
    return false;
}

// Writes the summary table as CSV.
void putCsv(Output& csv, const std::vector<SummaryRow>& rows) {
    put(csv, std::string(kCsvHeader) + "\r\n");
    for (const SummaryRow& row : rows) put(csv, csvLine(row) + "\r\n");
}

}  // namespace

bool writeViewerOutputs(const ViewerOptions& options, int threads, std::vector<SummaryRow>& rows, std::string& error) {
    const bool withCsv = !options.csv.text.empty();
    for (const FileName& report : options.reports) {
        for (const FileName* out : {&options.page, &options.csv}) {
            if (!out->text.empty() && sameFile(out->path, report.path)) {
                return fail(error, out->text + ": es uno de los informes leidos", {});
            }
        }
    }
    if (withCsv && sameOutput(options.page.path, options.csv.path)) {
        return fail(error, options.csv.text + ": la pagina y el CSV no pueden ser el mismo fichero", {});
    }
    Output blocks, page, csv;
    // The zone sections wait in a scratch file, with no name, until the page's head can be written.
    blocks.target.file = openScratchFile();
    if (!blocks.target.file) return fail(error, outputFault("fichero temporal", "no se puede crear", errno), {});
    std::vector<ReportPart> parts;
    for (const FileName& report : options.reports) {
        parts.emplace_back();
        std::string readError;
        if (!readReport(report, threads, blocks, parts.back(), readError)) return fail(error, readError, {&blocks});
    }
    if (blocks.failed) return fail(error, outputFault("fichero temporal", "error al escribir", blocks.error), {&blocks});
    if (!openReplaced(page.target, options.page.path)) {
        return fail(error, outputFault(options.page.text, "no se puede crear", page.target.error), {&blocks});
    }
    if (!writePage(parts, blocks, page)) {
        int why = page.failed ? page.error : blocks.error;
        return fail(error, outputFault(options.page.text, "error al escribir", why), {&blocks, &page});
    }
    rows.clear();
    for (const ReportPart& p : parts) rows.insert(rows.end(), p.rows.begin(), p.rows.end());
    if (withCsv) {
        if (!openReplaced(csv.target, options.csv.path)) {
            return fail(error, outputFault(options.csv.text, "no se puede crear", csv.target.error), {&blocks, &page});
        }
        putCsv(csv, rows);
        if (csv.failed) return fail(error, outputFault(options.csv.text, "error al escribir", csv.error), {&blocks, &page, &csv});
    }
    finishOutput(blocks, false);
    if (!finishOutput(page, true)) return fail(error, outputFault(options.page.text, "error al escribir", page.error), {&csv});
    if (withCsv && !finishOutput(csv, true)) {
        return fail(error, outputFault(options.csv.text, "error al escribir", csv.error), {});
    }
    return true;
}

}  // namespace view
}  // namespace zoneloads
