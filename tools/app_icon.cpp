// The application's icon: a gauge with a needle on a dark rounded tile, drawn
// with shapes thick enough to stay legible at 32 and 16 pixels.
#include <QLinearGradient>
#include <QPen>
#include <QPolygonF>
#include <QRadialGradient>
#include <cmath>
#include <numbers>

#include "tools/paint_kit.h"
#include "tools/painters.h"

namespace pictures {

namespace {

// Laid out on a square of this many units, scaled to the icon's size.
constexpr qreal kUnits = 256;
const QPointF kPivot(128, 140);
constexpr qreal kArcRadius = 78;
constexpr qreal kArcWidth = 28;

// Qt's arcs count sixteenths of a degree, anticlockwise from three o'clock.
constexpr int kSixteenths = 16;

void DrawArc(QPainter& p, QColor colour, int startDegrees, int spanDegrees) {
  p.setPen(QPen(colour, kArcWidth, Qt::SolidLine, Qt::RoundCap));
  p.setBrush(Qt::NoBrush);
  const QRectF box(kPivot - QPointF(kArcRadius, kArcRadius), QSizeF(2 * kArcRadius, 2 * kArcRadius));
  p.drawArc(box, startDegrees * kSixteenths, spanDegrees * kSixteenths);
}

}  // namespace

void PaintAppIcon(QPainter& p) {
  p.save();
  p.scale(p.device()->width() / kUnits, p.device()->height() / kUnits);

  // The tile, in the colours of the window's banner.
  QLinearGradient tile(0, 8, 0, 248);
  tile.setColorAt(0, QColor::fromRgba(colour::kFrameTop));
  tile.setColorAt(1, QColor::fromRgba(colour::kFrameBottom));
  p.setBrush(tile);
  p.setPen(QPen(QColor(0x4A, 0x53, 0x65), 4));
  p.drawRoundedRect(QRectF(10, 10, 236, 236), 50, 50);

  // A three-quarter dial in teal that runs into the orange at its top end.
  DrawArc(p, QColor::fromRgba(colour::kTeal), 225, -200);
  DrawArc(p, QColor::fromRgba(colour::kOrange), 5, -50);

  // The needle, pointing up to the right, and its hub.
  const qreal angle = 50 * std::numbers::pi / 180;
  const QPointF along(std::cos(angle), -std::sin(angle));
  const QPointF across(-along.y(), along.x());
  p.setPen(Qt::NoPen);
  p.setBrush(QColor::fromRgba(colour::kOrange));
  p.drawPolygon(QPolygonF({kPivot + across * 15, kPivot + along * 76 + across * 5,
                           kPivot + along * 76 - across * 5, kPivot - across * 15}));
  QRadialGradient hub(kPivot - QPointF(6, 6), 26);
  hub.setColorAt(0, QColor::fromRgba(colour::kText));
  hub.setColorAt(1, QColor::fromRgba(colour::kTextMuted));
  p.setBrush(hub);
  p.drawEllipse(kPivot, 20, 20);
  p.restore();
}

}  // namespace pictures
