// A search through the list on show, a slice at a time with the window served between slices:
// Next Problem, Previous Problem and Find over millions of rows.
#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <optional>

#include "views/row_search.hpp"

namespace orvane {

class ListSearch : public QObject {
    Q_OBJECT
  public:
    // Rows looked at between two looks at the clock, and the time a slice may take.
    static constexpr std::uint64_t kStepRows = 2048;
    static constexpr qint64 kSliceMs = 20;

    explicit ListSearch(QObject* parent);

    // Starts `search` (ending one under way without a word). `span` looks through rows of the
    // list; what it reads must stay until the search ends or Cancel.
    void Start(RowSearch search, RowSearch::SpanSearch span);
    void Cancel();
    bool running() const { return search_.has_value() && !search_->done(); }

  signals:
    // A match (row, and whether the walk went round the end of the list to reach it), or none.
    void Found(quint64 row, bool wrapped);
    void NotFound();
    // Once a slice has passed without an end: how far, in per mille of the rows.
    void Progress(int perMille);

  private:
    void RunSlice();

    std::optional<RowSearch> search_;
    RowSearch::SpanSearch span_;
    QTimer next_;
};

}  // namespace orvane
