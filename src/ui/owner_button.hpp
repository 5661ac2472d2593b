// Owner-drawn push buttons: a grey gradient face, a raised or sunken edge and a centred caption.
#pragma once

#include <QFont>
#include <QPushButton>
#include <QRect>
#include <QString>

class QPainter;
class QPalette;

namespace orvane {

// Item state flags of a draw request.
inline constexpr int kItemSelected = 1;
inline constexpr int kItemDisabled = 4;
inline constexpr int kItemFocus = 16;

// What the window hands over when a button must be drawn.
struct DrawItemRequest {
    QRect rect;       // left and top are 0
    int state = 0;    // kItemSelected | kItemDisabled | kItemFocus
    QString caption;  // "&" marks the access key
};

// Paints the face of a w x h button: rows 0 to h/2 rise from grey 127 to white in steps of
// 128 / (h/2), the rows below fall back again, so the top and bottom edges are dark and the
// middle white. The face is built off-screen and copied in one operation.
void PaintButtonFace(QPainter& painter, int width, int height);

// Paints one button completely: face, edge (sunken only when pressed while focused, state
// exactly 17), and the caption in `font`, grey when disabled, with its access key underlined.
void DrawOwnerButton(QPainter& painter, const DrawItemRequest& request, const QFont& font,
                     const QPalette& colours);

// A push button that paints itself with DrawOwnerButton.
class OwnerButton : public QPushButton {
    Q_OBJECT
  public:
    OwnerButton(const QString& caption, const QFont& captionFont, QWidget* parent);

    // The state flags of a draw request for the button as it is now.
    int ItemState() const;

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QFont captionFont_;
};

}  // namespace orvane
