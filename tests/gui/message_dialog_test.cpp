// The message dialog: its caption, text and button, and the ways it can and cannot be closed.
#include "ui/message_dialog.hpp"

#include <gtest/gtest.h>

#include <QLabel>
#include <QTest>

#include "gui_test_support.hpp"
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

TEST(MessageDialog, ShowsTheTextCentredInTheSystemFontAndAnOkButton) {
    const Look look = MakeLook();
    MessageDialog dialog(nullptr, look, "Error opening port: Device I/O error");
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Kestrane - Orvane"));
    EXPECT_EQ(dialog.label()->text(), QStringLiteral("Error opening port: Device I/O error"));
    EXPECT_TRUE(dialog.label()->alignment() & Qt::AlignHCenter);
    EXPECT_TRUE(dialog.label()->wordWrap());
    const QFont labelFont = dialog.label()->font();
    EXPECT_EQ(labelFont.family(), look.Font(kSystemFont).family());
    EXPECT_EQ(labelFont.pixelSize(), look.Font(kSystemFont).pixelSize());
    EXPECT_EQ(labelFont.bold(), look.Font(kSystemFont).bold());
    EXPECT_NE(labelFont.pixelSize(), dialog.font().pixelSize());
    EXPECT_EQ(dialog.label()->objectName(), QStringLiteral("id2000"));
    EXPECT_EQ(dialog.okButton()->text(), QStringLiteral("&Ok"));
    EXPECT_EQ(dialog.okButton()->objectName(), QStringLiteral("id140"));
    EXPECT_EQ(dialog.findChildren<QPushButton*>().size(), 1);
}

TEST(MessageDialog, ShowsWindows1252TextAndAnEmptyText) {
    const Look look = MakeLook();
    MessageDialog accented(nullptr, look, "Caf\xE9 \x80");
    EXPECT_EQ(accented.label()->text(), QString::fromUtf8("Caf\u00E9 \u20AC"));
    MessageDialog empty(nullptr, look, "");
    EXPECT_TRUE(empty.label()->text().isEmpty());
    EXPECT_EQ(empty.okButton()->text(), QStringLiteral("&Ok"));
}

TEST(MessageDialog, EscapeLeavesItOpenOkAndCloseBoxCloseIt) {
    const Look look = MakeLook();
    QWidget owner;
    owner.show();
    struct Case {
        const char* name;
        std::function<void(MessageDialog*)> close;
    };
    const Case cases[] = {
        {"ok", [](MessageDialog* d) { QTest::mouseClick(d->okButton(), Qt::LeftButton); }},
        {"space on ok", [](MessageDialog* d) { QTest::keyClick(d->okButton(), Qt::Key_Space); }},
        {"close box", [](MessageDialog* d) { d->close(); }},
    };
    for (const Case& c : cases) {
        bool stayedOpen = false;
        test::WithModalDialog([&] { ShowMessage(&owner, look, "text"); },
                              [&](QWidget* widget) {
                                  auto* dialog = qobject_cast<MessageDialog*>(widget);
                                  ASSERT_NE(dialog, nullptr);
                                  QTest::keyClick(dialog, Qt::Key_Escape);
                                  stayedOpen = dialog->isVisible();
                                  c.close(dialog);
                              });
        EXPECT_TRUE(stayedOpen) << c.name;
        EXPECT_EQ(QApplication::activeModalWidget(), nullptr) << c.name;
    }
}

}  // namespace
}  // namespace orvane
