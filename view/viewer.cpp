#include "view/viewer.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <system_error>
#include <vector>

#include "common/pipeline.h"
#include "common/platform.h"
#include "common/replaced_file.h"
#include "view/compare.h"
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

// What the outputs keep of one report once it is read: its rows and its
// building's hours (all the workbook takes of it), the HTML of its building
// section, and how many bytes of zone sections it left in the blocks file.
struct ReportPart {
    WorkbookReport report;
    std::string building;
    long long blockBytes = 0;
};

// What a section gives once read and drawn: its summary row, its HTML (the
// building's head is drawn once its zone blocks are known), or
// the fault found in its lines; the totals' hours, for the workbook and the
// comparisons; and when a workbook is asked for, a zone block's Qs and the
// days of the section's peaks.
struct Drawn {
    bool read = false;
    std::string error;
    bool totals = false;
    SummaryRow row;
    std::string head;
    std::string figuresHtml;
    std::unique_ptr<SectionFigures> totalsFigures;
    SectionFigures::Hours qs;
    std::vector<PeakDay> peakDays;  // QsREF's, then QsCAL's
};

// Reads the figures of a section's hourly lines, then draws it. A zone
// block's hours go into figures that each thread keeps and fills again for
// its next zone block: no allocation and no fresh memory per section.
Drawn readAndDraw(const std::string& reportName, const Section& section, bool forWorkbook) {
    thread_local SectionFigures zoneFigures;
    Drawn d;
    d.totals = section.totals;
    if (d.totals) d.totalsFigures = std::make_unique<SectionFigures>();
    SectionFigures& figures = d.totals ? *d.totalsFigures : zoneFigures;
    d.read = readFigures(reportName, section, figures, d.error);
    if (!d.read) return d;
    d.row = summaryRow(reportName, section.name, section.block, figures.summary);
    if (!d.totals) d.head = sectionHeadHtml(d.row);  // the building's waits for its zone blocks
    d.figuresHtml = sectionFiguresHtml(figures);
    if (forWorkbook) {
        d.peakDays = {peakDay(figures, figures.summary.maxPosHour), peakDay(figures, figures.summary.minNegHour)};
        if (!d.totals) d.qs = figures.qs;
    }
    return d;
}

// The outputs of the whole run, and where their parts wait.
struct Outputs {
    Output blocks;       // the zone sections' HTML, until the page's head can be written
    HoursFile hours;     // the zone blocks' hours, for the workbook; no file when none is asked for
    int hoursError = 0;  // why the hours could not be kept
};

// Where a drawn section goes: a zone block's row to the table, its HTML to
// the blocks file and its hours to the hours file; the building's row and
// HTML, with the sums of the zone blocks' peaks, to the report's part.
bool placeSection(Drawn d, Outputs& outputs, ReportPart& part, std::string& error) {
    if (!d.read) {
        error = d.error;
        return false;
    }
    part.report.peakDays.insert(part.report.peakDays.end(), d.peakDays.begin(), d.peakDays.end());
    if (d.totals) {
        addZoneFigures(d.row, part.report.rows);
        part.report.rows.push_back(d.row);
        part.building = sectionHeadHtml(d.row) + d.figuresHtml;
        part.report.building = std::move(*d.totalsFigures);  // for the workbook and comparisons
        return true;
    }
    part.report.rows.push_back(std::move(d.row));
    put(outputs.blocks, d.head);
    put(outputs.blocks, d.figuresHtml);
    part.blockBytes += static_cast<long long>(d.head.size() + d.figuresHtml.size());
    if (outputs.hours.file && outputs.hoursError == 0 && !appendHours(outputs.hours, d.qs)) outputs.hoursError = errno;
    return true;
}

// Reads one report. This thread only splits the report into sections; each
// is read and drawn on the pipeline's threads, in a ring of section buffers
// (section k in slot k % depth, which section k - depth has left once taken
// back), so memory stays at a few sections and every core works. Results are
// taken in report order, so the first fault in the file is the one reported.
bool readReport(const FileName& report, int threads, Outputs& outputs, ReportPart& part, std::string& error) {
    ReportReader reader;
    if (!openReportFile(reader, report, error)) return false;
    const std::string& name = report.text;
    part.report.name = name;
    part.report.firstBlock = outputs.hours.blocks;
    const std::size_t depth = static_cast<std::size_t>(threads) + 1;
    const bool forWorkbook = outputs.hours.file != nullptr;
    std::vector<Section> sections(depth);
    bool placed = true;
    ReadResult result = ReadResult::end;
    std::string readError;
    {
        Pipeline<Drawn> drawing(threads, depth);
        auto placeOldest = [&] {
            Drawn d = drawing.takeOldest();
            if (placed) placed = placeSection(std::move(d), outputs, part, error);
        };
        for (std::size_t k = 0; placed; ++k) {
            if (drawing.full()) placeOldest();
            Section& section = sections[k % sections.size()];
            if ((result = readSection(reader, section, readError)) != ReadResult::section) break;
            drawing.give([&name, &section, forWorkbook] { return readAndDraw(name, section, forWorkbook); });
        }
        while (!drawing.empty()) placeOldest();
    }
    closeReportFile(reader);
    if (!placed) return false;  // a fault in an earlier section than reading found one in
    if (result == ReadResult::error) {
        error = readError;
        return false;
    }
    return true;
}

// Copies the next `bytes` of `from` into `to`.
bool copyBytes(std::FILE* from, long long bytes, Output& to) {
    std::vector<char> chunk(1 << 20);
    while (bytes > 0 && !to.failed) {
        std::size_t want = static_cast<std::size_t>(std::min<long long>(bytes, static_cast<long long>(chunk.size())));
        if (std::fread(chunk.data(), 1, want, from) != want) {
            to.error = EIO;  // the scratch file could not be read back
            to.failed = true;
            return false;
        }
        put(to, chunk.data(), want);
        bytes -= static_cast<long long>(want);
    }
    return !to.failed;
}

// The comparisons of the variants with the base (the first report), when
// they are asked for.
struct Comparisons {
    std::vector<Pairing> pairings;  // one per variant
    std::vector<std::string> warnings;
};

Comparisons compareParts(const std::vector<ReportPart>& parts, bool asked) {
    Comparisons comparisons;
    for (std::size_t v = 1; asked && v < parts.size(); ++v) {
        comparisons.pairings.push_back(pairRows(parts[0].report.rows, parts[v].report.rows));
        for (const std::string& warning : pairingWarnings(comparisons.pairings.back()))
            comparisons.warnings.push_back(warning);
    }
    return comparisons;
}

bool writePage(const std::vector<ReportPart>& parts, const std::vector<FileName>& reports,
               const Comparisons& comparisons, Output& blocks, Output& page) {
    put(page, pageStart(parts.size() == 1 ? "Cargas de " + htmlName(reports[0].text)
                                          : "Cargas de " + std::to_string(parts.size()) + " edificios"));
    for (std::size_t v = 0; v < comparisons.pairings.size(); ++v) {
        put(page, comparisonHtml(reports[0].text, reports[v + 1].text, comparisons.pairings[v],
                                 parts[0].report.building, parts[v + 1].report.building));
    }
    if (parts.size() > 1) {
        std::vector<SummaryRow> totals;
        for (const ReportPart& p : parts) totals.push_back(p.report.rows.back());
        put(page, summaryTableHtml(totals, "Edificios: una fila de totales por informe"));
    }
    std::fflush(blocks.target.file);
    std::rewind(blocks.target.file);
    for (std::size_t r = 0; r < parts.size(); ++r) {
        put(page, "<h2>Informe " + htmlName(reports[r].text) + "</h2>\n");
        put(page, summaryTableHtml(parts[r].report.rows, "Resumen por bloque de zona y del edificio (TOTAL)"));
        put(page, parts[r].building);
        if (!copyBytes(blocks.target.file, parts[r].blockBytes, page)) return false;
    }
    put(page, pageEnd());
    return !page.failed;
}

bool sameFile(const fs::path& a, const fs::path& b) {
    std::error_code error;
    return fs::equivalent(a, b, error);
}

// True when two outputs would be one file (a device, which any may be
// written to, aside): the same file by identity, or the same path.
bool sameOutput(const fs::path& one, const fs::path& other) {
    if (isDevice(one) || isDevice(other)) return false;
    if (sameFile(one, other)) return true;
    std::error_code error;
    fs::path a = fs::weakly_canonical(fs::absolute(one, error), error).lexically_normal();
    fs::path b = fs::weakly_canonical(fs::absolute(other, error), error).lexically_normal();
    return !error && a == b;
}

// The run's outputs that are asked for, page first.
std::vector<const FileName*> askedOutputs(const ViewerOptions& options) {
    std::vector<const FileName*> asked;
    for (const FileName* out : {&options.page, &options.csv, &options.csvEs, &options.xlsx}) {
        if (!out->text.empty()) asked.push_back(out);
    }
    return asked;
}

// Refuses outputs that would overwrite a report or one another.
bool outputsAreDistinct(const ViewerOptions& options, std::string& error) {
    std::vector<const FileName*> asked = askedOutputs(options);
    for (std::size_t i = 0; i < asked.size(); ++i) {
        for (const FileName& report : options.reports) {
            if (sameFile(asked[i]->path, report.path)) {
                error = asked[i]->text + ": es uno de los informes leidos";
                return false;
            }
        }
        for (std::size_t j = 0; j < i; ++j) {
            if (sameOutput(asked[i]->path, asked[j]->path)) {
                error = asked[i]->text + (j == 0 && i == 1 ? ": la pagina y el CSV no pueden ser el mismo fichero"
                                                           : ": dos salidas no pueden ser el mismo fichero");
                return false;
            }
        }
    }
    return true;
}

// Writes the workbook into `out`: libxlsxwriter makes it in a scratch file
// of the temporary folder, which is then copied into the output, so that
// the output is a ReplacedFile like the others, whatever its name.
bool writeWorkbookOutput(std::vector<ReportPart>& parts, const Comparisons& comparisons, Outputs& outputs,
                         const ViewerOptions& options, Output& out, std::string& error) {
    fs::path scratch = newScratchName(".xlsx");
    if (scratch.empty()) {
        error = outputFault(options.xlsx.text, "no se puede crear", ENOENT);
        return false;
    }
    int registration = removeOnInterrupt(scratch);
    std::vector<std::vector<std::string>> differences;
    for (std::size_t v = 0; v < comparisons.pairings.size(); ++v) {
        for (const Pairing::Pair& pair : comparisons.pairings[v].pairs) {
            differences.push_back(differenceFields(parts[v + 1].report.name, pair));
        }
    }
    // The workbook is the last output: the reports move into it.
    std::vector<WorkbookReport> reports;
    for (ReportPart& part : parts) reports.push_back(std::move(part.report));
    std::string why;
    bool written = writeWorkbook(textOfPath(scratch), narrowTemporaryFolder(), reports, differences, outputs.hours,
                                 options.workbookLimits, why);
    std::FILE* book = written ? openForReading(scratch) : nullptr;
    std::error_code sizeError;
    auto size = static_cast<long long>(written ? fs::file_size(scratch, sizeError) : 0);
    bool copied = book && !sizeError && copyBytes(book, size, out);
    if (book) std::fclose(book);
    std::error_code ignored;
    fs::remove(scratch, ignored);
    forgetOnInterrupt(registration);
    if (!written)
        error = options.xlsx.text + ": no se puede escribir el libro (" + why + ")";
    else if (!copied)
        error = outputFault(options.xlsx.text, "error al escribir", out.error != 0 ? out.error : EIO);
    return written && copied;
}

// Gives up: the outputs' temporary files are removed.
bool fail(std::string& error, const std::string& message, std::vector<Output*> outputs) {
    for (Output* o : outputs) {
        if (o->target.file) finishOutput(*o, false);
    }
    error = message;
    return false;
}

// Opens an output; the message when it cannot be.
bool openOutput(Output& out, const FileName& name, std::string& error) {
    if (openReplaced(out.target, name.path)) return true;
    error = outputFault(name.text, "no se puede crear", out.target.error);
    return false;
}

// The script CSV: the summary table, and after an empty line the table of
// differences of each variant with the base, when they are compared.
void putCsv(Output& csv, const std::vector<SummaryRow>& rows, const std::vector<ReportPart>& parts,
            const Comparisons& comparisons) {
    put(csv, csvLine(csvHeaderNames()) + "\r\n");
    for (const SummaryRow& row : rows) put(csv, csvLine(csvFields(row)) + "\r\n");
    if (comparisons.pairings.empty()) return;
    put(csv, "\r\n" + csvLine(differenceHeader()) + "\r\n");
    for (std::size_t v = 0; v < comparisons.pairings.size(); ++v) {
        for (const Pairing::Pair& pair : comparisons.pairings[v].pairs) {
            put(csv, csvLine(differenceFields(parts[v + 1].report.name, pair)) + "\r\n");
        }
    }
}

}  // namespace

bool writeViewerOutputs(const ViewerOptions& options, int threads, std::vector<SummaryRow>& rows, std::string& error,
                        std::vector<std::string>* warnings) {
    if (!outputsAreDistinct(options, error)) return false;
    Outputs outputs;
    Output page, csv, csvEs, xlsx;
    std::vector<Output*> all = {&outputs.blocks, &page, &csv, &csvEs, &xlsx};
    // The zone sections and the zone blocks' hours wait in scratch files
    // with no name, until the page's head and the workbook can be written.
    outputs.blocks.target.file = openScratchFile();
    if (!outputs.blocks.target.file)
        return fail(error, outputFault("fichero temporal", "no se puede crear", errno), all);
    std::FILE* hours = nullptr;
    if (!options.xlsx.text.empty() && !(outputs.hours.file = hours = openScratchFile())) {
        return fail(error, outputFault("fichero temporal", "no se puede crear", errno), all);
    }
    std::vector<ReportPart> parts;
    for (const FileName& report : options.reports) {
        parts.emplace_back();
        std::string readError;
        if (!readReport(report, threads, outputs, parts.back(), readError)) {
            if (hours) std::fclose(hours);
            return fail(error, readError, all);
        }
    }
    bool kept = !outputs.blocks.failed && outputs.hoursError == 0;
    if (!kept) {
        if (hours) std::fclose(hours);
        return fail(error,
                    outputFault("fichero temporal", "error al escribir", outputs.blocks.error + outputs.hoursError),
                    all);
    }
    rows.clear();
    for (const ReportPart& p : parts) rows.insert(rows.end(), p.report.rows.begin(), p.report.rows.end());
    Comparisons comparisons = compareParts(parts, options.compare);
    if (warnings) *warnings = comparisons.warnings;

    bool done = openOutput(page, options.page, error);
    if (done && !writePage(parts, options.reports, comparisons, outputs.blocks, page)) {
        error = outputFault(options.page.text, "error al escribir", page.error);
        done = false;
    }
    if (done && !options.csv.text.empty() && (done = openOutput(csv, options.csv, error))) {
        putCsv(csv, rows, parts, comparisons);
        if (csv.failed) error = outputFault(options.csv.text, "error al escribir", csv.error), done = false;
    }
    if (done && !options.csvEs.text.empty() && (done = openOutput(csvEs, options.csvEs, error))) {
        put(csvEs, spanishCsv(rows));
        if (csvEs.failed) error = outputFault(options.csvEs.text, "error al escribir", csvEs.error), done = false;
    }
    if (done && !options.xlsx.text.empty() && (done = openOutput(xlsx, options.xlsx, error))) {
        std::fflush(hours);
        done = writeWorkbookOutput(parts, comparisons, outputs, options, xlsx, error);
    }
    if (hours) std::fclose(hours);
    if (!done) return fail(error, error, all);
    finishOutput(outputs.blocks, false);
    // Put in place in turn; all were complete, so only the system may fail one now.
    for (auto [out, name] : {std::pair<Output*, const FileName*>{&page, &options.page},
                             {&csv, &options.csv},
                             {&csvEs, &options.csvEs},
                             {&xlsx, &options.xlsx}}) {
        if (out->target.file && !finishOutput(*out, true)) {
            return fail(error, outputFault(name->text, "error al escribir", out->error), all);
        }
    }
    return true;
}

}  // namespace view
}  // namespace zoneloads
