// The list refresh: view choice, filter boxes, clearing, closing, and fills cut short by a click.
#include "views/capture_lists.hpp"

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
    ViewOptions GetViewOptions() const override {
        const ViewOptions read = options;
        if (onRead) std::exchange(onRead, nullptr)();
        return read;
    }
    void SetStatusText(std::string_view text) override { statusText = text; }
    void ShowList(ViewKind view) override { shown = view; }

    ViewOptions options{ViewKind::Packet, FilterFlags::ShowAll()};
    std::string statusText = "Packets Received: 12";
    std::optional<ViewKind> shown;
    // Run once, just after the options are read: a click arriving as a fill starts.
    mutable std::function<void()> onRead;
};

class CaptureListsTest : public ::testing::Test {
  protected:
    void Refresh() { lists.RefreshList(model, decoder, state, Trace{}); }
    std::string Shown() { return RowsText(lists.packetList) + RowsText(lists.byteList); }

    CaptureModel model = testing::LoadCapture("views/sony.hex", ProtocolMode::kSony);
    Decoder decoder{ProtocolMode::kSony};
    CaptureLists lists;
    FakeViewState state;
};

TEST_F(CaptureListsTest, RefreshFillsTheSelectedViewUnderTheBoxes) {
    const std::string nothing = Shown();
    lists.ShowListForView(state);
    Refresh();
    EXPECT_EQ(state.shown, ViewKind::Packet);
    EXPECT_EQ(state.statusText, "");
    EXPECT_EQ(lists.byteList.GetItemCount(), 0);
    const std::string allPackets = Shown();
    // A first start: with every box unchecked only what no box names is shown.
    state.options.filters = {};
    Refresh();
    EXPECT_EQ(lists.packetList.GetItemCount(), 2);
    state.options.filters = FilterFlags::ShowAll();  // the rows come back, numbered from 00001
    Refresh();
    EXPECT_EQ(Shown(), allPackets);

    state.options.view = ViewKind::Byte;
    lists.ShowListForView(state);
    Refresh();
    EXPECT_EQ(state.shown, ViewKind::Byte);
    EXPECT_EQ(lists.packetList.GetItemCount(), 0);
    EXPECT_GT(lists.byteList.GetItemCount(), 0);
    lists.fillAbort = true;  // the window is closing
    Refresh();
    EXPECT_EQ(Shown(), nothing);
    lists.fillAbort = false;
    ClearCapturedBytes(model);  // after Clear nothing is shown, though the packet list is kept
    state.options.view = ViewKind::Packet;
    Refresh();
    EXPECT_EQ(Shown(), nothing);
}

TEST_F(CaptureListsTest, ClickDuringAFillLeavesExactlyOneFillUnderTheNewChoice) {
    CaptureLists reference;
    FakeViewState referenceState;
    referenceState.options.filters.timeSense = false;
    reference.RefreshList(model, decoder, referenceState, Trace{});
    // The user picks the Packet View and unchecks "Time Sense" as a Byte View fill starts.
    state.options.view = ViewKind::Byte;
    state.onRead = [this] {
        state.options.view = ViewKind::Packet;
        state.options.filters.timeSense = false;
        lists.ClearLists(state);
        Refresh();
    };
    Refresh();
    EXPECT_EQ(Shown(), RowsText(reference.packetList) + RowsText(reference.byteList));
}

TEST_F(CaptureListsTest, ClearFromAHookCancelsTheRunningFill) {
    const std::string nothing = Shown();
    std::string
        changes;  // "+P" before and "-P" after a change of the Packet list, "B" the Byte list
    bool clearOnNextChange = false;
    lists.hooks.beforeChange = [&](ViewKind view) {
        changes += view == ViewKind::Packet ? "+P" : "+B";
        if (std::exchange(clearOnNextChange, false)) lists.ClearLists(state);
    };
    lists.hooks.afterChange = [&](ViewKind view) {
        changes += view == ViewKind::Packet ? "-P" : "-B";
    };
    // Armed as the fill reads the options, after the refresh's own clear: the next change is the
    // fill.
    state.onRead = [&] { clearOnNextChange = true; };
    Refresh();
    EXPECT_EQ(Shown(), nothing);
    EXPECT_EQ(changes, "+P-P+B-B+P+B-B-P");  // the clear inside the fill's pair adds none for P
}

}  // namespace
}  // namespace orvane
