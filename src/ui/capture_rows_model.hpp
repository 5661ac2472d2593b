// A table model over the rows of a continuous capture: the row count is the core's, cell texts
// are formed only for a window of rows around the ones painted.
#pragma once

#include <QAbstractTableModel>
#include <QString>
#include <array>
#include <cstdint>
#include <vector>

namespace orvane {

class CaptureRows;
class ListModel;

// Shows CaptureRows in a table view with the columns of a bounded list (captions, alignment).
// Nothing is kept per row of the capture: data() forms a window of rows around the one asked
// for and keeps it until a row outside it is asked for. A growing capture announces the rows it
// gained with one insert for all of them.
class CaptureRowsModel : public QAbstractTableModel {
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

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

  private:
    using CellTexts = std::array<QString, 6>;
    const CellTexts& Row(int row) const;
    Qt::Alignment ColumnAlignment(int column) const;

    const CaptureRows* rows_ = nullptr;
    const ListModel* columns_ = nullptr;
    int shownRows_ = 0;
    mutable int windowFirst_ = 0;
    mutable std::vector<CellTexts> window_;
};

}  // namespace orvane
