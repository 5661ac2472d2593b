// One-key reads and writes of the settings file: layout, hand edits, limits and failed writes.
#include "settings/ini_file.hpp"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "../capture/capture_test_support.hpp"
#include "scratch_folder.hpp"

#if defined(__unix__)
#include <sys/resource.h>

#include <csignal>
#endif

namespace orvane {
namespace {

using test::ReadFileBytes;
using test::WriteFileBytes;

constexpr char kFile[] = "test.ini";
const std::string kHandEdited = ORVANE_TEST_DATA_DIR "/settings/hand_edited.ini";

TEST(IniFile, ReadsAHandEditedFile) {
    // value, section, key
    for (const auto& row : testing::ReadTable("settings/hand_edited_reads.tsv")) {
        EXPECT_EQ(ReadSetting(kHandEdited, row[1], row[2], "(default)"), row[0]) << row[2];
    }
    EXPECT_EQ(ReadSetting("missing.ini", "Setup", "Ip Address", "(default)"), "(default)");
}

TEST(IniFile, WriteChangesOneLineAndKeepsEveryOther) {
    test::ScratchFolder dir(true);
    std::filesystem::copy_file(kHandEdited, kFile);
    EXPECT_TRUE(WriteSetting(kFile, "Setup", "Ip Address", "127.0.0.9"));
    EXPECT_TRUE(WriteSetting(kFile, "SetUp", "Protocol", " 2"));
    EXPECT_TRUE(WriteSetting(kFile, "settings", "Byte View", " 1"));
    EXPECT_TRUE(WriteSetting(kFile, "Form", "height", " 310"));
    EXPECT_TRUE(WriteSetting(kFile, "New", "k", "v"));
    EXPECT_EQ(ReadFileBytes(kFile),
              ReadFileBytes(ORVANE_TEST_DATA_DIR "/settings/hand_edited_written.ini"));
    // A last line ended by a lone CR gets a whole line end before what is added.
    WriteFileBytes(kFile, "[S]\r\nk=1\r");
    EXPECT_TRUE(WriteSetting(kFile, "T", "x", "2"));
    EXPECT_EQ(ReadFileBytes(kFile), "[S]\r\nk=1\r\n[T]\r\nx=2\r\n");
}

TEST(IniFile, WriteThroughALinkUpdatesTheFileItPointsTo) {
    test::ScratchFolder dir(true);
    WriteFileBytes("shared.ini", "[S]\r\nk=1\r\n");
    std::filesystem::create_symlink("shared.ini", kFile);
    EXPECT_TRUE(WriteSetting(kFile, "S", "k", "2"));
    EXPECT_TRUE(std::filesystem::is_symlink(kFile));
    EXPECT_EQ(ReadFileBytes("shared.ini"), "[S]\r\nk=2\r\n");
}

TEST(IniFile, CutsNamesAndValuesToTheirLimitsButNotThePath) {
    test::ScratchFolder dir(true);
    const std::string longKey(130, 'k');
    EXPECT_TRUE(WriteSetting(kFile, "S", longKey, std::string(200, 'v')));
    EXPECT_EQ(ReadFileBytes(kFile),
              "[S]\r\n" + std::string(124, 'k') + "=" + std::string(149, 'v') + "\r\n");
    EXPECT_EQ(ReadSetting(kFile, "S", longKey, "").size(), 149u);
    WriteFileBytes(kFile, "[S]\r\nk=" + std::string(300, 'x') + "\r\n");
    EXPECT_EQ(ReadSetting(kFile, "S", "k", ""), std::string(149, 'x'));
    EXPECT_EQ(ReadSetting(kFile, "S", "none", std::string(200, 'd')), std::string(149, 'd'));

    // A NUL ends any text; a line break ends a written value so it cannot add lines.
    using namespace std::string_literals;
    EXPECT_TRUE(WriteSetting(kFile, "S"s, "Time\0Sense"s, "1\0 junk"s));
    EXPECT_TRUE(WriteSetting(kFile, "S", "Inject", " 1\r\n[Setup]\r\nIp Address=127.9.9.9"));
    EXPECT_EQ(ReadSetting(kFile, "S", "Time", ""), "1");
    EXPECT_EQ(ReadSetting(kFile, "S", "Inject", ""), "1");
    EXPECT_EQ(ReadSetting(kFile, "Setup", "Ip Address", "none"), "none");

    // A long path is used whole, not cut to a file with a broken name.
    const std::string base = dir.path().string() + "/";
    ASSERT_LT(base.size(), 200u);
    const std::string longPath = base + std::string(255 - base.size(), 'p');
    EXPECT_TRUE(WriteSetting(longPath, "S", "k", "whole"));
    EXPECT_EQ(ReadFileBytes(longPath), "[S]\r\nk=whole\r\n");
    EXPECT_EQ(ReadSetting(longPath, "S", "k", ""), "whole");
}

TEST(IniFile, FailedWriteLeavesTheExistingFileWhole) {
    test::ScratchFolder dir(true);
    EXPECT_FALSE(WriteSetting("no-such-folder/test.ini", "S", "k", "v"));
    EXPECT_FALSE(std::filesystem::exists("no-such-folder"));
    EXPECT_FALSE(WriteSetting(".", "S", "k", "v"));  // a folder, not a file
    EXPECT_FALSE(WriteSetting(kFile, "", "k", "v"));
    EXPECT_FALSE(std::filesystem::exists(kFile));

    const std::string original = "[Settings]\r\nPacket View= 1\r\n; mine\r\n";
    std::filesystem::create_directory("locked");
    WriteFileBytes("locked/test.ini", original);
    std::filesystem::permissions(
        "locked", std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
    if (std::ofstream("locked/probe")) GTEST_SKIP() << "these rights ignore folder permissions";
    EXPECT_FALSE(WriteSetting("locked/test.ini", "Settings", "Packet View", " 0"));
    EXPECT_FALSE(WriteSetting("locked/test.ini", "Form", "width", " 570"));
    EXPECT_EQ(ReadFileBytes("locked/test.ini"), original);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator("locked"), {}), 1);
}

#if defined(__unix__)
TEST(IniFile, WriteThatRunsOutOfSpaceLeavesTheExistingFileWhole) {
    test::ScratchFolder dir(true);
    const std::string original = "[Settings]\r\n" + std::string(40, ';') + "\r\n";
    WriteFileBytes(kFile, original);
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
    EXPECT_EQ(ReadFileBytes(kFile), original);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator("."), {}), 1);  // no temporary
}
#endif

}  // namespace
}  // namespace orvane
