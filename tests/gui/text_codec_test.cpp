// Text at the display edge: every Windows-1252 byte survives the trip to Unicode and back.
#include "platform/text_codec.hpp"

#include <gtest/gtest.h>

namespace orvane {
namespace {

TEST(TextCodec, KnownCharacters) {
    struct Case {
        unsigned char byte;
        char16_t unicode;
    };
    const Case cases[] = {{0x41, u'A'},   {0x80, 0x20AC}, {0x81, 0x0081}, {0x92, 0x2019},
                          {0x9F, 0x0178}, {0xA0, 0x00A0}, {0xE9, 0x00E9}, {0xFF, 0x00FF}};
    for (const Case& c : cases) {
        const std::string bytes(1, static_cast<char>(c.byte));
        const QString text = FromWindows1252(bytes);
        ASSERT_EQ(text.size(), 1);
        EXPECT_EQ(text.at(0).unicode(), c.unicode) << int{c.byte};
    }
}

TEST(TextCodec, AllBytesRoundTrip) {
    std::string bytes;
    for (int value = 0; value < 256; ++value) bytes.push_back(static_cast<char>(value));
    const QString text = FromWindows1252(bytes);
    EXPECT_EQ(text.size(), 256);
    EXPECT_EQ(ToWindows1252(text), bytes);
    EXPECT_EQ(ToWindows1252(QString::fromUtf8("\u4E2D")), "?");
}

}  // namespace
}  // namespace orvane
