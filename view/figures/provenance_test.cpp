#include "view/figures/provenance.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <set>
#include <string>

#include "testkit/zone_files.h"
#include "view/figures/definitions.h"

namespace zoneloads {
namespace view {
namespace {

namespace fs = std::filesystem;

class ProvenanceTest : public testkit::ScratchDir {};

// The run says what it read and when each file was last written, as the
// system's clock tells the date; a name that is no file has no date.
TEST_F(ProvenanceTest, EachInputWithTheDateItWasWritten) {
    testkit::writeBytes("casa.bin", "x");
    // Half a minute into a minute three days ago: no rounding of the clocks
    // can move it to another minute.
    const std::time_t then = std::time(nullptr) / 60 * 60 - 3 * 86400 + 30;
    auto ago = std::chrono::system_clock::from_time_t(then) - std::chrono::system_clock::now();
    fs::last_write_time(
        "casa.bin", fs::file_time_type::clock::now() + std::chrono::duration_cast<fs::file_time_type::duration>(ago));
    fs::create_directory("carpeta");
    Provenance p = describeRun({"casa.bin", "carpeta", "falta.txt"}, 0.5);
    EXPECT_EQ(p.program + " " + p.version, std::string("zoneloads-view ") + ZONELOADS_VERSION);
    EXPECT_EQ(p.runDate.size(), 16u) << p.runDate;  // "17/05/2025 13:42"
    EXPECT_EQ(p.runDate.substr(2, 1) + p.runDate.substr(5, 1) + p.runDate.substr(13, 1), "//:");
    ASSERT_EQ(p.inputs.size(), 3u);
    EXPECT_EQ(p.inputs[0].modified, localDateText(then));
    EXPECT_NE(p.inputs[0].modified, p.runDate);
    EXPECT_EQ(p.inputs[1].modified, "");
    EXPECT_EQ(p.inputs[2].modified, "");
    EXPECT_EQ(p.tolerance, 0.5);
}

// The lines to print, names shown safely.
TEST(Provenance, LinesToPrint) {
    Provenance p{
        "zoneloads-view", "1.2.0", "17/05/2025 13:42", 0.2, {{"casa.bin", "16/05/2025 09:05"}, {"in\x1B[2J", ""}}};
    std::vector<std::string> expected = {
        "Programa: zoneloads-view 1.2.0",
        "Fecha de la ejecuci\u00f3n: 17/05/2025 13:42",
        "Fichero le\u00eddo: casa.bin (modificado el 16/05/2025 09:05)",
        "Fichero le\u00eddo: in\u241B[2J (fecha de modificaci\u00f3n desconocida)",
        "Tolerancia de las consignas: 0,20 K",
    };
    EXPECT_EQ(provenanceLines(p), expected);
}

// The definitions a document closes with name every figure the issue's
// reader asked about once each, and the caveat keeps the report's warning.
TEST(Definitions, EveryFigureOnceAndTheCaveat) {
    std::set<std::string> terms;
    for (const Definition& d : definitions()) {
        EXPECT_TRUE(terms.insert(d.term).second) << d.term;
        EXPECT_GT(std::string(d.meaning).size(), 40u) << d.term;
    }
    for (const char* term : {"Suma de zonas", "Neta del edificio", "Horas-zona", "Factor de simultaneidad",
                             "Tolerancia", "Signos", "Horas y fechas"}) {
        EXPECT_EQ(terms.count(term), 1u) << term;
    }
    EXPECT_NE(std::string(kCaveat).find("orientativos de potencias sensibles"), std::string::npos);
    EXPECT_NE(std::string(kCaveat).find("NO sirven como c\u00e1lculo de cargas"), std::string::npos);
}

}  // namespace
}  // namespace view
}  // namespace zoneloads
