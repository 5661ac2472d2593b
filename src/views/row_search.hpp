// Looking through a long list for a row a slice at a time, so a window can serve its events
// between slices: the walk from the current row around the list, and the text match of Find.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace orvane {

// Whether a text holds the needle, without regard to case: the ASCII letters and the accented
// letters of Windows-1252, the encoding of the list's cells.
class TextMatch {
  public:
    explicit TextMatch(std::string_view needle);

    bool empty() const { return folded_.empty(); }
    bool In(std::string_view text) const;

  private:
    std::string folded_;
};

// The rows a search looks at, in turn. Forward: those after the current row to the last, then
// from the first round to the current row itself. Backward: those before it down to the first,
// then from the last down to the current row. With no current row, every row from the first
// (forward) or from the last (backward).
class RowSearch {
  public:
    // Looks in rows [first, end) and gives the match nearest to where the walk enters them: the
    // lowest going forward, the highest going backward.
    using SpanSearch =
        std::function<std::optional<std::uint64_t>(std::uint64_t first, std::uint64_t end)>;

    RowSearch(std::uint64_t rowCount, std::optional<std::uint64_t> current, bool forward);

    // Looks through the next `rows` rows at most; true once the search has ended, with or
    // without a match.
    bool Step(std::uint64_t rows, const SpanSearch& search);

    bool done() const { return done_; }
    std::optional<std::uint64_t> found() const { return found_; }
    // The match lies beyond the end of the list (or before its start, going backward).
    bool wrapped() const { return found_ && segment_ == 1; }
    bool forward() const { return forward_; }
    std::uint64_t rowsLookedAt() const { return looked_; }
    std::uint64_t rowCount() const { return rowCount_; }

  private:
    struct Segment {
        std::uint64_t first = 0;
        std::uint64_t end = 0;
    };

    std::uint64_t rowCount_;
    bool forward_;
    Segment segments_[2];
    int segmentCount_ = 0;
    int segment_ = 0;
    std::uint64_t at_ = 0;  // forward: the next row; backward: one past it
    std::uint64_t looked_ = 0;
    bool done_ = false;
    std::optional<std::uint64_t> found_;
};

}  // namespace orvane
