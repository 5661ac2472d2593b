// The Setup dialog: the capture unit's address and port, the protocol to decode, and how Capture
// runs (bounded or continuous, and where continuous captures write their files).
#include "ui/setup_dialog.hpp"

#include <QButtonGroup>
#include <QCheckBox>
#include <QFile>
#include <QFileDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>

#include "platform/text_codec.hpp"
#include "settings/settings_store.hpp"  // ParsePortText
#include "ui/background_graphic.hpp"
#include "ui/dialog_frame.hpp"
#include "ui/dialog_units.hpp"
#include "ui/ip_address_edit.hpp"
#include "ui/look.hpp"
#include "ui/owner_button.hpp"

namespace orvane {
namespace {

constexpr int kIdProtocolLabel = 2015;
constexpr int kIdProtocolGroup = 100;
constexpr int kIdPortLabel = 2010;
constexpr int kIdAddressLabel = 2000;
constexpr int kIdAddress = 115;
constexpr int kIdPort = 120;
constexpr int kIdOptionIds[3] = {125, 130, 135};
constexpr int kIdOk = 140;
constexpr int kIdCancel = 2;
constexpr int kIdContinuous = 145;
constexpr int kIdFolderLabel = 2020;
constexpr int kIdFolder = 150;
constexpr int kIdBrowse = 155;
// The classic dialog and the height the capture controls add below it.
constexpr QSize kClassicSizeDu(224, 138);
constexpr int kCaptureRowsDu = 40;

QLabel* AddLabel(QWidget* parent, const DialogUnits& units, int id, const QString& text,
                 const QRect& rectDu, Qt::Alignment alignment) {
    auto* label = new QLabel(text, parent);
    PlaceControl(label, id, units, rectDu);
    label->setAlignment(alignment | Qt::AlignVCenter);
    return label;
}

}  // namespace

ConnectionSettings ApplySetupInput(const ConnectionSettings& old, const SetupInput& input) {
    ConnectionSettings result = old;
    if (IsValidAddress(input.addressText)) result.captureUnitAddress = input.addressText;
    const std::int32_t port = input.portText.empty() ? 0 : ParsePortText(input.portText);
    if (port > 0) result.captureUnitPort = port;
    // The options stand in the order of the modes' numbers.
    result.protocolMode = ProtocolModeFromNumber(input.checkedProtocol);
    return result;
}

SetupDialog::SetupDialog(QWidget* owner, const Look& look, const ConnectionSettings& settings,
                         const CaptureSettings& capture)
    : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                         Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                         Qt::WindowCloseButtonHint),
      settings_(settings),
      capture_(capture) {
    setWindowTitle(QStringLiteral("Orvane Setup"));
    ApplyWindowLook(this);
    const DialogUnits units(font());
    const QSize sizeDu(kClassicSizeDu.width(), kClassicSizeDu.height() + kCaptureRowsDu);
    setFixedSize(units.ToPixels(sizeDu));

    new BackgroundGraphic(this, units.ToPixels(sizeDu));
    PaintGradientBackground(this, 128, 70, 137);

    QLabel* protocolLabel = AddLabel(this, units, kIdProtocolLabel, QStringLiteral("Protocol"),
                                     QRect(8, 53, 208, 7), Qt::AlignHCenter);
    auto* group = new QGroupBox(this);
    PlaceControl(group, kIdProtocolGroup, units, QRect(8, 57, 208, 27));
    // The caption sits on the group box's top edge, so it must stand in front of it.
    protocolLabel->raise();
    AddLabel(this, units, kIdPortLabel, QStringLiteral("Port:"), QRect(11, 32, 19, 12),
             Qt::AlignLeft);
    AddLabel(this, units, kIdAddressLabel, QStringLiteral("IP Address:"), QRect(11, 12, 40, 12),
             Qt::AlignLeft);

    addressEdit_ = new IpAddressEdit(this);
    PlaceControl(addressEdit_, kIdAddress, units, QRect(56, 10, 85, 12));
    QPalette white = addressEdit_->palette();
    for (QPalette::ColorRole role : {QPalette::Window, QPalette::Base}) {
        white.setColor(role, PaletteColor(kPaletteWhite));
    }
    white.setColor(QPalette::Text, PaletteColor(kPaletteBlack));
    addressEdit_->setPalette(white);
    addressEdit_->SetAddressText(FromWindows1252(settings_.captureUnitAddress));

    portEdit_ = new QLineEdit(QString::number(settings_.captureUnitPort), this);
    PlaceControl(portEdit_, kIdPort, units, QRect(56, 30, 40, 12));
    portEdit_->setAlignment(Qt::AlignCenter);
    portEdit_->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), portEdit_));

    const QString optionCaptions[3] = {QStringLiteral("Sony"), QStringLiteral("Odetics"),
                                       QStringLiteral("VDCP (Louth)")};
    const QRect optionRects[3] = {QRect(35, 66, 32, 12), QRect(88, 66, 40, 12),
                                  QRect(141, 66, 59, 12)};
    auto* optionGroup = new QButtonGroup(this);
    for (int i = 0; i < 3; ++i) {
        options_[static_cast<std::size_t>(i)] = new QRadioButton(optionCaptions[i], this);
        PlaceControl(options_[static_cast<std::size_t>(i)], kIdOptionIds[i], units, optionRects[i]);
        optionGroup->addButton(options_[static_cast<std::size_t>(i)], i);
    }
    protocolOption(settings_.protocolMode)->setChecked(true);

    okButton_ = new OwnerButton(QStringLiteral("&Ok"), look.Font(kAnsiVarFont), this);
    PlaceControl(okButton_, kIdOk, units, QRect(20, 96, 53, 27));
    cancelButton_ = new OwnerButton(QStringLiteral("&Cancel"), look.Font(kAnsiVarFont), this);
    PlaceControl(cancelButton_, kIdCancel, units, QRect(151, 96, 53, 27));
    connect(okButton_, &QPushButton::clicked, this, &SetupDialog::SetupOk);
    connect(cancelButton_, &QPushButton::clicked, this, &QDialog::reject);

    // How Capture runs, below the classic controls so that they keep their places.
    continuousBox_ = new QCheckBox(QStringLiteral("Continuous capture"), this);
    PlaceControl(continuousBox_, kIdContinuous, units, QRect(11, 134, 120, 12));
    continuousBox_->setChecked(capture_.continuous);
    AddLabel(this, units, kIdFolderLabel, QStringLiteral("Capture folder:"), QRect(11, 152, 52, 12),
             Qt::AlignLeft);
    folderEdit_ = new QLineEdit(QFile::decodeName(capture_.folder.c_str()), this);
    PlaceControl(folderEdit_, kIdFolder, units, QRect(64, 152, 112, 12));
    folderEdit_->setPalette(white);
    auto* browseButton =
        new OwnerButton(QStringLiteral("Browse..."), look.Font(kAnsiVarFont), this);
    PlaceControl(browseButton, kIdBrowse, units, QRect(180, 150, 36, 14));
    browseButton->setAutoDefault(false);
    connect(browseButton, &QPushButton::clicked, this, &SetupDialog::BrowseFolder);
}

void SetupDialog::BrowseFolder() {
    const QString folder = QFileDialog::getExistingDirectory(this, QStringLiteral("Capture Folder"),
                                                             folderEdit_->text());
    if (!folder.isEmpty()) folderEdit_->setText(folder);
}

QRadioButton* SetupDialog::protocolOption(ProtocolMode mode) const {
    return options_[static_cast<std::size_t>(ProtocolNumber(mode))];
}

SetupInput SetupDialog::ReadInput() const {
    SetupInput input;
    input.addressText = ToWindows1252(addressEdit_->AddressText());
    input.portText = ToWindows1252(portEdit_->text());
    for (int i = 0; i < 3; ++i) {
        if (options_[static_cast<std::size_t>(i)]->isChecked()) {
            input.checkedProtocol = i;
            break;
        }
    }
    return input;
}

void SetupDialog::SetupOk() {
    settings_ = ApplySetupInput(settings_, ReadInput());
    capture_.continuous = continuousBox_->isChecked();
    // An emptied folder field keeps the folder, as an emptied port keeps the port.
    const QString folder = folderEdit_->text().trimmed();
    if (!folder.isEmpty()) capture_.folder = QFile::encodeName(folder).toStdString();
    accept();
}

std::optional<SetupChoice> RunSetupDialog(QWidget* owner, const Look& look,
                                          const ConnectionSettings& settings,
                                          const CaptureSettings& capture) {
    SetupDialog dialog(owner, look, settings, capture);
    CentreOnScreen(&dialog);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return SetupChoice{dialog.settings(), dialog.captureSettings()};
}

}  // namespace orvane
