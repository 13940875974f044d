// Press and drag on the pages' sliders, switches and lists. The press fixes
// the control under it; while the button stays down each move runs that
// control's rule again at the pointer held inside the control's clamp
// rectangle, so a slider dragged past its end stays at that end. A move never
// reaches another control: a press whose control has no clamp rectangle
// ignores its moves, and a held point that meets no control changes nothing.
#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstring>

#include "app/corvane_dlg.h"
#include "pages/throttle_calibration.h"

namespace {

// What the control under the pointer did.
struct Press {
  bool onControl = false;    // a control of the page took the press
  bool changed = false;      // it stored a new value
  bool alwaysDraws = false;  // it redraws its page whether or not anything changed
  UiRect clamp{};            // where later moves hold the pointer; all zero for none
};

bool IsZero(const UiRect& r) {
  return r.left == 0 && r.top == 0 && r.right == 0 && r.bottom == 0;
}

// A control that holds later moves inside clamp.
Press Held(const UiRect& clamp, bool changed) {
  return {true, changed, false, clamp};
}

// A control without a clamp rectangle that redraws its page at every press.
Press Drawn() {
  return {true, false, true, {}};
}

bool Store(std::uint8_t& field, int value) {
  const auto v = static_cast<std::uint8_t>(value);
  if (field == v) return false;
  field = v;
  return true;
}

// The records are packed and their 16-bit fields unaligned: those are
// written through their bytes, never through a reference.
template <class Record>
bool StoreWord(Record& record, std::size_t offset, int value) {
  auto* at = reinterpret_cast<std::uint8_t*>(&record) + offset;
  std::uint16_t old;
  std::memcpy(&old, at, sizeof old);
  const auto v = static_cast<std::uint16_t>(value);
  std::memcpy(at, &v, sizeof v);
  return old != v;
}

bool StoreBit(std::uint8_t& flags, int mask, bool on) {
  return Store(flags, on ? flags | mask : flags & ~mask);
}

constexpr std::uint8_t kInitialBrakeDrag = 0x80;

// ---- page 1, general settings ----

constexpr UiRect kLanguageList{754, 150, 882, 269};
constexpr UiRect kProfileList{160, 150, 288, 449};
constexpr UiRect kRunningModeRows{36, 204, 66, 350};
constexpr UiRect kBit7Choice{217, 217, 247, 330};
constexpr UiRect kBit5Choice{835, 220, 910, 340};
constexpr UiRect kEscOverheatRows{400, 200, 430, 360};
constexpr UiRect kMotorOverheatRows{610, 200, 640, 360};
constexpr UiRect kReverseSpeedSlider{165, 385, 715, 400};
constexpr UiRect kCutoffSlider{165, 442, 715, 458};
constexpr UiRect kCutoffLockSwitch{825, 442, 875, 458};
constexpr UiRect kCutoffOnOffSwitch{825, 477, 875, 493};
constexpr UiRect kCutoffOnOffClamp{165, 477, 715, 493};
constexpr UiRect kTempUnitChoice{478, 212, 731, 230};

// The three overheat choices, 40 pixels a row; the last row's bottom pixels
// still choose the last one.
int OverheatChoice(int y) {
  return std::min((y - 201) / 40, 2);
}

Press PressGeneralControls(CCorvaneDlg& dlg, SettingProfile& p, int x, int y) {
  const bool esc08 = dlg.m_strModelName == "ESC08";
  if (kRunningModeRows.Contains(x, y)) return Held(kRunningModeRows, Store(p.runningMode, (y - 203) / 60));
  if (kBit7Choice.Contains(x, y)) return Held(kBit7Choice, StoreBit(p.profileFlags, kFlagBit7, y >= 265));
  if (kBit5Choice.Contains(x, y)) return Held(kBit5Choice, StoreBit(p.profileFlags, kFlagBit5, y <= 280));
  if (kEscOverheatRows.Contains(x, y)) return Held(kEscOverheatRows, Store(p.escOverheat, OverheatChoice(y)));
  if (kMotorOverheatRows.Contains(x, y))
    return Held(kMotorOverheatRows, Store(p.motorOverheat, OverheatChoice(y)));
  if (kReverseSpeedSlider.Contains(x, y)) {
    const int speed = 64 + static_cast<int>((x - 165) / 2.85417);
    return Held(kReverseSpeedSlider, Store(p.reverseSpeed, std::min(speed, 255)));
  }
  if (dlg.m_bCutoffOff == 0) {
    if (kCutoffSlider.Contains(x, y)) {
      // The lock switch holds the voltage where it is.
      if (p.profileFlags & kFlagCutoffLock) return Drawn();
      const int volts = esc08 ? std::min(60 + static_cast<int>((x - 165) / 2.89), 250)
                              : std::min(30 + static_cast<int>((x - 165) / 6.85), 110);
      return Held(kCutoffSlider, Store(p.cutoffVoltage, volts));
    }
    if (kCutoffLockSwitch.Contains(x, y))
      return Held(kCutoffLockSwitch, StoreBit(p.profileFlags, kFlagCutoffLock, x >= 850));
  }
  if (kCutoffOnOffSwitch.Contains(x, y)) {
    if (x > 850) {
      dlg.m_bCutoffOff = 1;
      p.cutoffVoltage = 0;
    } else {
      p.cutoffVoltage = esc08 ? 96 : 64;
      dlg.m_bCutoffOff = 0;
    }
    return {true, true, true, kCutoffOnOffClamp};
  }
  if (kTempUnitChoice.Contains(x, y)) {
    if (x <= 496 || (x >= 685 && x <= 703)) {
      dlg.m_nTempUnit = 0;
    } else if ((x >= 506 && x <= 524) || x >= 713) {
      dlg.m_nTempUnit = 1;
    }
    return Drawn();
  }
  return {};
}

Press PressGeneralPage(CCorvaneDlg& dlg, int x, int y) {
  if (dlg.m_nOpenList == 2) {
    // The press picks a language or only closes the list.
    if (kLanguageList.Contains(x, y)) {
      dlg.m_nLanguage = (y - 150) / 30;
      dlg.ShowStatus(dlg.m_nStatusTextId);
      dlg.DrawFrame();
    }
    dlg.m_nOpenList = 0;
    return Drawn();
  }
  // The release picks the profile.
  if (dlg.m_nOpenList == 1 && kProfileList.Contains(x, y)) return {};
  Press press;
  dlg.EditSelectedProfile(
      [&](SettingsImage&, SettingProfile& p) { press = PressGeneralControls(dlg, p, x, y); });
  return press;
}

// ---- page 2, throttle ----

constexpr UiRect kSwitchPointSlider{160, 220, 640, 248};
constexpr UiRect kThrottleStage1Bars{167, 300, 297, 460};
constexpr UiRect kThrottleStage2Bars{453, 300, 583, 460};

// Five level bars of 34 pixels, stepping by step.
int LevelBar(int y, int top, int step) {
  return step * ((y - top) / 34 + 1);
}

// The dead band of a handle at row y: its distance from the neutral point,
// on the scale that maps the calibrated range onto the page.
Press PressDeadBandHandle(const CCorvaneDlg& dlg, SettingsImage& image, int x, int y) {
  // The handle's zone is centred on where the page last drew it (never far
  // off the page).
  if (!std::isfinite(dlg.m_fDeadBandHandleY) || std::fabs(dlg.m_fDeadBandHandleY) > 10000) return {};
  const int h = static_cast<int>(dlg.m_fDeadBandHandleY);
  const UiRect handle{848, h - 100, 868, h + 100};
  if (!handle.Contains(x, y)) return {};
  const int low = image.throttleLow;
  const int v =
      low - page::kCalibrationOffset +
      (image.throttleHigh - low + 2 * page::kCalibrationOffset) * (406 - y) / page::kCalibrationScaleHeight;
  const auto v16 = static_cast<std::uint16_t>(v);
  const std::uint16_t neutral = image.throttleNeutral;
  const bool changed =
      StoreWord(image, offsetof(SettingsImage, deadBand), std::max(v16, neutral) - std::min(v16, neutral));
  return {true, changed, true, handle};
}

Press PressThrottlePage(CCorvaneDlg& dlg, int x, int y) {
  Press press;
  dlg.EditSelectedProfile([&](SettingsImage& image, SettingProfile& p) {
    if (kSwitchPointSlider.Contains(x, y)) {
      press = Held(kSwitchPointSlider, Store(p.throttleSwitchPoint, static_cast<int>((x - 160) * 0.53125)));
    } else if (kThrottleStage1Bars.Contains(x, y)) {
      press = Held(kThrottleStage1Bars, Store(p.throttleStage1Rate, LevelBar(y, 300, 6)));
    } else if (kThrottleStage2Bars.Contains(x, y)) {
      press = Held(kThrottleStage2Bars, Store(p.throttleStage2Rate, LevelBar(y, 300, 6)));
    } else {
      press = PressDeadBandHandle(dlg, image, x, y);
    }
  });
  return press;
}

// ---- page 3, brake ----

constexpr UiRect kDragBrakeSlider{155, 216, 635, 246};
constexpr UiRect kBrakeStrengthSlider{155, 280, 635, 310};
constexpr UiRect kInitialBrakeSlider{153, 342, 635, 372};
constexpr UiRect kBrakeSwitchPointSlider{155, 406, 635, 436};
constexpr UiRect kBrakeStage1Bars{758, 138, 918, 298};
constexpr UiRect kBrakeStage2Bars{758, 355, 918, 515};

Press PressBrakeControls(SettingProfile& p, int x, int y) {
  const int to50 = (x - 155) * 5 / 48;
  const int to100 = (x - 155) * 5 / 24;
  if (kDragBrakeSlider.Contains(x, y)) return Held(kDragBrakeSlider, Store(p.dragBrake, to50));
  if (kBrakeStrengthSlider.Contains(x, y)) return Held(kBrakeStrengthSlider, Store(p.brakeStrength, to100));
  if (kInitialBrakeSlider.Contains(x, y)) {
    // Left of the scale's start the initial brake follows the drag brake.
    const int initial = x < 155 ? p.initialBrake | kInitialBrakeDrag : to50;
    return Held(kInitialBrakeSlider, Store(p.initialBrake, initial));
  }
  if (kBrakeSwitchPointSlider.Contains(x, y))
    return Held(kBrakeSwitchPointSlider, Store(p.brakeSwitchPoint, std::max(to100, 1)));
  if (kBrakeStage1Bars.Contains(x, y))
    return Held(kBrakeStage1Bars, Store(p.brakeStage1Rate, LevelBar(y, 138, 4)));
  if (kBrakeStage2Bars.Contains(x, y))
    return Held(kBrakeStage2Bars, Store(p.brakeStage2Rate, LevelBar(y, 355, 4)));
  return {};
}

// ---- page 4, timing: nine vertical sliders, 150 pixels from 0 to full ----

constexpr int kTimingTop = 240;
constexpr int kTimingBottom = 390;

struct TimingSlider {
  int left, right;
  // The slider does not move (and is no control) while locked.
  bool (*locked)(const SettingProfile& p, bool esc08);
  // Stores the value of travel t (0..150) or of row y; true when it changed.
  bool (*store)(SettingProfile& p, int t, int y);
};

constexpr TimingSlider kTimingSliders[] = {
    {65, 95,
     [](const SettingProfile& p, bool esc08) { return esc08 || (p.profileFlags & kFlagTimingOff) != 0; },
     [](SettingProfile& p, int t, int) { return Store(p.boostTiming, t * 64 / 150); }},
    {157, 187, [](const SettingProfile&, bool esc08) { return esc08; },
     [](SettingProfile& p, int t, int) {
       return StoreWord(p, offsetof(SettingProfile, boostStartRpm), (t * 68 / 150 + 2) * 500);
     }},
    {259, 289, [](const SettingProfile&, bool esc08) { return esc08; },
     [](SettingProfile& p, int t, int) {
       return StoreWord(p, offsetof(SettingProfile, boostEndRpm), (t * 114 / 150 + 6) * 500);
     }},
    {430, 460, [](const SettingProfile& p, bool) { return (p.profileFlags & kFlagTimingOff) != 0; },
     [](SettingProfile& p, int t, int) { return Store(p.turboTiming, t * 64 / 150); }},
    {510, 550, [](const SettingProfile&, bool) { return false; },
     [](SettingProfile& p, int, int y) {
       return Store(p.turboActivation, y < 280 ? 0 : y < 350 ? 1 : 2);
     }},
    {605, 635, [](const SettingProfile&, bool) { return false; },
     [](SettingProfile& p, int t, int) { return Store(p.turboDelay, t * 100 / 150); }},
    {702, 732, [](const SettingProfile& p, bool) { return p.turboActivation == 0; },
     [](SettingProfile& p, int t, int) {
       return StoreWord(p, offsetof(SettingProfile, turboRpm), (t * 41 / 150 + 9) * 1000);
     }},
    {789, 819, [](const SettingProfile&, bool) { return false; },
     [](SettingProfile& p, int t, int) { return Store(p.turboEngageSlope, t * 63 / 150 + 1); }},
    {883, 913, [](const SettingProfile&, bool) { return false; },
     [](SettingProfile& p, int t, int) { return Store(p.turboDeactiveSlope, t * 64 / 150); }},
};

Press PressTimingPage(CCorvaneDlg& dlg, int x, int y) {
  Press press;
  if (y < kTimingTop || y > kTimingBottom) return press;
  dlg.EditSelectedProfile([&](SettingsImage&, SettingProfile& p) {
    const bool esc08 = dlg.m_strModelName == "ESC08";
    for (const TimingSlider& slider : kTimingSliders) {
      if (x < slider.left || x > slider.right || slider.locked(p, esc08)) continue;
      press =
          Held({slider.left, kTimingTop, slider.right, kTimingBottom}, slider.store(p, kTimingBottom - y, y));
      return;
    }
  });
  return press;
}

// ---- page 6, firmware: an open list's rows and arrows, the Upgrade buttons ----

struct FirmwareList {
  UiRect rows;
  UiRect arrows;
  std::uint8_t request;  // the list request that keeps this list open
  UpgradeList CCorvaneDlg::*offers;
  std::uint8_t CCorvaneDlg::*firstRow;
  std::uint8_t CCorvaneDlg::*selection;
};

constexpr int kListRowHeight = 30;
constexpr int kVisibleListRows = 3;
constexpr int kArrowsMiddle = 490;
const FirmwareList kFirmwareLists[] = {
    {{742, 448, 822, 537},
     {823, 446, 853, 536},
     2,
     &CCorvaneDlg::m_boxOffers,
     &CCorvaneDlg::m_nBoxFirstRow,
     &CCorvaneDlg::m_nBoxFwSel},
    {{285, 448, 365, 537},
     {366, 446, 396, 536},
     1,
     &CCorvaneDlg::m_escOffers,
     &CCorvaneDlg::m_nEscFirstRow,
     &CCorvaneDlg::m_nEscFwSel},
};
constexpr int kUpgradeButtonTop = 145, kUpgradeButtonBottom = 165;

// Upgrade buttons: the left and right ends of the button and where its
// pressed picture goes.
struct UpgradeButton {
  int left, right;
  float pictureX;
};
constexpr UpgradeButton kUpgradeButtons[] = {{309, 387, 306}, {773, 852, 770}};

Press PressFirmwareList(CCorvaneDlg& dlg, const FirmwareList& list, int x, int y) {
  const int count = dlg.Offers(dlg.*list.offers).count;
  std::uint8_t& firstRow = dlg.*list.firstRow;
  if (list.rows.Contains(x, y)) {
    // A row past the last entry picks nothing.
    const int entry = firstRow + (y - list.rows.top) / kListRowHeight;
    if (entry < count) dlg.*list.selection = static_cast<std::uint8_t>(entry);
    return Drawn();
  }
  if (list.arrows.Contains(x, y)) {
    if (y < kArrowsMiddle && firstRow > 0) --firstRow;
    if (y > kArrowsMiddle && firstRow + kVisibleListRows < count) ++firstRow;
    dlg.m_nListRequest = list.request;
    return Drawn();
  }
  return {};
}

Press PressFirmwarePage(CCorvaneDlg& dlg, int x, int y) {
  Press press;
  if (dlg.m_bFwListOpen) {
    for (const FirmwareList& list : kFirmwareLists) {
      press = PressFirmwareList(dlg, list, x, y);
      if (press.onControl) break;
    }
  }
  // The Upgrade button itself acts at the release.
  if (!dlg.m_bUpgradeStarted && y >= kUpgradeButtonTop && y <= kUpgradeButtonBottom) {
    for (const UpgradeButton& button : kUpgradeButtons) {
      if (x >= button.left && x <= button.right)
        dlg.DrawUiImage("UI-Update.png", button.pictureX, 142, 85, 28);
    }
  }
  return press;
}

}  // namespace

void CCorvaneDlg::TrackPanelPress(int x, int y) {
  // A move of a press already tracked acts only on the control it fixed.
  const bool moving = m_nDragState == 2;
  if (moving && IsZero(m_rcDrag)) return;
  m_nDragState = 2;
  if (!IsZero(m_rcDrag)) {
    x = std::clamp(x, m_rcDrag.left, m_rcDrag.right);
    y = std::clamp(y, m_rcDrag.top, m_rcDrag.bottom);
  }

  Press press;
  void (CCorvaneDlg::*draw)() = nullptr;
  switch (m_nPage) {
    case 1:
      press = PressGeneralPage(*this, x, y);
      draw = &CCorvaneDlg::DrawGeneralPage;
      break;
    case 2:
      press = PressThrottlePage(*this, x, y);
      draw = &CCorvaneDlg::DrawThrottlePage;
      break;
    case 3:
      EditSelectedProfile([&](SettingsImage&, SettingProfile& p) { press = PressBrakeControls(p, x, y); });
      draw = &CCorvaneDlg::DrawBrakePage;
      break;
    case 4:
      press = PressTimingPage(*this, x, y);
      draw = &CCorvaneDlg::DrawTimingPage;
      break;
    case 6:
      press = PressFirmwarePage(*this, x, y);
      draw = &CCorvaneDlg::DrawUpgradePage;
      break;
    default:
      break;
  }

  if (!press.onControl) {
    // The release of a press on no control is a click; a held move that
    // meets no control leaves the press as it was.
    if (!moving) m_nDragState = 0;
    return;
  }
  m_rcDrag = press.clamp;
  if (press.changed || press.alwaysDraws) (this->*draw)();
}
