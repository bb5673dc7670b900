#include "dialogue/zone_list.h"

#include <gtest/gtest.h>

namespace zoneloads {
namespace {

struct Scan {
    ListScan status;
    std::vector<int32> slots;
    std::string offending;
};

Scan scan(const std::string& text, int32 zones) {
    ListInput in = listFromText(text);
    Scan s{ListScan::ok, std::vector<int32>(static_cast<std::size_t>(zones), 99), ""};
    s.status = scanZoneList(in, zones, s.slots, s.offending);
    return s;
}

using Slots = std::vector<int32>;

TEST(ScanZoneList, ReadsNumbersInFileOrderAndFillsTheRestWithMinusOne) {
    EXPECT_EQ(scan("3 1 3", 5).slots, (Slots{3, 1, 3, -1, -1}));
    EXPECT_EQ(scan("2\n\t 0\r\n", 5).slots, (Slots{2, 0, -1, -1, -1}));
    EXPECT_EQ(scan("", 5).slots, (Slots{-1, -1, -1, -1, -1}));
    EXPECT_EQ(scan(" \n\t\r\n ", 3).slots, (Slots{-1, -1, -1}));
}

TEST(ScanZoneList, ReadsOctalAndHexadecimalAsPercentI) {
    EXPECT_EQ(scan("010 0x3", 10).slots, (Slots{8, 3, -1, -1, -1, -1, -1, -1, -1, -1}));
    EXPECT_EQ(scan("0X4 +2 00", 5).slots, (Slots{4, 2, 0, -1, -1}));
    // A number ends where its digits end: "08" is 0 then 8, "0x1g" is 1 then a bad token.
    EXPECT_EQ(scan("08", 9).slots, (Slots{0, 8, -1, -1, -1, -1, -1, -1, -1}));
    EXPECT_EQ(scan("0x1g", 5).status, ListScan::badToken);
}

TEST(ScanZoneList, StopsReadingOnceTheSlotsAreFilled) {
    EXPECT_EQ(scan("0 1 2 3 4 5 6 7", 5).slots, (Slots{0, 1, 2, 3, 4}));
    // What follows the last slot is never read, so it may be anything.
    Scan s = scan("1 0 garbage 99999999999", 2);
    EXPECT_EQ(s.status, ListScan::ok);
    EXPECT_EQ(s.slots, (Slots{1, 0}));
    EXPECT_EQ(scan("x", 0).status, ListScan::ok);
}

TEST(ScanZoneList, NegativeNumberEndsTheWalkedListButNotTheReading) {
    EXPECT_EQ(scan("0 -1 4", 5).slots, (Slots{0, -1, 4, -1, -1}));
    // After a negative number the zones are not walked, so not range-checked...
    Scan s = scan("0 -1 9", 5);
    EXPECT_EQ(s.status, ListScan::ok);
    EXPECT_EQ(s.slots, (Slots{0, -1, 9, -1, -1}));
    // ... but the tokens are still read.
    EXPECT_EQ(scan("0 -1 x", 5).status, ListScan::badToken);
    EXPECT_EQ(scan("-1 3", 5).slots, (Slots{-1, 3, -1, -1, -1}));
}

TEST(ScanZoneList, RejectsTokensThatAreNotNumbers) {
    for (const char* text : {"x", "1 x", "-", "+ 1", "0x", "1,2", "0x 1"}) {
        EXPECT_EQ(scan(text, 5).status, ListScan::badToken) << text;
    }
}

TEST(ScanZoneList, RejectsWalkedZonesOutsideTheFile) {
    Scan s = scan("1 5", 5);
    EXPECT_EQ(s.status, ListScan::outOfRange);
    EXPECT_EQ(s.offending, "5");
    EXPECT_EQ(scan("0x10", 5).offending, "16");  // shown in decimal
    EXPECT_EQ(scan("2 07", 5).offending, "7");
}

TEST(ScanZoneList, NumbersBeyondInt32) {
    // Positive: out of range, shown as written.
    Scan s = scan("99999999999", 5);
    EXPECT_EQ(s.status, ListScan::outOfRange);
    EXPECT_EQ(s.offending, "99999999999");
    EXPECT_EQ(scan("0x100000000", 5).offending, "0x100000000");
    EXPECT_EQ(scan("2147483647", 5).offending, "2147483647");
    // Negative: ends the walked list like any negative number.
    s = scan("1 -99999999999 3", 5);
    EXPECT_EQ(s.status, ListScan::ok);
    EXPECT_EQ(s.slots[0], 1);
    EXPECT_LT(s.slots[1], 0);
    EXPECT_EQ(scan("-2147483648", 1).slots, (Slots{-2147483647 - 1}));
}

TEST(ScanZoneList, SignsAndTheTextAsWritten) {
    EXPECT_EQ(scan("  +0x1 -012", 5).slots, (Slots{1, -10, -1, -1, -1}));
    EXPECT_EQ(scan("-0x1F 9", 5).slots, (Slots{-31, 9, -1, -1, -1}));  // after a negative, not range-checked
    EXPECT_EQ(scan("+0X7", 5).offending, "7");
    EXPECT_EQ(scan("-0", 5).slots, (Slots{0, -1, -1, -1, -1}));
}

}  // namespace
}  // namespace zoneloads
