// A search through the list on show, a slice at a time with the window served between slices:
// Next Problem, Previous Problem and Find over millions of rows.
#include "app/list_search.hpp"

#include <algorithm>

namespace orvane {

ListSearch::ListSearch(QObject* parent) : QObject(parent) {
    next_.setSingleShot(true);
    next_.setInterval(0);
    connect(&next_, &QTimer::timeout, this, &ListSearch::RunSlice);
}

void ListSearch::Start(RowSearch search, RowSearch::SpanSearch span) {
    Cancel();
    search_.emplace(search);
    span_ = std::move(span);
    // The first slice at once: most searches end within it.
    RunSlice();
}

void ListSearch::Cancel() {
    next_.stop();
    search_.reset();
    span_ = nullptr;
}

void ListSearch::RunSlice() {
    if (!search_) return;
    QElapsedTimer clock;
    clock.start();
    while (!search_->Step(kStepRows, span_)) {
        if (clock.elapsed() >= kSliceMs) {
            const std::uint64_t total = std::max<std::uint64_t>(1, search_->rowCount());
            emit Progress(static_cast<int>(search_->rowsLookedAt() * 1000 / total));
            next_.start();
            return;
        }
    }
    const std::optional<std::uint64_t> found = search_->found();
    const bool wrapped = search_->wrapped();
    Cancel();
    if (found) {
        emit Found(*found, wrapped);
    } else {
        emit NotFound();
    }
}

}  // namespace orvane
