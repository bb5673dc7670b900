// zoneloads-view: reads reports written by zoneloads and shows each as a
// page of pictures and peaks, with a summary table on standard output.
//
//   zoneloads-view REPORT... [-o PAGE.html] [--csv TABLE.csv]
//
// The page and the CSV are written to temporary files beside them and put in
// place only when complete, so a failed run leaves an existing one as it was.
#include <algorithm>
#include <condition_variable>
#include <cstdio>
#include <deque>
#include <filesystem>
#include <functional>
#include <future>
#include <iostream>
#include <mutex>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

#include "common/replaced_file.h"
#include "tools/view/page.h"
#include "tools/view/report_reader.h"

namespace {

namespace fs = std::filesystem;
using namespace zoneloads::view;
using zoneloads::createBeside;
using zoneloads::finishReplaced;
using zoneloads::openReplaced;
using zoneloads::ReplacedFile;

struct Options {
    std::vector<std::string> reports;
    std::string page;
    std::string csv;
};

// One output file and whether a write to it failed.
struct Output {
    ReplacedFile target;
    bool failed = false;
};

void put(Output& out, const char* bytes, std::size_t length) {
    if (std::fwrite(bytes, 1, length, out.target.file) != length) out.failed = true;
}

void put(Output& out, const std::string& text) { put(out, text.data(), text.size()); }

// Closes the file and, unless `keep` is false or a write failed, puts it in place.
bool finishOutput(Output& out, bool keep) {
    return finishReplaced(out.target, keep && !out.failed);
}

int usage() {
    std::cerr << "uso: zoneloads-view INFORME... [-o PAGINA.html] [--csv TABLA.csv]\n";
    return 2;
}

bool parseOptions(int argc, char** argv, Options& o) {
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if ((arg == "-o" || arg == "--csv") && i + 1 < argc) {
            (arg == "-o" ? o.page : o.csv) = argv[++i];
        } else if (arg.size() > 1 && arg[0] == '-') {
            return false;
        } else {
            o.reports.push_back(arg);
        }
    }
    if (o.reports.empty()) return false;
    if (o.page.empty()) o.page = fs::path(o.reports[0]).replace_extension(".html").string();
    return true;
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

// What drawing a section gives: its summary row and HTML, or the fault
// found in its lines.
struct Drawn {
    bool parsed = false;
    std::string error;
    bool totals = false;
    SummaryRow row;
    std::string html;
};

Drawn drawSection(const std::string& reportName, Section& section) {
    Drawn d;
    d.totals = section.totals;
    d.parsed = parseSection(reportName, section, d.error);
    if (d.parsed) {
        d.row = summaryRow(reportName, section);
        d.html = sectionHtml(section);
    }
    return d;
}

// Where a drawn section goes: the building's is kept for the head of the
// report's part of the page, a zone block's row goes to the table and its
// HTML to the blocks file.
bool placeSection(Drawn d, Output& blocks, ReportPart& part, std::string& error) {
    if (!d.parsed) {
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

// The threads that parse and draw sections, started once for the run: each
// takes the oldest job waiting; a job's result comes back through its future.
struct Drawers {
    std::vector<std::thread> threads;
    std::mutex mutex;
    std::condition_variable changed;
    std::deque<std::packaged_task<Drawn()>> jobs;
    bool stopping = false;
};

void runDrawer(Drawers& d) {
    std::unique_lock<std::mutex> lock(d.mutex);
    for (;;) {
        d.changed.wait(lock, [&d] { return d.stopping || !d.jobs.empty(); });
        if (d.jobs.empty()) return;
        std::packaged_task<Drawn()> job = std::move(d.jobs.front());
        d.jobs.pop_front();
        lock.unlock();
        job();
        lock.lock();
    }
}

void startDrawers(Drawers& d, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) d.threads.emplace_back(runDrawer, std::ref(d));
}

std::future<Drawn> drawLater(Drawers& d, std::function<Drawn()> draw) {
    std::packaged_task<Drawn()> job(std::move(draw));
    std::future<Drawn> result = job.get_future();
    {
        std::lock_guard<std::mutex> lock(d.mutex);
        d.jobs.push_back(std::move(job));
    }
    d.changed.notify_one();
    return result;
}

void stopDrawers(Drawers& d) {
    {
        std::lock_guard<std::mutex> lock(d.mutex);
        d.stopping = true;
    }
    d.changed.notify_all();
    for (std::thread& t : d.threads) t.join();
}

constexpr std::size_t kDrawing = 2;  // sections being drawn at once, one a core

// Reads one report. The main thread only splits the report into sections;
// each is parsed and drawn by the drawers, at most kDrawing at a time, in a
// ring of section buffers, so memory stays at a few sections and both cores
// work. Results are taken in report order, so the first fault in the file is
// the one reported.
bool readReport(const std::string& name, Drawers& drawers, Output& blocks, ReportPart& part, std::string& error) {
    ReportReader reader;
    if (!openReportFile(reader, name, error)) return false;
    part.name = name;
    Section sections[kDrawing + 1];
    std::size_t next = 0;
    std::deque<std::future<Drawn>> drawing;
    bool placed = true;
    auto takeOldest = [&] {
        Drawn d = drawing.front().get();
        drawing.pop_front();
        if (placed) placed = placeSection(std::move(d), blocks, part, error);
    };
    ReadResult result;
    std::string readError;
    while (placed && (result = readSection(reader, sections[next], readError)) == ReadResult::section) {
        if (drawing.size() == kDrawing) takeOldest();
        Section& section = sections[next];
        drawing.push_back(drawLater(drawers, [&name, &section] { return drawSection(name, section); }));
        next = (next + 1) % (kDrawing + 1);
    }
    while (!drawing.empty()) takeOldest();
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
        if (std::fread(chunk.data(), 1, want, blocks) != want) return false;
        put(page, chunk.data(), want);
        bytes -= static_cast<long long>(want);
    }
    return true;
}

bool writePage(const std::vector<ReportPart>& parts, Output& blocks, Output& page) {
    put(page, pageStart(parts.size() == 1 ? "Cargas de " + parts[0].name : "Cargas de " + std::to_string(parts.size()) + " edificios"));
    if (parts.size() > 1) {
        std::vector<SummaryRow> totals;
        for (const ReportPart& p : parts) totals.push_back(p.rows.back());
        put(page, summaryTableHtml(totals, "Edificios: una fila de totales por informe"));
    }
    std::fflush(blocks.target.file);
    std::rewind(blocks.target.file);
    for (const ReportPart& p : parts) {
        put(page, "<h2>Informe " + htmlText(p.name) + "</h2>\n");
        put(page, summaryTableHtml(p.rows, "Resumen por bloque de zona y del edificio (TOTAL)"));
        put(page, p.building);
        if (!copyBlocks(blocks.target.file, p.blockBytes, page)) return false;
    }
    put(page, pageEnd());
    return !page.failed;
}

bool sameFile(const std::string& a, const std::string& b) {
    std::error_code error;
    return fs::equivalent(a, b, error);
}

int fail(const std::string& message, std::vector<Output*> outputs) {
    for (Output* o : outputs) {
        if (o->target.file) finishOutput(*o, false);
    }
    std::cerr << "zoneloads-view: " << message << "\n";
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    if (!parseOptions(argc, argv, options)) return usage();
    for (const std::string& report : options.reports) {
        for (const std::string* out : {&options.page, &options.csv}) {
            if (!out->empty() && sameFile(*out, report)) return fail(*out + ": es uno de los informes leidos", {});
        }
    }
    Output blocks, page, csv;
    // The zone sections wait in a scratch file beside the page until the page's head can be written.
    blocks.target.file = createBeside(options.page + ".zonas", "w+b", blocks.target.tempPath);
    if (!blocks.target.file) return fail(options.page + ": no se puede crear", {});
    std::vector<ReportPart> parts;
    std::string error;
    Drawers drawers;
    startDrawers(drawers, kDrawing);
    bool read = true;
    for (const std::string& report : options.reports) {
        parts.emplace_back();
        if (!(read = readReport(report, drawers, blocks, parts.back(), error))) break;
    }
    stopDrawers(drawers);
    if (!read) return fail(error, {&blocks});
    if (blocks.failed) return fail(options.page + ": error al escribir", {&blocks});
    if (!openReplaced(page.target, options.page)) return fail(options.page + ": no se puede crear", {&blocks});
    if (!writePage(parts, blocks, page)) return fail(options.page + ": error al escribir", {&blocks, &page});
    std::vector<SummaryRow> rows;
    for (const ReportPart& p : parts) rows.insert(rows.end(), p.rows.begin(), p.rows.end());
    if (!options.csv.empty()) {
        if (!openReplaced(csv.target, options.csv)) return fail(options.csv + ": no se puede crear", {&blocks, &page});
        put(csv, std::string(kCsvHeader) + "\r\n");
        for (const SummaryRow& row : rows) put(csv, csvLine(row) + "\r\n");
        if (csv.failed) return fail(options.csv + ": error al escribir", {&blocks, &page, &csv});
    }
    finishOutput(blocks, false);
    if (!finishOutput(page, true)) return fail(options.page + ": error al escribir", {&csv});
    if (!options.csv.empty() && !finishOutput(csv, true)) return fail(options.csv + ": error al escribir", {});
    std::cout << textTable(rows);
    return 0;
}
