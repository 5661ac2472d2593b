// A table model over a page of the rows of a continuous capture: cell texts are formed only for
// a window of rows around the ones painted.
#pragma once

#include <QString>
#include <array>
#include <cstdint>
#include <limits>
#include <vector>

#include "ui/packet_table_model.hpp"

namespace orvane {

class CaptureRows;
class ListModel;
class RowAnalysis;

// Shows CaptureRows in a table view with the columns of a bounded list (captions, alignment).
// Nothing is kept per row of the capture: data() forms a window of rows around the one asked
// for and keeps it until a row outside it is asked for. A growing capture announces the rows it
// gained with one insert for all of them. The analysis columns, Latency and Verdict, follow the
// list's own when shown; their cells are read afresh each time, since a live capture's analysis
// decides a command's verdict only once its reply came or its wait ran out.
class CaptureRowsModel : public PacketTableModel {
    Q_OBJECT
  public:
    // Rows formed at a time around the row asked for.
    static constexpr int kWindowRows = 200;

    explicit CaptureRowsModel(QObject* parent);

    // New rows (a new view or filter choice, another capture, or none): one model reset.
    // `rows` and `columns` must outlive the model or the next SetRows.
    void SetRows(const CaptureRows* rows, const ListModel* columns);

    // The model holds a page of at most `pageRows` rows of the capture, from `first` on: an
    // item view keeps a few bytes for every row it is given, which a day's Byte View (tens of
    // millions of rows) would make hundreds of megabytes. Model row r is capture row first + r.
    // One model reset.
    void SetPage(std::uint64_t first, int pageRows);
    std::uint64_t pageFirst() const { return pageFirst_; }
    int pageRows() const { return pageRows_; }
    // Rows of the whole capture (those the model holds are its rowCount()).
    std::uint64_t CaptureRowCount() const;

    // Announces the rows the core has gained since the last call that fit in the page, in one
    // insert.
    void TakeNewRows();

    // The analysis of the rows' capture; null for none (the columns stay, empty). It must
    // outlive the model or the next call.
    void SetAnalysis(const RowAnalysis* analysis);
    // The analysis has taken in more packets: the rows shown are painted again.
    void AnalysisChanged() { RepaintAnalysis(); }

  protected:
    const ListModel* Columns() const override { return columns_; }
    QString OwnCell(int row, int column) const override;
    std::optional<RowItem> ItemOfRow(int row) const override;

  private:
    using CellTexts = std::array<QString, 6>;
    const CellTexts& Row(int row) const;

    int PageCount() const;

    const CaptureRows* rows_ = nullptr;
    const ListModel* columns_ = nullptr;
    std::uint64_t pageFirst_ = 0;
    int pageRows_ = std::numeric_limits<int>::max();
    mutable int windowFirst_ = 0;
    mutable std::vector<CellTexts> window_;
    mutable std::vector<std::uint64_t> windowItems_;  // the packet or byte of each window row
};

}  // namespace orvane
