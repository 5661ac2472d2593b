// A table model over the rows of a continuous capture: the row count is the core's, cell texts
// are formed only for a window of rows around the ones painted.
#pragma once

#include <QString>
#include <array>
#include <cstdint>
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

    // Announces the rows the core has gained since the last call, in one insert.
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

    const CaptureRows* rows_ = nullptr;
    const ListModel* columns_ = nullptr;
    mutable int windowFirst_ = 0;
    mutable std::vector<CellTexts> window_;
    mutable std::vector<std::uint64_t> windowItems_;  // the packet or byte of each window row
};

}  // namespace orvane
