#include "dialogs/page_show.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "app/corvane_dlg.h"
#include "app/texts/ui_text_table.h"

namespace {

using platform::Argb;
using platform::Point;

// The origin lies 60 px right of the canvas's left edge and 25 px above its
// bottom; the last point stands 800 px right of it and 320 px above it.
constexpr int kOriginLeft = 60;
constexpr int kOriginAboveBottom = 25;
constexpr int kSpanX = 800;
constexpr int kSpanY = 320;
constexpr int kGridStep = 8;
constexpr int kGridRightMargin = 10;
constexpr double kHitRadius = 5.0;
constexpr int kSegmentMargin = 10;  // also the least distance a dragged point keeps from its neighbours
constexpr int kPointRadius = 5;
constexpr int kRefreshMs = 20;

constexpr Argb kBlack = 0xFF000000;
constexpr Argb kAxisGreen = 0xFF00C800;
constexpr Argb kTenthGreen = 0xFF006400;
constexpr Argb kGridGreen = 0xFF003200;
constexpr Argb kCurveRed = 0xFFFF0000;
constexpr Argb kFixedGrey = 0xFF808080;
constexpr Argb kMovableBlue = 0xFF0000FF;
constexpr Argb kLabelYellow = 0xFFFFFF00;
constexpr Argb kReadoutWhite = 0xFFFFFFFF;
const platform::Font kLabelFont{"MS Shell Dlg", 9.0f / 72.0f};
// The readout's width is judged at 8 px a character.
constexpr int kCharWidth = 8;

// Tenths rounded half away from zero to whole units, so that a falling span
// is the mirror of a rising one.
std::int64_t RoundTenths(std::int64_t tenths) {
  const std::int64_t magnitude = tenths < 0 ? -tenths : tenths;
  const std::int64_t units = magnitude / 10 + (magnitude % 10 >= 5 ? 1 : 0);
  return tenths < 0 ? -units : units;
}

// The value `offset` of `pixels` px along from the value `from` towards `to`
// (pixels > 0), held between the two.
std::uint32_t ValueAlong(std::int64_t from, std::int64_t to, std::int64_t offset, std::int64_t pixels) {
  const std::int64_t value = from + RoundTenths((to - from) * offset * 10 / pixels);
  return static_cast<std::uint32_t>(std::clamp(value, std::min(from, to), std::max(from, to)));
}

// "12.5" or "100": one decimal only when the tenths are not whole.
std::string FormatTenths(double tenths) {
  char text[32];
  const auto whole = static_cast<std::int64_t>(tenths);
  std::snprintf(text, sizeof text, whole % 10 == 0 ? "%.0f" : "%.1f", tenths / 10.0);
  return text;
}

double Distance(Point a, Point b) {
  return std::hypot(static_cast<double>(a.x - b.x), static_cast<double>(a.y - b.y));
}

platform::PointF Centre(int x, int y) {
  // Lines through pixel centres stay one pixel wide.
  return {static_cast<float>(x) + 0.5f, static_cast<float>(y) + 0.5f};
}

}  // namespace

CPageShow::CPageShow(CCorvaneDlg& mainWindow) : m_main(mainWindow) {}

std::string CPageShow::GetText(int id) const {
  return UiText(id, m_main.m_nLanguage);
}

int CPageShow::DoModal() {
  using platform::DialogItem;
  platform::DialogTemplate dialog;
  dialog.caption = "Dialog";
  dialog.width = 598;
  dialog.height = 254;
  // No button is the default one: Enter, like Escape, closes the editor
  // without writing.
  dialog.items = {
      {DialogItem::Kind::Static, IDC_CURVE_CANVAS, 0, 0, 598, 234, "", false, false},
      {DialogItem::Kind::Button, IDC_CURVE_DEFAULT, 397, 238, 50, 14, "Default", false, false},
      {DialogItem::Kind::Button, IDC_CURVE_OK, 467, 238, 50, 14, "OK", false, false},
      {DialogItem::Kind::Button, IDC_CURVE_CANCEL, 537, 238, 50, 14, "Cancel", false, false},
  };
  return m_main.m_host.runCanvasDialog(dialog, IDC_CURVE_CANVAS, *this);
}

bool CPageShow::OnInitDialog(platform::CanvasDialog& dialog) {
  m_dialog = &dialog;
  m_dialog->setItemText(IDC_CURVE_DEFAULT, GetText(95));
  m_dialog->setItemText(IDC_CURVE_OK, GetText(96));
  m_dialog->setItemText(IDC_CURVE_CANCEL, GetText(97));
  LimitPointCount();
  InitPointPositions();
  // The first picture comes with the first tick.
  m_dialog->setTimer(TIMER_CURVE_REFRESH, kRefreshMs);
  return true;
}

// The canvas keeps what was last drawn on it; the timer and the mouse draw.
void CPageShow::OnPaint() {}

void CPageShow::OnDestroy() {
  m_dialog = nullptr;
}

int CPageShow::Right() const {
  return m_dialog->canvasWidth();
}

int CPageShow::Bottom() const {
  return m_dialog->canvasHeight();
}

void CPageShow::LimitPointCount() {
  // The profile holds 16 pairs; the count word follows them.
  m_nMaxPoints = std::clamp(m_nMaxPoints, 2, kCurvePairs);
  m_nMinPoints = std::clamp(m_nMinPoints, 2, m_nMaxPoints);
  // The stored points are kept whatever their shape; only a count beyond the
  // pairs is cut to them. A count below two stays: such a curve is neither
  // shown nor edited, and OK leaves it alone.
  m_nPoints = std::clamp(m_nPoints, 0, m_nMaxPoints);
}

void CPageShow::InitPointPositions() {
  if (m_nPoints < 2) return;
  const Point origin{kOriginLeft, Bottom() - kOriginAboveBottom};
  CurvePoint& first = m_pt[0];
  CurvePoint& last = m_pt[m_nPoints - 1];
  first.xPixel = origin.x;
  first.yPixel = origin.y;
  last.xPixel = origin.x + kSpanX;
  last.yPixel = last.yValue == first.yValue ? origin.y : origin.y - kSpanY;
  for (int i = 1; i < m_nPoints - 1; ++i) {
    const Point at = ValueToPoint(i);
    m_pt[i].xPixel = at.x;
    m_pt[i].yPixel = at.y;
  }
  for (int i = m_nPoints; i < m_nMaxPoints; ++i)
    m_pt[i].exact = 0;
  const int caption = m_nCurveType == kThrottleCurve ? 98 : m_nCurveType == kBrakeCurve ? 99 : 100;
  m_dialog->setCaption(GetText(caption));
}

Point CPageShow::ValueToPoint(int i) const {
  if (i <= 0 || i > m_nPoints - 1) return {0, 0};
  const CurvePoint& first = m_pt[0];
  const CurvePoint& last = m_pt[m_nPoints - 1];
  const CurvePoint& p = m_pt[i];
  // Pixels from the first point towards the last. A stored curve may have
  // ends of one value, falling ends or inner values beyond the ends: such a
  // point is drawn at the nearer end of the span, its values stay as stored.
  const auto along = [](std::int64_t value, std::int64_t from, std::int64_t to, std::int64_t pixels) {
    if (to == from) return std::int64_t{0};
    return std::clamp<std::int64_t>(pixels * (value - from) / (to - from), 0,
                                    std::max<std::int64_t>(pixels, 0));
  };
  return {
      static_cast<int>(first.xPixel + along(p.xValue, first.xValue, last.xValue, last.xPixel - first.xPixel)),
      static_cast<int>(first.yPixel -
                       along(p.yValue, first.yValue, last.yValue, first.yPixel - last.yPixel))};
}

void CPageShow::PointToValue(int px, int py, std::uint32_t& vx, std::uint32_t& vy) const {
  if (m_nPoints < 2) return;
  const CurvePoint& first = m_pt[0];
  const CurvePoint& last = m_pt[m_nPoints - 1];
  // The inverse of ValueToPoint, for rising and falling ends alike.
  if (m_nCurveType != kBoostSlope && first.xPixel <= px && px <= last.xPixel && last.xPixel > first.xPixel)
    vx = ValueAlong(first.xValue, last.xValue, px - first.xPixel, last.xPixel - first.xPixel);
  if (last.yPixel <= py && py <= first.yPixel) {
    if (first.yPixel <= last.yPixel) {
      vy = first.yValue;  // a flat curve
    } else {
      vy = ValueAlong(first.yValue, last.yValue, first.yPixel - py, first.yPixel - last.yPixel);
    }
  }
}

int CPageShow::HitTest(Point& pt, int* segment) const {
  const Point c = m_dialog->cursorPos();
  const auto pixel = [this](int i) { return Point{m_pt[i].xPixel, m_pt[i].yPixel}; };
  for (int i = 0; i < m_nPoints; ++i) {
    if (Distance(c, pixel(i)) >= kHitRadius) continue;
    if (i < m_nPoints - 1 && Distance(c, pixel(i + 1)) < Distance(c, pixel(i))) ++i;
    pt = pixel(i);
    return i;
  }
  for (int k = 0; k + 1 < m_nPoints; ++k) {
    const Point a = pixel(k), b = pixel(k + 1);
    bool hit = false;
    Point on = c;
    if (a.x == b.x) {
      hit = b.y < c.y && c.y < a.y && a.x - kSegmentMargin < c.x && c.x < b.x + kSegmentMargin;
      on = {a.x, c.y};
    } else if (a.y == b.y) {
      hit = a.y - kSegmentMargin < c.y && c.y < a.y + kSegmentMargin && a.x + kSegmentMargin < c.x &&
            c.x < b.x - kSegmentMargin;
      on = {c.x, a.y};
    } else if (a.x + kSegmentMargin < c.x && c.x < b.x - kSegmentMargin) {
      const double lineY = a.y + static_cast<double>(b.y - a.y) / (b.x - a.x) * (c.x - a.x);
      hit = std::fabs(lineY - c.y) < kHitRadius;
      on = {c.x, static_cast<int>(lineY)};
    }
    if (!hit) continue;
    pt = on;
    if (segment != nullptr) *segment = k;
    return -1;
  }
  return -2;
}

bool CPageShow::Editable() const {
  return m_nCurveType == kBoostSlope || m_nAxisMax != m_nAxisMin;
}

void CPageShow::OnLButtonDown(int, int) {
  if (!Editable()) return;
  Point pt;
  int segment = 0;
  int hit = HitTest(pt, &segment);
  if (hit == -1 && m_nPoints < m_nMaxPoints) {
    // The new point goes between the ends of the segment it was pressed on,
    // never before the first point or after the last.
    const int at = segment + 1;
    for (int i = m_nPoints - 1; i >= at; --i)
      m_pt[i + 1] = m_pt[i];
    ++m_nPoints;  // first: the conversion reads the last point
    CurvePoint& added = m_pt[at];
    added.xPixel = pt.x;
    added.yPixel = pt.y;
    added.exact = 0;
    added.xValue = m_pt[segment].xValue;
    added.yValue = m_pt[segment].yValue;
    PointToValue(pt.x, pt.y, added.xValue, added.yValue);
    DrawCurve();
  }
  if (hit == -1) hit = HitTest(pt);
  if (hit >= 0) m_nSelected = hit;
}

void CPageShow::OnMouseMove(int, int, bool leftButtonDown) {
  if (!Editable()) return;
  if (m_nSelected >= 0) {
    if (leftButtonDown) {
      DragPoint();
    } else {
      m_nSelected = -2;
    }
  }
  DrawCurve();
}

void CPageShow::DragPoint() {
  const int s = m_nSelected;
  if (s <= 0 || s >= m_nPoints - 1 || !m_pt[s].movable) return;
  const Point c = m_dialog->cursorPos();
  const CurvePoint& before = m_pt[s - 1];
  const CurvePoint& after = m_pt[s + 1];
  // 10 px left of the right neighbour at most, then 10 px right of the left
  // one at least: the left bound wins where they are less than 20 px apart.
  // Closer than 10 px that would pass the right neighbour: halfway instead.
  int x = (before.xPixel + after.xPixel) / 2;
  if (after.xPixel - before.xPixel >= kSegmentMargin)
    x = std::max(std::min(c.x, after.xPixel - kSegmentMargin), before.xPixel + kSegmentMargin);
  // No lower than the point before, no higher than the one after (pixel y
  // grows downwards).
  const int y = std::max(std::min(c.y, before.yPixel), after.yPixel);
  m_pt[s].xPixel = x;
  m_pt[s].yPixel = y;
  m_pt[s].exact = 0;
}

void CPageShow::OnLButtonUp(int, int) {
  m_nSelected = -2;
}

void CPageShow::OnRButtonDown(int, int) {
  if (!Editable()) return;
  Point pt;
  const int hit = HitTest(pt);
  if (hit <= 0 || hit >= m_nPoints - 1) return;
  m_nSelected = hit;
  // At the fewest points the point stays, selected.
  if (m_nPoints <= m_nMinPoints) return;
  for (int i = hit; i < m_nPoints - 1; ++i)
    m_pt[i] = m_pt[i + 1];
  --m_nPoints;
  m_nSelected = -2;
  DrawCurve();
}

void CPageShow::OnCommand(int buttonId) {
  if (buttonId == IDC_CURVE_DEFAULT) {
    OnBnClickedDefault();
  } else if (buttonId == IDC_CURVE_OK) {
    OnBnClickedOk();
  } else if (buttonId == IDC_CURVE_CANCEL) {
    OnBnClickedCancel();
  }
}

void CPageShow::OnBnClickedDefault() {
  if (m_nPoints <= 2) return;
  // A straight line from the first point to the last.
  m_pt[1] = m_pt[m_nPoints - 1];
  m_nPoints = 2;
  DrawCurve();
}

void CPageShow::OnBnClickedOk() {
  // Fewer than two points make no custom curve: the profile stays as it is.
  if (m_pData != nullptr && m_nPoints >= 2) {
    // Every point as shown: a stored one with its own values, a placed one
    // with the values at its pixel position (a coordinate outside the span
    // keeps the point's own value).
    std::uint32_t xs[kCurvePairs], ys[kCurvePairs];
    for (int i = 0; i < m_nPoints; ++i) {
      xs[i] = m_pt[i].xValue;
      ys[i] = m_pt[i].yValue;
      if (!m_pt[i].exact) PointToValue(m_pt[i].xPixel, m_pt[i].yPixel, xs[i], ys[i]);
    }
    m_main.EditSettings([&](SettingsImage&) {
      // The first pair stays as stored; pairs beyond the count keep their
      // bytes.
      for (int i = 1; i < m_nPoints; ++i) {
        m_pData[2 * i] = static_cast<std::uint8_t>(xs[i]);
        m_pData[2 * i + 1] = static_cast<std::uint8_t>(ys[i]);
      }
      // The whole count word, little-endian, right after the pairs.
      m_pData[2 * kCurvePairs] = static_cast<std::uint8_t>(m_nPoints);
      m_pData[2 * kCurvePairs + 1] = static_cast<std::uint8_t>(m_nPoints >> 8);
      if (m_pProfile == nullptr) return;
      if (m_nCurveType == kThrottleCurve)
        m_pProfile->profileFlags &= static_cast<std::uint8_t>(~kFlagLinearThrottle);
      if (m_nCurveType == kBrakeCurve) m_pProfile->brakeCurveLinear = 0;
    });
  }
  // Without a link the profile has changed in memory only, and the write is
  // answered at once.
  if (m_main.NoLinkForRequest()) return;
  EnableCommands(false);
  m_bWaitWrite = 1;
  m_bWriteHanded = false;
  HandOverWrite();
}

void CPageShow::HandOverWrite() {
  // Only an idle link takes it; the tick tries again until it does.
  m_bWriteHanded = m_main.QueueIdentifyIfIdle(kChannelEsc, kCmdWriteBlock, false);
}

void CPageShow::EnableCommands(bool enabled) {
  m_dialog->enableItem(IDC_CURVE_DEFAULT, enabled);
  m_dialog->enableItem(IDC_CURVE_OK, enabled);
  m_dialog->enableItem(IDC_CURVE_CANCEL, enabled);
  m_dialog->enableClose(enabled);
}

void CPageShow::OnBnClickedCancel() {
  m_dialog->postClose();
}

void CPageShow::OnClose() {
  // A write that has not reached the link yet would be lost: the editor
  // stays until the link has taken it. Once taken, it goes on without the
  // editor.
  if (m_bWaitWrite && !m_bWriteHanded) return;
  m_dialog->killTimer(TIMER_CURVE_REFRESH);
  m_dialog->endDialog(platform::kIdCancel);
}

void CPageShow::OnTimer(int timerId) {
  if (timerId != TIMER_CURVE_REFRESH) return;
  if (m_main.m_bLinkRunning && m_main.m_bEscConnected) {
    DrawCurve();
    if (!m_bWaitWrite) return;
    if (!m_bWriteHanded) {
      HandOverWrite();
    } else if (m_main.LinkIdle()) {
      // The write has ended, well or not; the link has shown which.
      m_bWaitWrite = 0;
      EnableCommands(true);
    }
    return;
  }
  // The ESC or the link is gone: the editor closes, unless the image came
  // from a file, in which case the commands come back.
  const bool waited = m_bWaitWrite != 0;
  m_bWaitWrite = 0;
  // A write the link never took is said to have failed.
  if (waited && !m_bWriteHanded) m_main.ShowStatus(m_main.m_bLinkRunning ? 24 : 27);
  if (!m_main.m_bFromFile) {
    m_dialog->postClose();
  } else if (waited) {
    EnableCommands(true);
  }
}

void CPageShow::DrawCurve() {
  if (m_nPoints < 2 || m_dialog == nullptr) return;
  const int right = Right(), bottom = Bottom();
  std::unique_ptr<platform::Layer> layer = m_dialog->createLayer(right, bottom);
  platform::Canvas& canvas = layer->canvas();
  canvas.fillRect({0, 0, static_cast<float>(right), static_cast<float>(bottom)}, kBlack);

  const auto gridColor = [](int j) { return j == 0 ? kAxisGreen : j % 10 == 0 ? kTenthGreen : kGridGreen; };
  for (int j = 0; kOriginLeft + kGridStep * j < right - kGridRightMargin; ++j) {
    const int x = kOriginLeft + kGridStep * j;
    canvas.drawLine(Centre(x, bottom - kOriginAboveBottom), Centre(x, 0), gridColor(j), 1);
  }
  for (int j = 0; bottom - kOriginAboveBottom - kGridStep * j > 0; ++j) {
    const int y = bottom - kOriginAboveBottom - kGridStep * j;
    canvas.drawLine(Centre(kOriginLeft, y), Centre(right, y), gridColor(j), 1);
  }

  const CurvePoint& first = m_pt[0];
  const CurvePoint& last = m_pt[m_nPoints - 1];
  if (Editable()) {
    for (int k = 0; k < m_nPoints; ++k) {
      const CurvePoint& p = m_pt[k];
      if (k + 1 < m_nPoints) {
        canvas.drawLine(Centre(p.xPixel, p.yPixel), Centre(m_pt[k + 1].xPixel, m_pt[k + 1].yPixel), kCurveRed,
                        1);
      }
      const platform::RectF circle{static_cast<float>(p.xPixel - kPointRadius) + 0.5f,
                                   static_cast<float>(p.yPixel - kPointRadius) + 0.5f, 2 * kPointRadius,
                                   2 * kPointRadius};
      const bool fixed = k == 0 || k == m_nPoints - 1 || !p.movable;
      canvas.fillEllipse(circle, fixed ? kFixedGrey : kMovableBlue);
      canvas.drawEllipse(circle, kCurveRed, 1);
    }
  }

  // Percent of the value axis at an offset along a span of pixels; a span
  // of nothing shows the axis bottom.
  const double axisRange = static_cast<double>(m_nAxisMax) - static_cast<double>(m_nAxisMin);
  const auto percentTenths = [&](int offset, int span) {
    const double bottomTenths = m_nAxisMin * 10.0;
    return span > 0 ? axisRange * offset * 10.0 / span + bottomTenths : bottomTenths;
  };
  const int spanX = last.xPixel - first.xPixel;
  const int spanY = first.yPixel - last.yPixel;
  const auto label = [&](const std::string& text, platform::RectF rect, bool bottomRight, Argb color) {
    platform::TextBox box;
    box.rect = rect;
    box.alignRight = bottomRight;
    box.alignBottom = bottomRight;
    box.background = kBlack;
    canvas.drawTextInBox(text, kLabelFont, color, box);
  };
  const bool axisShown = m_nAxisMax > m_nAxisMin;
  for (int d = 0; d <= kSpanX; d += 80) {
    if (d > 0 && !axisShown) break;
    const float x = static_cast<float>(d == 0 ? kOriginLeft : kOriginLeft - 8 + d);
    label(FormatTenths(percentTenths(d, spanX)) + "%", {x, static_cast<float>(bottom - 20), 0, 0}, false,
          kLabelYellow);
  }
  for (int d = 0; d <= kSpanY; d += 40) {
    if (d > 0 && !(last.yValue > first.yValue && axisShown)) break;
    label(FormatTenths(percentTenths(d, spanY)) + "%",
          {0, static_cast<float>(bottom - d - 33), static_cast<float>(kOriginLeft - 5), 20}, true,
          kLabelYellow);
  }

  // The readout: the dragged point, else the cursor over the canvas, held
  // within the curve's span.
  Point pos;
  bool readout = false;
  if (m_nSelected >= 0 && m_nSelected < m_nPoints) {
    pos = {m_pt[m_nSelected].xPixel, m_pt[m_nSelected].yPixel};
    readout = true;
  } else if (m_dialog->cursorOver()) {
    const Point c = m_dialog->cursorPos();
    pos = {std::clamp(c.x, first.xPixel, last.xPixel), std::clamp(c.y, last.yPixel, first.yPixel)};
    readout = true;
  }
  if (readout) {
    const std::string text = "X:" + FormatTenths(percentTenths(pos.x - first.xPixel, spanX)) +
                             "%  Y:" + FormatTenths(percentTenths(first.yPixel - pos.y, spanY)) + "%";
    const int width = kCharWidth * static_cast<int>(text.size());
    const int x = pos.x + width > right ? pos.x - width + 7 : pos.x + 15;
    label(text, {static_cast<float>(x), static_cast<float>(pos.y + 10), 0, 0}, false, kReadoutWhite);
  }

  m_dialog->paintCanvas([&](platform::Canvas& target) { target.drawLayer(*layer, {0, 0}); });
}
