// The shared look: button faces, button edges and captions, and the grey bands of the windows.
#include "ui/look.hpp"

#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QPalette>
#include <utility>
#include <vector>

#include "ui/background_graphic.hpp"
#include "ui/owner_button.hpp"
#include "ui/setup_dialog.hpp"

namespace orvane {
namespace {

// The grey level of every pixel row of a face painted into an image of w x h.
std::vector<int> FaceRowLevels(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::red);
    QPainter painter(&image);
    PaintButtonFace(painter, width, height);
    painter.end();
    std::vector<int> levels;
    for (int y = 0; y < height; ++y) {
        const QRgb left = image.pixel(0, y);
        const QRgb right = image.pixel(width - 1, y);
        EXPECT_EQ(left, right) << "row " << y << " is not one colour";
        EXPECT_TRUE(qRed(left) == qGreen(left) && qGreen(left) == qBlue(left)) << "row " << y;
        levels.push_back(qRed(left));
    }
    return levels;
}

const std::vector<int> kFace40 = {127, 133, 140, 146, 153, 159, 165, 172, 178, 185,
                                  191, 197, 204, 210, 217, 223, 229, 236, 242, 249,
                                  255, 255, 249, 242, 236, 229, 223, 217, 210, 204,
                                  197, 191, 185, 178, 172, 165, 159, 153, 146, 140};

TEST(ButtonFace, Height40RowsRiseToWhiteAndFallAgain) { EXPECT_EQ(FaceRowLevels(53, 40), kFace40); }

TEST(ButtonFace, OddHeight41RepeatsTheEvenRowsAndEndsOn133) {
    std::vector<int> expected = kFace40;
    expected.push_back(133);
    EXPECT_EQ(FaceRowLevels(20, 41), expected);
}

QImage DrawButton(int state, const QString& caption = QString()) {
    QImage image(80, 40, QImage::Format_RGB32);
    QPainter painter(&image);
    DrawOwnerButton(painter, DrawItemRequest{image.rect(), state, caption}, QApplication::font(),
                    QApplication::palette());
    painter.end();
    return image;
}

TEST(OwnerButtonEdge, SunkenOnlyWhenPressedWithFocus) {
    const QPalette colours = QApplication::palette();
    const QRgb sunkenOuter = colours.color(QPalette::Dark).rgb();
    const QRgb raisedOuter = colours.color(QPalette::Midlight).rgb();
    ASSERT_NE(sunkenOuter, raisedOuter);
    struct Case {
        int state;
        bool sunken;
    };
    const Case cases[] = {{0, false},
                          {kItemSelected, false},
                          {kItemFocus, false},
                          {kItemDisabled, false},
                          {kItemSelected | kItemFocus, true},
                          {kItemSelected | kItemFocus | kItemDisabled, false}};
    for (const Case& c : cases) {
        const QImage image = DrawButton(c.state);
        EXPECT_EQ(image.pixel(0, 0), c.sunken ? sunkenOuter : raisedOuter) << "state " << c.state;
        EXPECT_EQ(image.pixel(79, 39), c.sunken ? colours.color(QPalette::Light).rgb()
                                                : colours.color(QPalette::Shadow).rgb())
            << "state " << c.state;
        // Inside the edge the face is untouched: row 20 of a 40-pixel face is white.
        EXPECT_EQ(qRed(image.pixel(4, 20)), 255) << "state " << c.state;
    }
}

// The darkest and lightest grey among the pixels that the caption changes on the face.
std::pair<int, int> CaptionGreyRange(const QImage& withCaption, const QImage& without) {
    int darkest = 255;
    int lightest = 0;
    for (int y = 0; y < withCaption.height(); ++y) {
        for (int x = 0; x < withCaption.width(); ++x) {
            if (withCaption.pixel(x, y) == without.pixel(x, y)) continue;
            darkest = std::min(darkest, qGray(withCaption.pixel(x, y)));
            lightest = std::max(lightest, qGray(withCaption.pixel(x, y)));
        }
    }
    return {darkest, lightest};
}

TEST(OwnerButtonCaption, DisabledCaptionIsGreyOverTheSameFace) {
    const int grey =
        qGray(QApplication::palette().color(QPalette::Disabled, QPalette::ButtonText).rgb());
    const int text =
        qGray(QApplication::palette().color(QPalette::Active, QPalette::ButtonText).rgb());
    ASSERT_GT(grey, text + 40);
    const QImage enabled = DrawButton(0, QStringLiteral("Capture"));
    const QImage disabled = DrawButton(kItemDisabled, QStringLiteral("Capture"));
    const auto enabledRange = CaptionGreyRange(enabled, DrawButton(0));
    const auto disabledRange = CaptionGreyRange(disabled, DrawButton(kItemDisabled));
    EXPECT_LE(enabledRange.first, text + 20);
    EXPECT_GE(disabledRange.first, grey - 2);
    EXPECT_LE(disabledRange.first, grey + 20);
    // The face around the caption is the same in both states.
    EXPECT_EQ(enabled.pixel(4, 4), disabled.pixel(4, 4));
    EXPECT_EQ(enabled.pixel(4, 20), disabled.pixel(4, 20));
}

TEST(OwnerButtonCaption, AmpersandIsNotDrawnButUnderlinesTheAccessKey) {
    // "&Ok" draws "Ok" with an underline; "Ok" alone draws the same letters without it, so
    // the two differ only below the letters' baseline.
    const QImage marked = DrawButton(0, QStringLiteral("&Ok"));
    const QImage plain = DrawButton(0, QStringLiteral("Ok"));
    const QImage literal = DrawButton(0, QStringLiteral("&&Ok"));
    EXPECT_NE(marked, plain);
    EXPECT_NE(marked, literal);
    int differingRows = 0;
    for (int y = 0; y < 40; ++y) {
        bool differs = false;
        for (int x = 0; x < 80; ++x) differs = differs || marked.pixel(x, y) != plain.pixel(x, y);
        differingRows += differs ? 1 : 0;
    }
    EXPECT_GE(differingRows, 1);
    EXPECT_LE(differingRows, 2);
}

TEST(GradientBackground, SetupDialogLines64To76AreWhite) {
    Look look;
    look.CreatePalette();
    look.CreateFontTable();
    SetupDialog dialog(nullptr, look, ConnectionSettings{"127.0.0.1", 23, 0});
    auto* graphic = dialog.findChild<BackgroundGraphic*>(QStringLiteral("id185"));
    ASSERT_NE(graphic, nullptr);
    const QImage& image = graphic->image();
    // Each 3-pixel line is overwritten by the next one, so pixel row y - 1 shows line y.
    auto lineLevel = [&](int line) { return qRed(image.pixel(10, line - 1)); };
    for (int line = 64; line <= 76; ++line) EXPECT_EQ(lineLevel(line), 255) << "line " << line;
    EXPECT_EQ(lineLevel(63), 254);
    EXPECT_EQ(lineLevel(77), 254);
    EXPECT_EQ(lineLevel(1), 130);
    // The last line, 137, colours its own row and the row below it.
    EXPECT_EQ(qRed(image.pixel(10, 137)), 134);
    EXPECT_EQ(qRed(image.pixel(10, 138)), 134);
}

TEST(GradientBackground, LimitsLevelsAndLeavesRowsBelowTheLastLine) {
    QWidget window;
    auto* graphic = new BackgroundGraphic(&window, QSize(40, 60));
    const QRgb buttonFace = graphic->image().pixel(0, 59);
    PaintGradientBackground(&window, 194, 24, 47);
    const QImage& image = graphic->image();
    EXPECT_EQ(qRed(image.pixel(0, 22)), 194 + 2 * 23);  // line 23
    EXPECT_EQ(qRed(image.pixel(0, 23)), 242);           // line 24, the turning line
    EXPECT_EQ(qRed(image.pixel(0, 24)), 240);           // line 25
    EXPECT_EQ(qRed(image.pixel(0, 47)), 196);           // line 47
    EXPECT_EQ(qRed(image.pixel(0, 48)), 196);
    EXPECT_EQ(image.pixel(0, 49), buttonFace);
    EXPECT_EQ(image.pixel(39, 30), image.pixel(0, 30));
}

}  // namespace
}  // namespace orvane
