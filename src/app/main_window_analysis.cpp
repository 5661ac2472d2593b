// The main window's analysis: the Latency and Verdict columns, Next and Previous Problem, Find,
// the protocol check after a capture or an open, and the Statistics window.
#include <QAction>
#include <QDir>
#include <QLineEdit>
#include <QStatusBar>
#include <QTableView>
#include <cerrno>
#include <fstream>
#include <memory>

#include "app/capture_analysis.hpp"
#include "app/capture_file_io.hpp"
#include "app/capture_sequence.hpp"
#include "app/list_search.hpp"
#include "app/main_window.hpp"
#include "app/program.hpp"
#include "capture/packet_assembly.hpp"
#include "platform/text_codec.hpp"
#include "settings/settings_store.hpp"
#include "ui/analysis_look.hpp"
#include "ui/capture_rows_model.hpp"
#include "ui/continuous_list.hpp"
#include "ui/find_dialog.hpp"
#include "ui/list_table_model.hpp"
#include "ui/protocol_offer.hpp"
#include "ui/statistics_window.hpp"
#include "views/line_statistics.hpp"
#include "views/line_statistics_output.hpp"

namespace orvane {
namespace {

QString ProtocolName(ProtocolMode protocolMode) {
    switch (protocolMode) {
        case ProtocolMode::kVdcp:
            return QStringLiteral("VDCP");
        case ProtocolMode::kOdetics:
            return QStringLiteral("Sony 9-pin with Odetics");
        default:
            return QStringLiteral("Sony 9-pin");
    }
}

// Find reads the bytes and the description: Packet Data and Command in the Packet View, Ctrl,
// VTR and Command in the Byte View.
template <typename CellOf>
bool CellsHold(const TextMatch& match, ViewKind view, const CellOf& cellOf) {
    for (int column = view == ViewKind::Packet ? 3 : 2; column <= 4; ++column) {
        if (match.In(cellOf(column))) return true;
    }
    return false;
}

}  // namespace

QTableView* MainWindow::shownList() const {
    if (held_ != nullptr) return continuousList_->view();
    return listView(GetViewOptions().view);
}

void MainWindow::SetAnalysisColumnsShown(bool shown) {
    analysisColumns_ = shown;
    packetModel_->SetAnalysisShown(shown);
    byteModel_->SetAnalysisShown(shown);
    continuousList_->SetAnalysisShown(shown);
    ApplyAnalysisColumnWidths(packetTable_, program_.captureLists.packetList, shown);
    ApplyAnalysisColumnWidths(byteTable_, program_.captureLists.byteList, shown);
    if (QAction* action = menuAction(MenuCommand::AnalysisColumns)) action->setChecked(shown);
}

void MainWindow::AttachAnalysis(std::unique_ptr<CaptureAnalysis> analysis) {
    search_->Cancel();
    continuousList_->SetAnalysis(nullptr);
    packetModel_->SetAnalysis(nullptr, nullptr);
    byteModel_->SetAnalysis(nullptr, nullptr);
    if (statisticsWindow_ != nullptr) statisticsWindow_->SetStatistics(nullptr);
    boundedRows_.reset();
    analysis_ = std::move(analysis);
    protocolOffer_->Withdraw();
    if (analysis_ == nullptr) return;
    if (held_ != nullptr) continuousList_->SetAnalysis(&analysis_->rows());
    if (statisticsWindow_ != nullptr) statisticsWindow_->SetStatistics(&analysis_->statistics());
}

void MainWindow::SyncBoundedAnalysis() {
    if (held_ != nullptr) return;
    const std::vector<CaptureRead>& reads = capture_->reads();
    if (reads.empty() || program_.captureModel.byteCount == 0) {
        if (analysis_ != nullptr) AttachAnalysis(nullptr);
        return;
    }
    const ProtocolMode mode = fileProtocol_.value_or(program_.settings.protocolMode);
    if (analysis_ == nullptr || !analysis_->ownsCapture() || boundedStale_ ||
        analysis_->protocolMode() != mode) {
        AttachAnalysis(std::make_unique<CaptureAnalysis>(reads, mode, program_.trace));
        boundedStale_ = false;
    }
    search_->Cancel();
    packetModel_->SetAnalysis(nullptr, nullptr);
    byteModel_->SetAnalysis(nullptr, nullptr);
    const ViewKind view = GetViewOptions().view;
    boundedRows_ =
        std::make_unique<CaptureRows>(analysis_->capture(), view, GetViewOptions().filters);
    tableModel(view)->SetAnalysis(&analysis_->rows(), boundedRows_.get());
}

void MainWindow::UpdateAnalysis() {
    if (analysis_ != nullptr && analysis_->Update()) continuousList_->model()->AnalysisChanged();
}

void MainWindow::OfferBetterProtocol() {
    if (analysis_ == nullptr) return;
    const ProtocolFit fit = CheckProtocolFit(analysis_->capture());
    if (!fit.otherFitsBetter) return;
    const ProtocolMode current = analysis_->protocolMode();
    offeredProtocol_ = current == ProtocolMode::kVdcp ? ProtocolMode::kSony : ProtocolMode::kVdcp;
    ShowNotice(
        QStringLiteral("%1 of %2 packets fail their checks as %3; the bytes read better as %4.")
            .arg(fit.packetsFailing)
            .arg(fit.packetsChecked)
            .arg(ProtocolName(current), ProtocolName(offeredProtocol_)));
    protocolOffer_->Offer(QStringLiteral("Group as %1?").arg(ProtocolName(offeredProtocol_)));
}

void MainWindow::ApplyProtocol(ProtocolMode protocolMode) {
    program_.settings.protocolMode = protocolMode;
    SaveSetup(program_.settings);
    RegroupShownCapture();
}

void MainWindow::RegroupShownCapture() {
    if (held_ != nullptr) {
        // A continuous capture is grouped again under the new protocol, and analysed again.
        AttachAnalysis(nullptr);
        held_->Regroup(program_.settings.protocolMode);
        ShowHeldRows();
        AttachAnalysis(std::make_unique<CaptureAnalysis>(*held_));
        return;
    }
    // So is a bounded one, taken here or opened from a file: its rows become those a capture
    // taken under the new protocol shows. The bytes stay as they are, so after Clear there is
    // still nothing to show.
    fileProtocol_.reset();
    AssignPacketNumbers(program_.captureModel, program_.settings.protocolMode);
    BuildPacketLines(program_.captureModel, program_.trace);
    ReshowList();
}

bool MainWindow::searching() const { return search_->running(); }

void MainWindow::ShowNotice(const QString& text) {
    statusBar_->showMessage(text);
    notice_.start();
}

bool MainWindow::NoticeShowing() const {
    constexpr qint64 kNoticeMs = 4000;
    return notice_.isValid() && notice_.elapsed() < kNoticeMs;
}

void MainWindow::StartSearch(bool forward, RowSearch::SpanSearch span) {
    std::optional<std::uint64_t> from;
    std::uint64_t rows = 0;
    if (held_ != nullptr) {
        from = continuousList_->CurrentRow();
        rows = continuousList_->RowCount();
    } else {
        const QTableView* list = shownList();
        const QModelIndex current = list->currentIndex();
        if (current.isValid()) from = static_cast<std::uint64_t>(current.row());
        rows = static_cast<std::uint64_t>(list->model()->rowCount());
    }
    searchForward_ = forward;
    search_->Start(RowSearch(rows, from, forward), std::move(span));
}

void MainWindow::GoToProblem(bool forward) {
    searchText_.clear();
    const CaptureRows* rows = held_ != nullptr ? continuousList_->rows() : boundedRows_.get();
    if (analysis_ == nullptr || rows == nullptr) {
        OnSearchNotFound();
        return;
    }
    const RowAnalysis* analysis = &analysis_->rows();
    StartSearch(forward, [rows, analysis, forward](std::uint64_t first, std::uint64_t end) {
        std::optional<std::uint64_t> found;
        end = std::min(end, rows->RowCount());
        if (first >= end || !analysis->MayHaveProblem(rows->view(), rows->ItemOfRow(first),
                                                      rows->ItemOfRow(end - 1))) {
            return found;
        }
        for (std::uint64_t i = 0; first + i < end && !found; ++i) {
            const std::uint64_t row = forward ? first + i : end - 1 - i;
            if (analysis->SeverityOfItem(rows->view(), rows->ItemOfRow(row)) != Severity::kNone) {
                found = row;
            }
        }
        return found;
    });
}

void MainWindow::FindText(const QString& text, bool forward) {
    if (text.isEmpty()) return;
    searchText_ = text;
    auto match = std::make_shared<const TextMatch>(ToWindows1252(text));
    // The verdict is searched too while it shows.
    const RowAnalysis* analysis =
        analysisColumns_ && analysis_ != nullptr ? &analysis_->rows() : nullptr;
    if (held_ != nullptr) {
        const CaptureRows* rows = continuousList_->rows();
        if (rows == nullptr) {
            OnSearchNotFound();
            return;
        }
        const auto search = [rows, analysis, match, forward](std::uint64_t first,
                                                             std::uint64_t end) {
            std::optional<std::uint64_t> found;
            const ViewKind view = rows->view();
            const auto visit = [&](std::uint64_t row, std::uint64_t item, const RowCells& cells) {
                if (forward && found) return;
                const auto cellOf = [&cells](int column) {
                    return std::string_view(cells[column]);
                };
                if (CellsHold(*match, view, cellOf) ||
                    (analysis != nullptr && match->In(analysis->CellsOfItem(view, item).verdict))) {
                    found = row;
                }
            };
            rows->FormRows(first, end - first, visit);
            return found;
        };
        StartSearch(forward, search);
        return;
    }
    const ViewKind view = GetViewOptions().view;
    const ListModel* list = &program_.captureLists.ListFor(view);
    const CaptureRows* rows = boundedRows_.get();
    StartSearch(forward, [list, rows, view, analysis, match, forward](std::uint64_t first,
                                                                      std::uint64_t end) {
        for (std::uint64_t i = 0; first + i < end; ++i) {
            const std::uint64_t row = forward ? first + i : end - 1 - i;
            const int at = static_cast<int>(row);
            if (CellsHold(*match, view,
                          [list, at](int column) { return list->CellView(at, column); })) {
                return std::optional<std::uint64_t>(row);
            }
            if (analysis != nullptr && rows != nullptr && row < rows->RowCount() &&
                match->In(analysis->CellsOfItem(view, rows->ItemOfRow(row)).verdict)) {
                return std::optional<std::uint64_t>(row);
            }
        }
        return std::optional<std::uint64_t>();
    });
}

void MainWindow::OnSearchFound(quint64 row, bool wrapped) {
    if (held_ != nullptr) {
        continuousList_->GoToRow(row);
    } else {
        QTableView* list = shownList();
        const QModelIndex index = list->model()->index(static_cast<int>(row), 0);
        list->setCurrentIndex(index);
        list->scrollTo(index, QAbstractItemView::PositionAtCenter);
    }
    QString where;
    if (wrapped) {
        where = searchForward_ ? QStringLiteral(" (searched on from the top)")
                               : QStringLiteral(" (searched on from the bottom)");
    }
    QString text;
    if (searchText_.isEmpty()) {
        const CaptureRows* rows = held_ != nullptr ? continuousList_->rows() : boundedRows_.get();
        std::string verdict;
        if (analysis_ != nullptr && rows != nullptr && row < rows->RowCount()) {
            verdict = analysis_->rows().CellsOfItem(rows->view(), rows->ItemOfRow(row)).verdict;
        }
        text = QStringLiteral("Row %1: %2").arg(row + 1).arg(QString::fromLatin1(verdict)) + where;
    } else {
        text = QStringLiteral("Found \"%1\" in row %2").arg(searchText_).arg(row + 1) + where;
        if (findDialog_ != nullptr) {
            findDialog_->SetStatus(QStringLiteral("Row %1").arg(row + 1) + where);
        }
    }
    ShowNotice(text);
}

void MainWindow::OnSearchNotFound() {
    if (searchText_.isEmpty()) {
        ShowNotice(QStringLiteral("No packet with a problem among the rows shown."));
        return;
    }
    ShowNotice(QStringLiteral("\"%1\" not found in the rows shown.").arg(searchText_));
    if (findDialog_ != nullptr) findDialog_->SetStatus(QStringLiteral("Not found"));
}

FindDialog* MainWindow::findDialog() {
    if (findDialog_ == nullptr) {
        findDialog_ = new FindDialog(this);
        connect(findDialog_, &FindDialog::FindWanted, this, &MainWindow::FindText);
    }
    return findDialog_;
}

void MainWindow::OnFindClicked() {
    FindDialog* dialog = findDialog();
    dialog->show();
    dialog->raise();
    dialog->activateWindow();
    dialog->textEdit()->selectAll();
    dialog->textEdit()->setFocus();
}

StatisticsWindow* MainWindow::statisticsWindow() {
    if (statisticsWindow_ == nullptr) {
        statisticsWindow_ = new StatisticsWindow(this);
        connect(statisticsWindow_, &StatisticsWindow::RefreshWanted, this, [this] {
            UpdateAnalysis();
            statisticsWindow_->Refresh();
        });
        connect(statisticsWindow_, &StatisticsWindow::CsvFileWanted, this,
                &MainWindow::OnStatisticsCsvWanted);
        statisticsWindow_->SetStatistics(analysis_ != nullptr ? &analysis_->statistics() : nullptr);
    }
    return statisticsWindow_;
}

void MainWindow::OnStatisticsClicked() {
    StatisticsWindow* window = statisticsWindow();
    UpdateAnalysis();
    window->Refresh();
    window->show();
    window->raise();
    window->activateWindow();
}

void MainWindow::OnStatisticsCsvWanted() {
    if (analysis_ == nullptr) return;
    const QString target =
        askFileName_(statisticsWindow_, FileQuestion::SaveStatistics, QDir::currentPath());
    if (target.isEmpty()) return;
    UpdateAnalysis();
    const std::string to = LocalPath(target);
    errno = 0;
    std::ofstream out(to, std::ios::binary | std::ios::trunc);
    out << LineStatisticsCsv(analysis_->statistics());
    out.close();
    if (!out) ShowError("Error writing statistics: " + ErrnoText(to));
}

}  // namespace orvane
