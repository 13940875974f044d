// Factory values of the settings image and the resets that apply them.
#include <cstring>

#include "app/corvane_dlg.h"

namespace {

constexpr SettingProfile FactoryProfile() {
  SettingProfile p{};
  p.runningMode = 0;
  p.reverseSpeed = 0x40;
  p.cutoffVoltage = 30;
  p.escOverheat = 1;
  p.motorOverheat = 1;
  p.throttleSwitchPoint = 0x80;
  p.throttleStage1Rate = 5;
  p.throttleStage2Rate = 5;
  p.profileFlags = 0x41;  // linear throttle curve, cut-off on
  p.dragBrake = 10;
  p.brakeStrength = 75;
  p.initialBrake = 0x80;
  p.brakeSwitchPoint = 50;
  p.brakeStage1Rate = 10;
  p.brakeStage2Rate = 16;
  p.brakeCurveLinear = 1;
  p.boostTiming = 0;
  p.boostStartRpm = 15000;
  p.boostEndRpm = 25000;
  p.boostSlopeLinear = 1;
  p.boostThrottleConstraint = 1;
  p.turboTiming = 0;
  p.turboActivation = 0;
  p.turboDelay = 10;
  p.turboRpm = 20000;
  p.turboEngageSlope = 52;
  p.turboDeactiveSlope = 32;
  // Straight curves from (0, 0) to (255, 255).
  p.throttleCurve[2] = 255;
  p.throttleCurve[3] = 255;
  p.throttleCurvePoints = 2;
  p.brakeCurve[2] = 255;
  p.brakeCurve[3] = 255;
  p.brakeCurvePoints = 2;
  return p;
}

constexpr SettingProfile kFactory = FactoryProfile();

// Throttle calibration used when the image holds none that makes sense.
constexpr std::uint16_t kDefaultThrottleLow = 2041;
constexpr std::uint16_t kDefaultThrottleNeutral = 3062;
constexpr std::uint16_t kDefaultThrottleHigh = 4083;
constexpr std::uint16_t kDefaultDeadBand = 164;

// Both ends within 1020..8166 and neutral at least 307 from each end.
bool CalibrationValid(unsigned low, unsigned neutral, unsigned high) {
  if (low >= high || low < 1020 || high > 8166) return false;
  return neutral + 307 <= high && neutral >= low + 307;
}

}  // namespace

const SettingProfile DefaultProfileTable[kProfileCount] = {kFactory, kFactory, kFactory, kFactory, kFactory,
                                                           kFactory, kFactory, kFactory, kFactory, kFactory};

void CCorvaneDlg::LoadDefaultSettings() {
  std::lock_guard lock(m_settingsMutex);
  LoadDefaultSettingsLocked();
}

void CCorvaneDlg::LoadDefaultSettingsLocked() {
  SettingsImage& s = m_settings;
  if (s.selectedProfile < kProfileCount) {
    s.profiles[s.selectedProfile] = DefaultProfileTable[s.selectedProfile];
    return;
  }

  // Full reset of all ten profiles.
  s.selectedProfile = 0;
  std::memcpy(s.profiles, DefaultProfileTable, sizeof s.profiles);
  if (m_strModelName == "ESC12") s.profiles[0].turboTiming = 10;

  if (!CalibrationValid(s.throttleLow, s.throttleNeutral, s.throttleHigh)) {
    s.throttleLow = kDefaultThrottleLow;
    s.throttleNeutral = kDefaultThrottleNeutral;
    s.throttleHigh = kDefaultThrottleHigh;
  }
  s.deadBand = kDefaultDeadBand;
  s.reserved1 = 0xFF;
  std::memset(s.reserved2, 0xFF, sizeof s.reserved2);
  std::memset(s.escUpgradeBytes, 0xFF, sizeof s.escUpgradeBytes);
}

void CCorvaneDlg::LoadDefaultProfile() {
  std::lock_guard lock(m_settingsMutex);
  // The table has ten records; another index leaves the reference copy as it is.
  if (m_settings.selectedProfile < kProfileCount)
    m_refProfile = DefaultProfileTable[m_settings.selectedProfile];
}
