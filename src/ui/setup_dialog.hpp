// The Setup dialog: the capture unit's address and port and the protocol to decode.
#pragma once

#include <QDialog>
#include <array>
#include <string_view>

#include "settings/connection_settings.hpp"

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

// Edits a copy of the connection settings. "&Ok" accepts with the new values; "&Cancel",
// Escape and the close box reject and leave them as they were.
class SetupDialog : public QDialog {
    Q_OBJECT
  public:
    SetupDialog(QWidget* owner, const Look& look, const ConnectionSettings& settings);

    const ConnectionSettings& settings() const { return settings_; }

    IpAddressEdit* addressEdit() const { return addressEdit_; }
    QLineEdit* portEdit() const { return portEdit_; }
    QRadioButton* protocolOption(int mode) const;
    OwnerButton* okButton() const { return okButton_; }
    OwnerButton* cancelButton() const { return cancelButton_; }

  private:
    void SetupOk();
    SetupInput ReadInput() const;

    ConnectionSettings settings_;
    IpAddressEdit* addressEdit_;
    QLineEdit* portEdit_;
    std::array<QRadioButton*, 3> options_{};
    OwnerButton* okButton_;
    OwnerButton* cancelButton_;
};

// Runs the Setup dialog modally over `owner`. On "&Ok" the new values replace `settings` and
// are written to the settings file at once, all three, kept ones included; returns true then.
bool ShowSetupDialog(QWidget* owner, const Look& look, ConnectionSettings& settings);

}  // namespace orvane
