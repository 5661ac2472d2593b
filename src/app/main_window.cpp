// The main window: four buttons, the view choice and filter boxes on a grey band, two lists, the
// status bar; it applies the user's commands to the program's data.
#include "app/main_window.hpp"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QMenuBar>
#include <QRadioButton>
#include <QStatusBar>
#include <QTableView>

#include "app/capture_analysis.hpp"
#include "app/capture_sequence.hpp"
#include "app/list_search.hpp"
#include "app/live_capture.hpp"
#include "app/program.hpp"
#include "capture/continuous_capture.hpp"
#include "platform/text_codec.hpp"
#include "settings/settings_store.hpp"
#include "ui/background_graphic.hpp"
#include "ui/capture_rows_model.hpp"
#include "ui/continuous_list.hpp"
#include "ui/dialog_frame.hpp"
#include "ui/list_table_model.hpp"
#include "ui/owner_button.hpp"
#include "ui/program_icon.hpp"
#include "ui/protocol_offer.hpp"
#include "ui/report_list.hpp"
#include "views/capture_rows.hpp"

namespace orvane {
namespace {

constexpr float kVersion = 1.07f;
constexpr QSize kClientSizeDu(571, 414);
constexpr QSize kBandSizePx(1920, 75);
constexpr QPoint kListOriginDu(8, 47);

struct ButtonSpec {
    int id;
    const char* caption;
    QRect rectDu;
};

constexpr ButtonSpec kButtons[4] = {
    {kIdCaptureButton, "&Capture", QRect(10, 10, 53, 30)},
    {kIdClearButton, "Clear", QRect(75, 10, 53, 30)},
    {kIdSaveLogButton, "Save &Log", QRect(140, 10, 53, 30)},
    {kIdSetupButton, "&Set Up", QRect(205, 10, 53, 30)},
};

struct FilterBoxSpec {
    int id;
    const char* caption;
    QRect rectDu;
    bool FilterFlags::*flag;
};

constexpr FilterBoxSpec kFilterBoxes[6] = {
    {kIdTimeSense, "Time Sense", QRect(357, 8, 60, 15), &FilterFlags::timeSense},
    {kIdTimeReply, "Time Reply", QRect(357, 26, 60, 15), &FilterFlags::timeReply},
    {kIdStatusSense, "Status Sense", QRect(424, 8, 60, 15), &FilterFlags::statusSense},
    {kIdStatusReply, "Status Reply", QRect(424, 26, 60, 15), &FilterFlags::statusReply},
    {kIdDisplayAcks, "Display ACKs", QRect(496, 8, 60, 15), &FilterFlags::displayAcks},
    {kIdDevTypeFilter, "Disp. Dev Type", QRect(496, 26, 70, 15), &FilterFlags::dispDevType},
};

QString Caption() {
    return QStringLiteral("Orvane by Kestrane Version ") + QString::number(kVersion);
}

}  // namespace

MainWindow::MainWindow(Program& program, QWidget* parent)
    : QWidget(parent), program_(program), units_(DialogFont()) {
    setWindowTitle(Caption());
    setWindowIcon(ProgramIcon());
    ApplyWindowLook(this);
    BuildControls();
    program_.captureLists.hooks.beforeChange = [this](ViewKind view) {
        tableModel(view)->BeginChange();
    };
    program_.captureLists.hooks.afterChange = [this](ViewKind view) {
        tableModel(view)->EndChange();
    };
    // A bounded capture (or a bounded file) replaces whatever was shown, continuous or not.
    capture_ = std::make_unique<CaptureSequence>(
        this, program_.look, program_.captureModel, program_.settings, program_.trace,
        CaptureHooks{[this](const std::string& text) { SetStatusText(text); },
                     [this] {
                         DropHeldCapture();
                         fileProtocol_ = pendingFileProtocol_;
                         boundedStale_ = true;
                         RefreshList();
                         UpdateCommands();
                         OfferBetterProtocol();
                     }});
    setAcceptDrops(true);
    resize(units_.ToPixels(kClientSizeDu));
    CentreOnScreen(this);
}

MainWindow::~MainWindow() {
    live_.reset();
    program_.captureLists.hooks = ListHooks{};
    AttachAnalysis(nullptr);
}

void MainWindow::BuildControls() {
    // Every control lives in the client area, which a menu bar, when there is one, stands above.
    client_ = new QWidget(this);
    client_->setObjectName(QStringLiteral("clientArea"));
    // The band's size is given in pixels and goes through dialog units, as every control does.
    const QSize bandDu(units_.FromPixelsX(kBandSizePx.width()),
                       units_.FromPixelsY(kBandSizePx.height()));
    new BackgroundGraphic(client_, units_.ToPixels(bandDu));
    PaintGradientBackground(this, 194, 24, 47);

    for (std::size_t i = 0; i < buttons_.size(); ++i) {
        const ButtonSpec& control = kButtons[i];
        buttons_[i] = new OwnerButton(QString::fromLatin1(control.caption),
                                      program_.look.Font(kAnsiVarFont), client_);
        PlaceControl(buttons_[i], control.id, units_, control.rectDu);
    }
    connect(buttons_[0], &QPushButton::clicked, this, &MainWindow::OnCaptureClicked);
    connect(buttons_[1], &QPushButton::clicked, this, &MainWindow::OnClearClicked);
    connect(buttons_[2], &QPushButton::clicked, this, &MainWindow::OnSaveLogClicked);
    connect(buttons_[3], &QPushButton::clicked, this, &MainWindow::OnSetupClicked);

    packetOption_ = new QRadioButton(QStringLiteral("Packet View"), client_);
    PlaceControl(packetOption_, kIdPacketView, units_, QRect(280, 8, 60, 15));
    byteOption_ = new QRadioButton(QStringLiteral("Byte View"), client_);
    PlaceControl(byteOption_, kIdByteView, units_, QRect(280, 26, 60, 15));
    for (QRadioButton* option : {packetOption_, byteOption_}) {
        // The pair is kept exclusive by the click handler, so that the settings can set each
        // option on its own.
        option->setAutoExclusive(false);
        connect(option, &QRadioButton::clicked, this,
                [this, option] { OnViewOptionClicked(option); });
    }

    for (std::size_t i = 0; i < filterBoxes_.size(); ++i) {
        const FilterBoxSpec& control = kFilterBoxes[i];
        filterBoxes_[i] = new QCheckBox(QString::fromLatin1(control.caption), client_);
        PlaceControl(filterBoxes_[i], control.id, units_, control.rectDu);
        connect(filterBoxes_[i], &QCheckBox::clicked, this, &MainWindow::OnFilterClicked);
    }

    const QRect listDu(kListOriginDu, QSize(555, 320));
    packetModel_ = new ListTableModel(program_.captureLists.packetList, this);
    packetTable_ = CreateReportList(client_, packetModel_, program_.captureLists.packetList);
    PlaceControl(packetTable_, kIdPacketList, units_, listDu);
    byteModel_ = new ListTableModel(program_.captureLists.byteList, this);
    byteTable_ = CreateReportList(client_, byteModel_, program_.captureLists.byteList);
    PlaceControl(byteTable_, kIdByteList, units_, listDu);
    // The list of a continuous capture takes the place of both while one is held.
    continuousList_ = new ContinuousList(client_, program_.captureLists);
    continuousList_->view()->setObjectName(QStringLiteral("continuousList"));
    continuousList_->SetGeometry(units_.ToPixels(listDu));

    statusBar_ = new QStatusBar(client_);
    statusBar_->setObjectName(ControlName(kIdStatusBar));
    statusBar_->setSizeGripEnabled(true);
    protocolOffer_ = new ProtocolOffer(statusBar_);
    statusBar_->addPermanentWidget(protocolOffer_);
    connect(protocolOffer_, &ProtocolOffer::SwitchChosen, this,
            [this] { ApplyProtocol(offeredProtocol_); });

    // A search reads the rows of the list on show: a new fill or row choice ends it.
    search_ = new ListSearch(this);
    connect(search_, &ListSearch::Found, this, &MainWindow::OnSearchFound);
    connect(search_, &ListSearch::NotFound, this, &MainWindow::OnSearchNotFound);
    connect(search_, &ListSearch::Progress, this, [this](int perMille) {
        ShowNotice(QStringLiteral("Searching... %1%").arg(perMille / 10));
    });
    for (QAbstractItemModel* model : {static_cast<QAbstractItemModel*>(packetModel_),
                                      static_cast<QAbstractItemModel*>(byteModel_)}) {
        connect(model, &QAbstractItemModel::modelAboutToBeReset, search_, &ListSearch::Cancel);
    }
    // The continuous list's model is also reset when its page moves, which leaves the rows as
    // they were.
    connect(continuousList_, &ContinuousList::RowsReplaced, search_, &ListSearch::Cancel);
}

ViewOptions MainWindow::GetViewOptions() const {
    ViewOptions options;
    options.view = byteOption_->isChecked() ? ViewKind::Byte : ViewKind::Packet;
    for (std::size_t i = 0; i < filterBoxes_.size(); ++i) {
        options.filters.*kFilterBoxes[i].flag = filterBoxes_[i]->isChecked();
    }
    return options;
}

void MainWindow::SetViewOptions(const ViewOptions& options) {
    packetOption_->setChecked(options.view == ViewKind::Packet);
    byteOption_->setChecked(options.view == ViewKind::Byte);
    for (std::size_t i = 0; i < filterBoxes_.size(); ++i) {
        filterBoxes_[i]->setChecked(options.filters.*kFilterBoxes[i].flag);
    }
}

void MainWindow::SetStatusText(std::string_view text) {
    if (text.empty()) {
        statusBar_->clearMessage();
    } else {
        statusBar_->showMessage(FromWindows1252(text));
    }
}

void MainWindow::ShowList(ViewKind view) {
    search_->Cancel();
    const bool held = held_ != nullptr;
    packetTable_->setVisible(!held && view == ViewKind::Packet);
    byteTable_->setVisible(!held && view == ViewKind::Byte);
    continuousList_->SetVisible(held);
}

QAbstractButton* MainWindow::captureButton() const { return buttons_[0]; }

QTableView* MainWindow::listView(ViewKind view) const {
    return view == ViewKind::Packet ? packetTable_ : byteTable_;
}

ListTableModel* MainWindow::tableModel(ViewKind view) const {
    return view == ViewKind::Packet ? packetModel_ : byteModel_;
}

void MainWindow::RecordClientSize(int widthPx, int heightPx) {
    lastClientWidth_ = units_.FromPixelsX(widthPx);
    lastClientHeight_ = units_.FromPixelsY(heightPx);
    const QRect listDu(kListOriginDu, QSize(std::max(0, lastClientWidth_ - 14),
                                            std::max(0, lastClientHeight_ - 60)));
    packetTable_->setGeometry(units_.ToPixels(listDu));
    byteTable_->setGeometry(units_.ToPixels(listDu));
    continuousList_->SetGeometry(units_.ToPixels(listDu));
}

void MainWindow::RestoreClientSize(int widthDu, int heightDu) {
    if (widthDu <= 0 || heightDu <= 0) return;
    resize(units_.ToPixels(QSize(widthDu, heightDu)) + QSize(0, MenuBarHeight()));
    CentreOnScreen(this);
}

int MainWindow::MenuBarHeight() const {
    return menuBar_ != nullptr ? menuBar_->sizeHint().height() : 0;
}

void MainWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    const int top = MenuBarHeight();
    if (menuBar_ != nullptr) menuBar_->setGeometry(0, 0, width(), top);
    client_->setGeometry(0, top, width(), std::max(0, height() - top));
    RecordClientSize(client_->width(), client_->height());
    const int statusHeight = statusBar_->sizeHint().height();
    statusBar_->setGeometry(0, client_->height() - statusHeight, width(), statusHeight);
    update();
}

void MainWindow::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() != QEvent::WindowStateChange) return;
    // A minimized window reports a client area of nothing; that is the size saved at close.
    if (isMinimized()) {
        RecordClientSize(0, 0);
    } else {
        RecordClientSize(width(), std::max(0, height() - MenuBarHeight()));
    }
}

void MainWindow::closeEvent(QCloseEvent* event) {
    // A running capture ends with its file closed whole.
    live_.reset();
    program_.captureLists.fillAbort = true;
    SaveWindowSize(lastClientWidth_, lastClientHeight_);
    SaveViewOptions(GetViewOptions());
    QCoreApplication::processEvents();
    event->accept();
}

}  // namespace orvane
