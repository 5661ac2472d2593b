// A table model over one of the core's lists: rows and cells are read on demand, none kept here.
#include "ui/list_table_model.hpp"

#include "platform/text_codec.hpp"
#include "views/capture_rows.hpp"
#include "views/list_model.hpp"

namespace orvane {

ListTableModel::ListTableModel(const ListModel& rows, QObject* parent)
    : PacketTableModel(parent), rows_(rows) {
    shownRows_ = rows.GetItemCount();
}

void ListTableModel::BeginChange() {
    if (changing_) return;
    changing_ = true;
    beginResetModel();
}

void ListTableModel::EndChange() {
    if (!changing_) return;
    shownRows_ = rows_.GetItemCount();
    changing_ = false;
    endResetModel();
}

void ListTableModel::SetAnalysis(const RowAnalysis* analysis, const CaptureRows* rows) {
    analysis_ = analysis;
    analysisRows_ = rows;
    RepaintAnalysis();
}

QString ListTableModel::OwnCell(int row, int column) const {
    return FromWindows1252(rows_.CellView(row, column));
}

std::optional<RowItem> ListTableModel::ItemOfRow(int row) const {
    const auto at = static_cast<std::uint64_t>(row);
    if (analysisRows_ == nullptr || at >= analysisRows_->RowCount()) return std::nullopt;
    return RowItem{analysisRows_->view(), analysisRows_->ItemOfRow(at)};
}

}  // namespace orvane
