// One-key reads and writes of the settings file: layout, hand edits, limits and failed writes.
#include "settings/ini_file.hpp"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "scoped_work_dir.hpp"

#if defined(__unix__)
#include <sys/resource.h>

#include <csignal>
#endif

namespace orvane {
namespace {

using test::ReadFileText;
using test::WriteFileText;

constexpr char kFile[] = "test.ini";

TEST(IniFile, ReadsKeysWithoutRegardToCaseAndTrimsValues) {
    test::ScopedWorkDir dir;
    WriteFileText(kFile,
                  "; a comment=with equals\n"
                  "Orphan=before any section\n"
                  "[setup]\n"
                  "IP ADDRESS = \t 10.0.0.5 \t\n"
                  "Formula=a=b=c\r\n"
                  "Empty=\r\n"
                  "  [ Form ]  \r\n"
                  "width= 570\r\n"
                  "[Broken\r\n"
                  "height= 1\r\n");
    const struct {
        const char* section;
        const char* key;
        const char* expected;
    } kCases[] = {
        {"Setup", "Ip Address", "10.0.0.5"},
        {"SETUP", "formula", "a=b=c"},
        {"Setup", "Empty", ""},
        {"Form", "Width", "570"},
        {"Form", "height", "default"},
        {"Broken", "height", "1"},
        {"Setup", "width", "default"},
        {"Missing", "width", "default"},
        {"Setup", "; a comment", "default"},
        {"Setup", "Orphan", "default"},
    };
    for (const auto& c : kCases) {
        EXPECT_EQ(ReadSetting(kFile, c.section, c.key, "default"), c.expected)
            << c.section << '/' << c.key;
    }
    EXPECT_EQ(ReadSetting("missing.ini", "Setup", "Ip Address", ""), "");
}

TEST(IniFile, WritesCrLfLines) {
    test::ScopedWorkDir dir;
    EXPECT_TRUE(WriteSetting(kFile, "Form", "width", " 570"));
    EXPECT_TRUE(WriteSetting(kFile, "Form", "height", " 0"));
    EXPECT_EQ(ReadFileText(kFile), "[Form]\r\nwidth= 570\r\nheight= 0\r\n");
    EXPECT_EQ(ReadSetting(kFile, "Form", "width", ""), "570");

    // A last line ended by a lone CR, or by nothing, gets a full line end before the new section.
    for (const char* last : {"k=1\r", "k=1"}) {
        WriteFileText(kFile, std::string("[S]\r\n") + last);
        EXPECT_TRUE(WriteSetting(kFile, "T", "x", "2"));
        EXPECT_EQ(ReadFileText(kFile), "[S]\r\nk=1\r\n[T]\r\nx=2\r\n");
    }
}

TEST(IniFile, WriteThroughALinkUpdatesTheFileItPointsTo) {
    test::ScopedWorkDir dir;
    WriteFileText("shared.ini", "[S]\r\nk=1\r\n");
    std::filesystem::create_symlink("shared.ini", kFile);
    EXPECT_TRUE(WriteSetting(kFile, "S", "k", "2"));
    EXPECT_TRUE(std::filesystem::is_symlink(kFile));
    EXPECT_EQ(ReadFileText("shared.ini"), "[S]\r\nk=2\r\n");
}

TEST(IniFile, WriteKeepsEveryOtherLineOfAHandEditedFile) {
    test::ScopedWorkDir dir;
    WriteFileText(kFile,
                  "; settings for the studio B deck\r\n"
                  "[SETUP]\r\n"
                  "ip address = 10.0.0.9\r\n"
                  "Custom=kept\n"
                  "\r\n"
                  "; view choices\r\n"
                  "[Settings]\r\n"
                  "Packet View= 0\r\n"
                  "Odd line without equals\r\n"
                  "[Form]\r\n"
                  "width= 1");  // no line end on the last line
    EXPECT_TRUE(WriteSetting(kFile, "Setup", "Ip Address", "10.0.0.5"));
    EXPECT_TRUE(WriteSetting(kFile, "SetUp", "Protocol", " 2"));
    EXPECT_TRUE(WriteSetting(kFile, "settings", "Byte View", " 1"));
    EXPECT_TRUE(WriteSetting(kFile, "Form", "height", " 310"));
    EXPECT_TRUE(WriteSetting(kFile, "New", "k", "v"));
    EXPECT_EQ(ReadFileText(kFile),
              "; settings for the studio B deck\r\n"
              "[SETUP]\r\n"
              "ip address=10.0.0.5\r\n"
              "Custom=kept\n"
              "Protocol= 2\r\n"
              "\r\n"
              "; view choices\r\n"
              "[Settings]\r\n"
              "Packet View= 0\r\n"
              "Odd line without equals\r\n"
              "Byte View= 1\r\n"
              "[Form]\r\n"
              "width= 1\r\n"
              "height= 310\r\n"
              "[New]\r\n"
              "k=v\r\n");
}

TEST(IniFile, CutsNamesValuesAndPathToTheirLimits) {
    test::ScopedWorkDir dir;
    const std::string longKey(130, 'k');
    EXPECT_TRUE(WriteSetting(kFile, "S", longKey, std::string(200, 'v')));
    EXPECT_EQ(ReadFileText(kFile),
              "[S]\r\n" + std::string(124, 'k') + "=" + std::string(149, 'v') + "\r\n");
    EXPECT_EQ(ReadSetting(kFile, "S", longKey.substr(0, 124), "").size(), 149u);

    WriteFileText(kFile, "[S]\r\nk=" + std::string(300, 'x') + "\r\n");
    EXPECT_EQ(ReadSetting(kFile, "S", "k", ""), std::string(149, 'x'));
    EXPECT_EQ(ReadSetting(kFile, "S", "none", std::string(200, 'd')), std::string(149, 'd'));

    // A NUL ends any text; a line break ends a written value so it cannot add lines.
    using namespace std::string_literals;
    EXPECT_TRUE(WriteSetting(kFile, "S"s, "Time\0Sense"s, "1\0 junk"s));
    EXPECT_TRUE(WriteSetting(kFile, "S", "Inject", " 1\r\n[Setup]\r\nIp Address=10.9.9.9"));
    EXPECT_EQ(ReadSetting(kFile, "S", "Time", ""), "1");
    EXPECT_EQ(ReadSetting(kFile, "S", "Inject", ""), "1");
    EXPECT_EQ(ReadSetting(kFile, "Setup", "Ip Address", "none"), "none");

    const std::string base = dir.Path().string() + "/";
    ASSERT_LT(base.size(), 200u);
    const std::string longPath = base + std::string(300 - base.size(), 'p');
    EXPECT_TRUE(WriteSetting(longPath, "S", "k", "cut"));
    EXPECT_EQ(ReadFileText(base + std::string(254 - base.size(), 'p')), "[S]\r\nk=cut\r\n");
    EXPECT_EQ(ReadSetting(longPath, "S", "k", ""), "cut");
}

TEST(IniFile, FailedWriteLeavesTheExistingFileWhole) {
    test::ScopedWorkDir dir;
    const std::string original = "[Settings]\r\nPacket View= 1\r\n; mine\r\n";
    std::filesystem::create_directory("locked");
    WriteFileText("locked/test.ini", original);
    std::filesystem::permissions(
        "locked", std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
    if (std::ofstream("locked/probe")) {
        GTEST_SKIP() << "running with rights that ignore folder permissions";
    }
    EXPECT_FALSE(WriteSetting("locked/test.ini", "Settings", "Packet View", " 0"));
    EXPECT_FALSE(WriteSetting("locked/test.ini", "Form", "width", " 570"));
    EXPECT_EQ(ReadFileText("locked/test.ini"), original);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator("locked"), {}), 1);

    EXPECT_FALSE(WriteSetting("no-such-folder/test.ini", "S", "k", "v"));
    EXPECT_FALSE(std::filesystem::exists("no-such-folder"));
    EXPECT_FALSE(WriteSetting("locked", "S", "k", "v"));  // a folder, not a file
    EXPECT_FALSE(WriteSetting(kFile, "", "k", "v"));
    EXPECT_FALSE(std::filesystem::exists(kFile));
}

#if defined(__unix__)
TEST(IniFile, WriteThatRunsOutOfSpaceLeavesTheExistingFileWhole) {
    test::ScopedWorkDir dir;
    const std::string original = "[Settings]\r\n" + std::string(40, ';') + "\r\n";
    WriteFileText(kFile, original);
    // A file size limit fails the write part way, as a full disk would, whatever the rights.
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    rlimit small = saved;
    small.rlim_cur = 64;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool written = WriteSetting(kFile, "Settings", "Packet View", std::string(100, '1'));
    setrlimit(RLIMIT_FSIZE, &saved);
    EXPECT_FALSE(written);
    EXPECT_EQ(ReadFileText(kFile), original);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator("."), {}), 1);
}
#endif

}  // namespace
}  // namespace orvane
