// Looking through a long list for a row a slice at a time, so a window can serve its events
// between slices: the walk from the current row around the list, and the text match of Find.
#include "views/row_search.hpp"

#include <algorithm>
#include <array>

namespace orvane {
namespace {

// Each byte to its lower-case letter: A-Z, and the Windows-1252 capitals (Š Œ Ž Ÿ and
// À to Þ without the multiplication sign).
constexpr std::array<unsigned char, 256> kFolded = [] {
    std::array<unsigned char, 256> table{};
    for (int c = 0; c < 256; ++c) table[c] = static_cast<unsigned char>(c);
    for (int c = 'A'; c <= 'Z'; ++c) table[c] = static_cast<unsigned char>(c + 0x20);
    for (int c = 0xC0; c <= 0xDE; ++c) {
        if (c != 0xD7) table[c] = static_cast<unsigned char>(c + 0x20);
    }
    table[0x8A] = 0x9A;
    table[0x8C] = 0x9C;
    table[0x8E] = 0x9E;
    table[0x9F] = 0xFF;
    return table;
}();

char Fold(char c) { return static_cast<char>(kFolded[static_cast<unsigned char>(c)]); }

}  // namespace

TextMatch::TextMatch(std::string_view needle) {
    folded_.reserve(needle.size());
    for (const char c : needle) folded_.push_back(Fold(c));
}

bool TextMatch::In(std::string_view text) const {
    if (folded_.empty() || text.size() < folded_.size()) return false;
    return std::search(text.begin(), text.end(), folded_.begin(), folded_.end(),
                       [](char a, char b) { return Fold(a) == b; }) != text.end();
}

RowSearch::RowSearch(std::uint64_t rowCount, std::optional<std::uint64_t> current, bool forward)
    : rowCount_(rowCount), forward_(forward) {
    if (current && *current >= rowCount) current.reset();
    if (!current) {
        segments_[segmentCount_++] = {0, rowCount};
    } else if (forward) {
        segments_[segmentCount_++] = {*current + 1, rowCount};
        segments_[segmentCount_++] = {0, *current + 1};
    } else {
        segments_[segmentCount_++] = {0, *current};
        segments_[segmentCount_++] = {*current, rowCount};
    }
    at_ = forward_ ? segments_[0].first : segments_[0].end;
    done_ = rowCount == 0;
}

bool RowSearch::Step(std::uint64_t rows, const SpanSearch& search) {
    rows = std::max<std::uint64_t>(rows, 1);
    while (!done_) {
        const Segment& segment = segments_[segment_];
        const bool left = forward_ ? at_ < segment.end : at_ > segment.first;
        if (!left) {
            if (++segment_ == segmentCount_) {
                segment_ = segmentCount_ - 1;
                done_ = true;
                break;
            }
            at_ = forward_ ? segments_[segment_].first : segments_[segment_].end;
            continue;
        }
        std::uint64_t first = 0;
        std::uint64_t end = 0;
        if (forward_) {
            first = at_;
            end = std::min(segment.end, at_ + rows);
            at_ = end;
        } else {
            end = at_;
            first = at_ - std::min(rows, at_ - segment.first);
            at_ = first;
        }
        looked_ += end - first;
        found_ = search(first, end);
        done_ = found_.has_value();
        break;
    }
    return done_;
}

}  // namespace orvane
