// The main window: four buttons, the view choice and filter boxes on a grey band, two lists, the
// status bar; it applies the user's commands to the program's data.
#pragma once

#include <QElapsedTimer>
#include <QWidget>
#include <array>
#include <functional>
#include <iosfwd>
#include <memory>
#include <optional>
#include <string>

#include "capture/capture_file.hpp"
#include "ui/capture_file_dialogs.hpp"
#include "ui/control_ids.hpp"
#include "ui/dialog_units.hpp"
#include "ui/save_log.hpp"
#include "views/capture_lists.hpp"
#include "views/row_search.hpp"

class QAbstractButton;
class QAction;
class QCheckBox;
class QMenu;
class QMenuBar;
class QRadioButton;
class QStatusBar;
class QTableView;

namespace orvane {

class CaptureAnalysis;
class CaptureRows;
class CaptureSequence;
class ContinuousCapture;
class ContinuousList;
class FindDialog;
class ListSearch;
class ListTableModel;
class LiveCapture;
class OwnerButton;
class ProtocolOffer;
class StatisticsWindow;
struct Program;

// The commands of the menu bar, for tests and for keeping them in step with the controls.
enum class MenuCommand {
    OpenCapture,
    SaveCaptureAs,
    ExportForWireshark,
    SaveLog,
    Quit,
    PacketView,
    ByteView,
    AnalysisColumns,
    NextProblem,
    PreviousProblem,
    Find,
    Statistics,
};
inline constexpr std::size_t kMenuCommandCount =
    static_cast<std::size_t>(MenuCommand::Statistics) + 1;

class MainWindow : public QWidget, public ViewState {
    Q_OBJECT
  public:
    explicit MainWindow(Program& program, QWidget* parent = nullptr);
    ~MainWindow() override;

    // ViewState, for the list refresh. The view options and filter boxes as they stand.
    ViewOptions GetViewOptions() const override;
    void SetStatusText(std::string_view text) override;
    void ShowList(ViewKind view) override;

    // Sets the two view options and the six filter boxes, as the settings file gives them;
    // runs no click handler, so the lists stay as they are.
    void SetViewOptions(const ViewOptions& options);

    // Sizes the window so that its client area, below the menu bar, is widthDu x heightDu dialog
    // units, centred on the screen. A size of nothing (none stored, or the window was closed
    // minimized) keeps the classic size.
    void RestoreClientSize(int widthDu, int heightDu);

    // The client size in dialog units after the last size change (0 before the first).
    int lastClientWidth() const { return lastClientWidth_; }
    int lastClientHeight() const { return lastClientHeight_; }

    const DialogUnits& units() const { return units_; }
    QTableView* listView(ViewKind view) const;
    ListTableModel* tableModel(ViewKind view) const;
    QStatusBar* statusBar() const { return statusBar_; }

    // The capture run by the Capture button, with its connection to the capture unit.
    CaptureSequence& captureSequence() const { return *capture_; }

    // Replaces the save-file dialog of "Save Log" (tests answer it themselves).
    void SetAskSaveFileName(AskSaveFileNameFunction ask) { askSaveFileName_ = std::move(ask); }
    // Replaces the file dialogs of Open Capture, Save Capture As and Export for Wireshark.
    void SetAskFileName(AskFileNameFunction ask) { askFileName_ = std::move(ask); }

    // The menu bar (File, View) above the controls, added once by the program's start-up. The
    // controls keep their places within the client area below it, and the window grows by the
    // bar's height so that the client area keeps its size. Titles carry no access keys, so
    // every Alt key of the controls works as before.
    void AddMenuBar();
    QMenuBar* menuBar() const { return menuBar_; }
    QAction* menuAction(MenuCommand command) const;
    // The View menu's action for a filter box id.
    QAction* filterAction(int id) const;
    // The area below the menu bar that holds every control.
    QWidget* clientArea() const { return client_; }
    QAbstractButton* captureButton() const;

    // Opens a capture file, a raw stream file too: a foreign or unreadable file is reported and
    // changes nothing. A continuous capture file is read in slices, rows showing as they come;
    // a damaged one up to the damage. False when nothing was opened.
    bool OpenCapture(const QString& path);

    // The continuous capture shown (live, stopped or opened), or null.
    const ContinuousCapture* heldCapture() const { return held_.get(); }
    // The list that shows it.
    ContinuousList& continuousList() const { return *continuousList_; }
    // The capture running now, or null.
    LiveCapture* liveCapture() const { return live_.get(); }

    // The analysis of the capture shown, held or bounded, or null when there is none.
    const CaptureAnalysis* analysis() const { return analysis_.get(); }
    // The Latency and Verdict columns in every list ("Analysis Columns" of the View menu; the
    // settings file keeps the choice, and the classic lists are the default).
    bool analysisColumnsShown() const { return analysisColumns_; }
    void SetAnalysisColumnsShown(bool shown);
    // The list on show: the held capture's, or the bounded Packet or Byte View.
    QTableView* shownList() const;

    // Next Problem (F8) and Previous Problem (Shift+F8): the next row of the list on show, after
    // or before the current one and round its end, whose packet has a verdict. Find: the next
    // row whose bytes, description or verdict hold `text`, without regard to case. Both look
    // through the rows in slices with the window served between them; the row found becomes
    // current, and the status bar says when there is none.
    void GoToProblem(bool forward);
    void FindText(const QString& text, bool forward);
    bool searching() const;

    // Made when first asked for.
    FindDialog* findDialog();
    StatisticsWindow* statisticsWindow();
    // The offer to regroup under the other protocol, in the status bar.
    ProtocolOffer* protocolOffer() const { return protocolOffer_; }

  public slots:
    // The four buttons' click handlers.
    void OnCaptureClicked();
    void OnClearClicked();
    void OnSaveLogClicked();
    void OnSetupClicked();
    // The File menu's commands.
    void OnOpenCaptureClicked();
    void OnSaveCaptureAsClicked();
    void OnExportClicked();
    // The View menu's analysis commands.
    void OnFindClicked();
    void OnStatisticsClicked();

  protected:
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

  private:
    // Where a held continuous capture's reads are on disk.
    struct HeldSource {
        std::string path;          // the capture file, or the raw stream file
        bool captureFile = false;  // pcapng written by a capture, rather than a raw stream
        CaptureFileInfo info;
    };

    void BuildControls();
    void OnViewOptionClicked(QRadioButton* clicked);
    void OnFilterClicked();
    // ClearLists, ShowListForView, RefreshList: the view, filter and protocol change sequence.
    void ReshowList();
    void RefreshList();
    void RecordClientSize(int widthPx, int heightPx);
    int MenuBarHeight() const;

    // The continuous display: a held capture replaces the bounded lists until the next bounded
    // capture or Clear.
    void HoldCapture(std::unique_ptr<ContinuousCapture> capture, HeldSource source);
    void DropHeldCapture();
    void ShowHeldRows();
    void StartLiveCapture();
    void OnLiveTick();
    void OnLiveEnded();
    void ShowCaptureStatus();
    void UpdateCommands();

    // The analysis (main_window_analysis.cpp). AttachAnalysis lets go of the old analysis
    // everywhere before it goes and hands the new one to the lists and the Statistics window.
    void AttachAnalysis(std::unique_ptr<CaptureAnalysis> analysis);
    // The bounded lists' analysis: made anew for new reads or another protocol, and their rows
    // for the view and filter choice, before a refill.
    void SyncBoundedAnalysis();
    // Takes in what the capture completed; the list repaints what changed.
    void UpdateAnalysis();
    // After a capture or an open: offers the other protocol when the bytes read better as it.
    void OfferBetterProtocol();
    // The protocol chosen as Set Up chooses it: saved, and the capture shown grouped again.
    void ApplyProtocol(ProtocolMode protocolMode);
    void RegroupShownCapture();
    void StartSearch(bool forward, RowSearch::SpanSearch span);
    void OnSearchFound(quint64 row, bool wrapped);
    void OnSearchNotFound();
    void OnStatisticsCsvWanted();
    // A message in the status bar that a live capture's account leaves standing for a while.
    void ShowNotice(const QString& text);
    bool NoticeShowing() const;

    // Opening files.
    // `in` is the opened file at `path`.
    bool OpenContinuousFile(std::ifstream& in, const std::string& path, bool captureFile,
                            const CaptureFileInfo& info);
    bool OpenBoundedFile(std::ifstream& in, const std::string& path, bool captureFile,
                         const CaptureFileInfo& info);
    // A damaged capture file: the user is told that what came before the damage is shown.
    void ShowDamage(const std::string& path, const std::string& damage);
    void RememberRecent(const std::string& path);
    void FillRecentMenu();
    void ShowError(const std::string& text);

    // Save Log: nothing for a list without rows or a cancelled question. After a confirmed
    // choice the current directory is the chosen file's folder, as with the platform's classic
    // save dialog (the settings file follows it); `write` then writes the log at the path in the
    // file system's encoding, and a failure is reported.
    using WriteLogFunction = std::function<LogWriteResult(const std::string& path)>;
    void WriteLog(bool hasRows, const WriteLogFunction& write);

    Program& program_;
    DialogUnits units_;
    int lastClientWidth_ = 0;
    int lastClientHeight_ = 0;

    QWidget* client_ = nullptr;
    std::array<OwnerButton*, 4> buttons_{};  // Capture, Clear, Save Log, Set Up
    QRadioButton* packetOption_ = nullptr;
    QRadioButton* byteOption_ = nullptr;
    std::array<QCheckBox*, 6> filterBoxes_{};
    QTableView* packetTable_ = nullptr;
    QTableView* byteTable_ = nullptr;
    ListTableModel* packetModel_ = nullptr;
    ListTableModel* byteModel_ = nullptr;
    QStatusBar* statusBar_ = nullptr;
    std::unique_ptr<CaptureSequence> capture_;
    AskSaveFileNameFunction askSaveFileName_ = AskSaveFileName;
    AskFileNameFunction askFileName_ = AskFileName;

    QMenuBar* menuBar_ = nullptr;
    std::array<QAction*, kMenuCommandCount> menuActions_{};
    std::array<QAction*, 6> filterActions_{};
    QMenu* recentMenu_ = nullptr;

    ContinuousList* continuousList_ = nullptr;
    std::unique_ptr<ContinuousCapture> held_;
    HeldSource heldSource_;
    std::unique_ptr<LiveCapture> live_;
    // The protocol a bounded capture opened from a file is grouped and described under; empty
    // for a capture taken here, which follows Set Up.
    std::optional<ProtocolMode> fileProtocol_;
    std::optional<ProtocolMode> pendingFileProtocol_;
    bool opening_ = false;  // a file is being read

    std::unique_ptr<CaptureAnalysis> analysis_;
    std::unique_ptr<CaptureRows> boundedRows_;  // the bounded list's rows over analysis_
    bool boundedStale_ = true;                  // new bounded reads: the analysis is made anew
    bool analysisColumns_ = false;
    ListSearch* search_ = nullptr;
    // What the search under way looks for: a problem, or this text.
    QString searchText_;
    bool searchForward_ = true;
    FindDialog* findDialog_ = nullptr;
    StatisticsWindow* statisticsWindow_ = nullptr;
    ProtocolOffer* protocolOffer_ = nullptr;
    ProtocolMode offeredProtocol_ = ProtocolMode::kSony;
    QElapsedTimer notice_;
};

}  // namespace orvane
