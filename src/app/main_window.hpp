// The main window: four buttons, the view choice and filter boxes on a grey band, two lists, the
// status bar; it applies the user's commands to the program's data.
#pragma once

#include <QWidget>
#include <array>
#include <memory>

#include "settings/control_ids.hpp"
#include "ui/dialog_units.hpp"
#include "ui/save_log.hpp"
#include "views/list_views.hpp"

class QAbstractButton;
class QCheckBox;
class QRadioButton;
class QStatusBar;
class QTableView;

namespace orvane {

class CaptureSequence;
class ListTableModel;
class OwnerButton;
struct Program;

class MainWindow : public QWidget, public CheckStates, public ViewState {
    Q_OBJECT
  public:
    explicit MainWindow(Program& program, QWidget* parent = nullptr);
    ~MainWindow() override;

    // CheckStates: the two view options and the six filter boxes by id. A state other than 0
    // checks the control; setting a state runs no handler and leaves the other option alone.
    int GetCheckState(int id) const override;
    void SetCheckState(int id, int state) override;

    // ViewState, for the list refresh.
    bool IsByteViewSelected() const override;
    bool IsPacketViewSelected() const override;
    FilterFlags GetFilterFlags() const override;
    void SetStatusText(std::string_view text) override;
    void ShowList(ViewKind view) override;

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

  public slots:
    // The four buttons' click handlers.
    void OnCaptureClicked();
    void OnClearClicked();
    void OnSaveLogClicked();
    void OnSetupClicked();

  protected:
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    void BuildControls();
    QAbstractButton* CheckControl(int id) const;
    void OnViewOptionClicked(QRadioButton* clicked);
    void OnFilterClicked();
    // ClearLists, ShowListForView, RefreshList: the view, filter and protocol change sequence.
    void ReshowList();
    void RefreshList();
    void RecordClientSize(int widthPx, int heightPx);

    Program& program_;
    DialogUnits units_;
    int lastClientWidth_ = 0;
    int lastClientHeight_ = 0;

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
};

}  // namespace orvane
