// Find: a small window beside the list that asks for a text and says where the search got to.
#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

namespace orvane {

// Non-modal: the list stays in reach while it is up. Next (Enter, F3) and Previous (Shift+Enter,
// Shift+F3) ask for the next or previous row holding the text; the window searches nothing
// itself.
class FindDialog : public QDialog {
    Q_OBJECT
  public:
    explicit FindDialog(QWidget* owner);

    QString text() const;
    // Shows the search's outcome under the text ("Not found", "Searching..."); empty clears it.
    void SetStatus(const QString& status);

    QLineEdit* textEdit() const { return edit_; }
    QPushButton* nextButton() const { return next_; }
    QPushButton* previousButton() const { return previous_; }
    QLabel* statusLabel() const { return status_; }

  signals:
    void FindWanted(const QString& text, bool forward);

  protected:
    void keyPressEvent(QKeyEvent* event) override;

  private:
    void Ask(bool forward);

    QLineEdit* edit_;
    QPushButton* next_;
    QPushButton* previous_;
    QLabel* status_;
};

}  // namespace orvane
