#include "tools/paint_kit.h"

#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPainterPath>
#include <QPen>
#include <QPolygonF>
#include <QStringList>
#include <QTransform>
#include <cmath>
#include <cstdio>
#include <numbers>

#include "platform/qt/fonts.h"

namespace pictures {

namespace {

constexpr qreal kDegree = std::numbers::pi / 180.0;

QStringList FamiliesFor(int language) {
  // Japanese text wants the Japanese forms of shared ideographs.
  if (language == 2) return {"Liberation Sans", "DejaVu Sans", "Noto Sans CJK JP", "Noto Sans CJK SC"};
  return {"Liberation Sans", "DejaVu Sans", "Noto Sans CJK SC", "Noto Sans CJK JP"};
}

// Where a long word may break when its label wraps; drawn as "-" only there.
constexpr QChar kSoftHyphen(0x00AD);

bool FitsOnOneLine(const QRectF& box, const QString& text, int language, int px, bool bold) {
  const QFontMetricsF fm(UiFont(language, px, bold));
  return fm.horizontalAdvance(text) <= box.width() && fm.height() <= box.height() + 1;
}

bool FitsWrapped(const QRectF& box, const QString& text, int language, int px, const TextStyle& style) {
  const QFontMetricsF fm(UiFont(language, px, style.bold));
  const QRectF used = fm.boundingRect(box, style.align | Qt::TextWordWrap, text);
  return used.width() <= box.width() + 0.5 && used.height() <= box.height() + 1;
}

// Fills lines with items while they fit the width.
QStringList PackItems(const QStringList& items, const QString& separator, const QFontMetricsF& fm,
                      qreal width) {
  QStringList lines;
  QString line;
  for (const QString& item : items) {
    const QString longer = line.isEmpty() ? item : line + separator + item;
    if (!line.isEmpty() && fm.horizontalAdvance(longer.trimmed()) > width) {
      lines << line.trimmed();
      line = item;
    } else {
      line = longer;
    }
  }
  if (!line.isEmpty()) lines << line.trimmed();
  return lines;
}

}  // namespace

TextFit FitText(const QRectF& box, const QString& text, int language, const TextStyle& style) {
  // Chinese and Japanese break between any two characters, so they rather
  // shrink a little before they wrap.
  const bool breaksAnywhere = language == 1 || language == 2;
  const int preferred = style.singleLineMin > 0 ? style.singleLineMin
                        : breaksAnywhere        ? style.maxPixels - 3
                                                : style.maxPixels;
  QString words = text;
  words.remove(kSoftHyphen);
  const int singleLineFloor = std::max(preferred, style.minPixels);
  for (int px = style.maxPixels; px >= singleLineFloor; --px) {
    if (FitsOnOneLine(box, words, language, px, style.bold)) return {px, false, true, words};
  }
  for (int px = style.maxPixels; px >= style.minPixels; --px) {
    if (FitsOnOneLine(box, words, language, px, style.bold)) return {px, false, true, words};
    if (style.wrap) {
      if (FitsWrapped(box, words, language, px, style)) return {px, true, true, words};
      if (words != text && FitsWrapped(box, text, language, px, style)) return {px, true, true, text};
    }
  }
  return {style.minPixels, style.wrap, false, text};
}

namespace {

// The fit of a label that is drawn; a label that does not fit is drawn at the
// smallest size all the same, and reported so that the layout can be fixed.
TextFit FitLabel(const QRectF& box, const QString& text, int language, const TextStyle& style) {
  const TextFit fit = FitText(box, text, language, style);
  if (!fit.fits) {
    std::fprintf(stderr, "make_pictures: \"%s\" does not fit %gx%g\n", qPrintable(text), box.width(),
                 box.height());
  }
  return fit;
}

// Runs the painting with the painter mapped from a 24-unit grid onto the box.
template <typename Paint>
void OnGrid(QPainter& p, const QRectF& box, QColor colour, qreal stroke, Paint paint) {
  p.save();
  p.translate(box.topLeft());
  p.scale(box.width() / 24.0, box.height() / 24.0);
  QPen pen(colour, stroke > 0 ? stroke : 1.8, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
  p.setPen(pen);
  p.setBrush(Qt::NoBrush);
  paint();
  p.restore();
}

QPainterPath Polyline(std::initializer_list<QPointF> points) {
  QPainterPath path;
  bool first = true;
  for (const QPointF& pt : points) {
    if (first) {
      path.moveTo(pt);
      first = false;
    } else {
      path.lineTo(pt);
    }
  }
  return path;
}

QPainterPath GearOutline() {
  QPolygonF outline;
  for (int tooth = 0; tooth < 8; ++tooth) {
    const qreal base = tooth * 45.0;
    const qreal corners[4][2] = {{7.3, base - 17}, {9.8, base - 9}, {9.8, base + 9}, {7.3, base + 17}};
    for (const auto& c : corners) {
      outline << QPointF(12 + c[0] * std::cos(c[1] * kDegree), 12 + c[0] * std::sin(c[1] * kDegree));
    }
  }
  QPainterPath path;
  path.addPolygon(outline);
  path.closeSubpath();
  path.addEllipse(QPointF(12, 12), 3.2, 3.2);
  return path;
}

}  // namespace

QFont UiFont(int language, int pixelSize, bool bold) {
  QFont font;
  font.setFamilies(FamiliesFor(language));
  font.setPixelSize(pixelSize);
  font.setBold(bold);
  font.setStyleStrategy(QFont::PreferAntialias);
  font.setHintingPreference(QFont::PreferNoHinting);
  return font;
}

int DrawFittedText(QPainter& p, const QRectF& box, const QString& text, int language,
                   const TextStyle& style) {
  const TextFit fit = FitLabel(box, text, language, style);
  p.save();
  p.setFont(UiFont(language, fit.pixels, style.bold));
  p.setPen(QColor::fromRgba(style.colour));
  p.drawText(box, style.align | (fit.wrapped ? Qt::TextWordWrap : 0), fit.text);
  p.restore();
  return fit.pixels;
}

ItemLines LayOutItems(const QRectF& box, const QStringList& items, const QString& separator, int language,
                      const TextStyle& style, int maxLines) {
  ItemLines layout{style.minPixels, {}};
  for (int px = style.maxPixels; px >= style.minPixels; --px) {
    const QFontMetricsF fm(UiFont(language, px, style.bold));
    layout = {px, PackItems(items, separator, fm, box.width())};
    bool fits = layout.lines.size() <= maxLines && layout.lines.size() * fm.lineSpacing() <= box.height() + 1;
    for (const QString& line : layout.lines)
      fits = fits && fm.horizontalAdvance(line) <= box.width();
    if (fits) break;
  }
  return layout;
}

void DrawItemLines(QPainter& p, const QRectF& box, const QStringList& items, const QString& separator,
                   int language, const TextStyle& style, int maxLines) {
  const ItemLines layout = LayOutItems(box, items, separator, language, style, maxLines);
  p.save();
  const QFont font = UiFont(language, layout.pixels, style.bold);
  p.setFont(font);
  p.setPen(QColor::fromRgba(style.colour));
  const qreal lineHeight = QFontMetricsF(font).lineSpacing();
  for (int k = 0; k < layout.lines.size(); ++k) {
    p.drawText(QRectF(box.left(), box.top() + k * lineHeight, box.width(), lineHeight), Qt::AlignCenter,
               layout.lines[k]);
  }
  p.restore();
}

void PreparePainter(QPainter& p) {
  p.setRenderHint(QPainter::Antialiasing, true);
  p.setRenderHint(QPainter::TextAntialiasing, true);
  p.setRenderHint(QPainter::SmoothPixmapTransform, true);
}

void FillPanel(QPainter& p, const QRectF& r, qreal radius) {
  p.save();
  QLinearGradient fill(r.topLeft(), r.bottomLeft());
  fill.setColorAt(0, QColor::fromRgba(colour::kPanelTop));
  fill.setColorAt(std::min(1.0, 40.0 / r.height()), QColor::fromRgba(colour::kPanel));
  fill.setColorAt(1, QColor::fromRgba(colour::kPanel));
  p.setBrush(fill);
  p.setPen(QPen(QColor::fromRgba(colour::kPanelBorder), 1));
  p.drawRoundedRect(r.adjusted(0.5, 0.5, -0.5, -0.5), radius, radius);
  p.restore();
}

void FillWell(QPainter& p, const QRectF& r, qreal radius) {
  p.save();
  p.setBrush(QColor::fromRgba(colour::kWell));
  p.setPen(QPen(QColor(0x38, 0x39, 0x43), 1));
  p.drawRoundedRect(r.adjusted(0.5, 0.5, -0.5, -0.5), radius, radius);
  p.restore();
}

void DrawTrack(QPainter& p, const QRectF& r) {
  p.save();
  const qreal radius = std::min(r.width(), r.height()) / 2;
  p.setBrush(QColor::fromRgba(colour::kTrack));
  p.setPen(QPen(QColor::fromRgba(colour::kTrackBorder), 1));
  p.drawRoundedRect(r.adjusted(0.5, 0.5, -0.5, -0.5), radius, radius);
  p.restore();
}

void DrawChoiceRing(QPainter& p, QPointF centre, qreal radius) {
  p.save();
  p.setBrush(QColor::fromRgba(colour::kTrack));
  p.setPen(QPen(QColor(0x6A, 0x6E, 0x7C), 1.6));
  p.drawEllipse(centre, radius, radius);
  p.restore();
}

void DrawVerticalRule(QPainter& p, qreal x, qreal top, qreal bottom) {
  p.save();
  p.setPen(QPen(QColor::fromRgba(colour::kPanelBorder), 1));
  p.drawLine(QPointF(x + 0.5, top), QPointF(x + 0.5, bottom));
  p.restore();
}

void DrawHorizontalRule(QPainter& p, qreal y, qreal left, qreal right) {
  p.save();
  p.setPen(QPen(QColor::fromRgba(colour::kPanelBorder), 1));
  p.drawLine(QPointF(left, y + 0.5), QPointF(right, y + 0.5));
  p.restore();
}

void DrawIcon(QPainter& p, Icon icon, const QRectF& box, QColor colour, qreal stroke) {
  OnGrid(p, box, colour, stroke, [&] {
    switch (icon) {
      case Icon::kHome:
        p.drawPath(Polyline({{2.5, 11.5}, {12, 3.5}, {21.5, 11.5}}));
        p.drawPath(Polyline({{5.5, 9.5}, {5.5, 20.5}, {18.5, 20.5}, {18.5, 9.5}}));
        p.drawPath(Polyline({{10, 20.5}, {10, 14.5}, {14, 14.5}, {14, 20.5}}));
        break;
      case Icon::kClose:
        p.drawLine(QPointF(6, 6), QPointF(18, 18));
        p.drawLine(QPointF(18, 6), QPointF(6, 18));
        break;
      case Icon::kSettings:
        p.drawPath(GearOutline());
        break;
      case Icon::kThrottle:
        p.drawLine(QPointF(2.5, 8), QPointF(7.5, 8));
        p.drawLine(QPointF(1.5, 12), QPointF(6.5, 12));
        p.drawLine(QPointF(2.5, 16), QPointF(7.5, 16));
        p.drawPath(Polyline({{10, 5.5}, {16.5, 12}, {10, 18.5}}));
        p.drawPath(Polyline({{15, 5.5}, {21.5, 12}, {15, 18.5}}));
        break;
      case Icon::kBrake: {
        p.drawEllipse(QPointF(11, 13), 8.5, 8.5);
        p.drawEllipse(QPointF(11, 13), 2.6, 2.6);
        for (int hole = 0; hole < 4; ++hole) {
          const qreal a = (45 + hole * 90) * kDegree;
          p.drawPoint(QPointF(11 + 5.6 * std::cos(a), 13 + 5.6 * std::sin(a)));
        }
        p.save();
        QPen thick = p.pen();
        thick.setWidthF(thick.widthF() * 2.2);
        p.setPen(thick);
        QPainterPath outer;
        outer.arcMoveTo(QRectF(-1.5, 0.5, 25, 25), 78);
        outer.arcTo(QRectF(-1.5, 0.5, 25, 25), 78, -62);
        p.drawPath(outer);
        p.restore();
        break;
      }
      case Icon::kTiming:
        p.drawPath(Polyline(
            {{13.5, 2.5}, {5.5, 13.5}, {11.5, 13.5}, {10.5, 21.5}, {18.5, 10.5}, {12.5, 10.5}, {13.5, 2.5}}));
        break;
      case Icon::kGauge: {
        QPainterPath arc;
        arc.arcMoveTo(QRectF(2.5, 4.5, 19, 19), 210);
        arc.arcTo(QRectF(2.5, 4.5, 19, 19), 210, -240);
        p.drawPath(arc);
        p.drawLine(QPointF(12, 14), QPointF(16.8, 8.6));
        p.drawEllipse(QPointF(12, 14), 1.4, 1.4);
        p.drawLine(QPointF(12, 6.5), QPointF(12, 8));
        p.drawLine(QPointF(5.8, 10.2), QPointF(7.1, 11));
        break;
      }
      case Icon::kFirmware:
        p.drawRoundedRect(QRectF(6, 6, 12, 12), 1.8, 1.8);
        for (int pin = 0; pin < 3; ++pin) {
          const qreal at = 9 + pin * 3;
          p.drawLine(QPointF(at, 2.5), QPointF(at, 6));
          p.drawLine(QPointF(at, 18), QPointF(at, 21.5));
          p.drawLine(QPointF(2.5, at), QPointF(6, at));
          p.drawLine(QPointF(18, at), QPointF(21.5, at));
        }
        p.drawLine(QPointF(12, 15), QPointF(12, 9.2));
        p.drawPath(Polyline({{9.6, 11.4}, {12, 9}, {14.4, 11.4}}));
        break;
      case Icon::kOpenFile:
        p.drawPath(Polyline({{3, 19}, {3, 5.5}, {9, 5.5}, {11, 7.8}, {18.5, 7.8}, {18.5, 10.5}}));
        p.drawPath(Polyline({{3, 19}, {6.2, 10.5}, {22, 10.5}, {18.5, 19}, {3, 19}}));
        break;
      case Icon::kSaveFile:
        p.drawRoundedRect(QRectF(2.5, 3.5, 19, 13), 1.8, 1.8);
        p.drawLine(QPointF(12, 16.5), QPointF(12, 20.5));
        p.drawLine(QPointF(8, 20.5), QPointF(16, 20.5));
        p.drawLine(QPointF(12, 6.5), QPointF(12, 13));
        p.drawPath(Polyline({{9.2, 10.4}, {12, 13.2}, {14.8, 10.4}}));
        break;
      case Icon::kReset: {
        QPainterPath arc;
        arc.arcMoveTo(QRectF(4, 4, 16, 16), 100);
        arc.arcTo(QRectF(4, 4, 16, 16), 100, 290);
        p.drawPath(arc);
        p.drawPath(Polyline({{6.2, 2.8}, {10.6, 4.3}, {8.2, 8.3}}));
        break;
      }
      case Icon::kReadEsc:
        p.drawRoundedRect(QRectF(4, 2.5, 16, 7), 1.5, 1.5);
        p.drawLine(QPointF(12, 12), QPointF(12, 21));
        p.drawPath(Polyline({{8.2, 17.2}, {12, 21}, {15.8, 17.2}}));
        break;
      case Icon::kWriteEsc:
        p.drawRoundedRect(QRectF(4, 2.5, 16, 7), 1.5, 1.5);
        p.drawLine(QPointF(12, 21), QPointF(12, 12.5));
        p.drawPath(Polyline({{8.2, 16.3}, {12, 12.5}, {15.8, 16.3}}));
        break;
      case Icon::kGlobe:
        p.drawEllipse(QPointF(12, 12), 9, 9);
        p.drawEllipse(QPointF(12, 12), 4, 9);
        p.drawLine(QPointF(3, 12), QPointF(21, 12));
        p.drawLine(QPointF(4.6, 7.5), QPointF(19.4, 7.5));
        p.drawLine(QPointF(4.6, 16.5), QPointF(19.4, 16.5));
        break;
      case Icon::kChevronDown:
        p.drawPath(Polyline({{6.5, 9.5}, {12, 15}, {17.5, 9.5}}));
        break;
      case Icon::kCurve: {
        p.drawPath(Polyline({{3.5, 3}, {3.5, 20.5}, {21, 20.5}}));
        QPainterPath curve;
        curve.moveTo(3.5, 20.5);
        curve.cubicTo(QPointF(11, 20), QPointF(13, 5), QPointF(20.5, 4.5));
        p.drawPath(curve);
        break;
      }
      case Icon::kCloud: {
        QPainterPath cloud;
        cloud.moveTo(7, 17);
        cloud.cubicTo(QPointF(2, 17), QPointF(2, 10.5), QPointF(6.8, 10.2));
        cloud.cubicTo(QPointF(7.5, 4.5), QPointF(16, 4), QPointF(17.2, 9.4));
        cloud.cubicTo(QPointF(22.5, 9.6), QPointF(22.5, 17), QPointF(17.5, 17));
        p.drawPath(cloud);
        p.drawLine(QPointF(12, 11), QPointF(12, 21));
        p.drawPath(Polyline({{9.2, 18.2}, {12, 21}, {14.8, 18.2}}));
        break;
      }
      case Icon::kCar:
        p.drawPath(Polyline({{4.5, 16.5},
                             {2, 16.5},
                             {2, 12.5},
                             {6, 11.5},
                             {9, 7.5},
                             {16, 7.5},
                             {19, 11.5},
                             {22, 12.5},
                             {22, 16.5},
                             {19.5, 16.5}}));
        p.drawLine(QPointF(9.5, 16.5), QPointF(14.5, 16.5));
        p.drawEllipse(QPointF(7, 16.5), 2.4, 2.4);
        p.drawEllipse(QPointF(17, 16.5), 2.4, 2.4);
        break;
    }
  });
}

void DrawButton(QPainter& p, const QRectF& r, const QString& label, int language, const ButtonLook& look) {
  p.save();
  const qreal radius = std::min(8.0, r.height() / 3.5);
  QLinearGradient fill(r.topLeft(), r.bottomLeft());
  if (look.pressed) {
    fill.setColorAt(0, QColor(0x16, 0x6C, 0x78));
    fill.setColorAt(1, QColor::fromRgba(colour::kTealDeep));
    p.setPen(QPen(QColor::fromRgba(colour::kTeal), 1.2));
  } else {
    fill.setColorAt(0, QColor::fromRgba(colour::kButtonTop));
    fill.setColorAt(1, QColor::fromRgba(colour::kButtonBottom));
    p.setPen(QPen(QColor::fromRgba(colour::kButtonBorder), 1));
  }
  p.setBrush(fill);
  const QRectF body = r.adjusted(0.5, 0.5, -0.5, -0.5);
  p.drawRoundedRect(body, radius, radius);
  if (look.pressed) {
    // A soft shade along the top edge: the button sits lower than its frame.
    QLinearGradient shade(r.topLeft(), r.topLeft() + QPointF(0, 7));
    shade.setColorAt(0, QColor(0, 0, 0, 90));
    shade.setColorAt(1, QColor(0, 0, 0, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(shade);
    p.drawRoundedRect(body.adjusted(1, 1, -1, -1), radius - 1, radius - 1);
  } else {
    p.setPen(QPen(QColor(255, 255, 255, 28), 1));
    p.drawLine(QPointF(body.left() + radius, body.top() + 1.5),
               QPointF(body.right() - radius, body.top() + 1.5));
  }

  const QPointF shift = look.pressed ? QPointF(0, 1) : QPointF(0, 0);
  const QRectF inner = r.adjusted(6, 2, -6, -2).translated(shift);
  const qreal iconSize = look.hasIcon ? std::min(18.0, r.height() * 0.5) : 0;
  const qreal gap = look.hasIcon ? 6 : 0;
  TextStyle style;
  style.maxPixels = look.maxPixels;
  style.minPixels = look.minPixels;
  style.colour = look.pressed ? 0xFFFFFFFF : colour::kText;
  style.align = Qt::AlignCenter;
  style.wrap = true;
  // Latin labels break between words; Chinese and Japanese ones would break
  // inside words, so they shrink instead.
  style.singleLineMin = language == 1 || language == 2 ? look.minPixels : 12;
  const QRectF labelSpace = inner.adjusted(iconSize + gap, 0, 0, 0);
  const TextFit fit = FitLabel(labelSpace, label, language, style);
  const QFontMetricsF fm(UiFont(language, fit.pixels));
  const qreal textWidth =
      fit.wrapped ? fm.boundingRect(labelSpace, Qt::AlignCenter | Qt::TextWordWrap, fit.text).width()
                  : fm.horizontalAdvance(fit.text);
  const qreal groupWidth = iconSize + gap + std::min(textWidth, labelSpace.width());
  const qreal left = inner.center().x() - groupWidth / 2;
  if (look.hasIcon) {
    const QRectF iconBox(left, inner.center().y() - iconSize / 2, iconSize, iconSize);
    DrawIcon(p, look.icon, iconBox, look.pressed ? QColor(Qt::white) : QColor::fromRgba(colour::kTeal));
  }
  const QRectF textBox(left + iconSize + gap, inner.top(), std::min(textWidth, labelSpace.width()) + 1,
                       inner.height());
  p.setFont(UiFont(language, fit.pixels));
  p.setPen(QColor::fromRgba(style.colour));
  p.drawText(textBox.adjusted(0, 0, 1, 0), Qt::AlignCenter | (fit.wrapped ? Qt::TextWordWrap : 0), fit.text);
  p.restore();
}

QRectF ProgramTextBox(QPointF origin, const QString& text, double inches) {
  // The very font the window's canvas draws the text in.
  const QFont font = platform::qt::CanvasFont({"MS Shell Dlg", static_cast<float>(inches)});
  const QFontMetricsF fm(font);
  return QRectF(origin.x() + font.pixelSize() / 6.0, origin.y(), fm.horizontalAdvance(text), fm.height());
}

QPointF GaugePoint(QPointF centre, qreal radius, qreal programDegrees) {
  const qreal a = programDegrees * kDegree;
  return centre + QPointF(-std::sin(a) * radius, std::cos(a) * radius);
}

}  // namespace pictures
