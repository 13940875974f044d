// The painters of the picture set, by file name. Each paints one picture onto a
// transparent image of the picture's size, in the given language.
#pragma once

#include <QPainter>
#include <functional>
#include <map>
#include <string>

namespace pictures {

using PaintFunction = std::function<void(QPainter&, int language)>;
using PainterTable = std::map<std::string, PaintFunction, std::less<>>;

// Banner, status bar, dots, knobs, bars, list rows and needles.
void AddWidgetPainters(PainterTable& table);
// The home page and its pressed buttons.
void AddHomePainters(PainterTable& table);
// The six page backgrounds and the pressed buttons of the pages.
void AddPagePainters(PainterTable& table);

// The application's own icon, a square of kAppIconSize pixels. It is not one
// of the pictures the program reads from drive C: the build keeps it in the
// share folder beside the drive-C roots.
inline constexpr int kAppIconSize = 256;
// Paints it onto the whole of a square, transparent paint device.
void PaintAppIcon(QPainter& p);

}  // namespace pictures
