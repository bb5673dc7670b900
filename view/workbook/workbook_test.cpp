#include "view/workbook/workbook.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "report/report.h"
#include "testkit/zone_files.h"
#include "view/viewer.h"

namespace zoneloads {
namespace view {
namespace {

// A report of `blocks` zone blocks, to place in a workbook.
WorkbookReport reportOf(const std::string& name, std::size_t blocks) {
    WorkbookReport report;
    report.name = name;
    report.rows.resize(blocks + 1);
    return report;
}

// The hourly sheets of each report are named after it, made unique, and a
// report of more zone blocks than a sheet holds continues on further sheets.
TEST(WorkbookSheets, NamedAfterTheReportsAndContinued) {
    WorkbookLimits limits;
    limits.zoneColumnsPerSheet = 2;
    std::vector<std::string> names =
        workbookSheetNames({reportOf("casa.txt", 5), reportOf("sub/casa.txt", 2), reportOf("resumen.txt", 0),
                            reportOf("[x]:*?.txt", 1), reportOf("A\xC3\xB1o 2024 con un nombre largo.txt", 1)},
                           limits);
    EXPECT_EQ(names, (std::vector<std::string>{"Resumen", "Mensual", "Graficos", "Duracion", "Dias pico", "Horas casa",
                                               "Horas casa (2)", "Horas casa (3)", "Horas casa 2", "Horas resumen",
                                               "Horas x", "Horas A\xC3\xB1o 2024 con un n"}));
    for (const std::string& name : names) EXPECT_LE(name.size(), 31u) << name;
}

class WorkbookTest : public testkit::ScratchDir {};

// A workbook of a report of five zone blocks, two to a sheet: three hourly
// sheets, all in the file, which is put in place like the page.
TEST_F(WorkbookTest, ContinuesOnFurtherSheets) {
    std::vector<std::unique_ptr<ZoneRecord>> zones;
    std::vector<const ZoneRecord*> pointers;
    for (int i = 0; i < 5; ++i) {
        zones.push_back(testkit::makeZone("Z" + std::to_string(i), i));
        pointers.push_back(zones.back().get());
    }
    testkit::writeZoneFile("zones.bin", 5, pointers);
    std::string error;
    ASSERT_TRUE(writeReport("zones.bin", "a.txt", ZoneSelection{{0, 1, 2, 3, 4}, ""}, error)) << error;
    ViewerOptions options;
    options.reports = {"a.txt"};
    options.page = "a.html";
    options.xlsx = "a.xlsx";
    options.workbookLimits.zoneColumnsPerSheet = 2;
    std::vector<SummaryRow> rows;
    ASSERT_TRUE(writeViewerOutputs(options, 2, rows, error)) << error;
    std::string book = testkit::readBytes("a.xlsx");
    ASSERT_EQ(book.substr(0, 2), "PK");  // a zip file
    // The zip's directory names each sheet's part: Resumen, Mensual,
    // Graficos, Duracion, Dias pico and the three hourly sheets.
    for (int sheet = 1; sheet <= 8; ++sheet) {
        EXPECT_NE(book.find("xl/worksheets/sheet" + std::to_string(sheet) + ".xml"), std::string::npos) << sheet;
    }
    EXPECT_EQ(book.find("xl/worksheets/sheet9.xml"), std::string::npos);
    EXPECT_NE(book.find("xl/charts/chart2.xml"), std::string::npos);
    for (const auto& entry : std::filesystem::directory_iterator(".")) {
        EXPECT_NE(entry.path().extension(), ".tmp") << entry.path();
    }
}

}  // namespace
}  // namespace view
}  // namespace zoneloads
