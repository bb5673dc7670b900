#include "view/viewer.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <system_error>
#include <utility>

#include "common/output_file.h"
#include "common/platform.h"
#include "view/figures/comparison.h"
#include "view/output_checks.h"
#include "view/page/markup.h"
#include "view/page/page.h"
#include "view/read_reports.h"
#include "view/tables/csv.h"
#include "view/workbook_check/workbook_check.h"

namespace zoneloads {
namespace view {
namespace {

const char kScratchName[] = "fichero temporal";

// The outputs asked for, the page first.
std::vector<NamedOutput> askedOutputs(const ViewerOptions& options) {
    std::vector<NamedOutput> asked;
    for (NamedOutput out :
         {NamedOutput{&options.page, "la p\u00e1gina"}, NamedOutput{&options.csv, "el CSV"},
          NamedOutput{&options.csvEs, "el CSV en espa\u00f1ol"}, NamedOutput{&options.xlsx, "el libro"}}) {
        if (!out.name->text.empty()) asked.push_back(out);
    }
    return asked;
}

// Opens the scratch files the run needs; false, with the message, when one
// cannot be.
bool openScratchFiles(SectionScratch& scratch, bool forWorkbook, std::string& error) {
    if (openScratch(scratch.blocks, kScratchName) &&
        (!forWorkbook || openScratch(scratch.zoneQs.scratch, kScratchName))) {
        return true;
    }
    error = outputMessage(outputFailed(scratch.blocks) ? scratch.blocks : scratch.zoneQs.scratch);
    return false;
}

// The comparison of each variant with the base (the first report).
std::vector<Comparison> compareVariants(const std::vector<LoadedReport>& reports) {
    std::vector<Comparison> comparisons;
    for (std::size_t v = 1; v < reports.size(); ++v) {
        comparisons.push_back(compareReports(reports[0].figures.rows, reports[v].figures.rows));
    }
    return comparisons;
}

// Copies the next `bytes` of the scratch file `from` into `to`.
bool copyBytes(std::FILE* from, long long bytes, OutputFile& to) {
    std::vector<char> chunk(1 << 20);
    while (bytes > 0 && !outputFailed(to)) {
        auto want = static_cast<std::size_t>(std::min<long long>(bytes, static_cast<long long>(chunk.size())));
        if (std::fread(chunk.data(), 1, want, from) != want) return failOutput(to, "error al escribir", EIO);
        writeOutput(to, chunk.data(), want);
        bytes -= static_cast<long long>(want);
    }
    return !outputFailed(to);
}

// The page: the comparisons, a table of the buildings when there are
// several reports, then per report its table, its building and its zone
// sections, copied back from the blocks file; the run's options give its
// tolerance and provenance.
bool writePage(const std::vector<LoadedReport>& reports, const std::vector<Comparison>& comparisons,
               const ViewerOptions& options, OutputFile& blocks, OutputFile& page) {
    const std::string& first = reports[0].figures.name;
    writeOutput(page, pageStart(reports.size() == 1 ? "Cargas de " + htmlName(first)
                                                    : "Cargas de " + std::to_string(reports.size()) + " edificios"));
    for (std::size_t v = 0; v < comparisons.size(); ++v) {
        const ReportFigures& base = reports[0].figures;
        const ReportFigures& variant = reports[v + 1].figures;
        writeOutput(page, comparisonHtml(comparisons[v], base.building, base.rows.back().figures, variant.building,
                                         variant.rows.back().figures));
    }
    if (reports.size() > 1) {
        std::vector<SummaryRow> buildings;
        for (const LoadedReport& r : reports) buildings.push_back(r.figures.rows.back());
        writeOutput(page, summaryTableHtml(buildings, "Edificios: una fila de totales por informe"));
    }
    std::fflush(blocks.file);
    std::rewind(blocks.file);
    for (std::size_t i = 0; i < reports.size(); ++i) {
        const LoadedReport& r = reports[i];
        writeOutput(page, "<div class=\"report\"><h2>Informe " + htmlName(r.figures.name) + "</h2>\n");
        writeOutput(page, zoneIndexHtml(r.figures.rows, static_cast<int>(i)));
        writeOutput(page, summaryTableHtml(r.figures.rows, "Resumen por bloque de zona y del edificio (TOTAL)"));
        writeOutput(page, r.buildingHtml);
        if (!copyBytes(blocks.file, r.blockBytes, page)) return false;
        writeOutput(page, "</div>\n");
    }
    return writeOutput(page, pageEnd(options.tolerance));
}

// Opens an output when it is asked for; false, with its failure kept, when
// it cannot be opened.
bool openIfAsked(OutputFile& out, const FileName& name) { return name.text.empty() || openOutput(out, name); }

// The workbook: libxlsxwriter writes it to a scratch file of the temporary
// folder (a name it can open on every system), which is then copied into
// the output.
bool writeWorkbookOutput(std::vector<LoadedReport>& loaded, const std::vector<Comparison>& comparisons,
                         ZoneQsFile& zoneQs, const ViewerOptions& options, OutputFile& out) {
    OutputFile book;
    if (!openNamedScratch(book, options.xlsx.text.c_str(), ".xlsx")) return failOutput(out, book.failure, book.error);
    std::vector<DifferenceRow> differences;
    for (const Comparison& c : comparisons) differences.insert(differences.end(), c.rows.begin(), c.rows.end());
    std::vector<ReportFigures> reports;  // the last output: the reports move into it
    for (LoadedReport& r : loaded) reports.push_back(std::move(r.figures));
    std::fflush(zoneQs.scratch.file);
    std::string why;
    WrittenSheets written;
    if (!writeWorkbook(textOfPath(book.temporary), narrowTemporaryFolder(), reports, differences, zoneQs,
                       options.workbookLimits, written, why)) {
        return failOutput(out, "no se puede escribir el libro", why);
    }
    std::FILE* file = openForReading(book.temporary);
    bool whole = file && workbookIsWhole(file, written);
    std::error_code sizeError;
    auto size = static_cast<long long>(std::filesystem::file_size(book.temporary, sizeError));
    bool copied = whole && !sizeError && std::fseek(file, 0, SEEK_SET) == 0 && copyBytes(file, size, out);
    if (file) std::fclose(file);
    // A part cut short or with bytes missing: the library's scratch files met
    // the file-size limit or a full disk, which it does not check.
    if (file && !whole)
        return failOutput(out, "no se puede escribir el libro",
                          "fichero temporal incompleto: disco lleno o fichero demasiado grande");
    return copied || failOutput(out, "error al escribir", EIO);
}

struct Outputs {
    OutputFile page, csv, csvEs, xlsx;
};

// Opens and writes each output asked for, in turn, until one fails; the
// failure is kept in that output, and the commit then puts none in place.
void writeOutputs(const ViewerOptions& options, std::vector<LoadedReport>& loaded, const std::vector<SummaryRow>& rows,
                  const std::vector<Comparison>& comparisons, SectionScratch& scratch, Outputs& out) {
    std::vector<DifferenceRow> differences;
    for (const Comparison& c : comparisons) differences.insert(differences.end(), c.rows.begin(), c.rows.end());
    // A page discarded into the null device is opened, and not drawn.
    if (!openOutput(out.page, options.page) ||
        (scratch.forPage && !writePage(loaded, comparisons, options, scratch.blocks, out.page))) {
        return;
    }
    if (!openIfAsked(out.csv, options.csv) || (out.csv.file && !writeOutput(out.csv, scriptCsv(rows, differences)))) {
        return;
    }
    if (!openIfAsked(out.csvEs, options.csvEs) || (out.csvEs.file && !writeOutput(out.csvEs, spanishCsv(rows)))) {
        return;
    }
    if (openIfAsked(out.xlsx, options.xlsx) && out.xlsx.file) {
        writeWorkbookOutput(loaded, comparisons, scratch.zoneQs, options, out.xlsx);
    }
}

}  // namespace

bool writeViewerOutputs(const ViewerOptions& options, int threads, std::vector<SummaryRow>& rows, std::string& error,
                        std::vector<std::string>* warnings, const BeforeOutputsPlaced& beforePlaced) {
    if (!checkOutputs(options.reports, askedOutputs(options), error)) return false;
    SectionScratch scratch;
    scratch.forPage = !isNullDevice(options.page.path);
    std::vector<LoadedReport> loaded;
    if (!openScratchFiles(scratch, !options.xlsx.text.empty(), error) ||
        !readReports(options.reports, threads, options.tolerance, scratch, loaded, error)) {
        return false;
    }
    for (const OutputFile* kept : {&scratch.blocks, &scratch.zoneQs.scratch}) {
        if (outputFailed(*kept)) return (error = outputMessage(*kept)), false;
    }
    rows.clear();
    for (const LoadedReport& r : loaded) rows.insert(rows.end(), r.figures.rows.begin(), r.figures.rows.end());
    std::vector<Comparison> comparisons = options.compare ? compareVariants(loaded) : std::vector<Comparison>{};
    if (warnings) {
        warnings->clear();
        for (const Comparison& c : comparisons) {
            for (const UnpairedBlock& b : c.unpaired) warnings->push_back(warningText(b));
        }
    }
    Outputs outputs;
    writeOutputs(options, loaded, rows, comparisons, scratch, outputs);
    std::vector<OutputFile*> all = {&outputs.page, &outputs.csv, &outputs.csvEs, &outputs.xlsx};
    for (OutputFile* out : all) {  // a CSV on standard output comes before the table
        if (!flushOutput(*out)) return (error = outputMessage(*out)), false;
    }
    if (beforePlaced && !beforePlaced(rows, error)) return false;
    return commitOutputs(all, error);
}

}  // namespace view
}  // namespace zoneloads
