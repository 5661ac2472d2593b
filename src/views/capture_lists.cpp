// The two lists of the main window: their columns, the refresh under the chosen view and filters.
#include "views/capture_lists.hpp"

#include <array>

#include "views/byte_view.hpp"
#include "views/packet_view.hpp"

namespace orvane {

namespace {

struct ColumnSpec {
    std::string_view caption;
    int widthPx;
    bool centred;
};

constexpr auto kPacketColumns = std::to_array<ColumnSpec>({
    {"Event", 50, false},
    {"Time", 70, false},
    {"ID", 48, true},
    {"Packet Data", 200, false},
    {"Command", 800, false},
    {"Packet #", 70, false},
});

constexpr auto kByteColumns = std::to_array<ColumnSpec>({
    {"Event", 50, false},
    {"Time", 70, false},
    {"Ctrl", 48, true},
    {"Deck", 48, true},
    {"Command", 800, false},
    {"Packet #", 70, false},
});

template <std::size_t N>
void AddColumns(ListModel& list, const std::array<ColumnSpec, N>& columns) {
    for (std::size_t i = 0; i < N; ++i) {
        const int column =
            list.InsertColumn(static_cast<int>(i), columns[i].caption, columns[i].centred);
        list.SetColumnWidth(column, columns[i].widthPx);
    }
}

}  // namespace

class CaptureLists::ChangeScope {
  public:
    ChangeScope(CaptureLists& lists, ViewKind view) : lists_(lists), view_(view) {
        if (Depth()++ == 0 && lists_.hooks.beforeChange) lists_.hooks.beforeChange(view_);
    }
    ~ChangeScope() {
        if (--Depth() == 0 && lists_.hooks.afterChange) lists_.hooks.afterChange(view_);
    }
    ChangeScope(const ChangeScope&) = delete;
    ChangeScope& operator=(const ChangeScope&) = delete;

  private:
    int& Depth() { return lists_.changeDepth_[view_ == ViewKind::Packet ? 0 : 1]; }

    CaptureLists& lists_;
    ViewKind view_;
};

CaptureLists::CaptureLists() {
    AddColumns(packetList, kPacketColumns);
    AddColumns(byteList, kByteColumns);
}

void CaptureLists::RefreshList(CaptureModel& model, Decoder& decoder, ViewState& viewState,
                               const Trace& trace) {
    ClearLists(viewState);
    // After Clear (or before the first capture) nothing is shown, even though the packet list
    // may still hold an earlier capture's lines.
    if (model.byteCount == 0) return;

    // Any ClearLists from here on, even one run from the view state or a hook, ends this fill.
    const std::uint64_t startClearCount = clearCount_;
    const ViewOptions options = viewState.GetViewOptions();
    const ViewKind view = options.view;
    const FilterFlags& flags = options.filters;
    const CancelCheck isCancelled = [this, startClearCount] {
        return fillAbort || clearCount_ != startClearCount;
    };

    ChangeScope scope(*this, view);
    if (view == ViewKind::Byte) {
        FillByteView(model, decoder, flags, byteList, isCancelled);
    } else {
        FillPacketView(model, decoder, flags, trace, packetList, isCancelled);
    }
}

void CaptureLists::ClearLists(ViewState& viewState) {
    ++clearCount_;
    {
        ChangeScope scope(*this, ViewKind::Packet);
        packetList.DeleteAllItems();
    }
    {
        ChangeScope scope(*this, ViewKind::Byte);
        byteList.DeleteAllItems();
    }
    viewState.SetStatusText("");
}

void CaptureLists::ShowListForView(ViewState& viewState) {
    viewState.ShowList(viewState.GetViewOptions().view);
}

}  // namespace orvane
