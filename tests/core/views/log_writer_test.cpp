// The log file: cell rules, the cell transform, and writing the file. Whole logs are
// compared with golden files in capture_to_rows_test.cpp.
#include "views/log_writer.hpp"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "scratch_folder.hpp"
#include "views/capture_lists.hpp"

namespace orvane {
namespace {

constexpr LocalDateTime kSaveTime{2026, 12, 6, 15, 5, 9};

ListModel OneRow(std::string_view command) {
    ListModel list = CaptureLists().packetList;
    list.InsertItem(0, "00001");
    list.SetItemText(0, 3, "20 01 21 ");
    list.SetItemText(0, 4, command);
    list.SetItemText(0, 5, "1A");
    return list;
}

TEST(LogWriter, CellsAreWrittenWholeOnOneLine) {
    const std::string longCell(300, 'A');
    const std::pair<std::string, std::string> kCells[] = {
        {longCell, longCell},                        // no cut at 255 characters
        {"Clip\tOne", "Clip One"},                   // a TAB would add a field
        {"Line\r\nBreak", "Line  Break"},            // CR and LF would split the line
        {std::string("Name\0Tail", 9), "Name"},      // a cell ends at its first NUL
        {"\x80\xFF caf\xE9 ", "\x80\xFF caf\xE9 "},  // 8-bit text passes unchanged
    };
    for (const auto& [cell, written] : kCells) {
        EXPECT_EQ(LogCellText(cell), written);
        EXPECT_EQ(LogRowLine(OneRow(cell), 0), "00001\t\t\t20 01 21 \t" + written + "\r\n");
    }
}

TEST(LogWriter, TransformAppliesToRowCellsAfterTheCellRules) {
    const auto angled = [](std::string_view cell) { return "<" + std::string(cell) + ">"; };
    EXPECT_EQ(BuildLogText(OneRow("a\tb"), ViewKind::Packet, kSaveTime, angled),
              LogTitleLine(kSaveTime) + "Event\tTime\tID\tPacket\tCommand\r\n" +
                  "<00001>\t<>\t<>\t<20 01 21 >\t<a b>\r\n");
}

TEST(LogWriter, EmptyLogCreatesNoFileAndFailuresGiveTheirReason) {
    const test::ScratchFolder dir;
    EXPECT_EQ(BuildLogText(CaptureLists().byteList, ViewKind::Byte, kSaveTime), "");
    EXPECT_EQ(WriteLogFile(dir.Path("empty.csv"), "").status,
              LogWriteResult::Status::NothingToWrite);
    EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
    // A missing folder, a folder, a full disk.
    for (const std::string& bad :
         {dir.Path("none/log.csv"), dir.path().string(), std::string("/dev/full")}) {
        if (bad == "/dev/full" && !std::filesystem::exists(bad)) continue;
        const LogWriteResult result = WriteLogFile(bad, "00001\r\n");
        EXPECT_FALSE(result.ok()) << bad;
        EXPECT_EQ(result.reason.substr(0, bad.size() + 2), bad + ": ");
        EXPECT_GT(result.reason.size(), bad.size() + 2);
    }
}

}  // namespace
}  // namespace orvane
