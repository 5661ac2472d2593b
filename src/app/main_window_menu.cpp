// The main window's menu bar: File (open, save and export captures, Save Log, recent captures,
// Quit) and View (the view options and filter boxes, kept in step with the controls; the
// analysis columns, problems, Find and Statistics).
#include <QAction>
#include <QActionGroup>
#include <QCheckBox>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>
#include <QRadioButton>

#include "app/main_window.hpp"
#include "app/program.hpp"
#include "settings/analysis_settings.hpp"
#include "ui/dialog_frame.hpp"

namespace orvane {
namespace {

constexpr const char* kFilterCaptions[6] = {"Time Sense",   "Time Reply",   "Status Sense",
                                            "Status Reply", "Display ACKs", "Disp. Dev Type"};

std::size_t IndexOf(MenuCommand command) { return static_cast<std::size_t>(command); }

}  // namespace

QAction* MainWindow::menuAction(MenuCommand command) const {
    return menuActions_[IndexOf(command)];
}

QAction* MainWindow::filterAction(int id) const {
    for (std::size_t i = 0; i < filterBoxes_.size(); ++i) {
        if (filterBoxes_[i]->objectName() == ControlName(id)) return filterActions_[i];
    }
    return nullptr;
}

void MainWindow::AddMenuBar() {
    if (menuBar_ != nullptr) return;
    menuBar_ = new QMenuBar(this);
    menuBar_->setObjectName(QStringLiteral("menuBar"));
    // Titles and items without access keys: Alt with a letter stays with the window's controls
    // (&Capture, Save &Log, &Set Up), exactly as without a menu bar.
    QMenu* file = menuBar_->addMenu(QStringLiteral("File"));
    const auto add = [&](QMenu* menu, MenuCommand command, const char* text,
                         const QKeySequence& keys, auto handler) {
        QAction* action = menu->addAction(QString::fromLatin1(text));
        action->setShortcut(keys);
        connect(action, &QAction::triggered, this, handler);
        menuActions_[IndexOf(command)] = action;
        return action;
    };
    add(file, MenuCommand::OpenCapture, "Open Capture...", QKeySequence(Qt::CTRL | Qt::Key_O),
        &MainWindow::OnOpenCaptureClicked);
    add(file, MenuCommand::SaveCaptureAs, "Save Capture As...",
        QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S), &MainWindow::OnSaveCaptureAsClicked);
    add(file, MenuCommand::ExportForWireshark, "Export for Wireshark...", QKeySequence(),
        &MainWindow::OnExportClicked);
    add(file, MenuCommand::SaveLog, "Save Log...", QKeySequence(), &MainWindow::OnSaveLogClicked);
    recentMenu_ = file->addMenu(QStringLiteral("Recent Captures"));
    // The list is read from the settings after the window is built, and changes as files are
    // opened and saved: it is filled whenever the menu opens.
    connect(file, &QMenu::aboutToShow, this, &MainWindow::FillRecentMenu);
    file->addSeparator();
    add(file, MenuCommand::Quit, "Quit", QKeySequence(Qt::CTRL | Qt::Key_Q), &QWidget::close);

    QMenu* view = menuBar_->addMenu(QStringLiteral("View"));
    QAction* packetView = add(view, MenuCommand::PacketView, "Packet View", QKeySequence(),
                              [this] { OnViewOptionClicked(packetOption_); });
    QAction* byteView = add(view, MenuCommand::ByteView, "Byte View", QKeySequence(),
                            [this] { OnViewOptionClicked(byteOption_); });
    view->addSeparator();
    for (std::size_t i = 0; i < filterBoxes_.size(); ++i) {
        QCheckBox* box = filterBoxes_[i];
        QAction* action = view->addAction(QString::fromLatin1(kFilterCaptions[i]));
        action->setCheckable(true);
        // The action does what a click on the box does.
        connect(action, &QAction::triggered, this, [this, box](bool checked) {
            box->setChecked(checked);
            OnFilterClicked();
        });
        filterActions_[i] = action;
    }
    // The controls lead: every change of a box or option, by click or by the settings, shows
    // in the menu at once.
    for (std::size_t i = 0; i < filterBoxes_.size(); ++i) {
        filterActions_[i]->setChecked(filterBoxes_[i]->isChecked());
        connect(filterBoxes_[i], &QAbstractButton::toggled, filterActions_[i],
                &QAction::setChecked);
    }
    // One of the two views, shown as options; one chosen again stays chosen, as a click on it
    // does. Both are set from the controls, which the settings may set both for a moment.
    auto* views = new QActionGroup(view);
    for (QAction* action : {packetView, byteView}) {
        action->setCheckable(true);
        views->addAction(action);
    }
    const auto showViewOptions = [this, packetView, byteView] {
        packetView->setChecked(packetOption_->isChecked());
        byteView->setChecked(byteOption_->isChecked());
    };
    showViewOptions();
    for (QRadioButton* option : {packetOption_, byteOption_}) {
        connect(option, &QAbstractButton::toggled, this, showViewOptions);
    }

    // The analysis: its two columns (the choice is kept in the settings file), the rows with a
    // problem, Find, and the line's figures.
    view->addSeparator();
    QAction* columns = add(view, MenuCommand::AnalysisColumns, "Analysis Columns", QKeySequence(),
                           [this](bool checked) {
                               SetAnalysisColumnsShown(checked);
                               SaveAnalysisColumns(checked);
                           });
    columns->setCheckable(true);
    columns->setChecked(analysisColumns_);
    add(view, MenuCommand::NextProblem, "Next Problem", QKeySequence(Qt::Key_F8),
        [this] { GoToProblem(true); });
    add(view, MenuCommand::PreviousProblem, "Previous Problem",
        QKeySequence(Qt::SHIFT | Qt::Key_F8), [this] { GoToProblem(false); });
    add(view, MenuCommand::Find, "Find...", QKeySequence(Qt::CTRL | Qt::Key_F),
        &MainWindow::OnFindClicked);
    view->addSeparator();
    add(view, MenuCommand::Statistics, "Statistics...", QKeySequence(),
        &MainWindow::OnStatisticsClicked);

    FillRecentMenu();
    UpdateCommands();
    // The client area keeps its size: the window grows by the bar.
    const int barHeight = menuBar_->sizeHint().height();
    menuBar_->show();  // a child added to a window already shown stays hidden until told
    resize(width(), height() + barHeight);
    CentreOnScreen(this);
}

}  // namespace orvane
