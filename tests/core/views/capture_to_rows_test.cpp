// From the capture unit's blocks to the rows of both views and the saved logs, against golden
// files under tests/data/views.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <tuple>

#include "views/byte_view.hpp"
#include "views/capture_lists.hpp"
#include "views/log_writer.hpp"
#include "views/packet_view.hpp"
#include "views_test_support.hpp"

namespace orvane {
namespace {

using testing::ExpectGolden;

TEST(CaptureToRows, BothViewsAndTheirLogsMatchTheGoldenFiles) {
    FilterFlags sonyFlags = FilterFlags::ShowAll(), vdcpFlags = FilterFlags::ShowAll();
    sonyFlags.timeSense = sonyFlags.displayAcks = vdcpFlags.statusSense = false;
    const std::tuple<std::string, ProtocolMode, FilterFlags> sessions[] = {
        {"sony", ProtocolMode::kSony, sonyFlags}, {"vdcp", ProtocolMode::kVdcp, vdcpFlags}};
    const std::filesystem::path log = std::filesystem::temp_directory_path() /
                                      ("orvane_views_" + std::to_string(std::random_device{}()));
    for (const auto& [name, protocol, flags] : sessions) {
        CaptureModel model = testing::LoadCapture("views/" + name + ".hex", protocol);
        CaptureLists lists;
        Decoder decoder(protocol);
        FillPacketView(model, decoder, flags, Trace{}, lists.packetList);
        FillByteView(model, decoder, flags, lists.byteList);
        ExpectGolden(testing::RowsText(lists.packetList), "views/" + name + "_packet_rows.tsv");
        ExpectGolden(testing::RowsText(lists.byteList), "views/" + name + "_byte_rows.tsv");
        if (protocol != ProtocolMode::kSony) continue;
        // Save Log over a longer file: title, the view's header, columns 0 to 4, CR LF.
        for (ViewKind view : {ViewKind::Packet, ViewKind::Byte}) {
            std::ofstream(log, std::ios::binary) << std::string(10000, 'x');
            const LogWriteResult result =
                SaveLogFile(log.string(), lists.ListFor(view), view, {2026, 12, 6, 15, 5, 9});
            EXPECT_EQ(result.status, LogWriteResult::Status::Written);
            std::ifstream in(log, std::ios::binary);
            ExpectGolden(
                {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()},
                "views/sony_" + std::string(view == ViewKind::Packet ? "packet" : "byte") + ".csv");
        }
    }
    std::filesystem::remove(log);
}

}  // namespace
}  // namespace orvane
