// The Setup, message and capture dialogs, and the painted look they share: what each way out
// gives, what the user reads, and the grey levels of faces and bands.
#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QRadioButton>
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

void TypePort(SetupDialog* dialog, const QString& text) {
    dialog->portEdit()->clear();
    QTest::keyClicks(dialog->portEdit(), text);
}

// What Ok writes to the settings file is the main window's part (commands_test.cpp).
TEST(SetupDialog, CancelEscapeAndCloseBoxGiveNothing) {
    struct Case {
        const char* name;
        std::function<void(SetupDialog*)> leave;
    };
    const Case cases[] = {
        {"cancel", [](SetupDialog* d) { QTest::mouseClick(d->cancelButton(), Qt::LeftButton); }},
        {"escape", [](SetupDialog* d) { QTest::keyClick(d, Qt::Key_Escape); }},
        {"close box", [](SetupDialog* d) { d->close(); }},
    };
    for (const Case& c : cases) {
        std::optional<SetupChoice> choice = SetupChoice{};
        EXPECT_TRUE(test::OnModal<SetupDialog>(
            [&] {
                choice =
                    RunSetupDialog(nullptr, MakeLook(),
                                   ConnectionSettings{"127.0.0.1", 23, ProtocolMode::kSony}, {});
            },
            [&](SetupDialog* dialog) {
                TypePort(dialog, QStringLiteral("99"));
                dialog->protocolOption(ProtocolMode::kVdcp)->click();
                c.leave(dialog);
            }));
        EXPECT_FALSE(choice.has_value()) << c.name;
    }
}

TEST(SetupDialog, PortTakesDigitsOnlyAndAddressFieldsStopAt255) {
    SetupDialog dialog(nullptr, MakeLook(),
                       ConnectionSettings{"127.0.0.1", 23, ProtocolMode::kSony});
    TypePort(&dialog, QStringLiteral("8a0-1"));
    EXPECT_EQ(dialog.portEdit()->text(), QStringLiteral("801"));
    dialog.addressEdit()->field(2)->clear();
    QTest::keyClicks(dialog.addressEdit()->field(2), QStringLiteral("300"));
    EXPECT_EQ(dialog.addressEdit()->AddressText(), QStringLiteral("127.0.255.1"));
}

TEST(MessageDialog, ShowsTheTextAndOneOkButtonThatOnlyOkAndTheCloseBoxEnd) {
    const Look look = MakeLook();
    MessageDialog dialog(nullptr, look, "Caf\xE9 \x80");
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Kestrane - Orvane"));
    EXPECT_EQ(dialog.label()->text(), QString::fromUtf8("Caf\u00E9 \u20AC"));
    EXPECT_EQ(dialog.label()->font().family(), look.Font(kSystemFont).family());
    EXPECT_EQ(dialog.label()->font().pixelSize(), look.Font(kSystemFont).pixelSize());
    EXPECT_EQ(dialog.okButton()->text(), QStringLiteral("&Ok"));
    EXPECT_EQ(dialog.findChildren<QAbstractButton*>().size(), 1);
    const std::function<void(MessageDialog*)> ways[] = {
        [](MessageDialog* d) { QTest::mouseClick(d->okButton(), Qt::LeftButton); },
        [](MessageDialog* d) { d->close(); },
    };
    for (const auto& leave : ways) {
        bool stayedOpen = false;
        EXPECT_TRUE(test::OnModal<MessageDialog>([&] { ShowMessage(nullptr, look, "text"); },
                                                 [&](MessageDialog* shown) {
                                                     QTest::keyClick(shown, Qt::Key_Escape);
                                                     stayedOpen = shown->isVisible();
                                                     leave(shown);
                                                 }));
        EXPECT_TRUE(stayedOpen);
        EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    }
}

TEST(CaptureDialog, EscapeLeavesItOpenAndStopEndsIt) {
    const Look look = MakeLook();
    CaptureDialog dialog(nullptr, look);
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Capturing Data"));
    EXPECT_FALSE(dialog.windowFlags() & Qt::WindowCloseButtonHint);
    dialog.show();
    QTest::keyClick(&dialog, Qt::Key_Escape);
    EXPECT_TRUE(dialog.isVisible());
    QTest::mouseClick(dialog.stopButton(), Qt::LeftButton);
    EXPECT_FALSE(dialog.isVisible());
}

TEST(Look, ButtonFaceRowsRiseToWhiteAndFallAgain) {
    const std::vector<int> face40 = {127, 133, 140, 146, 153, 159, 165, 172, 178, 185,
                                     191, 197, 204, 210, 217, 223, 229, 236, 242, 249,
                                     255, 255, 249, 242, 236, 229, 223, 217, 210, 204,
                                     197, 191, 185, 178, 172, 165, 159, 153, 146, 140};
    std::vector<int> face41 = face40;
    face41.push_back(133);  // an odd height repeats the even rows and ends on 133
    for (const auto& expected : {face40, face41}) {
        const int height = static_cast<int>(expected.size());
        QImage image(53, height, QImage::Format_RGB32);
        image.fill(Qt::red);
        QPainter painter(&image);
        PaintButtonFace(painter, 53, height);
        painter.end();
        std::vector<int> levels;
        for (int y = 0; y < height; ++y) {
            EXPECT_EQ(image.pixel(0, y), image.pixel(52, y)) << "row " << y;
            EXPECT_EQ(qGray(image.pixel(0, y)), qRed(image.pixel(0, y))) << "row " << y;
            levels.push_back(qRed(image.pixel(0, y)));
        }
        EXPECT_EQ(levels, expected) << height;
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
