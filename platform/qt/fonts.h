// Fonts for the canvas and the dialogs: the faces the program names mapped
// to installed ones, with fallbacks that cover Chinese and Japanese.
#pragma once

#include <QFont>
#include <QStringList>
#include <string_view>

#include "platform/canvas.h"

namespace platform::qt {

// The families tried in order for a face the program names.
QStringList FontFamilies(std::string_view face);
// A regular font of the canvas: the size in inches at 96 dots per inch.
QFont CanvasFont(const Font& font);
// The font of the dialogs' controls, "MS Shell Dlg" at the given point size
// (96 dots per inch).
QFont DialogFont(int points);

}  // namespace platform::qt
