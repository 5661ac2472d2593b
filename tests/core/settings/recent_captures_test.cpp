// The recent-captures list: newest first, no repeats, at most eight, kept in the settings file.
#include "settings/recent_captures.hpp"

#include <gtest/gtest.h>

#include "../capture/capture_test_support.hpp"
#include "scratch_folder.hpp"
#include "settings/ini_file.hpp"

namespace orvane {
namespace {

using Files = std::vector<std::string>;

TEST(RecentCaptures, NewestFirstWithoutRepeatsAndAtMostEight) {
    const std::string tooLong(kMaxSettingsValueLength + 1, 'x');
    struct Case {
        Files before;
        std::string added;
        Files after;
    };
    const Case cases[] = {
        {{}, "/a.pcapng", {"/a.pcapng"}},
        {{"/a", "/b", "/c"}, "/c", {"/c", "/a", "/b"}},  // opened again: moves to the front
        {{"/1", "/2", "/3", "/4", "/5", "/6", "/7", "/8"},
         "/9",
         {"/9", "/1", "/2", "/3", "/4", "/5", "/6", "/7"}},
        {{"/a"}, tooLong, {"/a"}},  // could not be read back whole
        {{"/a"}, "", {"/a"}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(AddRecentCapture(c.before, c.added), c.after) << c.added;
    }
}

TEST(RecentCaptures, ReadBackFromTheSettingsFileAndShortenedCleanly) {
    test::ScratchFolder dir(true);
    EXPECT_TRUE(LoadRecentCaptures().empty());
    SaveRecentCaptures({"/x/one.pcapng", "/x/two.pcapng", "/x/three.pcapng"});
    EXPECT_EQ(LoadRecentCaptures(), (Files{"/x/one.pcapng", "/x/two.pcapng", "/x/three.pcapng"}));
    SaveRecentCaptures({"/x/two.pcapng"});
    EXPECT_EQ(LoadRecentCaptures(), (Files{"/x/two.pcapng"}));
    EXPECT_EQ(test::ReadFileBytes("Orvane.ini"),
              "[Recent Captures]\r\nFile1=/x/two.pcapng\r\nFile2=\r\nFile3=\r\n");
}

}  // namespace
}  // namespace orvane
