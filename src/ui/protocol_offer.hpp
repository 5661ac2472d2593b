// The offer in the status bar to group a capture under the protocol its bytes read better as.
#pragma once

#include <QWidget>

class QLabel;
class QToolButton;

namespace orvane {

// A line of text with Switch and Keep, hidden until Offer. It waits for an answer without
// holding up anything else, and goes when answered or withdrawn.
class ProtocolOffer : public QWidget {
    Q_OBJECT
  public:
    explicit ProtocolOffer(QWidget* parent);

    // Shows `text` ("Reads as VDCP") and the two buttons.
    void Offer(const QString& text);
    void Withdraw();

    QLabel* label() const { return label_; }
    QToolButton* switchButton() const { return switch_; }
    QToolButton* keepButton() const { return keep_; }

  signals:
    void SwitchChosen();

  private:
    QLabel* label_;
    QToolButton* switch_;
    QToolButton* keep_;
};

}  // namespace orvane
