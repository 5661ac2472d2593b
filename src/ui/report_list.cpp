// The report-style list of the main window: grid lines, one full row selected at a time.
#include "ui/report_list.hpp"

#include <QHeaderView>
#include <QPalette>
#include <QTableView>

#include "views/list_model.hpp"

namespace orvane {

QTableView* CreateReportList(QWidget* parent, QAbstractItemModel* model, const ListModel& rows) {
    auto* view = new QTableView(parent);
    view->setModel(model);
    view->setShowGrid(true);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setSelectionMode(QAbstractItemView::SingleSelection);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    view->setWordWrap(false);
    view->setFocusPolicy(Qt::StrongFocus);
    view->setTabKeyNavigation(false);

    // The selection stays visible, in the inactive colours, when the list loses focus.
    QPalette colours = view->palette();
    colours.setColor(QPalette::Inactive, QPalette::Highlight,
                     colours.color(QPalette::Active, QPalette::Midlight));
    colours.setColor(QPalette::Inactive, QPalette::HighlightedText,
                     colours.color(QPalette::Active, QPalette::Text));
    view->setPalette(colours);

    QHeaderView* rowHeader = view->verticalHeader();
    rowHeader->hide();
    rowHeader->setSectionResizeMode(QHeaderView::Fixed);
    rowHeader->setDefaultSectionSize(view->fontMetrics().height() + 4);

    QHeaderView* columnHeader = view->horizontalHeader();
    columnHeader->setSectionResizeMode(QHeaderView::Interactive);
    columnHeader->setHighlightSections(false);
    columnHeader->setStretchLastSection(false);
    ApplyColumnWidths(view, rows);
    return view;
}

void ApplyColumnWidths(QTableView* view, const ListModel& rows) {
    for (int column = 0; column < rows.ColumnCount(); ++column) {
        view->setColumnWidth(column, rows.ColumnWidth(column));
    }
}

}  // namespace orvane
