// The IPv4 address entry: four numeric fields of 0 to 255 separated by dots.
#pragma once

#include <QFrame>
#include <QString>
#include <array>

class QLineEdit;

namespace orvane {

// Its text is the dotted form of the four fields; a blank field leaves its place between the
// dots empty ("10..0.5"), so an incomplete address reads as one.
class IpAddressEdit : public QFrame {
    Q_OBJECT
  public:
    explicit IpAddressEdit(QWidget* parent);

    // Shows a dotted address: each field that holds a number of 0 to 255 (spaces around it
    // allowed) is shown, any other field is left blank.
    void SetAddressText(const QString& dotted);
    QString AddressText() const;

    QLineEdit* field(int index) const { return fields_.at(static_cast<std::size_t>(index)); }

  protected:
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void LayOutFields();
    void OnFieldEdited(int index);
    void MoveToField(int index, bool atEnd);

    std::array<QLineEdit*, 4> fields_{};
    int dotGap_ = 0;
};

}  // namespace orvane
