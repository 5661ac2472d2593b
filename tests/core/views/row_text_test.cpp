// The cell texts shared by both views: row numbers, times and hexadecimal numbers.
#include "views/row_text.hpp"

#include <gtest/gtest.h>

#include <string>

namespace orvane {
namespace {

TEST(RowText, MasksGrowPastTheirWidth) {
    EXPECT_EQ(EventText(1) + " " + EventText(99999) + " " + EventText(100000),
              "00001 99999 100000");
    EXPECT_EQ(TimeText(7) + " " + TimeText(1500) + " " + TimeText(12345678),
              "0000.007 0001.500 12345.678");
    EXPECT_EQ(UpperHexText(0) + " " + UpperHexText(0xABCDEF) + " " + UpperHexText(0x100),
              "0 ABCDEF 100");
}

}  // namespace
}  // namespace orvane
