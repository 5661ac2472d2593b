// What the two table models of the lists share: the columns of a bounded list (captions,
// alignment) and, when shown, the analysis columns Latency and Verdict after them.
#pragma once

#include <QAbstractTableModel>
#include <cstdint>
#include <optional>

#include "settings/view_options.hpp"

namespace orvane {

class ListModel;
class RowAnalysis;

// A row's packet (Packet View) or byte (Byte View), for the analysis columns.
struct RowItem {
    ViewKind view = ViewKind::Packet;
    std::uint64_t item = 0;
};

class PacketTableModel : public QAbstractTableModel {
    Q_OBJECT
  public:
    // Adds or removes the two analysis columns.
    void SetAnalysisShown(bool shown);
    bool analysisShown() const { return analysisShown_; }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

  protected:
    explicit PacketTableModel(QObject* parent) : QAbstractTableModel(parent) {}

    // The list whose captions and alignment the own columns take; null for no columns.
    virtual const ListModel* Columns() const = 0;
    // The text of an own cell of a shown row.
    virtual QString OwnCell(int row, int column) const = 0;
    // What a shown row stands for in the analysis; nothing when no analysis is attached.
    virtual std::optional<RowItem> ItemOfRow(int row) const = 0;
    // True while the model is inside a reset: the view asks again at its end.
    virtual bool InReset() const { return false; }

    int OwnColumnCount() const;
    // Every shown row is painted again (the analysis decided more verdicts).
    void RepaintAnalysis();

    const RowAnalysis* analysis_ = nullptr;
    int shownRows_ = 0;

  private:
    Qt::Alignment ColumnAlignment(int column) const;
    QVariant AnalysisData(int row, int column, int role) const;

    bool analysisShown_ = false;
};

}  // namespace orvane
