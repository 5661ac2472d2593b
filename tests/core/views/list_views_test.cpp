// Tests of the list refresh: columns, view choice, clearing, refilling and cancellation.
#include "views/list_views.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "capture_builder.hpp"

namespace orvane {
namespace {

using testing::CaptureBuilder;
using testing::kCtrl;
using testing::kDeck;

class FakeViewState : public ViewState {
  public:
    bool byteView = false;
    FilterFlags flags = FilterFlags::ShowAll();
    std::string statusText = "Packets Received: 12";
    std::optional<ViewKind> shown;
    mutable std::function<void()> onReadFlags;  // run once: a click arriving as a fill starts

    bool IsByteViewSelected() const override { return byteView; }
    bool IsPacketViewSelected() const override { return !byteView; }
    FilterFlags GetFilterFlags() const override {
        if (onReadFlags) std::exchange(onReadFlags, nullptr)();
        return flags;
    }
    void SetStatusText(std::string_view text) override { statusText = text; }
    void ShowList(ViewKind view) override { shown = view; }
};

CaptureModel SonyCapture() {
    CaptureBuilder capture;
    for (int i = 0; i < 40; ++i) {
        capture.AddPacket(kCtrl, 40 * i, {0x61, 0x0C, 0x03, 0x70});
        capture.AddPacket(kDeck, 40 * i + 10, {0x74, 0x04, 0x00, 0x00, 0x00, 0x00, 0x78});
        capture.AddPacket(kCtrl, 40 * i + 20, {0x20, 0x01, 0x21});
        capture.AddPacket(kDeck, 40 * i + 30, {0x10, 0x01, 0x11});
    }
    return capture.model();
}

std::vector<std::string> ColumnTexts(const ListModel& list, int column) {
    std::vector<std::string> cells;
    for (int row = 0; row < list.GetItemCount(); ++row)
        cells.push_back(list.GetItemText(row, column));
    return cells;
}

TEST(ListViews, ListsHaveTheirColumnsAndWidths) {
    struct Expected {
        std::string caption;
        int width;
        bool centred;
    };
    const ListViews views;
    const std::vector<Expected> packet = {{"Event", 50, false},    {"Time", 70, false},
                                          {"ID", 48, true},        {"Packet Data", 200, false},
                                          {"Command", 800, false}, {"Packet #", 70, false}};
    const std::vector<Expected> byte = {{"Event", 50, false},    {"Time", 70, false},
                                        {"Ctrl", 48, true},      {"Deck", 48, true},
                                        {"Command", 800, false}, {"Packet #", 70, false}};
    ASSERT_EQ(views.packetList.ColumnCount(), 6);
    ASSERT_EQ(views.byteList.ColumnCount(), 6);
    for (int column = 0; column < 6; ++column) {
        EXPECT_EQ(views.packetList.ColumnCaption(column), packet[column].caption);
        EXPECT_EQ(views.packetList.ColumnWidth(column), packet[column].width);
        EXPECT_EQ(views.packetList.ColumnCentred(column), packet[column].centred);
        EXPECT_EQ(views.byteList.ColumnCaption(column), byte[column].caption);
        EXPECT_EQ(views.byteList.ColumnWidth(column), byte[column].width);
        EXPECT_EQ(views.byteList.ColumnCentred(column), byte[column].centred);
    }
}

TEST(ListViews, RefreshFillsOnlyTheSelectedViewAndShowsIt) {
    CaptureModel model = SonyCapture();
    Decoder decoder(kProtocolSony);
    ListViews views;
    FakeViewState state;
    views.ShowListForView(state);
    views.RefreshList(model, decoder, state, Trace{});
    EXPECT_EQ(state.shown, ViewKind::Packet);
    EXPECT_EQ(views.packetList.GetItemCount(), 160);
    EXPECT_EQ(views.byteList.GetItemCount(), 0);
    EXPECT_EQ(state.statusText, "");

    state.byteView = true;
    views.ClearLists(state);
    views.ShowListForView(state);
    views.RefreshList(model, decoder, state, Trace{});
    EXPECT_EQ(state.shown, ViewKind::Byte);
    EXPECT_EQ(views.packetList.GetItemCount(), 0);
    EXPECT_EQ(views.byteList.GetItemCount(), 40 * (4 + 7 + 3 + 3));
}

TEST(ListViews, AfterClearRefreshLeavesBothListsEmpty) {
    CaptureModel model = SonyCapture();
    Decoder decoder(kProtocolSony);
    ListViews views;
    FakeViewState state;
    views.RefreshList(model, decoder, state, Trace{});
    ASSERT_GT(views.packetList.GetItemCount(), 0);
    // Clear: the byte list goes, the packet list stays but is not shown again.
    views.ClearLists(state);
    model.byteCount = 0;
    EXPECT_EQ(views.packetList.GetItemCount(), 0);
    state.flags.timeSense = false;
    views.ClearLists(state);
    views.ShowListForView(state);
    views.RefreshList(model, decoder, state, Trace{});
    EXPECT_EQ(views.packetList.GetItemCount(), 0);
    EXPECT_EQ(views.byteList.GetItemCount(), 0);
}

TEST(ListViews, UncheckingAndRecheckingABoxBringsRowsBackNumberedFromOne) {
    CaptureModel model = SonyCapture();
    Decoder decoder(kProtocolSony);
    ListViews views;
    FakeViewState state;
    state.flags = {};  // a first start: every box unchecked
    views.RefreshList(model, decoder, state, Trace{});
    EXPECT_EQ(views.packetList.GetItemCount(), 40);  // only 20 01 21 is named by no box

    state.flags = FilterFlags::ShowAll();
    state.flags.timeReply = false;
    views.RefreshList(model, decoder, state, Trace{});
    const std::vector<std::string> hidden = ColumnTexts(views.packetList, 3);
    EXPECT_EQ(hidden.size(), 120u);
    state.flags.timeReply = true;
    views.RefreshList(model, decoder, state, Trace{});
    ASSERT_EQ(views.packetList.GetItemCount(), 160);
    for (int row = 0; row < 160; ++row) {
        EXPECT_EQ(views.packetList.GetItemText(row, 0), EventText(row + 1));
    }
    EXPECT_EQ(views.packetList.GetItemText(1, 3), "74 04 00 00 00 00 78 ");
}

TEST(ListViews, ClickDuringAFillLeavesExactlyOneFillUnderTheNewChoice) {
    CaptureModel model = SonyCapture();
    Decoder decoder(kProtocolSony);
    ListViews views;
    FakeViewState state;

    ListViews reference;
    FakeViewState referenceState;
    referenceState.byteView = true;
    referenceState.flags.timeSense = false;
    reference.RefreshList(model, decoder, referenceState, Trace{});

    // The user switches to the Byte View and unchecks "Time Sense" as the Packet View fill starts.
    state.onReadFlags = [&] {
        state.byteView = true;
        state.flags.timeSense = false;
        views.ClearLists(state);
        views.ShowListForView(state);
        views.RefreshList(model, decoder, state, Trace{});
    };
    views.RefreshList(model, decoder, state, Trace{});
    EXPECT_EQ(views.packetList.GetItemCount(), 0);
    ASSERT_EQ(views.byteList.GetItemCount(), reference.byteList.GetItemCount());
    for (int column = 0; column < 6; ++column) {
        EXPECT_EQ(ColumnTexts(views.byteList, column), ColumnTexts(reference.byteList, column));
    }
}

TEST(ListViews, ClearFromAHookCancelsTheRunningFill) {
    CaptureModel model = SonyCapture();
    Decoder decoder(kProtocolSony);
    ListViews views;
    FakeViewState state;
    std::map<ViewKind, int> open;
    int maxOpen = 0;
    bool clearOnNextChange = false;
    views.hooks.beforeChange = [&](ViewKind view) {
        maxOpen = std::max(maxOpen, ++open[view]);
        if (clearOnNextChange) {
            clearOnNextChange = false;
            views.ClearLists(state);
        }
    };
    views.hooks.afterChange = [&](ViewKind view) { --open[view]; };
    // Armed as the fill reads the filter boxes, after the refresh's own clear: the next list
    // change is the fill.
    state.onReadFlags = [&] { clearOnNextChange = true; };
    views.RefreshList(model, decoder, state, Trace{});
    EXPECT_EQ(views.packetList.GetItemCount(), 0);
    EXPECT_EQ(views.byteList.GetItemCount(), 0);
    EXPECT_EQ(maxOpen, 1);
    EXPECT_EQ(open[ViewKind::Packet], 0);
    EXPECT_EQ(open[ViewKind::Byte], 0);
}

TEST(ListViews, ClosingTheWindowStopsFills) {
    CaptureModel model = SonyCapture();
    Decoder decoder(kProtocolSony);
    ListViews views;
    FakeViewState state;
    views.fillAbort = true;
    views.RefreshList(model, decoder, state, Trace{});
    EXPECT_EQ(views.packetList.GetItemCount(), 0);
}

class FakeChecks : public CheckStates {
  public:
    std::map<int, int> states;
    int GetCheckState(int id) const override {
        const auto it = states.find(id);
        return it == states.end() ? 0 : it->second;
    }
    void SetCheckState(int id, int state) override { states[id] = state; }
};

TEST(ListViews, FilterFlagsAreReadFromTheirBoxes) {
    const std::vector<std::pair<int, bool FilterFlags::*>> boxes = {
        {kIdTimeSense, &FilterFlags::timeSense},     {kIdTimeReply, &FilterFlags::timeReply},
        {kIdStatusSense, &FilterFlags::statusSense}, {kIdStatusReply, &FilterFlags::statusReply},
        {kIdDisplayAcks, &FilterFlags::displayAcks}, {kIdDevTypeFilter, &FilterFlags::dispDevType}};
    for (const auto& [id, flag] : boxes) {
        FakeChecks checks;
        checks.SetCheckState(id, 1);
        FilterFlags expected;
        expected.*flag = true;
        EXPECT_EQ(ReadFilterFlags(checks), expected) << id;
    }
}

}  // namespace
}  // namespace orvane
