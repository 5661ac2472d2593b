// From the capture unit's blocks to the rows of both views and the saved logs, against golden
// files under tests/data/views.
#include <gtest/gtest.h>

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
    const test::ScratchFolder dir;
    const std::string log = dir.Path("log.csv");
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
            test::WriteFileBytes(log, std::string(10000, 'x'));
            EXPECT_EQ(SaveLogFile(log, lists.ListFor(view), view, {2026, 12, 6, 15, 5, 9}).status,
                      LogWriteResult::Status::Written);
            ExpectGolden(
                test::ReadFileBytes(log),
                "views/sony_" + std::string(view == ViewKind::Packet ? "packet" : "byte") + ".csv");
        }
    }
}

}  // namespace
}  // namespace orvane
