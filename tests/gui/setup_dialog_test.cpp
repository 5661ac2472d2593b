// The Setup dialog against the settings file: what "&Ok" stores and what every other way out
// leaves alone.
#include "ui/setup_dialog.hpp"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QRadioButton>
#include <QTest>

#include "gui_test_support.hpp"
#include "settings/settings_store.hpp"
#include "ui/ip_address_edit.hpp"
#include "ui/look.hpp"
#include "ui/owner_button.hpp"

namespace orvane {
namespace {

Look MakeLook() {
    Look look;
    look.CreatePalette();
    look.CreateFontTable();
    return look;
}

// Opens the dialog over `settings`, lets `edit` work on it, then leaves it by `leave`.
bool RunSetup(ConnectionSettings& settings, const std::function<void(SetupDialog*)>& edit,
              const std::function<void(SetupDialog*)>& leave) {
    const Look look = MakeLook();
    bool stored = false;
    test::WithModalDialog([&] { stored = ShowSetupDialog(nullptr, look, settings); },
                          [&](QWidget* widget) {
                              auto* dialog = qobject_cast<SetupDialog*>(widget);
                              ASSERT_NE(dialog, nullptr);
                              edit(dialog);
                              leave(dialog);
                          });
    return stored;
}

void PressOk(SetupDialog* dialog) { QTest::mouseClick(dialog->okButton(), Qt::LeftButton); }

void TypePort(SetupDialog* dialog, const QString& text) {
    dialog->portEdit()->clear();
    QTest::keyClicks(dialog->portEdit(), text);
}

TEST(SetupDialog, ShowsTheSettingsAndItsControls) {
    const Look look = MakeLook();
    SetupDialog dialog(nullptr, look, ConnectionSettings{"10.0.0.5", 2323, kProtocolOdetics});
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Orvane Setup"));
    EXPECT_EQ(dialog.addressEdit()->AddressText(), QStringLiteral("10.0.0.5"));
    EXPECT_EQ(dialog.portEdit()->text(), QStringLiteral("2323"));
    EXPECT_FALSE(dialog.protocolOption(kProtocolSony)->isChecked());
    EXPECT_TRUE(dialog.protocolOption(kProtocolOdetics)->isChecked());
    EXPECT_EQ(dialog.protocolOption(kProtocolVdcp)->text(), QStringLiteral("VDCP (Louth)"));
    EXPECT_EQ(dialog.okButton()->text(), QStringLiteral("&Ok"));
    EXPECT_EQ(dialog.cancelButton()->text(), QStringLiteral("&Cancel"));
    for (const char* id : {"id2015", "id100", "id2010", "id2000", "id115", "id120", "id125",
                           "id130", "id135", "id140", "id2", "id185"}) {
        EXPECT_NE(dialog.findChild<QWidget*>(QString::fromLatin1(id)), nullptr) << id;
    }
}

TEST(SetupDialog, PortTextIsDigitsOnlyAndAddressFieldsStopAt255) {
    const Look look = MakeLook();
    SetupDialog dialog(nullptr, look, ConnectionSettings{"127.0.0.1", 23, 0});
    TypePort(&dialog, QStringLiteral("8a0-1"));
    EXPECT_EQ(dialog.portEdit()->text(), QStringLiteral("801"));
    dialog.addressEdit()->field(2)->clear();
    QTest::keyClicks(dialog.addressEdit()->field(2), QStringLiteral("300"));
    EXPECT_EQ(dialog.addressEdit()->AddressText(), QStringLiteral("127.0.255.1"));
    // An address typed straight through: dots and full fields move on to the next field.
    dialog.show();
    QApplication::setActiveWindow(&dialog);
    auto typeAddress = [&](const QString& keys) {
        dialog.addressEdit()->SetAddressText(QString());
        dialog.addressEdit()->field(0)->setFocus();
        for (QChar key : keys) QTest::keyClicks(QApplication::focusWidget(), QString(key));
        return dialog.addressEdit()->AddressText();
    };
    EXPECT_EQ(typeAddress(QStringLiteral("10.1.2.3")), QStringLiteral("10.1.2.3"));
    EXPECT_EQ(typeAddress(QStringLiteral("192168001009")), QStringLiteral("192.168.1.9"));
    EXPECT_EQ(typeAddress(QStringLiteral("10..5")), QStringLiteral("10.5.."));
    dialog.addressEdit()->SetAddressText(QStringLiteral(" 1 . 2 .x.256"));
    EXPECT_EQ(dialog.addressEdit()->AddressText(), QStringLiteral("1.2.."));
}

TEST(SetupDialog, OkStoresPortAddressAndProtocolInTheSettingsFile) {
    test::ScratchFolder folder;
    ConnectionSettings settings{"127.0.0.1", 23, kProtocolSony};
    const bool stored = RunSetup(
        settings,
        [](SetupDialog* dialog) {
            dialog->addressEdit()->SetAddressText(QStringLiteral("10.0.0.5"));
            TypePort(dialog, QStringLiteral("080"));
            QTest::mouseClick(dialog->protocolOption(kProtocolVdcp), Qt::LeftButton);
        },
        PressOk);
    EXPECT_TRUE(stored);
    EXPECT_EQ(settings.captureUnitAddress, "10.0.0.5");
    EXPECT_EQ(settings.captureUnitPort, 80);
    EXPECT_EQ(settings.protocolMode, kProtocolVdcp);
    EXPECT_EQ(folder.ReadSettingsFile(),
              "[Setup]\r\nIp Address=10.0.0.5\r\nPort Number= 80\r\nProtocol= 2\r\n");
}

TEST(SetupDialog, OkKeepsOldValuesForRejectedInputAndStoresSonyWhenNoOptionIsChecked) {
    struct Case {
        const char* name;
        QString port;
        QString address;
        std::int32_t expectedPort;
        std::string expectedAddress;
    };
    const Case cases[] = {
        {"emptied port", QString(), QStringLiteral("10.1.2.3"), 2001, "10.1.2.3"},
        {"zero port", QStringLiteral("0"), QStringLiteral("10.1.2.3"), 2001, "10.1.2.3"},
        {"large port", QStringLiteral("70000"), QStringLiteral("10.1.2.3"), 70000, "10.1.2.3"},
        {"blank field", QStringLiteral("24"), QStringLiteral("10..2.3"), 24, "192.168.1.9"},
    };
    for (const Case& c : cases) {
        test::ScratchFolder folder;
        ConnectionSettings settings{"192.168.1.9", 2001, 7};
        RunSetup(
            settings,
            [&](SetupDialog* dialog) {
                for (int mode = 0; mode < 3; ++mode) {
                    EXPECT_FALSE(dialog->protocolOption(mode)->isChecked()) << c.name;
                }
                dialog->addressEdit()->SetAddressText(c.address);
                TypePort(dialog, c.port);
            },
            PressOk);
        EXPECT_EQ(settings.captureUnitPort, c.expectedPort) << c.name;
        EXPECT_EQ(settings.captureUnitAddress, c.expectedAddress) << c.name;
        EXPECT_EQ(settings.protocolMode, kProtocolSony) << c.name;
        ConnectionSettings reloaded;
        LoadSetup(reloaded);
        EXPECT_EQ(reloaded.captureUnitPort, c.expectedPort) << c.name;
        EXPECT_EQ(reloaded.captureUnitAddress, c.expectedAddress) << c.name;
        EXPECT_EQ(reloaded.protocolMode, kProtocolSony) << c.name;
    }
}

TEST(SetupDialog, CancelEscapeAndCloseBoxStoreNothing) {
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
        test::ScratchFolder folder;
        const std::string before = "[Setup]\r\nPort Number= 23\r\n";
        folder.WriteSettingsFile(before);
        ConnectionSettings settings{"127.0.0.1", 23, kProtocolSony};
        const bool stored = RunSetup(
            settings,
            [](SetupDialog* dialog) {
                TypePort(dialog, QStringLiteral("99"));
                QTest::mouseClick(dialog->protocolOption(kProtocolVdcp), Qt::LeftButton);
            },
            c.leave);
        EXPECT_FALSE(stored) << c.name;
        EXPECT_EQ(settings.captureUnitPort, 23) << c.name;
        EXPECT_EQ(settings.protocolMode, kProtocolSony) << c.name;
        EXPECT_EQ(folder.ReadSettingsFile(), before) << c.name;
    }
}

}  // namespace
}  // namespace orvane
