// The Setup, message and capture dialogs, and the painted look they share: what the user can
// type, which ways out end a dialog, and the grey levels of faces and bands.
#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QTest>

#include "gui_test_support.hpp"
#include "ui/background_graphic.hpp"
#include "ui/capture_dialog.hpp"
#include "ui/ip_address_edit.hpp"
#include "ui/look.hpp"
#include "ui/message_dialog.hpp"
#include "ui/setup_dialog.hpp"

namespace orvane {
namespace {

Look MakeLook() {
    Look look;
    look.CreateFontTable();
    return look;
}

// Cancel, Escape and the close box all reject the Setup dialog, as Qt does by default; what
// that gives is CommandsTest.SetUpOkWritesTheConnectionKeysAndCancelWritesNothing's part.
TEST(SetupDialog, PortTakesDigitsOnlyAndAddressFieldsStopAt255) {
    SetupDialog dialog(nullptr, MakeLook(),
                       ConnectionSettings{"127.0.0.1", 23, ProtocolMode::kSony});
    dialog.portEdit()->clear();
    QTest::keyClicks(dialog.portEdit(), QStringLiteral("8a0-1"));
    EXPECT_EQ(dialog.portEdit()->text(), QStringLiteral("801"));
    dialog.addressEdit()->field(2)->clear();
    QTest::keyClicks(dialog.addressEdit()->field(2), QStringLiteral("300"));
    EXPECT_EQ(dialog.addressEdit()->AddressText(), QStringLiteral("127.0.255.1"));
}

TEST(MessageDialog, ShowsTheTextAndOnlyItsOneOkButtonEndsIt) {
    const Look look = MakeLook();
    MessageDialog dialog(nullptr, look, "Caf\xE9 \x80");
    EXPECT_EQ(dialog.label()->text(), QString::fromUtf8("Caf\u00E9 \u20AC"));
    EXPECT_EQ(dialog.findChildren<QAbstractButton*>().size(), 1);
    // Escape leaves it open; only Ok (or the close box, as Qt has it) ends it.
    bool stayedOpen = false;
    EXPECT_TRUE(test::OnModal<MessageDialog>([&] { ShowMessage(nullptr, look, "text"); },
                                             [&](MessageDialog* shown) {
                                                 QTest::keyClick(shown, Qt::Key_Escape);
                                                 stayedOpen = shown->isVisible();
                                                 QTest::mouseClick(shown->okButton(),
                                                                   Qt::LeftButton);
                                             }));
    EXPECT_TRUE(stayedOpen);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

// Stop ending it is CaptureTest's part.
TEST(CaptureDialog, HasNoCloseBoxAndEscapeLeavesItOpen) {
    const Look look = MakeLook();
    CaptureDialog dialog(nullptr, look);
    EXPECT_FALSE(dialog.windowFlags() & Qt::WindowCloseButtonHint);
    dialog.show();
    QTest::keyClick(&dialog, Qt::Key_Escape);
    EXPECT_TRUE(dialog.isVisible());
}

TEST(Look, ButtonFaceRowsRiseToWhiteAndFallAgain) {
    // From 127 by 128/20 a row, white at the middle two, down again; an odd height repeats the
    // even rows and ends on 133.
    struct Row {
        int height;
        int y;
        int level;
    };
    const Row rows[] = {{40, 0, 127},  {40, 1, 133},  {40, 9, 185},  {40, 19, 249}, {40, 20, 255},
                        {40, 21, 255}, {40, 22, 249}, {40, 39, 140}, {41, 39, 140}, {41, 40, 133}};
    for (const Row& r : rows) {
        QImage image(53, r.height, QImage::Format_RGB32);
        image.fill(Qt::red);
        QPainter painter(&image);
        PaintButtonFace(painter, 53, r.height);
        painter.end();
        EXPECT_EQ(image.pixel(0, r.y), qRgb(r.level, r.level, r.level)) << r.height << " " << r.y;
        EXPECT_EQ(image.pixel(52, r.y), image.pixel(0, r.y)) << r.height << " " << r.y;
    }
}

TEST(Look, SetupDialogGradientIsWhiteFromLine64To76) {
    SetupDialog dialog(nullptr, MakeLook(),
                       ConnectionSettings{"127.0.0.1", 23, ProtocolMode::kSony});
    auto* graphic = dialog.findChild<BackgroundGraphic*>(QStringLiteral("id185"));
    ASSERT_NE(graphic, nullptr);
    // Each 3-pixel line is overwritten by the next one, so pixel row y - 1 shows line y.
    const auto level = [&](int line) { return qRed(graphic->image().pixel(10, line - 1)); };
    for (int line = 64; line <= 76; ++line) EXPECT_EQ(level(line), 255) << "line " << line;
    EXPECT_EQ(level(63), 254);
    EXPECT_EQ(level(77), 254);
}

}  // namespace
}  // namespace orvane
