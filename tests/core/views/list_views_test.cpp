// The list refresh: view choice, filter boxes, clearing, closing, and fills cut short by a click.
#include "views/list_views.hpp"

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <utility>

#include "views_test_support.hpp"

namespace orvane {
namespace {

using testing::RowsText;

class FakeViewState : public ViewState {
  public:
    bool IsByteViewSelected() const override { return byteView; }
    bool IsPacketViewSelected() const override { return !byteView; }
    FilterFlags GetFilterFlags() const override {
        if (onReadFlags) std::exchange(onReadFlags, nullptr)();
        return flags;
    }
    void SetStatusText(std::string_view text) override { statusText = text; }
    void ShowList(ViewKind view) override { shown = view; }

    bool byteView = false;
    FilterFlags flags = FilterFlags::ShowAll();
    std::string statusText = "Packets Received: 12";
    std::optional<ViewKind> shown;
    mutable std::function<void()> onReadFlags;  // run once: a click arriving as a fill starts
};

class ListViewsTest : public ::testing::Test {
  protected:
    void Refresh() { views.RefreshList(model, decoder, state, Trace{}); }
    std::string Shown() { return RowsText(views.packetList) + RowsText(views.byteList); }

    CaptureModel model = testing::LoadCapture("views/sony.hex", kProtocolSony);
    Decoder decoder{kProtocolSony};
    ListViews views;
    FakeViewState state;
};

TEST_F(ListViewsTest, RefreshFillsTheSelectedViewUnderTheBoxes) {
    const std::string nothing = Shown();
    views.ShowListForView(state);
    Refresh();
    EXPECT_EQ(state.shown, ViewKind::Packet);
    EXPECT_EQ(state.statusText, "");
    EXPECT_EQ(views.byteList.GetItemCount(), 0);
    const std::string allPackets = Shown();
    state.flags = {};  // a first start: with every box unchecked only what no box names is shown
    Refresh();
    EXPECT_EQ(views.packetList.GetItemCount(), 2);
    state.flags = FilterFlags::ShowAll();  // the rows come back, numbered from 00001
    Refresh();
    EXPECT_EQ(Shown(), allPackets);

    state.byteView = true;
    views.ShowListForView(state);
    Refresh();
    EXPECT_EQ(state.shown, ViewKind::Byte);
    EXPECT_EQ(views.packetList.GetItemCount(), 0);
    EXPECT_GT(views.byteList.GetItemCount(), 0);
    views.fillAbort = true;  // the window is closing
    Refresh();
    EXPECT_EQ(Shown(), nothing);
    views.fillAbort = false;
    ClearCapturedBytes(model);  // after Clear nothing is shown, though the packet list is kept
    state.byteView = false;
    Refresh();
    EXPECT_EQ(Shown(), nothing);
}

TEST_F(ListViewsTest, ClickDuringAFillLeavesExactlyOneFillUnderTheNewChoice) {
    ListViews reference;
    FakeViewState referenceState;
    referenceState.flags.timeSense = false;
    reference.RefreshList(model, decoder, referenceState, Trace{});
    // The user picks the Packet View and unchecks "Time Sense" as a Byte View fill starts.
    state.byteView = true;
    state.onReadFlags = [this] {
        state.byteView = false;
        state.flags.timeSense = false;
        views.ClearLists(state);
        Refresh();
    };
    Refresh();
    EXPECT_EQ(Shown(), RowsText(reference.packetList) + RowsText(reference.byteList));
}

TEST_F(ListViewsTest, ClearFromAHookCancelsTheRunningFill) {
    const std::string nothing = Shown();
    std::string
        changes;  // "+P" before and "-P" after a change of the Packet list, "B" the Byte list
    bool clearOnNextChange = false;
    views.hooks.beforeChange = [&](ViewKind view) {
        changes += view == ViewKind::Packet ? "+P" : "+B";
        if (std::exchange(clearOnNextChange, false)) views.ClearLists(state);
    };
    views.hooks.afterChange = [&](ViewKind view) {
        changes += view == ViewKind::Packet ? "-P" : "-B";
    };
    // Armed as the fill reads the boxes, after the refresh's own clear: the next change is the
    // fill.
    state.onReadFlags = [&] { clearOnNextChange = true; };
    Refresh();
    EXPECT_EQ(Shown(), nothing);
    EXPECT_EQ(changes, "+P-P+B-B+P+B-B-P");  // the clear inside the fill's pair adds none for P
}

}  // namespace
}  // namespace orvane
