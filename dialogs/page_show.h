// The curve editor: one response curve of the selected profile (throttle or
// brake) edited as a chain of points on a gridded canvas. A left press on a
// segment inserts a point, dragging moves an inner point, a right press
// removes one, Default makes the curve a straight line, OK writes it back to
// the profile and hands the profile write to the link.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "platform/canvas_dialog.h"

class CCorvaneDlg;
struct SettingProfile;

// One point of the curve being edited.
struct CurvePoint {
  std::uint32_t xValue = 0;  // profile units (0..255)
  std::uint32_t yValue = 0;
  // 1: the values are authoritative (read from the profile and not moved
  // since); 0: they follow from the pixel position when written.
  std::uint8_t exact = 0;
  std::uint8_t movable = 1;  // may be dragged; drawn grey when not
  std::int32_t xPixel = 0;   // canvas client coordinates, y growing downwards
  std::int32_t yPixel = 0;
};

enum CurveKind : int {
  kThrottleCurve = 0,
  kBrakeCurve = 1,
  kBoostSlope = 2,  // a table of 16-bit values; not opened by the pages
};

inline constexpr int TIMER_CURVE_REFRESH = 3;
inline constexpr int IDC_CURVE_CANVAS = 1024;
inline constexpr int IDC_CURVE_DEFAULT = 1080;
inline constexpr int IDC_CURVE_OK = 1023;
inline constexpr int IDC_CURVE_CANCEL = 1065;
// The (x, y) pairs a profile holds per curve; the point count follows them.
inline constexpr int kCurvePairs = 16;

class CPageShow : public platform::CanvasDialogEvents {
 public:
  explicit CPageShow(CCorvaneDlg& mainWindow);

  // Runs the editor; the result is of no use to the caller.
  int DoModal();
  // Text of the main window's language.
  std::string GetText(int id) const;

  bool OnInitDialog(platform::CanvasDialog& dialog) override;
  void OnPaint() override;
  void OnTimer(int timerId) override;
  void OnMouseMove(int x, int y, bool leftButtonDown) override;
  void OnLButtonDown(int x, int y) override;
  void OnLButtonUp(int x, int y) override;
  void OnRButtonDown(int x, int y) override;
  void OnCommand(int buttonId) override;
  void OnClose() override;
  void OnDestroy() override;
  void OnBnClickedDefault();
  void OnBnClickedOk();
  void OnBnClickedCancel();

  // Pixel positions of all points, and the caption.
  void InitPointPositions();
  // The pixel position of point i from its values, within the curve's span;
  // (0, 0) for point 0 and beyond the last.
  platform::Point ValueToPoint(int i) const;
  // Values at a pixel position; each is written only when its coordinate
  // lies within the curve's span.
  void PointToValue(int px, int py, std::uint32_t& vx, std::uint32_t& vy) const;
  // A point index, -1 for a segment (pt on it; segment, when given, its
  // index) or -2 for nothing, at the cursor.
  int HitTest(platform::Point& pt, int* segment = nullptr) const;
  // Moves the selected point towards the cursor, between its neighbours.
  void DragPoint();
  // Draws the whole canvas off screen, then shows it.
  void DrawCurve();
  bool Editable() const;

  std::uint8_t* m_pData = nullptr;  // the curve's first byte inside the main window's image
  CurvePoint m_pt[100];
  int m_nMaxPoints = 0;
  int m_nMinPoints = 0;
  int m_nPoints = 0;
  int m_nSelected = -2;
  int m_nCurveType = kThrottleCurve;
  int m_nTablePoints = 0;
  std::uint8_t m_bWaitWrite = 0;
  std::uint32_t m_nAxisMax = 0;
  std::uint32_t m_nAxisMin = 0;
  // The profile that holds m_pData, whose linear flag OK clears.
  SettingProfile* m_pProfile = nullptr;

 private:
  // Keeps the point count within the limits and the profile's pairs.
  void LimitPointCount();
  // Hands the profile write to the link once it is idle.
  void HandOverWrite();
  void EnableCommands(bool enabled);
  int Right() const;
  int Bottom() const;

  CCorvaneDlg& m_main;
  platform::CanvasDialog* m_dialog = nullptr;  // while the editor runs
  bool m_bWriteHanded = false;                 // the write of the last OK reached the link
};
