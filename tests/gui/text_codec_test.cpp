// Text at the display edge: every Windows-1252 byte survives the trip to Unicode and back.
#include "platform/text_codec.hpp"

#include <gtest/gtest.h>

namespace orvane {
namespace {

TEST(TextCodec, AllBytesRoundTrip) {
    std::string bytes;
    for (int value = 0; value < 256; ++value) bytes.push_back(static_cast<char>(value));
    const QString text = FromWindows1252(bytes);
    ASSERT_EQ(text.size(), 256);
    EXPECT_EQ(text.at(0x80), QChar(0x20AC));  // the euro sign
    EXPECT_EQ(text.at(0x81), QChar(0x0081));  // undefined in the code page, kept as is
    EXPECT_EQ(text.at(0xE9), QChar(0x00E9));
    EXPECT_EQ(ToWindows1252(text), bytes);
    EXPECT_EQ(ToWindows1252(QString::fromUtf8("\u4E2D")), "?");
}

}  // namespace
}  // namespace orvane
