// Colours, fonts and the shapes that all pictures are drawn from, so that the
// set keeps one look: dark blue-grey surfaces, light text, a teal highlight and
// the program's orange used sparingly.
#pragma once

#include <QColor>
#include <QFont>
#include <QPainter>
#include <QPointF>
#include <QRectF>
#include <QString>
#include <QStringList>

namespace pictures {

namespace colour {
// The page band. Also the colour the timing page paints over its unit labels
// and choice marks with, so those blankings stay invisible.
inline constexpr QRgb kPage = 0xFF1F1F24;
// Group panels. Also the colour of the bar the general page lays over its
// voltage scale for a model with another range.
inline constexpr QRgb kPanel = 0xFF2B2A32;
inline constexpr QRgb kPanelTop = 0xFF302F38;
inline constexpr QRgb kPanelBorder = 0xFF3C3D49;
inline constexpr QRgb kWell = 0xFF1F1F24;  // value wells inside panels
inline constexpr QRgb kTrack = 0xFF17171B;
inline constexpr QRgb kTrackBorder = 0xFF45464F;
inline constexpr QRgb kFrameTop = 0xFF2B3342;
inline constexpr QRgb kFrameBottom = 0xFF1C2029;
inline constexpr QRgb kText = 0xFFE9ECF1;
inline constexpr QRgb kTextMuted = 0xFF9AA1AE;
inline constexpr QRgb kTextFaint = 0xFF6C7280;
inline constexpr QRgb kTeal = 0xFF2AB3C2;
inline constexpr QRgb kTealDeep = 0xFF1B7F8C;
inline constexpr QRgb kTealSoft = 0xFF1E4A52;
inline constexpr QRgb kOrange = 0xFFF7680C;
inline constexpr QRgb kBoost = 0xFFE040B8;
inline constexpr QRgb kTurbo = 0xFF3F5BFF;
inline constexpr QRgb kGreen = 0xFF2FC26B;
inline constexpr QRgb kRed = 0xFFE5484D;
inline constexpr QRgb kButtonTop = 0xFF41444F;
inline constexpr QRgb kButtonBottom = 0xFF33353E;
inline constexpr QRgb kButtonBorder = 0xFF565A67;
}  // namespace colour

// A font for the language's labels: Latin faces first, then the Chinese or
// Japanese face that covers the rest.
QFont UiFont(int language, int pixelSize, bool bold = false);

struct TextStyle {
  int maxPixels = 15;  // preferred size
  int minPixels = 9;   // the text shrinks down to this size before it wraps or overflows
  QRgb colour = colour::kText;
  int align = Qt::AlignLeft | Qt::AlignVCenter;
  bool wrap = false;  // may break into lines when it does not fit on one
  // With wrapping allowed, a single line is still preferred down to this size
  // (0: only at maxPixels).
  int singleLineMin = 0;
  bool bold = false;
};

// How a text fits a box: the size to draw it at, whether it takes several
// lines, whether it fits at all (when not, the size is the smallest), and the
// text to draw: with its soft hyphens only when it breaks inside a word.
struct TextFit {
  int pixels;
  bool wrapped;
  bool fits;
  QString text;
};

// Finds the largest size from maxPixels down to minPixels at which the text
// fits: on one line first (down to singleLineMin, or a little smaller for
// Chinese and Japanese, which break between any two characters), then, when
// wrapping is allowed, on one or several lines, broken between words or, when
// that does not fit, also at the text's soft hyphens.
TextFit FitText(const QRectF& box, const QString& text, int language, const TextStyle& style);

// Draws the text into the box at the largest size from maxPixels down to
// minPixels at which it fits (on one line first, then, when wrapping is
// allowed, on several). Returns the size used.
int DrawFittedText(QPainter& p, const QRectF& box, const QString& text, int language, const TextStyle& style);

// Items set one after another, joined by a separator, in lines that break only
// between items: the largest size from maxPixels down to minPixels at which
// they take at most maxLines lines of the box.
struct ItemLines {
  int pixels;
  QStringList lines;
};
ItemLines LayOutItems(const QRectF& box, const QStringList& items, const QString& separator, int language,
                      const TextStyle& style, int maxLines);
// Draws them so, each line centred.
void DrawItemLines(QPainter& p, const QRectF& box, const QStringList& items, const QString& separator,
                   int language, const TextStyle& style, int maxLines);

// Makes a painter with antialiasing for text, shapes and scaled pictures.
void PreparePainter(QPainter& p);

// Surfaces.
void FillPanel(QPainter& p, const QRectF& r, qreal radius = 10);
void FillWell(QPainter& p, const QRectF& r, qreal radius = 6);
// A slider's empty track.
void DrawTrack(QPainter& p, const QRectF& r);
// An empty choice ring around a place where the program draws its marker.
void DrawChoiceRing(QPainter& p, QPointF centre, qreal radius = 11);
void DrawVerticalRule(QPainter& p, qreal x, qreal top, qreal bottom);
void DrawHorizontalRule(QPainter& p, qreal y, qreal left, qreal right);

enum class Icon {
  kHome,
  kClose,
  kSettings,
  kThrottle,
  kBrake,
  kTiming,
  kGauge,
  kFirmware,
  kOpenFile,
  kSaveFile,
  kReset,
  kReadEsc,
  kWriteEsc,
  kGlobe,
  kChevronDown,
  kCurve,
  kCloud,
  kCar,
};

// Draws the icon as line art inside the square box in the colour given.
void DrawIcon(QPainter& p, Icon icon, const QRectF& box, QColor colour, qreal stroke = 0);

// A push button: rounded, with an optional icon before the label.
struct ButtonLook {
  bool pressed = false;
  bool hasIcon = false;
  Icon icon = Icon::kHome;
  int maxPixels = 14;
  int minPixels = 8;
};
void DrawButton(QPainter& p, const QRectF& r, const QString& label, int language, const ButtonLook& look);

// The box that a text of the page drawers covers when the program draws it
// from `origin` in its dialog face of `inches` (96 pixels an inch, with a
// sixth of an em of room before the first glyph). Labels and units of a
// background are laid out against it, so that no drawn value covers them.
QRectF ProgramTextBox(QPointF origin, const QString& text, double inches);

// Point at the given program angle around a centre. The program turns its
// needles clockwise from straight down: 0 points down, 90 left, 180 up.
QPointF GaugePoint(QPointF centre, qreal radius, qreal programDegrees);

}  // namespace pictures
