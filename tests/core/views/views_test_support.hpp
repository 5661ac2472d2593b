// Shared by the view tests: captures read from tests/data, the rows of a list as text, and golden
// files.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <string_view>

#include "../capture/capture_test_support.hpp"
#include "capture/packet_assembly.hpp"
#include "scratch_folder.hpp"
#include "views/list_model.hpp"

namespace orvane::testing {

// A capture from a file under tests/data holding the capture unit's messages in hexadecimal, one
// block a line, assembled under `protocolMode`.
inline CaptureModel LoadCapture(std::string_view name, ProtocolMode protocolMode) {
    CaptureModel model;
    for (const auto& row : ReadTable(name)) model.receivedBlocks.push_back(HexBytes(row[0]));
    model.blockCount = static_cast<int>(model.receivedBlocks.size()) - 1;
    AssembleCapture(model, protocolMode, Trace{});
    return model;
}

// A list as text: a line of its columns (caption, width, alignment), then one line per row,
// cells TAB-separated.
inline std::string RowsText(const ListModel& list) {
    std::string text;
    for (int c = 0; c < list.ColumnCount(); ++c) {
        text += (c > 0 ? "\t" : "") + std::string(list.ColumnCaption(c)) + " (" +
                std::to_string(list.ColumnWidth(c)) + (list.ColumnCentred(c) ? ", centred)" : ")");
    }
    for (int row = 0; row < list.GetItemCount(); ++row) {
        text += '\n';
        for (int c = 0; c < list.ColumnCount(); ++c)
            text += (c > 0 ? "\t" : "") + list.GetItemText(row, c);
    }
    return text + '\n';
}

// Compares `text` with a golden file under tests/data; a mismatch shows the lines that differ.
// With ORVANE_UPDATE_GOLDEN set in the environment, writes the file instead.
inline void ExpectGolden(const std::string& text, const std::string& name) {
    const std::string path = ORVANE_TEST_DATA_DIR "/" + name;
    if (std::getenv("ORVANE_UPDATE_GOLDEN") != nullptr) test::WriteFileBytes(path, text);
    EXPECT_EQ(text, test::ReadFileBytes(path)) << name;
}

}  // namespace orvane::testing
