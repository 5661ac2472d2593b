// The "Capturing Data" dialog: its controls, and the only two ways it ends.
#include "ui/capture_dialog.hpp"

#include <gtest/gtest.h>

#include <QLabel>
#include <QTest>

#include "ui/dialog_units.hpp"
#include "ui/look.hpp"
#include "ui/owner_button.hpp"

namespace orvane {
namespace {

class CaptureDialogTest : public ::testing::Test {
  protected:
    CaptureDialogTest() {
        look.CreatePalette();
        look.CreateFontTable();
    }
    Look look;
};

TEST_F(CaptureDialogTest, HasTheCaptionControlsAndLayoutOfTheDialog) {
    CaptureDialog dialog(nullptr, look);
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Capturing Data"));
    EXPECT_TRUE(dialog.isModal());
    // A caption bar, but neither a system menu nor a close box.
    EXPECT_TRUE(dialog.windowFlags() & Qt::WindowTitleHint);
    EXPECT_FALSE(dialog.windowFlags() & Qt::WindowCloseButtonHint);
    EXPECT_FALSE(dialog.windowFlags() & Qt::WindowSystemMenuHint);

    const DialogUnits units(DialogFont());
    EXPECT_EQ(dialog.size(), units.ToPixels(QSize(180, 79)));

    struct Control {
        const char* name;
        QRect rectDu;
        const char* text;
    };
    const Control controls[] = {
        {"id2000", QRect(5, 8, 120, 12), "Packets Received:"},
        {"id175", QRect(95, 7, 80, 12), ""},
        {"id180", QRect(65, 34, 53, 30), "Stop"},
    };
    for (const Control& control : controls) {
        auto* widget = dialog.findChild<QWidget*>(QString::fromLatin1(control.name));
        ASSERT_NE(widget, nullptr) << control.name;
        EXPECT_EQ(widget->geometry(), units.ToPixels(control.rectDu)) << control.name;
        QString text;
        if (auto* label = qobject_cast<QLabel*>(widget)) text = label->text();
        if (auto* button = qobject_cast<QAbstractButton*>(widget)) text = button->text();
        EXPECT_EQ(text, QString::fromLatin1(control.text)) << control.name;
    }
    EXPECT_NE(dialog.findChild<OwnerButton*>(QStringLiteral("id180")), nullptr);
    auto* counter = dialog.findChild<QLabel*>(QStringLiteral("id175"));
    EXPECT_EQ(counter->alignment(), Qt::AlignCenter);
    EXPECT_EQ(counter->frameShadow(), QFrame::Sunken);
}

TEST_F(CaptureDialogTest, PaintsTheBandsAndAWhiteCounter) {
    CaptureDialog dialog(nullptr, look);
    dialog.SetCounterText(QStringLiteral("12"));
    const QImage image = dialog.grab().toImage();
    // The bands rise from 175 to white at line 40; each row shows the line through the row below.
    EXPECT_EQ(image.pixelColor(2, 0), QColor(177, 177, 177));
    EXPECT_EQ(image.pixelColor(2, 39), QColor(255, 255, 255));
    EXPECT_EQ(image.pixelColor(2, 60), QColor(213, 213, 213));
    const QRect counter = dialog.findChild<QLabel*>(QStringLiteral("id175"))->geometry();
    EXPECT_EQ(image.pixelColor(counter.left() + 3, counter.center().y()), QColor(Qt::white));
    EXPECT_EQ(dialog.counterText(), QStringLiteral("12"));
}

TEST_F(CaptureDialogTest, EscapeLeavesItOpenStopAndTheCloseCommandEndIt) {
    {
        CaptureDialog dialog(nullptr, look);
        dialog.show();
        QTest::keyClick(&dialog, Qt::Key_Escape);
        EXPECT_TRUE(dialog.isVisible());
        QTest::mouseClick(dialog.stopButton(), Qt::LeftButton);
        EXPECT_FALSE(dialog.isVisible());
    }
    {
        CaptureDialog dialog(nullptr, look);
        dialog.show();
        dialog.EndCapture();
        EXPECT_FALSE(dialog.isVisible());
    }
    {
        // Space on the focused Stop button.
        CaptureDialog dialog(nullptr, look);
        dialog.show();
        dialog.stopButton()->setFocus();
        QTest::keyClick(dialog.stopButton(), Qt::Key_Space);
        EXPECT_FALSE(dialog.isVisible());
    }
}

}  // namespace
}  // namespace orvane
