// The program's icon: a 32 x 32 picture of two serial-line traces, drawn in code.
#pragma once

#include <QIcon>
#include <QImage>

namespace orvane {

inline constexpr int kProgramIconSize = 32;

// The 32 x 32 picture: a dark blue tile carrying the controller's and the deck's bytes as two
// pulse trains, amber above and white below.
QImage ProgramIconImage();

QIcon ProgramIcon();

}  // namespace orvane
