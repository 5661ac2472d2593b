// The Setup dialog: the capture unit's address and port, the protocol to decode, and how Capture
// runs (bounded or continuous, and where continuous captures write their files).
#pragma once

#include <QDialog>
#include <array>
#include <optional>
#include <string_view>

#include "settings/capture_settings.hpp"
#include "settings/connection_settings.hpp"

class QCheckBox;
class QLineEdit;
class QRadioButton;

namespace orvane {

class IpAddressEdit;
class Look;
class OwnerButton;

// The values the dialog's "&Ok" reads: the dotted address text, the port text, and the index
// of the checked protocol option (-1 when none is checked).
struct SetupInput {
    std::string addressText;
    std::string portText;
    int checkedProtocol = -1;
};

// The settings that "&Ok" stores: an address that fails the address check and a port text
// that is empty or not above 0 keep the old values; the protocol is the checked option, Sony
// when none is checked. Invalid input is dropped silently.
ConnectionSettings ApplySetupInput(const ConnectionSettings& old, const SetupInput& input);

// Edits a copy of the connection and capture settings. "&Ok" accepts with the new values;
// "&Cancel", Escape and the close box reject and leave them as they were. The capture controls
// stand below the classic ones, which keep their places.
class SetupDialog : public QDialog {
    Q_OBJECT
  public:
    SetupDialog(QWidget* owner, const Look& look, const ConnectionSettings& settings,
                const CaptureSettings& capture = {});

    const ConnectionSettings& settings() const { return settings_; }
    const CaptureSettings& captureSettings() const { return capture_; }

    IpAddressEdit* addressEdit() const { return addressEdit_; }
    QLineEdit* portEdit() const { return portEdit_; }
    QRadioButton* protocolOption(ProtocolMode mode) const;
    OwnerButton* okButton() const { return okButton_; }
    OwnerButton* cancelButton() const { return cancelButton_; }
    QCheckBox* continuousBox() const { return continuousBox_; }
    QLineEdit* folderEdit() const { return folderEdit_; }

  private:
    void SetupOk();
    void BrowseFolder();
    SetupInput ReadInput() const;

    ConnectionSettings settings_;
    CaptureSettings capture_;
    QCheckBox* continuousBox_;
    QLineEdit* folderEdit_;
    IpAddressEdit* addressEdit_;
    QLineEdit* portEdit_;
    std::array<QRadioButton*, 3> options_{};
    OwnerButton* okButton_;
    OwnerButton* cancelButton_;
};

// What "&Ok" gives: the edited copies of the connection and capture settings.
struct SetupChoice {
    ConnectionSettings settings;
    CaptureSettings capture;
};

// Runs the Setup dialog modally over `owner` on copies of `settings` and `capture`: the edited
// copies on "&Ok", nothing when the user leaves it any other way. Writes no file: the caller
// applies and stores what changed.
std::optional<SetupChoice> RunSetupDialog(QWidget* owner, const Look& look,
                                          const ConnectionSettings& settings,
                                          const CaptureSettings& capture);

}  // namespace orvane
