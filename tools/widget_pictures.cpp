// Language-neutral pictures: the frame around the pages and the widgets that
// the page drawers lay over the backgrounds.
#include <QLinearGradient>
#include <QPainterPath>
#include <QPen>
#include <QPolygonF>
#include <QRadialGradient>

#include "tools/paint_kit.h"
#include "tools/painters.h"

namespace pictures {

namespace {

// Places the program hit-tests on the banner.
const QRectF kHomeIconBox(7, 10, 46, 46);
const QRectF kCloseBox(922, 2, 40, 40);

void PaintBanner(QPainter& p, int) {
  QLinearGradient fill(0, 0, 0, 60);
  fill.setColorAt(0, QColor::fromRgba(colour::kFrameTop));
  fill.setColorAt(1, QColor::fromRgba(colour::kFrameBottom));
  p.fillRect(QRectF(0, 0, 965, 60), fill);
  p.fillRect(QRectF(0, 59, 965, 1), QColor(0x12, 0x15, 0x1B));

  // Home button.
  QLinearGradient button(kHomeIconBox.topLeft(), kHomeIconBox.bottomLeft());
  button.setColorAt(0, QColor(0x3D, 0x47, 0x59));
  button.setColorAt(1, QColor(0x2E, 0x35, 0x44));
  p.setBrush(button);
  p.setPen(QPen(QColor(0x55, 0x60, 0x75), 1));
  p.drawRoundedRect(kHomeIconBox.adjusted(0.5, 0.5, -0.5, -0.5), 9, 9);
  DrawIcon(p, Icon::kHome, QRectF(kHomeIconBox.center() - QPointF(14, 14.5), QSizeF(28, 28)),
           QColor(0xE6, 0xEB, 0xF2), 1.9);

  // Product name with a small orange mark.
  TextStyle name;
  name.maxPixels = 27;
  name.minPixels = 27;
  name.bold = true;
  name.align = Qt::AlignLeft | Qt::AlignVCenter;
  DrawFittedText(p, QRectF(68, 6, 300, 32), "Corvane", 0, name);
  TextStyle subtitle;
  subtitle.maxPixels = 13;
  subtitle.minPixels = 13;
  subtitle.colour = colour::kTextMuted;
  DrawFittedText(p, QRectF(69, 36, 300, 16), "ESC Programmer", 0, subtitle);

  // Close button.
  p.setBrush(QColor(0x30, 0x37, 0x45));
  p.setPen(QPen(QColor(0x4A, 0x53, 0x65), 1));
  p.drawRoundedRect(kCloseBox.adjusted(0.5, 0.5, -0.5, -0.5), 8, 8);
  DrawIcon(p, Icon::kClose, QRectF(kCloseBox.center() - QPointF(11, 11), QSizeF(22, 22)),
           QColor(0xE0, 0xE4, 0xEA), 2.2);
}

void PaintStatusBar(QPainter& p, int) {
  QLinearGradient fill(0, 0, 0, 32);
  fill.setColorAt(0, QColor(0x1D, 0x20, 0x27));
  fill.setColorAt(1, QColor(0x17, 0x19, 0x1E));
  p.fillRect(QRectF(0, 0, 970, 32), fill);
  p.fillRect(QRectF(0, 0, 970, 1), QColor(0x34, 0x38, 0x44));
  // Faint separators between the USB, ESC and version groups.
  p.fillRect(QRectF(366, 7, 1, 18), QColor(0x2E, 0x32, 0x3C));
  p.fillRect(QRectF(736, 7, 1, 18), QColor(0x2E, 0x32, 0x3C));
}

void PaintDot(QPainter& p, QColor light, QColor base, QColor rim) {
  const QPointF centre(10, 10);
  QRadialGradient fill(QPointF(8, 7), 10);
  fill.setColorAt(0, light);
  fill.setColorAt(0.55, base);
  fill.setColorAt(1, rim);
  p.setBrush(fill);
  p.setPen(QPen(QColor(0, 0, 0, 110), 1));
  p.drawEllipse(centre, 8.3, 8.3);
  // Soft highlight.
  QRadialGradient shine(QPointF(8, 6.5), 4.5);
  shine.setColorAt(0, QColor(255, 255, 255, 170));
  shine.setColorAt(1, QColor(255, 255, 255, 0));
  p.setPen(Qt::NoPen);
  p.setBrush(shine);
  p.drawEllipse(QPointF(8, 6.5), 4.5, 3.4);
}

// A round teal knob; `glyph` paints the white mark on it.
template <typename Glyph>
void PaintRoundKnob(QPainter& p, QRgb top, QRgb bottom, Glyph glyph) {
  QLinearGradient fill(0, 2, 0, 28);
  fill.setColorAt(0, QColor::fromRgba(top));
  fill.setColorAt(1, QColor::fromRgba(bottom));
  p.setBrush(fill);
  p.setPen(QPen(QColor(0xE8, 0xF6, 0xF8, 200), 1.4));
  p.drawEllipse(QPointF(15, 15), 13.2, 13.2);
  p.setPen(Qt::NoPen);
  p.setBrush(Qt::white);
  glyph();
}

template <typename Glyph>
void PaintSquareKnob(QPainter& p, QRgb top, QRgb bottom, Glyph glyph) {
  QLinearGradient fill(0, 1, 0, 29);
  fill.setColorAt(0, QColor::fromRgba(top));
  fill.setColorAt(1, QColor::fromRgba(bottom));
  p.setBrush(fill);
  p.setPen(QPen(QColor(0xE8, 0xF6, 0xF8, 200), 1.4));
  p.drawRoundedRect(QRectF(1.7, 1.7, 26.6, 26.6), 7, 7);
  p.setPen(Qt::NoPen);
  p.setBrush(Qt::white);
  glyph();
}

void UpDownArrows(QPainter& p) {
  p.drawPolygon(QPolygonF({QPointF(15, 5.5), QPointF(20.5, 12), QPointF(9.5, 12)}));
  p.drawPolygon(QPolygonF({QPointF(15, 24.5), QPointF(20.5, 18), QPointF(9.5, 18)}));
}

void PaintVerticalBar(QPainter& p, int width, QRgb edge, QRgb middle) {
  QLinearGradient fill(0, 0, width, 0);
  fill.setColorAt(0, QColor::fromRgba(edge));
  fill.setColorAt(0.45, QColor::fromRgba(middle));
  fill.setColorAt(1, QColor::fromRgba(edge));
  p.fillRect(QRectF(0, 0, width, 100), fill);
}

void PaintUnitBadge(QPainter& p, const QString& unit) {
  p.setBrush(QColor::fromRgba(colour::kTeal));
  p.setPen(QPen(QColor(0xE8, 0xF6, 0xF8, 220), 1));
  p.drawRoundedRect(QRectF(0.5, 0.5, 17, 17), 4, 4);
  TextStyle style;
  style.maxPixels = 11;
  style.minPixels = 8;
  style.bold = true;
  style.colour = 0xFFFFFFFF;
  style.align = Qt::AlignCenter;
  DrawFittedText(p, QRectF(0, 0, 18, 18), unit, 0, style);
}

void PaintListRow(QPainter& p, int) {
  QLinearGradient fill(0, 0, 0, 30);
  fill.setColorAt(0, QColor(0x3A, 0x3B, 0x46));
  fill.setColorAt(1, QColor(0x30, 0x31, 0x3B));
  p.fillRect(QRectF(0, 0, 128, 30), fill);
  p.fillRect(QRectF(0, 0, 128, 1), QColor(0x4C, 0x4E, 0x5A));
  p.fillRect(QRectF(0, 29, 128, 1), QColor(0x1F, 0x1F, 0x25));
}

// Edge of the dead band: an arrow pointing at the band with a short grip.
void PaintBandEdge(QPainter& p, bool pointsUp) {
  p.save();
  if (!pointsUp) {
    p.translate(0, 40);
    p.scale(1, -1);
  }
  p.setPen(QPen(QColor(0xE8, 0xF6, 0xF8, 200), 1));
  p.setBrush(QColor::fromRgba(colour::kTeal));
  p.drawPolygon(QPolygonF({QPointF(10, 1), QPointF(18.5, 12), QPointF(1.5, 12)}));
  p.drawRoundedRect(QRectF(7, 12, 6, 25), 3, 3);
  p.restore();
}

void PaintDeadBand(QPainter& p, int) {
  p.fillRect(QRectF(0, 0, 46, 20), QColor(0x2F, 0xC2, 0x6B, 120));
  p.fillRect(QRectF(0, 0, 46, 1), QColor(0x6B, 0xE6, 0x9C));
  p.fillRect(QRectF(0, 19, 46, 1), QColor(0x6B, 0xE6, 0x9C));
}

void PaintBeyondMark(QPainter& p, QRgb fill) {
  p.setBrush(QColor::fromRgba(fill));
  p.setPen(QPen(QColor(255, 255, 255, 220), 1.2));
  p.drawPolygon(QPolygonF({QPointF(2, 1.5), QPointF(12.8, 7), QPointF(2, 12.5)}));
}

void PaintLiveMark(QPainter& p, int) {
  QLinearGradient fill(0, 0, 14, 0);
  fill.setColorAt(0, QColor(0x1E, 0x9E, 0x54));
  fill.setColorAt(0.5, QColor(0x5B, 0xE8, 0x95));
  fill.setColorAt(1, QColor(0x1E, 0x9E, 0x54));
  p.setBrush(fill);
  p.setPen(QPen(QColor(255, 255, 255, 200), 1));
  p.drawRoundedRect(QRectF(2.5, 0.5, 9, 26), 4.5, 4.5);
}

// A needle along +y from its pivot, with a hub over the pivot.
void PaintNeedle(QPainter& p, QPointF pivot, qreal length, qreal halfWidth, qreal tail, qreal hubRadius) {
  QPolygonF needle({pivot + QPointF(-halfWidth, 0), pivot + QPointF(-0.8, length),
                    pivot + QPointF(0.8, length), pivot + QPointF(halfWidth, 0),
                    pivot + QPointF(halfWidth * 0.7, -tail), pivot + QPointF(-halfWidth * 0.7, -tail)});
  QLinearGradient fill(pivot.x() - halfWidth, 0, pivot.x() + halfWidth, 0);
  fill.setColorAt(0, QColor(0xFF, 0x8A, 0x3D));
  fill.setColorAt(0.5, QColor::fromRgba(colour::kOrange));
  fill.setColorAt(1, QColor(0xC4, 0x4E, 0x05));
  p.setBrush(fill);
  p.setPen(QPen(QColor(0x5A, 0x22, 0x00, 160), 0.8));
  p.drawPolygon(needle);
  QRadialGradient hub(pivot - QPointF(hubRadius * 0.3, hubRadius * 0.3), hubRadius * 1.3);
  hub.setColorAt(0, QColor(0x5C, 0x60, 0x6C));
  hub.setColorAt(1, QColor(0x22, 0x23, 0x29));
  p.setBrush(hub);
  p.setPen(QPen(QColor(0x8A, 0x90, 0x9C), 1));
  p.drawEllipse(pivot, hubRadius, hubRadius);
  p.setPen(Qt::NoPen);
  p.setBrush(QColor::fromRgba(colour::kOrange));
  p.drawEllipse(pivot, hubRadius * 0.32, hubRadius * 0.32);
}

}  // namespace

void AddWidgetPainters(PainterTable& table) {
  table["UI-ORB-File.PNG"] = PaintBanner;
  table["UI-61.PNG"] = PaintStatusBar;
  table["UI-G.PNG"] = [](QPainter& p, int) {
    PaintDot(p, QColor(0xB4, 0xFF, 0xCC), QColor(0x2F, 0xC2, 0x6B), QColor(0x13, 0x6E, 0x3A));
  };
  table["UI-R.PNG"] = [](QPainter& p, int) {
    PaintDot(p, QColor(0xFF, 0xC2, 0xC2), QColor(0xE5, 0x48, 0x4D), QColor(0x8A, 0x1D, 0x22));
  };
  table["UI-Point.png"] = [](QPainter& p, int) {
    PaintRoundKnob(p, 0xFF45CCDA, colour::kTealDeep, [&] { p.drawEllipse(QPointF(15, 15), 5.4, 5.4); });
  };
  table["UI-LeftR.png"] = [](QPainter& p, int) {
    PaintRoundKnob(p, 0xFF45CCDA, colour::kTealDeep, [&] {
      p.drawPolygon(QPolygonF({QPointF(6.5, 15), QPointF(12.5, 10), QPointF(12.5, 20)}));
      p.drawPolygon(QPolygonF({QPointF(23.5, 15), QPointF(17.5, 10), QPointF(17.5, 20)}));
    });
  };
  table["UI-UpDown.png"] = [](QPainter& p, int) {
    PaintSquareKnob(p, 0xFF45CCDA, colour::kTealDeep, [&] { UpDownArrows(p); });
  };
  table["UI-Red.png"] = [](QPainter& p, int) {
    PaintSquareKnob(p, 0xFFF066CF, 0xFFA8238A, [&] { UpDownArrows(p); });
  };
  table["UI-Blue.png"] = [](QPainter& p, int) {
    PaintSquareKnob(p, 0xFF6F85FF, 0xFF2438C8, [&] { UpDownArrows(p); });
  };
  table["UI-Weight.png"] = [](QPainter& p, int) {
    QLinearGradient fill(0, 0, 0, 10);
    fill.setColorAt(0, QColor(0x4F, 0xD3, 0xDF));
    fill.setColorAt(0.5, QColor::fromRgba(colour::kTeal));
    fill.setColorAt(1, QColor(0x1C, 0x8A, 0x97));
    p.fillRect(QRectF(0, 0, 100, 10), fill);
  };
  table["UI-Height.png"] = [](QPainter& p, int) { PaintVerticalBar(p, 10, 0xFF1C8A97, 0xFF4FD3DF); };
  table["UI-HeightR.png"] = [](QPainter& p, int) { PaintVerticalBar(p, 8, 0xFFA8238A, 0xFFF066CF); };
  table["UI-HeightB.png"] = [](QPainter& p, int) { PaintVerticalBar(p, 10, 0xFF2438C8, 0xFF6F85FF); };
  table["UI-C.png"] = [](QPainter& p, int) { PaintUnitBadge(p, QStringLiteral("°C")); };
  table["UI-F.png"] = [](QPainter& p, int) { PaintUnitBadge(p, QStringLiteral("°F")); };
  table["UI-62.PNG"] = PaintListRow;
  table["UI-Up.png"] = [](QPainter& p, int) { PaintBandEdge(p, true); };
  table["UI-Down.png"] = [](QPainter& p, int) { PaintBandEdge(p, false); };
  table["UI-G.png"] = PaintDeadBand;
  table["UI-MB.png"] = [](QPainter& p, int) { PaintBeyondMark(p, colour::kTurbo); };
  table["UI-MR.png"] = [](QPainter& p, int) { PaintBeyondMark(p, colour::kBoost); };
  table["UI-MG.png"] = PaintLiveMark;
  // The dashboard turns the needles about their pivots: 10 pixels in from the
  // left and top of the small one, the centre of the large one.
  table["UI-Po.png"] = [](QPainter& p, int) { PaintNeedle(p, QPointF(10, 10), 68, 3.4, 7, 7.5); };
  table["UI-Timing.png"] = [](QPainter& p, int) { PaintNeedle(p, QPointF(63, 63), 50, 3.6, 12, 8.5); };
}

}  // namespace pictures
