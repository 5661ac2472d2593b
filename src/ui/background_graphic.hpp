// The background graphic of every window: a persistent image painted with grey bands once.
#pragma once

#include <QImage>
#include <QWidget>

namespace orvane {

inline constexpr int kGradientLineEnd = 1920;  // the bands are drawn across this many pixels

// A graphic control (id 185) that keeps its own off-screen image and shows it whenever it is
// repainted. The image starts in the platform's button-face colour.
class BackgroundGraphic : public QWidget {
    Q_OBJECT
  public:
    BackgroundGraphic(QWidget* parent, const QSize& sizePx);

    QImage& image() { return image_; }
    const QImage& image() const { return image_; }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QImage image_;
};

// Paints the bands into `window`'s background graphic: lines 0 to lastRow, each 3 pixels high
// and centred on its row, in the grey of a level that starts at startLevel, rises by 2 per line
// up to turningRow and falls by 2 after it (limited to 0..255). Later lines overwrite the
// overlap, so a pixel row carries the colour of the line through the row below it. Does nothing
// when the window has no background graphic.
void PaintGradientBackground(QWidget* window, int startLevel, int turningRow, int lastRow);

}  // namespace orvane
