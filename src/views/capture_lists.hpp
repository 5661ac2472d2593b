// The two lists of the main window: their columns, the refresh under the chosen view and filters.
#pragma once

#include <cstdint>
#include <functional>
#include <string_view>

#include "capture/capture_model.hpp"
#include "capture/trace.hpp"
#include "decode/decoder.hpp"
#include "views/list_model.hpp"
#include "views/packet_filter.hpp"

namespace orvane {

// What the lists need from the main window: the view option and filter boxes, the status bar
// and the visibility of the two lists.
class ViewState {
  public:
    virtual ~ViewState() = default;
    virtual ViewOptions GetViewOptions() const = 0;
    // The text of the status bar's first part.
    virtual void SetStatusText(std::string_view text) = 0;
    // Makes the list of `view` visible and hides the other.
    virtual void ShowList(ViewKind view) = 0;
};

// A view and filter choice fixed in advance, for lists filled without a window (the command
// line, exports, tests).
class FixedViewState final : public ViewState {
  public:
    FixedViewState(ViewKind view, const FilterFlags& flags) : options_{view, flags} {}
    ViewOptions GetViewOptions() const override { return options_; }
    void SetStatusText(std::string_view) override {}
    void ShowList(ViewKind) override {}

  private:
    ViewOptions options_;
};

// Called around every change of a list's rows: the rows deleted by ClearLists, the rows added by
// a fill. A table model over the list resets itself between the two calls. The calls for one list
// never nest: a ClearLists or RefreshList run from inside a hook changes that list within the
// outer pair.
struct ListHooks {
    std::function<void(ViewKind)> beforeChange;
    std::function<void(ViewKind)> afterChange;
};

// Owns the Packet View and Byte View lists and fills them from the capture model.
//
// A fill runs to its end without handing control back to the event loop: 100,000 rows take well
// under a tenth of a second, so the window never needs servicing during a fill and no click can
// arrive in the middle of one. Cancellation is kept anyway for callers that run other work from a
// hook: a fill stops at the next entry once fillAbort is set or ClearLists has run since the fill
// began, so the list never holds rows of two fills.
class CaptureLists {
  public:
    CaptureLists();

    ListModel packetList;    // one row per packet: Event, Time, ID, Packet Data, Command, Packet #
    ListModel byteList;      // one row per byte: Event, Time, Ctrl, Deck, Command, Packet #
    bool fillAbort = false;  // set when the main window closes; stops fills for good
    ListHooks hooks;

    ListModel& ListFor(ViewKind view) { return view == ViewKind::Packet ? packetList : byteList; }
    const ListModel& ListFor(ViewKind view) const {
        return view == ViewKind::Packet ? packetList : byteList;
    }

    // Empties both lists and fills the one of the selected view under the filter boxes; both stay
    // empty while the model holds no bytes. The decoder's protocol mode decides the rules.
    void RefreshList(CaptureModel& model, Decoder& decoder, ViewState& viewState,
                     const Trace& trace);

    // Cancels running fills, empties both lists and the status bar text.
    void ClearLists(ViewState& viewState);

    // Shows the list of the selected view and hides the other.
    void ShowListForView(ViewState& viewState);

  private:
    // Pairs the hooks for one list even when list changes nest.
    class ChangeScope;

    std::uint64_t clearCount_ = 0;  // ClearLists runs so far; a fill stops when it moves
    int changeDepth_[2] = {0, 0};   // open ChangeScopes per list (Packet, Byte)
};

}  // namespace orvane
