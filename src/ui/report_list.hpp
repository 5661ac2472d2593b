// The report-style list of the main window: grid lines, one full row selected at a time.
#pragma once

class QAbstractItemModel;
class QTableView;
class QWidget;

namespace orvane {

class ListModel;

// A table view over `model` in the classic report style: grid lines, full-row and single
// selection kept visible when the list loses focus, a sunken edge, fixed row heights, no row
// header, and the core list's column widths in pixels.
QTableView* CreateReportList(QWidget* parent, QAbstractItemModel* model, const ListModel& rows);

// Gives the view the list's column widths in pixels, as CreateReportList does.
void ApplyColumnWidths(QTableView* view, const ListModel& rows);

}  // namespace orvane
