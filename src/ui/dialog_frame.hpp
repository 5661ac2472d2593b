// Shared set-up of Orvane's windows: font, colours, control ids and placement in dialog units.
#pragma once

#include <QRect>
#include <QSize>
#include <QString>

class QWidget;

namespace orvane {

class DialogUnits;

// The objectName that carries a control's numeric id ("id100").
QString ControlName(int id);

// Gives a window the dialog font and the window colours: text in palette 0, background in
// palette 7.
void ApplyWindowLook(QWidget* window);

// Names the control after its id and places it at a rectangle given in dialog units.
void PlaceControl(QWidget* control, int id, const DialogUnits& units, const QRect& rectDu);

// Moves a top-level window so that it stands centred on the screen it is on.
void CentreOnScreen(QWidget* window);

}  // namespace orvane
