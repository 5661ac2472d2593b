// Tests of the log file: title, header and row lines, cell rules, and writing the file.
#include "views/log_writer.hpp"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "views/list_views.hpp"

namespace orvane {
namespace {

constexpr LocalDateTime kSaveTime{2026, 12, 6, 15, 5, 9};

ListModel PacketRows() {
    ListModel list = ListViews().packetList;
    const char* rows[3][6] = {
        {"00001", "0012.345", "Ctrl", "20 01 21 ", "Play", "1A"},
        {"00002", "0012.350", "VTR", "10 01 11 ", "Acknowledge", "1A"},
        {"00003", "0012.400", "Ctrl", "61 0C 03 70 ", "Current Time Sense", "1B"},
    };
    for (int row = 0; row < 3; ++row) {
        list.InsertItem(row, rows[row][0]);
        for (int column = 1; column < 6; ++column) list.SetItemText(row, column, rows[row][column]);
    }
    return list;
}

std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

class LogFileTest : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = std::filesystem::temp_directory_path() /
               ("orvane_log_test_" +
                std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "_" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(dir_);
        std::filesystem::create_directories(dir_);
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }
    std::filesystem::path dir_;
};

TEST(LogWriter, PacketViewLogHasTitleHeaderAndOneLinePerRow) {
    EXPECT_EQ(BuildLogText(PacketRows(), ViewKind::Packet, kSaveTime),
              "\t\t\t\tOrvane Log 12-06-2026 15:05:09\r\n"
              "Event\tTime\tID\tPacket\tCommand\r\n"
              "00001\t0012.345\tCtrl\t20 01 21 \tPlay\r\n"
              "00002\t0012.350\tVTR\t10 01 11 \tAcknowledge\r\n"
              "00003\t0012.400\tCtrl\t61 0C 03 70 \tCurrent Time Sense\r\n");
}

TEST(LogWriter, ByteViewDeckRowHasAnEmptyControllerField) {
    ListModel list = ListViews().byteList;
    list.InsertItem(0, "00001");
    list.SetItemText(0, 5, " 2 ");
    list.SetItemText(0, 1, "0001.234 ");
    list.SetItemText(0, 3, "10 ");
    EXPECT_EQ(BuildLogText(list, ViewKind::Byte, kSaveTime),
              "\t\t\t\tOrvane Log 12-06-2026 15:05:09\r\n"
              "Event\tTime\tCtrl\tVTR\tCommand\r\n"
              "00001\t0001.234 \t\t10 \t\r\n");
}

TEST(LogWriter, TitleLineIsZeroPadded) {
    EXPECT_EQ(LogTitleLine({2027, 1, 2, 3, 4, 5}), "\t\t\t\tOrvane Log 01-02-2027 03:04:05\r\n");
    EXPECT_EQ(LogTitleLine({1999, 12, 31, 23, 59, 59}),
              "\t\t\t\tOrvane Log 12-31-1999 23:59:59\r\n");
}

TEST(LogWriter, CellsAreWrittenWholeOnOneLine) {
    struct Case {
        std::string cell;
        std::string written;
    };
    const std::string longCell(300, 'A');
    const Case cases[] = {
        {longCell, longCell},                        // no cut at 255 characters
        {"Clip\tOne", "Clip One"},                   // a TAB would add a field
        {"Line\r\nBreak", "Line  Break"},            // CR and LF would split the line
        {std::string("Name\0Tail", 9), "Name"},      // a cell ends at its first NUL
        {"\x80\xFF caf\xE9 ", "\x80\xFF caf\xE9 "},  // 8-bit text passes unchanged
        {"", ""},
    };
    for (const Case& c : cases) EXPECT_EQ(LogCellText(c.cell), c.written);

    ListModel list = ListViews().packetList;
    list.InsertItem(0, "00001");
    list.SetItemText(0, 4, "Cue\tUp\r\nClip " + longCell);
    list.SetItemText(0, 5, "FF");
    EXPECT_EQ(LogRowLine(list, 0), "00001\t\t\t\tCue Up  Clip " + longCell + "\r\n");
}

TEST(LogWriter, TransformAppliesToRowCellsAfterTheCellRules) {
    ListModel list = PacketRows();
    const std::string text =
        BuildLogText(list, ViewKind::Packet, kSaveTime,
                     [](std::string_view cell) { return "<" + std::string(cell) + ">"; });
    EXPECT_NE(text.find("Event\tTime\tID\tPacket\tCommand\r\n<00001>\t<0012.345>\t<Ctrl>\t"),
              std::string::npos);
    EXPECT_EQ(text.find("<1A>"), std::string::npos);
    list.SetItemText(0, 4, "a\tb");
    EXPECT_EQ(LogRowLine(list, 0, [](std::string_view cell) { return std::string(cell); }),
              "00001\t0012.345\tCtrl\t20 01 21 \ta b\r\n");
}

TEST(LogWriter, EmptyListGivesNoText) {
    EXPECT_EQ(BuildLogText(ListViews().packetList, ViewKind::Packet, kSaveTime), "");
}

TEST_F(LogFileTest, WritesTheLogTruncatingALongerFile) {
    const std::filesystem::path path = dir_ / "capture.csv";
    {
        std::ofstream old(path, std::ios::binary);
        old << std::string(10000, 'x');
    }
    const LogWriteResult result =
        SaveLogFile(path.string(), PacketRows(), ViewKind::Packet, kSaveTime);
    EXPECT_EQ(result.status, LogWriteResult::Status::Written);
    EXPECT_TRUE(result.reason.empty());
    EXPECT_EQ(ReadFile(path), BuildLogText(PacketRows(), ViewKind::Packet, kSaveTime));
}

TEST_F(LogFileTest, EmptyViewCreatesNoFile) {
    const std::filesystem::path path = dir_ / "empty.csv";
    const LogWriteResult result =
        SaveLogFile(path.string(), ListViews().byteList, ViewKind::Byte, kSaveTime);
    EXPECT_EQ(result.status, LogWriteResult::Status::NothingToWrite);
    EXPECT_TRUE(result.ok());
    EXPECT_FALSE(std::filesystem::exists(path));
}

TEST_F(LogFileTest, FailureIsReportedWithAReason) {
    const std::filesystem::path missingFolder = dir_ / "no such folder" / "log.csv";
    LogWriteResult result =
        SaveLogFile(missingFolder.string(), PacketRows(), ViewKind::Packet, kSaveTime);
    EXPECT_EQ(result.status, LogWriteResult::Status::Failed);
    EXPECT_FALSE(result.ok());
    EXPECT_NE(result.reason.find(missingFolder.string()), std::string::npos);
    EXPECT_GT(result.reason.size(), missingFolder.string().size() + 2);

    result = SaveLogFile(dir_.string(), PacketRows(), ViewKind::Packet, kSaveTime);  // a folder
    EXPECT_EQ(result.status, LogWriteResult::Status::Failed);

    if (std::filesystem::exists("/dev/full")) {
        result = WriteLogFile("/dev/full", "x\r\n");
        EXPECT_EQ(result.status, LogWriteResult::Status::Failed);
        EXPECT_FALSE(result.reason.empty());
    }
}

}  // namespace
}  // namespace orvane
