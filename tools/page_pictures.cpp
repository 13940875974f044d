// The backgrounds of the six pages and the pressed buttons the pages draw over
// them. A background carries the tab strip, the labels, the empty tracks and
// choice places, the scales and the unpressed buttons; the page drawers lay
// their markers, knobs, bars and values over it at fixed window positions,
// which the layout below follows. Everything is laid out in window pixels; the
// background is drawn at y 60.
#include <QLinearGradient>
#include <QPainterPath>
#include <QPen>
#include <QRadialGradient>
#include <array>

#include "tools/labels.h"
#include "tools/paint_kit.h"
#include "tools/painters.h"

namespace pictures {

namespace {

constexpr qreal kPageTop = 60;

// ---------------------------------------------------------------------------
// Shared pieces

const std::array<Icon, 6> kPageIcons = {Icon::kSettings, Icon::kThrottle, Icon::kBrake,
                                        Icon::kTiming,   Icon::kGauge,    Icon::kFirmware};

TextStyle LabelStyle(int pixels = 15, int align = Qt::AlignLeft | Qt::AlignVCenter) {
  TextStyle style;
  style.maxPixels = pixels;
  style.minPixels = std::min(pixels, 10);
  style.align = align;
  style.wrap = true;
  return style;
}

TextStyle HeaderStyle(int pixels = 14, int align = Qt::AlignLeft | Qt::AlignVCenter) {
  TextStyle style = LabelStyle(pixels, align);
  style.bold = true;
  style.colour = 0xFFC9CED8;
  return style;
}

TextStyle ScaleStyle(int align = Qt::AlignCenter) {
  TextStyle style;
  style.maxPixels = 11;
  style.minPixels = 9;
  style.colour = colour::kTextMuted;
  style.align = align;
  return style;
}

void Label(QPainter& p, const QRectF& box, const QString& text, int language, const TextStyle& style) {
  DrawFittedText(p, box, text, language, style);
}

// The tab strip across the top of every page: six tabs of 160 pixels, the
// current page's lit.
void PaintTabStrip(QPainter& p, int currentPage, int language) {
  p.fillRect(QRectF(0, 60, 965, 40), QColor(0x16, 0x17, 0x1B));
  for (int page = 1; page <= 6; ++page) {
    const QRectF tab(160 * (page - 1) + 2, 63, 156, 37);
    const bool current = page == currentPage;
    QPainterPath shape;
    shape.addRoundedRect(tab.adjusted(0.5, 0.5, -0.5, 8), 8, 8);
    p.save();
    p.setClipRect(tab);
    p.setBrush(current ? QColor::fromRgba(colour::kPanel) : QColor(0x21, 0x22, 0x29));
    p.setPen(QPen(current ? QColor::fromRgba(colour::kPanelBorder) : QColor(0x2B, 0x2C, 0x34), 1));
    p.drawPath(shape);
    p.restore();
    if (current)
      p.fillRect(QRectF(tab.left() + 10, 96, tab.width() - 20, 3), QColor::fromRgba(colour::kTeal));
    const QColor ink = current ? QColor::fromRgba(colour::kTeal) : QColor::fromRgba(colour::kTextFaint);
    DrawIcon(p, kPageIcons[static_cast<size_t>(page - 1)], QRectF(tab.left() + 9, 72, 18, 18), ink, 1.8);
    TextStyle style;
    style.maxPixels = 14;
    style.minPixels = 10;
    style.bold = current;
    style.colour = current ? colour::kText : colour::kTextMuted;
    style.align = Qt::AlignCenter;
    style.wrap = true;
    style.singleLineMin = 12;
    Label(p, QRectF(tab.left() + 30, 64, tab.width() - 36, 32), PageName(page, language), language, style);
  }
  p.fillRect(QRectF(0, 99, 965, 1), QColor(0x2A, 0x2B, 0x33));
}

void PaintPageBase(QPainter& p, int page, int language) {
  p.translate(0, -kPageTop);
  p.fillRect(QRectF(0, 60, 965, 477), QColor::fromRgba(colour::kPage));
  PaintTabStrip(p, page, language);
}

// Small tick and number beside a vertical level slider.
void DrawLevelTicks(QPainter& p, qreal trackRight, qreal firstCentre, int levels, int language) {
  for (int level = 0; level < levels; ++level) {
    const qreal y = firstCentre + 34 * level;
    p.fillRect(QRectF(trackRight + 6, y, 7, 1), QColor(0x5A, 0x5E, 0x6B));
    Label(p, QRectF(trackRight + 15, y - 8, 18, 16), QString::number(level + 1), language,
          ScaleStyle(Qt::AlignLeft | Qt::AlignVCenter));
  }
}

// ---------------------------------------------------------------------------
// Buttons whose pressed look is a picture of its own. The unpressed button in
// the background lies exactly under the pressed one.

// The button's place inside its pressed picture.
struct PressedButton {
  QRectF face;
};

// Read and Write of pages 1 to 4, 145 x 48; drawn at (25, 476) and (170, 476)
// on pages 1-3 and at (460, 480) and (605, 480) on page 4.
const PressedButton kActionButton{{5, 3, 136, 36}};
// Rename and Default of page 1, 104 x 38, at (352, 115) and (456, 115).
const PressedButton kProfileButton{{2, 3, 100, 31}};
// Test of the dashboard, 70 x 45, at (886, 250).
const PressedButton kTestButton{{7, 8, 56, 34}};
// Upgrade of the firmware page, 85 x 28, at (306, 142) and (770, 142).
const PressedButton kUpgradeButton{{2, 2, 81, 24}};

struct ButtonText {
  QString label;
  bool hasIcon;
  Icon icon;
  int maxPixels;
};

ButtonText ReadButtonText(int language) {
  return {TableText(15, language), true, Icon::kReadEsc, 14};
}
ButtonText WriteButtonText(int language) {
  return {TableText(16, language), true, Icon::kWriteEsc, 14};
}
ButtonText RenameButtonText(int language) {
  return {TableText(38, language), false, Icon::kHome, 14};
}
ButtonText DefaultButtonText(int language) {
  return {TableText(39, language), false, Icon::kHome, 14};
}
ButtonText TestButtonText(int language) {
  return {Own(OwnText::kTest, language), false, Icon::kHome, 14};
}
ButtonText UpgradeButtonText(int language) {
  return {TableText(91, language), false, Icon::kHome, 13};
}

void DrawPressable(QPainter& p, const PressedButton& button, QPointF pictureAt, const ButtonText& text,
                   int language, bool pressed) {
  ButtonLook look;
  look.pressed = pressed;
  look.hasIcon = text.hasIcon;
  look.icon = text.icon;
  look.maxPixels = text.maxPixels;
  look.minPixels = 8;
  DrawButton(p, button.face.translated(pictureAt), text.label, language, look);
}

void DrawReadWrite(QPainter& p, QPointF readAt, QPointF writeAt, int language) {
  DrawPressable(p, kActionButton, readAt, ReadButtonText(language), language, false);
  DrawPressable(p, kActionButton, writeAt, WriteButtonText(language), language, false);
}

// A drop-down field: a well with an opener at its right end.
void DrawDropDown(QPainter& p, const QRectF& field, qreal openerLeft) {
  FillWell(p, field);
  p.fillRect(QRectF(openerLeft, field.top() + 5, 1, field.height() - 10), QColor(0x3C, 0x3D, 0x49));
  const QRectF opener(openerLeft + 1, field.top(), field.right() - openerLeft - 1, field.height());
  DrawIcon(p, Icon::kChevronDown, QRectF(opener.center() - QPointF(9, 9), QSizeF(18, 18)),
           QColor::fromRgba(colour::kTeal), 2.2);
}

// ---------------------------------------------------------------------------
// Page 1: general settings

void PaintGeneralPage(QPainter& p, int language) {
  PaintPageBase(p, 1, language);

  // Profile and language bar. The program writes the profile name at
  // (170, 119) and the language name at (760, 119); their lists drop from y 150.
  FillPanel(p, QRectF(8, 106, 949, 52));
  Label(p, QRectF(20, 106, 134, 52), TableText(31, language), language, LabelStyle(15));
  DrawDropDown(p, QRectF(160, 117, 158, 32), 289);
  DrawPressable(p, kProfileButton, {352, 115}, RenameButtonText(language), language, false);
  DrawPressable(p, kProfileButton, {456, 115}, DefaultButtonText(language), language, false);
  Label(p, QRectF(570, 106, 148, 52), Own(OwnText::kLanguage, language), language,
        LabelStyle(15, Qt::AlignRight | Qt::AlignVCenter));
  DrawIcon(p, Icon::kGlobe, QRectF(724, 122, 22, 22), QColor::fromRgba(colour::kTextMuted), 1.6);
  DrawDropDown(p, QRectF(754, 117, 159, 32), 883);

  // Choices: the program marks the chosen row of each column.
  FillPanel(p, QRectF(8, 164, 949, 196));
  for (qreal x : {207.0, 394.0, 604.0, 813.0})
    DrawVerticalRule(p, x, 174, 350);
  Label(p, QRectF(20, 168, 182, 30), TableText(32, language), language, HeaderStyle());
  Label(p, QRectF(214, 168, 176, 30), TableText(33, language), language, HeaderStyle());
  Label(p, QRectF(400, 168, 200, 30), TableText(36, language), language, HeaderStyle());
  Label(p, QRectF(610, 168, 199, 30), TableText(37, language), language, HeaderStyle());
  Label(p, QRectF(819, 168, 134, 30), Own(OwnText::kExtraOption, language), language, HeaderStyle());

  // Running mode: three rows, 60 pixels apart.
  for (int row = 0; row < 3; ++row) {
    const qreal y = 218 + 60 * row;
    DrawChoiceRing(p, {51, y});
    Label(p, QRectF(72, y - 19, 132, 38), TableText(43 + row, language), language, LabelStyle(14));
  }
  // Motor direction: normal above, reverse below.
  DrawChoiceRing(p, {231, 230});
  Label(p, QRectF(252, 211, 138, 38), TableText(40, language), language, LabelStyle(14));
  DrawChoiceRing(p, {231, 325});
  Label(p, QRectF(252, 306, 138, 38), TableText(41, language), language, LabelStyle(14));

  // Overheat thresholds: three choices, 0..2, beside which the program writes
  // 85 / 105 / 125 (or their Fahrenheit values); it marks the unit chosen over
  // the two unit places.
  for (const qreal column : {400.0, 610.0}) {
    for (int row = 0; row < 3; ++row)
      DrawChoiceRing(p, {column + 15, 218 + 37.0 * row});
    const qreal units = column == 400 ? 478 : 685;
    TextStyle unit = ScaleStyle();
    unit.maxPixels = 10;
    for (int k = 0; k < 2; ++k) {
      const QRectF place(units + 28 * k, 212, 18, 18);
      p.setBrush(QColor::fromRgba(colour::kTrack));
      p.setPen(QPen(QColor(0x55, 0x58, 0x64), 1));
      p.drawRoundedRect(place.adjusted(0.5, 0.5, -0.5, -0.5), 4, 4);
      Label(p, place, k == 0 ? QStringLiteral("°C") : QStringLiteral("°F"), language, unit);
    }
  }
  // The extra option: set above, clear below.
  DrawChoiceRing(p, {850, 240});
  Label(p, QRectF(872, 221, 80, 38), TableText(71, language), language, LabelStyle(14));
  DrawChoiceRing(p, {850, 330});
  Label(p, QRectF(872, 311, 80, 38), TableText(72, language), language, LabelStyle(14));

  // Sliders. The reverse speed runs from 25 % at x 170 to 100 % at x 707;
  // the cut-off voltage from 3.0 V at x 170 to 11.0 V at x 710, its scale
  // printed where the program covers it for a model with another range.
  FillPanel(p, QRectF(8, 366, 949, 106));
  Label(p, QRectF(16, 371, 140, 42), TableText(34, language), language, LabelStyle(15));
  const auto reverseX = [](double percent) { return 170 + 2.8125 * (percent * 255 / 100 - 64); };
  Label(p, QRectF(161, 369, 40, 13), "25%", language, ScaleStyle(Qt::AlignLeft | Qt::AlignVCenter));
  for (int percent : {50, 75}) {
    Label(p, QRectF(reverseX(percent) - 20, 369, 40, 13), QString::number(percent) + "%", language,
          ScaleStyle());
  }
  Label(p, QRectF(679, 369, 40, 13), "100%", language, ScaleStyle(Qt::AlignRight | Qt::AlignVCenter));
  DrawTrack(p, QRectF(160, 387, 560, 10));
  FillWell(p, QRectF(738, 378, 64, 27));

  Label(p, QRectF(16, 434, 140, 32), TableText(35, language), language, LabelStyle(15));
  Label(p, QRectF(161, 425, 40, 14), "3.0V", language, ScaleStyle(Qt::AlignLeft | Qt::AlignVCenter));
  for (int volts : {5, 7, 9}) {
    const qreal x = 170 + 6.75 * (volts * 10 - 30);
    Label(p, QRectF(x - 20, 425, 40, 14), QString::number(volts) + ".0V", language, ScaleStyle());
  }
  Label(p, QRectF(679, 425, 40, 14), "11.0V", language, ScaleStyle(Qt::AlignRight | Qt::AlignVCenter));
  DrawTrack(p, QRectF(160, 447, 560, 10));
  FillWell(p, QRectF(738, 438, 70, 27));

  // Automatic cut-off switch (knob right: automatic, the slider locked) and
  // the switch that turns the cut-off off altogether. The first one's label
  // stands above it, clear of the veil the program lays over the cut-off row
  // (y 437 to 463, up to x 920) while the cut-off is off.
  DrawTrack(p, QRectF(826, 446, 48, 12));
  Label(p, QRectF(822, 421, 132, 16), TableText(42, language) + " (*)", language, LabelStyle(13));
  FillPanel(p, QRectF(815, 475, 142, 26), 8);
  DrawTrack(p, QRectF(826, 481, 48, 12));
  Label(p, QRectF(882, 475, 72, 26), TableText(46, language), language, LabelStyle(13));

  DrawReadWrite(p, {25, 476}, {170, 476}, language);
}

// ---------------------------------------------------------------------------
// Page 2: throttle

// A two-place curve switch: "Line" at the left knob place, "Custom" (which
// opens the curve editor) at the right one.
void DrawCurveSwitch(QPainter& p, qreal labelLeft, qreal y, const QRectF& track, qreal leftKnob,
                     qreal rightKnob, int titleId, int lineId, int customId, int language) {
  // The label ends clear of the left knob, which reaches 15 pixels left of its centre.
  Label(p, QRectF(labelLeft, y - 18, leftKnob - 20 - labelLeft, 36), TableText(titleId, language), language,
        LabelStyle(15));
  DrawTrack(p, track);
  TextStyle ends = ScaleStyle();
  ends.maxPixels = 12;
  ends.colour = colour::kTextMuted;
  Label(p, QRectF(leftKnob - 45, y - 36, 90, 16), TableText(lineId, language), language, ends);
  Label(p, QRectF(rightKnob - 60, y - 36, 120, 16), TableText(customId, language), language, ends);
  DrawIcon(p, Icon::kCurve, QRectF(track.right() + 10, y - 9, 18, 18), QColor::fromRgba(colour::kTeal), 1.6);
}

void PaintThrottlePage(QPainter& p, int language) {
  PaintPageBase(p, 2, language);

  FillPanel(p, QRectF(8, 106, 692, 366));
  DrawCurveSwitch(p, 20, 172, QRectF(176, 166, 108, 12), 185, 275, 50, 52, 53, language);
  DrawHorizontalRule(p, 200, 18, 690);

  // Switch point: knob centre at 165 + 1.804 x value, value 0..255.
  Label(p, QRectF(20, 214, 132, 40), TableText(47, language), language, LabelStyle(14));
  DrawTrack(p, QRectF(156, 229, 474, 10));
  for (int percent = 0; percent <= 100; percent += 25) {
    const qreal x = 165 + 1.804 * (percent * 2.55);
    Label(p, QRectF(x - 20, 250, 40, 13), QString::number(percent) + "%", language, ScaleStyle());
  }
  FillWell(p, QRectF(643, 221, 54, 26));
  DrawHorizontalRule(p, 264, 18, 690);

  // Stage rates: five levels, the bar growing downwards from y 310.
  const int headers[2] = {48, 49};
  const qreal tracks[2] = {176, 462};
  for (int k = 0; k < 2; ++k) {
    Label(p, QRectF(tracks[k] - 16, 272, 260, 26), TableText(headers[k], language), language, HeaderStyle());
    DrawTrack(p, QRectF(tracks[k], 305, 12, 156));
    DrawLevelTicks(p, tracks[k] + 12, 315, 5, language);
  }
  DrawVerticalRule(p, 430, 276, 460);

  // Throttle status: low end at the bottom, high end 236 pixels above; the
  // program writes the ends, the neutral point and the dead band beside it.
  FillPanel(p, QRectF(706, 106, 251, 366));
  Label(p, QRectF(718, 110, 230, 28), TableText(54, language), language, HeaderStyle(15));
  DrawTrack(p, QRectF(852, 156, 12, 256));
  FillWell(p, QRectF(774, 146, 66, 25));
  FillWell(p, QRectF(774, 382, 66, 25));
  // What the two ends are; left of the wells, where no drawn text reaches.
  TextStyle end = LabelStyle(12, Qt::AlignRight | Qt::AlignVCenter);
  end.minPixels = 9;
  end.colour = colour::kTextMuted;
  Label(p, QRectF(711, 140, 59, 37), Own(OwnText::kFullThrottle, language), language, end);
  Label(p, QRectF(711, 376, 59, 37), Own(OwnText::kFullBrake, language), language, end);
  Label(p, QRectF(712, 420, 102, 40), TableText(51, language), language,
        LabelStyle(13, Qt::AlignRight | Qt::AlignVCenter));

  DrawReadWrite(p, {25, 476}, {170, 476}, language);
}

// ---------------------------------------------------------------------------
// Page 3: brake

void PaintBrakePage(QPainter& p, int language) {
  PaintPageBase(p, 3, language);

  FillPanel(p, QRectF(8, 106, 704, 366));
  DrawCurveSwitch(p, 20, 172, QRectF(160, 167, 118, 12), 169, 259, 61, 62, 63, language);
  DrawHorizontalRule(p, 200, 18, 702);

  // Four sliders, knob centres from x 169 (0) to 632 (full scale), with the
  // values the program shows at both ends and at x 400, half way: 0..50 for
  // the drag and initial brake (whose left end is also the "=Drag" mark),
  // 1..99 and 0..99 for the others (it keeps them below 100). The wells start
  // right of the knob at full scale.
  struct Row {
    qreal barY;
    int textId;
    const char* low;
    const char* middle;
    const char* high;
  };
  const Row rows[4] = {{229, 55, "0%", "25%", "50%"},
                       {292, 56, "1%", "50%", "99%"},
                       {354, 57, "=Drag / 0%", "25%", "50%"},
                       {416, 58, "0%", "50%", "99%"}};
  for (const Row& row : rows) {
    Label(p, QRectF(20, row.barY - 14, 130, 38), TableText(row.textId, language), language, LabelStyle(14));
    DrawTrack(p, QRectF(156, row.barY, 484, 10));
    const qreal scaleTop = row.barY + 21;
    Label(p, QRectF(158, scaleTop, 70, 13), row.low, language, ScaleStyle(Qt::AlignLeft | Qt::AlignVCenter));
    Label(p, QRectF(375, scaleTop, 50, 13), row.middle, language, ScaleStyle());
    Label(p, QRectF(590, scaleTop, 50, 13), row.high, language,
          ScaleStyle(Qt::AlignRight | Qt::AlignVCenter));
    FillWell(p, QRectF(649, row.barY - 8, 58, 26));
  }

  // Stage rates: five levels each, the bars growing downwards.
  FillPanel(p, QRectF(720, 106, 237, 424));
  Label(p, QRectF(732, 110, 216, 30), TableText(59, language), language, HeaderStyle());
  DrawTrack(p, QRectF(769, 143, 12, 156));
  DrawLevelTicks(p, 781, 153, 5, language);
  DrawHorizontalRule(p, 314, 730, 947);
  Label(p, QRectF(732, 322, 216, 30), TableText(60, language), language, HeaderStyle());
  DrawTrack(p, QRectF(769, 360, 12, 156));
  DrawLevelTicks(p, 781, 370, 5, language);

  DrawReadWrite(p, {25, 476}, {170, 476}, language);
}

// ---------------------------------------------------------------------------
// Page 4: boost and turbo timing

// The program's value texts, drawn from a point at 0.18 inch.
constexpr double kValueInches = 0.18;

// The unit a value column's number is in.
enum class ColumnUnit { kDegrees, kRpm, kSeconds };

QString UnitText(ColumnUnit unit, int language) {
  switch (unit) {
    case ColumnUnit::kDegrees:
      return TableText(83, language);
    case ColumnUnit::kSeconds:
      return TableText(84, language);
    case ColumnUnit::kRpm:
      break;
  }
  return QStringLiteral("rpm");
}

struct TimingColumn {
  qreal centre;        // centre of the bar and knob
  int textId;          // name under the column
  ColumnUnit unit;     // after the number
  qreal valueX;        // where the program writes the number at y 396
  const char* widest;  // the widest number it writes there
  const char* top;     // the value shown with the knob at the top of its travel
  const char* bottom;  // and at the bottom; nullptr for the word meaning "at once"
};

// Every bar grows 132 pixels over its column's range (2.2 per degree or
// slope step, 1.32 per hundredth of a second, 0.0039 and 0.00232 per rpm of
// the boost RPMs, 3.2 per thousand of the turbo RPM), so the knob's centre
// runs from y 380 at the bottom to y 248 at the top.
const std::array<TimingColumn, 8> kTimingSliders = {{
    {80, 64, ColumnUnit::kDegrees, 66, "00", "60", "0"},
    {175, 65, ColumnUnit::kRpm, 130, "00000", "35000", "1000"},
    {278, 66, ColumnUnit::kRpm, 233, "00000", "60000", "3000"},
    {447, 74, ColumnUnit::kDegrees, 436, "00", "60", "0"},
    {629, 76, ColumnUnit::kSeconds, 605, "0.00", "1.00", nullptr},
    {719, 77, ColumnUnit::kRpm, 670, "00000", "50000", "9000"},
    {809, 78, ColumnUnit::kDegrees, 773, "00", "60", "1"},
    {899, 79, ColumnUnit::kDegrees, 862, "00", "60", nullptr},
}};
constexpr qreal kKnobTopY = 248;
constexpr qreal kKnobBottomY = 380;

// The ends of a column's range beside its track: a tick that the knob covers
// when it stands there, and the value, clear of the knob and of the veils the
// program lays over whole columns (30 pixels wide around the knob).
void DrawColumnScale(QPainter& p, const TimingColumn& column, int language) {
  const qreal tickLeft = column.centre + 8;
  for (const auto& [y, text] : {std::pair{kKnobTopY, column.top}, std::pair{kKnobBottomY, column.bottom}}) {
    p.fillRect(QRectF(tickLeft, y, 5, 1), QColor(0x5A, 0x5E, 0x6B));
    const QString label = text != nullptr ? QString::fromUtf8(text) : TableText(85, language);
    Label(p, QRectF(column.centre + 16, y - 7, 40, 14), label, language,
          ScaleStyle(Qt::AlignLeft | Qt::AlignVCenter));
  }
}

// Names under the columns: up to three lines in the 90 pixels a column has.
TextStyle ColumnNameStyle() {
  TextStyle style = LabelStyle(12, Qt::AlignHCenter | Qt::AlignTop);
  style.minPixels = 9;
  return style;
}

void PaintTimingPage(QPainter& p, int language) {
  PaintPageBase(p, 4, language);

  // Timing strip: live timing from x 47, boost and turbo timing from x 290
  // (or from the live end), the scale line below it; total at (850, 149).
  FillPanel(p, QRectF(8, 106, 949, 104));
  const auto legend = [&](qreal x, QRgb swatch, const QString& text) {
    p.setPen(Qt::NoPen);
    p.setBrush(QColor::fromRgba(swatch));
    p.drawRoundedRect(QRectF(x, 118, 16, 9), 2, 2);
    Label(p, QRectF(x + 22, 112, 170, 20), text, language, LabelStyle(13));
  };
  legend(48, colour::kBoost, TableText(64, language));
  legend(240, colour::kTurbo, TableText(74, language));
  legend(432, colour::kGreen, Own(OwnText::kTiming, language));
  p.setBrush(QColor::fromRgba(colour::kTrack));
  p.setPen(QPen(QColor::fromRgba(colour::kTrackBorder), 1));
  p.drawRoundedRect(QRectF(42.5, 144.5, 777, 32), 6, 6);
  p.fillRect(QRectF(290, 146, 1, 30), QColor(0x3A, 0x3C, 0x46));
  // The live timing's own scale, 8.14 pixels a degree from x 47, up to where
  // the program writes the 0 of the boost and turbo scale (x 280 or later).
  TextStyle live = ScaleStyle();
  live.colour = 0xFF6FCF97;
  for (int degrees : {0, 10, 20}) {
    const qreal x = 47 + 8.14 * degrees;
    p.fillRect(QRectF(x - 0.5, 177, 1, 4), QColor(0x5A, 0x5E, 0x6B));
    Label(p, QRectF(x - 12, 182, 24, 13), QString::number(degrees), language, live);
  }
  Label(p, QRectF(826, 112, 124, 22), Own(OwnText::kTotal, language), language,
        HeaderStyle(13, Qt::AlignCenter));
  FillWell(p, QRectF(842, 144, 66, 27));
  const qreal totalUnit = ProgramTextBox({850, 149}, "00", kValueInches).right() + 2;
  Label(p, QRectF(totalUnit, 144, 906 - totalUnit, 27), TableText(83, language), language,
        ScaleStyle(Qt::AlignLeft | Qt::AlignVCenter));

  // Column groups. The program writes each value at y 396 and, for a value
  // of 0, blanks the unit of the delay and of the last slope with the well's
  // colour; it also greys whole columns with translucent bars.
  FillPanel(p, QRectF(8, 214, 342, 262));
  FillPanel(p, QRectF(356, 214, 601, 262));
  TextStyle group = HeaderStyle(12);
  group.wrap = false;
  Label(p, QRectF(16, 217, 120, 16), TableText(4, language), language, group);
  Label(p, QRectF(364, 217, 120, 16), TableText(5, language), language, group);
  FillWell(p, QRectF(14, 392, 330, 25), 5);
  FillWell(p, QRectF(362, 392, 589, 25), 5);

  for (const TimingColumn& column : kTimingSliders) {
    DrawTrack(p, QRectF(column.centre - 6, 244, 12, 148));
    DrawColumnScale(p, column, language);
    // The unit right after the widest number; for a delay or a last slope of
    // 0 the program blanks it (from x 640 and 885) and writes its word.
    const qreal unitLeft = ProgramTextBox({column.valueX, 396}, column.widest, kValueInches).right() + 2;
    Label(p, QRectF(unitLeft, 392, 42, 25), UnitText(column.unit, language), language,
          ScaleStyle(Qt::AlignLeft | Qt::AlignVCenter));
    Label(p, QRectF(column.centre - 44, 421, 88, 52), TableText(column.textId, language), language,
          ColumnNameStyle());
  }

  // Turbo activation: three places in a groove, the program's labels at x 550.
  p.setBrush(QColor::fromRgba(colour::kWell));
  p.setPen(QPen(QColor(0x38, 0x39, 0x43), 1));
  p.drawRoundedRect(QRectF(529.5, 233.5, 19, 160), 9.5, 9.5);
  for (qreal y : {250.0, 315.0, 380.0})
    p.fillRect(QRectF(519, y, 6, 1), QColor(0x6A, 0x6E, 0x7C));
  Label(p, QRectF(495, 421, 88, 52), TableText(75, language), language, ColumnNameStyle());

  // Switch that keeps boost and turbo timing at 0 when clear: the program
  // fills the box while timing is allowed.
  p.setBrush(QColor::fromRgba(colour::kTrack));
  p.setPen(QPen(QColor(0x6A, 0x6E, 0x7C), 1.4));
  p.drawRoundedRect(QRectF(40.5, 493.5, 23, 23), 4, 4);
  Label(p, QRectF(72, 491, 300, 28), PageName(4, language), language, LabelStyle(14));

  DrawReadWrite(p, {460, 480}, {605, 480}, language);
}

// ---------------------------------------------------------------------------
// Page 5: dashboard

struct GaugeScale {
  QPointF pivot;
  qreal radius;      // face
  qreal startAngle;  // program angle of the scale's start (needles turn clockwise from down)
  qreal degreesPerUnit;
  int maximum;
  int major;
  int minor;
  int redFrom;  // start of a warning band, or -1
};

void DrawGaugeFace(QPainter& p, const GaugeScale& g, qreal tickOuter, qreal numberRadius, int language) {
  p.save();
  QLinearGradient bezel(g.pivot - QPointF(0, g.radius), g.pivot + QPointF(0, g.radius));
  bezel.setColorAt(0, QColor(0x48, 0x4A, 0x56));
  bezel.setColorAt(1, QColor(0x22, 0x23, 0x29));
  p.setBrush(bezel);
  p.setPen(QPen(QColor(0x14, 0x14, 0x18), 1));
  p.drawEllipse(g.pivot, g.radius, g.radius);
  QRadialGradient face(g.pivot, g.radius);
  face.setColorAt(0, QColor(0x2A, 0x2A, 0x32));
  face.setColorAt(1, QColor(0x19, 0x19, 0x1E));
  p.setBrush(face);
  p.setPen(Qt::NoPen);
  p.drawEllipse(g.pivot, g.radius - 5, g.radius - 5);

  const qreal span = g.maximum * g.degreesPerUnit;
  // Scale arc and the warning band.
  const auto arc = [&](qreal from, qreal to, qreal r, QColor c, qreal width) {
    QPainterPath path;
    const QRectF box(g.pivot - QPointF(r, r), QSizeF(2 * r, 2 * r));
    path.arcMoveTo(box, 270 - from);
    path.arcTo(box, 270 - from, -(to - from));
    p.setPen(QPen(c, width, Qt::SolidLine, Qt::FlatCap));
    p.setBrush(Qt::NoBrush);
    p.drawPath(path);
  };
  arc(g.startAngle, g.startAngle + span, tickOuter - 1, QColor(0x3E, 0x40, 0x4B), 2);
  if (g.redFrom >= 0) {
    arc(g.startAngle + g.redFrom * g.degreesPerUnit, g.startAngle + span, tickOuter - 4,
        QColor(0xE5, 0x48, 0x4D, 200), 6);
  }
  for (int value = 0; value <= g.maximum; value += g.minor) {
    const bool major = value % g.major == 0;
    const qreal angle = g.startAngle + value * g.degreesPerUnit;
    p.setPen(QPen(major ? QColor(0xDD, 0xE1, 0xE8) : QColor(0x80, 0x86, 0x93), major ? 2 : 1.2, Qt::SolidLine,
                  Qt::FlatCap));
    p.drawLine(GaugePoint(g.pivot, tickOuter - (major ? 11 : 6), angle),
               GaugePoint(g.pivot, tickOuter, angle));
    if (major) {
      TextStyle number = ScaleStyle();
      number.maxPixels = 12;
      number.colour = 0xFFC9CED8;
      const QPointF at = GaugePoint(g.pivot, numberRadius, angle);
      Label(p, QRectF(at - QPointF(14, 8), QSizeF(28, 16)), QString::number(value), language, number);
    }
  }
  p.restore();
}

struct DialGauge {
  GaugeScale scale;
  QString title;
  QString unit;
  QPointF valueAt;     // where the program writes the number
  const char* widest;  // the widest number it writes there
  QString note;        // a scale note such as x1000, "" for none
};

void DrawDialGauge(QPainter& p, const DialGauge& gauge, int language) {
  DrawGaugeFace(p, gauge.scale, gauge.scale.radius - 8, gauge.scale.radius - 30, language);
  const QPointF c = gauge.scale.pivot;
  Label(p, QRectF(c.x() - 58, c.y() + 50, 116, 18), gauge.title, language, HeaderStyle(13, Qt::AlignCenter));
  // The unit right after the number, level with its upper part: the scale's
  // last number lies close below.
  const QRectF value = ProgramTextBox(gauge.valueAt, gauge.widest, kValueInches);
  Label(p, QRectF(value.right() + 2, value.top() + 1, 34, 12), gauge.unit, language,
        ScaleStyle(Qt::AlignLeft | Qt::AlignVCenter));
  if (!gauge.note.isEmpty()) {
    Label(p, QRectF(c.x() - 24, c.y() - 36, 48, 14), gauge.note, language, ScaleStyle());
  }
}

void PaintDashboardPage(QPainter& p, int language) {
  PaintPageBase(p, 5, language);

  FillPanel(p, QRectF(8, 106, 582, 424));
  // Needles turn clockwise from straight down; each scale starts where the
  // program puts the needle for 0 and grows at its rate.
  const DialGauge gauges[4] = {
      {{{156, 198}, 86, 55, 245.0 / 150, 150, 30, 10, 120},
       Own(OwnText::kMotorTemperature, language),
       "°C",
       {140, 232},
       "000",
       ""},
      {{{482, 198}, 86, 55, 245.0 / 150, 150, 30, 10, 120},
       Own(OwnText::kEscTemperature, language),
       "°C",
       {465, 232},
       "000",
       ""},
      {{{156, 410}, 86, 45, 270.0 / 60, 60, 10, 5, -1},
       TableText(73, language),
       "rpm",
       {131, 430},
       "00000",
       "x1000"},
      {{{480, 410}, 86, 45, 270.0 / 120, 120, 20, 10, -1},
       Own(OwnText::kSpeed, language),
       "km/h",
       {458, 430},
       "000.0",
       ""},
  };
  for (const DialGauge& gauge : gauges)
    DrawDialGauge(p, gauge, language);

  // Timing: the needle turns from 76 degrees at 0 to 201 at 50; the program
  // draws the test's progress ring at radius 60 and the value at (910, 213).
  FillPanel(p, QRectF(596, 106, 361, 194));
  Label(p, QRectF(608, 112, 120, 22), Own(OwnText::kTiming, language), language, HeaderStyle(14));
  const GaugeScale timing{{810, 194}, 86, 76, 2.5, 50, 10, 5, -1};
  DrawGaugeFace(p, timing, 77, 44, language);
  p.setBrush(Qt::NoBrush);
  p.setPen(QPen(QColor::fromRgba(colour::kTrack), 10));
  p.drawEllipse(timing.pivot, 60, 60);
  FillWell(p, QRectF(904, 208, 48, 27));
  Label(p, QRectF(931, 208, 16, 20), QStringLiteral("°"), language, ScaleStyle());
  DrawPressable(p, kTestButton, {886, 250}, TestButtonText(language), language, false);

  // Vehicle values: the program writes them into these fields (the pole
  // count at x 650, the gear ratio at 640, the wheel diameter with its "mm"
  // at 638), and a click on a field (x 620 to 700) opens its entry dialog.
  FillPanel(p, QRectF(596, 306, 361, 224));
  DrawIcon(p, Icon::kCar, QRectF(608, 314, 22, 22), QColor::fromRgba(colour::kTeal), 1.6);
  Label(p, QRectF(636, 312, 300, 26), Own(OwnText::kVehicle, language), language, HeaderStyle(14));
  TextStyle hint = LabelStyle(12);
  hint.colour = colour::kTextMuted;
  Label(p, QRectF(612, 338, 336, 24), Own(OwnText::kClickToChange, language), language, hint);
  const struct {
    qreal top;
    OwnText name;
  } fields[3] = {{369, OwnText::kMotorPoles}, {418, OwnText::kGearRatio}, {466, OwnText::kWheelDiameter}};
  for (const auto& field : fields) {
    p.setBrush(QColor::fromRgba(colour::kWell));
    p.setPen(QPen(QColor(0x2A, 0xB3, 0xC2, 120), 1));
    p.drawRoundedRect(QRectF(614.5, field.top + 0.5, 94, 27), 5, 5);
    Label(p, QRectF(718, field.top, 230, 28), Own(field.name, language), language, LabelStyle(14));
  }
  // The gear ratio is to one.
  const qreal ratioEnd = ProgramTextBox({640, 422}, "00.00", kValueInches).right();
  Label(p, QRectF(ratioEnd + 3, 418, 706 - ratioEnd - 3, 27), ":1", language,
        ScaleStyle(Qt::AlignLeft | Qt::AlignVCenter));
}

// ---------------------------------------------------------------------------
// Page 6: firmware

struct FirmwareColumn {
  qreal panelLeft;
  int titleId;
  QPointF upgradeAt;  // where the pressed Upgrade picture is drawn
  QRectF memo;        // the release note the program shows over the page
  qreal labelRight;
  qreal fieldLeft;
  qreal openerLeft;
};

void DrawFirmwareColumn(QPainter& p, const FirmwareColumn& column, int language) {
  FillPanel(p, QRectF(column.panelLeft, 106, 468, 424));
  DrawIcon(p, Icon::kFirmware, QRectF(column.panelLeft + 14, 115, 22, 22), QColor::fromRgba(colour::kTeal),
           1.6);
  Label(p, QRectF(column.panelLeft + 44, 110, 380, 32), TableText(column.titleId, language), language,
        HeaderStyle(16));
  Label(p, QRectF(column.memo.left(), 144, column.upgradeAt.x() - column.memo.left() - 6, 26),
        TableText(86, language), language, LabelStyle(14));
  DrawPressable(p, kUpgradeButton, column.upgradeAt, UpgradeButtonText(language), language, false);
  FillWell(p, column.memo.adjusted(-8, -8, 8, 6));

  const int rowTexts[3] = {87, 89, 88};
  for (int row = 0; row < 4; ++row) {
    const qreal top = 314 + 33 * row;
    const QString name =
        row < 3 ? TableText(rowTexts[row], language) : Own(OwnText::kServerVersion, language);
    Label(p, QRectF(column.labelRight - 250, top, 250, 30), name, language,
          LabelStyle(14, Qt::AlignRight | Qt::AlignVCenter));
    if (row < 3) {
      FillWell(p, QRectF(column.fieldLeft, top, 110, 30));
    } else {
      DrawDropDown(p, QRectF(column.fieldLeft, 413, 110, 32), column.openerLeft);
    }
  }
}

void PaintFirmwarePage(QPainter& p, int language) {
  PaintPageBase(p, 6, language);
  // The release notes lie at (70, 196) and (527, 196), 329 x 96 pixels.
  DrawFirmwareColumn(p, {8, 106, {306, 142}, {70, 196, 329, 96}, 278, 285, 365}, language);
  DrawFirmwareColumn(p, {489, 107, {770, 142}, {527, 196, 329, 96}, 736, 742, 822}, language);
}

// ---------------------------------------------------------------------------
// Pressed pictures

void PaintPressed(QPainter& p, const PressedButton& button, const ButtonText& text, int language) {
  DrawPressable(p, button, {0, 0}, text, language, true);
}

}  // namespace

void AddPagePainters(PainterTable& table) {
  table["UI-02.PNG"] = PaintGeneralPage;
  table["UI-03.PNG"] = PaintThrottlePage;
  table["UI-04.PNG"] = PaintBrakePage;
  table["UI-05.PNG"] = PaintTimingPage;
  table["UI-06.PNG"] = PaintDashboardPage;
  table["UI-07.PNG"] = PaintFirmwarePage;
  table["UI-Read.png"] = [](QPainter& p, int l) { PaintPressed(p, kActionButton, ReadButtonText(l), l); };
  table["UI-Save.png"] = [](QPainter& p, int l) { PaintPressed(p, kActionButton, WriteButtonText(l), l); };
  table["UI-Rename.png"] = [](QPainter& p, int l) {
    PaintPressed(p, kProfileButton, RenameButtonText(l), l);
  };
  table["UI-Default.png"] = [](QPainter& p, int l) {
    PaintPressed(p, kProfileButton, DefaultButtonText(l), l);
  };
  table["UI-Test.png"] = [](QPainter& p, int l) { PaintPressed(p, kTestButton, TestButtonText(l), l); };
  table["UI-Update.png"] = [](QPainter& p, int l) {
    PaintPressed(p, kUpgradeButton, UpgradeButtonText(l), l);
  };
}

}  // namespace pictures
