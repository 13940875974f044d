// The curve editor opened from the throttle and brake pages on the selected
// profile's curve: its points, limits and value axis come from the profile.
#include "app/corvane_dlg.h"
#include "dialogs/page_show.h"

namespace {

constexpr int kFewestPoints = 2;
constexpr int kMostPoints = 16;
constexpr int kTablePoints = 2;
constexpr std::uint32_t kThrottleAxisTop = 100;
// An initial brake above this is no axis bottom; the drag brake is.
constexpr std::uint8_t kInitialBrakeAxisLimit = 50;

// Every stored pair is loaded, those within the count as read from the ESC;
// the editor limits the count (the whole stored word) itself.
void LoadPoints(CPageShow& editor, const std::uint8_t* pairs, std::uint16_t count) {
  editor.m_nPoints = count;
  for (int i = 0; i < kCurvePairs; ++i) {
    editor.m_pt[i].xValue = pairs[2 * i];
    editor.m_pt[i].yValue = pairs[2 * i + 1];
    editor.m_pt[i].exact = i < count ? 1 : 0;
  }
}

void RunCurveEditor(CCorvaneDlg& dlg, int kind) {
  CPageShow editor(dlg);
  editor.m_nCurveType = kind;
  editor.m_nMinPoints = kFewestPoints;
  editor.m_nMaxPoints = kMostPoints;
  editor.m_nTablePoints = kTablePoints;
  // The editor writes through these pointers into the image, under its lock.
  const bool selected = dlg.EditSelectedProfile([&](SettingsImage&, SettingProfile& p) {
    editor.m_pProfile = &p;
    if (kind == kThrottleCurve) {
      editor.m_pData = p.throttleCurve;
      LoadPoints(editor, p.throttleCurve, p.throttleCurvePoints);
      editor.m_nAxisMin = 0;
      editor.m_nAxisMax = kThrottleAxisTop;
    } else {
      editor.m_pData = p.brakeCurve;
      LoadPoints(editor, p.brakeCurve, p.brakeCurvePoints);
      editor.m_nAxisMax = p.brakeStrength;
      editor.m_nAxisMin = std::min<std::uint32_t>(
          p.initialBrake <= kInitialBrakeAxisLimit ? p.initialBrake : p.dragBrake, editor.m_nAxisMax);
    }
  });
  if (selected) editor.DoModal();
}

}  // namespace

void CCorvaneDlg::EditThrottleCurve() {
  RunCurveEditor(*this, kThrottleCurve);
}

void CCorvaneDlg::EditBrakeCurve() {
  RunCurveEditor(*this, kBrakeCurve);
}
