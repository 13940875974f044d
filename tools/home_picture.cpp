// The home page: six tiles that open the pages and a row of five buttons, and
// the pressed look of each button.
#include <QLinearGradient>
#include <QPen>
#include <QRadialGradient>
#include <array>
#include <string>

#include "tools/labels.h"
#include "tools/paint_kit.h"
#include "tools/painters.h"

namespace pictures {

namespace {

// The home picture is drawn at y 60 of the window; everything here is laid out
// in window pixels.
constexpr qreal kHomeTop = 60;

struct Tile {
  int page;
  QRectF hit;  // the program's hit rectangle, edges included
  Icon icon;
};

// Hit rectangles as (left, top, right, bottom), edges included.
QRectF FromEdges(qreal left, qreal top, qreal right, qreal bottom) {
  return QRectF(left, top, right - left, bottom - top);
}

const std::array<Tile, 6> kTiles = {{
    {1, FromEdges(0, 60, 321, 270), Icon::kSettings},
    {2, FromEdges(322, 60, 642, 270), Icon::kThrottle},
    {3, FromEdges(643, 60, 963, 270), Icon::kBrake},
    {4, FromEdges(0, 270, 321, 480), Icon::kTiming},
    {5, FromEdges(322, 270, 642, 480), Icon::kGauge},
    {6, FromEdges(643, 270, 963, 480), Icon::kFirmware},
}};

struct HomeButton {
  const char* picture;
  QRectF hit;
  int textId;
  Icon icon;
};

const std::array<HomeButton, 5> kButtons = {{
    {"UI-11.PNG", FromEdges(146, 490, 282, 526), 105, Icon::kOpenFile},
    {"UI-12.PNG", FromEdges(282, 490, 415, 526), 104, Icon::kSaveFile},
    {"UI-13.PNG", FromEdges(415, 490, 549, 526), 14, Icon::kReset},
    {"UI-14.PNG", FromEdges(549, 490, 681, 526), 15, Icon::kReadEsc},
    {"UI-15.PNG", FromEdges(681, 490, 815, 526), 16, Icon::kWriteEsc},
}};

// The visible button inside its hit rectangle; neighbours share an edge, so
// each gives up a few pixels on both sides.
QRectF ButtonFace(const QRectF& hit) {
  return QRectF(hit.left() + 3, hit.top(), hit.width() - 6, hit.height());
}

ButtonLook HomeButtonLook(const HomeButton& button, bool pressed) {
  ButtonLook look;
  look.pressed = pressed;
  look.hasIcon = true;
  look.icon = button.icon;
  look.maxPixels = 14;
  look.minPixels = 9;
  return look;
}

void PaintTile(QPainter& p, const Tile& tile, int language) {
  const QRectF face = tile.hit.adjusted(6, 6, -5, -6);
  p.save();
  QLinearGradient fill(face.topLeft(), face.bottomLeft());
  fill.setColorAt(0, QColor(0x33, 0x33, 0x3D));
  fill.setColorAt(1, QColor(0x28, 0x28, 0x30));
  p.setBrush(fill);
  p.setPen(QPen(QColor::fromRgba(colour::kPanelBorder), 1));
  p.drawRoundedRect(face.adjusted(0.5, 0.5, -0.5, -0.5), 12, 12);

  // Icon on a soft teal disc.
  const QPointF iconCentre(face.center().x(), face.top() + 64);
  QRadialGradient disc(iconCentre, 36);
  disc.setColorAt(0, QColor(0x23, 0x5A, 0x63));
  disc.setColorAt(1, QColor(0x1B, 0x3A, 0x41));
  p.setBrush(disc);
  p.setPen(QPen(QColor(0x2A, 0xB3, 0xC2, 110), 1.2));
  p.drawEllipse(iconCentre, 36, 36);
  DrawIcon(p, tile.icon, QRectF(iconCentre - QPointF(20, 20), QSizeF(40, 40)), QColor(0x8C, 0xE4, 0xEC), 1.7);

  TextStyle title;
  title.maxPixels = 21;
  title.minPixels = 13;
  title.bold = true;
  title.align = Qt::AlignCenter;
  DrawFittedText(p, QRectF(face.left() + 12, face.top() + 108, face.width() - 24, 30),
                 PageName(tile.page, language), language, title);

  TextStyle summary;
  summary.maxPixels = 13;
  summary.minPixels = 10;
  summary.colour = colour::kTextMuted;
  DrawItemLines(p, QRectF(face.left() + 16, face.top() + 144, face.width() - 32, 42),
                PageSummary(tile.page, language), ListSeparator(language), language, summary, 2);
  p.restore();
}

void PaintHome(QPainter& p, int language) {
  p.translate(0, -kHomeTop);
  p.fillRect(QRectF(0, 60, 965, 477), QColor::fromRgba(colour::kPage));
  for (const Tile& tile : kTiles)
    PaintTile(p, tile, language);

  // Button row on a slightly darker strip.
  p.fillRect(QRectF(0, 482, 965, 55), QColor(0x1A, 0x1A, 0x1F));
  p.fillRect(QRectF(0, 482, 965, 1), QColor(0x2C, 0x2D, 0x35));
  for (const HomeButton& button : kButtons) {
    DrawButton(p, ButtonFace(button.hit), TableText(button.textId, language), language,
               HomeButtonLook(button, false));
  }
}

// The pressed button is drawn from 2 pixels above its hit rectangle, 1.3 times
// as tall; the rest of the picture stays transparent.
void PaintPressedHomeButton(QPainter& p, const HomeButton& button, int language) {
  p.translate(-button.hit.left(), -(button.hit.top() - 2));
  DrawButton(p, ButtonFace(button.hit), TableText(button.textId, language), language,
             HomeButtonLook(button, true));
}

}  // namespace

void AddHomePainters(PainterTable& table) {
  table["UI-01.PNG"] = PaintHome;
  for (const HomeButton& button : kButtons) {
    table[button.picture] = [&button](QPainter& p, int language) {
      PaintPressedHomeButton(p, button, language);
    };
  }
}

}  // namespace pictures
