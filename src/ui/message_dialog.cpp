// The message dialog: one centred text and an "&Ok" button over the grey bands.
#include "ui/message_dialog.hpp"

#include <QKeyEvent>
#include <QLabel>

#include "platform/text_codec.hpp"
#include "ui/background_graphic.hpp"
#include "ui/dialog_frame.hpp"
#include "ui/dialog_units.hpp"
#include "ui/look.hpp"
#include "ui/owner_button.hpp"

namespace orvane {
namespace {

constexpr int kIdLabel = 2000;
constexpr int kIdOk = 140;

}  // namespace

MessageDialog::MessageDialog(QWidget* owner, const Look& look, std::string_view text)
    : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                         Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                         Qt::WindowCloseButtonHint) {
    setWindowTitle(QStringLiteral("Kestrane - Orvane"));
    ApplyWindowLook(this);
    const DialogUnits units(font());
    setFixedSize(units.ToPixels(QSize(213, 80)));

    // The graphic is larger than the client area and clipped by it.
    new BackgroundGraphic(this, units.ToPixels(QSize(224, 138)));
    PaintGradientBackground(this, 175, 40, 80);

    label_ = new QLabel(FromWindows1252(text), this);
    PlaceControl(label_, kIdLabel, units, QRect(3, 7, 205, 20));
    label_->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    label_->setWordWrap(true);
    label_->setFont(look.Font(kSystemFont));

    okButton_ = new OwnerButton(QStringLiteral("&Ok"), look.Font(kAnsiVarFont), this);
    PlaceControl(okButton_, kIdOk, units, QRect(77, 30, 53, 32));
    connect(okButton_, &QPushButton::clicked, this, &QDialog::accept);
    okButton_->setFocus();
}

void MessageDialog::keyPressEvent(QKeyEvent* event) {
    // The dialog has no cancel control, so Escape leaves it open.
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void ShowMessage(QWidget* owner, const Look& look, std::string_view text) {
    MessageDialog dialog(owner, look, text);
    CentreOnScreen(&dialog);
    dialog.exec();
}

}  // namespace orvane
