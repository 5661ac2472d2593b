// The message dialog: one centred text and an "&Ok" button over the grey bands.
#pragma once

#include <QDialog>
#include <string_view>

class QLabel;

namespace orvane {

class Look;
class OwnerButton;

// Modal over its owner; "&Ok" and the close box close it, Escape does nothing.
class MessageDialog : public QDialog {
    Q_OBJECT
  public:
    // `text` is the shared message text as Windows-1252 bytes.
    MessageDialog(QWidget* owner, const Look& look, std::string_view text);

    QLabel* label() const { return label_; }
    OwnerButton* okButton() const { return okButton_; }

  protected:
    void keyPressEvent(QKeyEvent* event) override;

  private:
    QLabel* label_;
    OwnerButton* okButton_;
};

// Shows `text` in the message dialog and returns when the user has closed it.
void ShowMessage(QWidget* owner, const Look& look, std::string_view text);

}  // namespace orvane
