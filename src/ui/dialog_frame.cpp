// Shared set-up of Orvane's windows: font, colours, control ids and placement in dialog units.
#include "ui/dialog_frame.hpp"

#include <QGuiApplication>
#include <QPalette>
#include <QScreen>
#include <QWidget>

#include "ui/dialog_units.hpp"
#include "ui/look.hpp"

namespace orvane {

QString ControlName(int id) { return QStringLiteral("id%1").arg(id); }

void ApplyWindowLook(QWidget* window) {
    window->setFont(DialogFont());
    QPalette colours = window->palette();
    colours.setColor(QPalette::Window, PaletteColor(kPaletteWindow));
    colours.setColor(QPalette::WindowText, PaletteColor(kPaletteBlack));
    window->setPalette(colours);
    window->setAutoFillBackground(true);
}

void PlaceControl(QWidget* control, int id, const DialogUnits& units, const QRect& rectDu) {
    control->setObjectName(ControlName(id));
    control->setGeometry(units.ToPixels(rectDu));
}

void CentreOnScreen(QWidget* window) {
    QScreen* screen = window->screen();
    if (screen == nullptr) screen = QGuiApplication::primaryScreen();
    if (screen == nullptr) return;
    QRect frame = window->frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    window->move(frame.topLeft());
}

}  // namespace orvane
