#include "view/page/png.h"

#include <gtest/gtest.h>

namespace zoneloads {
namespace view {
namespace {

TEST(Png, ChunksAndBase64) {
    std::string png = indexedPng(2, 1, {{0, 0, 0}, {255, 255, 255}}, {0, 1});
    EXPECT_EQ(png.substr(0, 8), "\x89PNG\r\n\x1A\n");
    EXPECT_EQ(png.substr(png.size() - 12), std::string("\0\0\0\0IEND\xAE\x42\x60\x82", 12));
    EXPECT_EQ(base64("Man"), "TWFu");
    EXPECT_EQ(base64("Ma"), "TWE=");
    EXPECT_EQ(base64("M"), "TQ==");
}

}  // namespace
}  // namespace view
}  // namespace zoneloads
