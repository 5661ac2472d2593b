// How the analysis shows in the lists: the Latency and Verdict columns, the tint of a row with a
// problem and the shape that tells an error from a warning.
#pragma once

#include <QColor>
#include <QIcon>
#include <QString>
#include <QVariant>
#include <cstdint>

#include "views/analysis_columns.hpp"

class QTableView;

namespace orvane {

inline constexpr int kAnalysisColumnCount = 2;  // Latency, Verdict
// The item data role that gives a row's severity as a number (0 none, 1 warning, 2 error).
inline constexpr int kSeverityRole = Qt::UserRole + 1;

// Rows with a problem get a light tint, red for errors and amber for warnings, which is quick
// to scan. Tints fade in print and red and amber look alike to many eyes, so the Verdict cell
// also carries a shape (a round stop sign for an error, a triangle for a warning) and an error's
// verdict is bold: the difference survives grey print and colour blindness.
QColor SeverityTint(Severity severity);
QIcon SeverityIcon(Severity severity);

// One role of a row's analysis. `column` counts from the first analysis column: 0 Latency,
// 1 Verdict, -1 for the row's other cells, which take the tint only.
QVariant AnalysisCellData(const AnalysisCells& cells, int column, int role);
QVariant AnalysisHeaderData(int column, int role);

// Column widths of a list of `columns`: while the analysis columns show, the Command column is
// narrower, so that they fit beside it in the window's classic size; otherwise the list's own.
void ApplyAnalysisColumnWidths(QTableView* view, const ListModel& columns, bool shown);

}  // namespace orvane
