// Page 2, the throttle: the selected profile's curve switch, switch point and
// stage rates, and the image's transmitter calibration (high end, neutral,
// low end, dead band) shown in microseconds on a scale from low to high.
#include <algorithm>
#include <cstdlib>
#include <string>

#include "app/corvane_dlg.h"
#include "pages/page_drawing.h"
#include "pages/throttle_calibration.h"

namespace {

constexpr const char* kPoint = "UI-Point.png";
constexpr const char* kWeight = "UI-Weight.png";

constexpr int kSwitchPointMinimum = 3;
constexpr int kSwitchPointMaximum = 253;
constexpr double kSwitchPointStep = 1.804;

// The calibration the page falls back on when both ends are equal.
constexpr std::uint16_t kFallbackLow = 1985;
constexpr std::uint16_t kFallbackNeutral = 3006;
constexpr std::uint16_t kFallbackHigh = 4027;
constexpr std::uint16_t kFallbackDeadBand = 165;

const platform::Font kFont = page::ShellFont(0.18f);

void CorrectProfile(SettingProfile& p) {
  p.throttleSwitchPoint = static_cast<std::uint8_t>(
      std::clamp<int>(p.throttleSwitchPoint, kSwitchPointMinimum, kSwitchPointMaximum));
}

void CorrectCalibration(SettingsImage& s) {
  if (s.throttleHigh == s.throttleLow) {
    s.throttleLow = kFallbackLow;
    s.throttleNeutral = kFallbackNeutral;
    s.throttleHigh = kFallbackHigh;
    s.deadBand = kFallbackDeadBand;
  }
  s.deadBand =
      static_cast<std::uint16_t>(std::clamp<int>(s.deadBand, page::kDeadBandMinimum, page::kDeadBandMaximum));
}

// Microseconds of a calibration point and of the dead band, four digits.
std::string PointText(int ticks) {
  return page::Digits(page::CalibrationMicroseconds(ticks), 4) + "us";
}
std::string DeadBandText(int ticks) {
  return page::Digits(page::DeadBandMicroseconds(ticks), 4) + "us";
}

int StageLevel(std::uint8_t rate) {
  return (rate - 1) / 6;
}

}  // namespace

void CCorvaneDlg::DrawThrottlePage() {
  // The corrections and the copy the page is drawn from come from one lock.
  // Without a valid profile no profile byte is written; the calibration lies
  // outside the profiles and is corrected all the same.
  SettingsImage image{};
  const bool hasProfile = EditSelectedProfile([&](SettingsImage& s, SettingProfile& p) {
    CorrectProfile(p);
    CorrectCalibration(s);
    image = s;
  });
  if (!hasProfile) {
    EditSettings([&](SettingsImage& s) {
      CorrectCalibration(s);
      image = s;
    });
  }

  page::PageDrawing drawing(*this, 2);
  if (hasProfile) {
    const SettingProfile& p = image.profiles[image.selectedProfile];
    const float a = (p.profileFlags & kFlagLinearThrottle) ? 0 : 90;
    drawing.Picture(kWeight, 180, 167, a + 10, 10);
    drawing.Picture(kPoint, 170 + a, 157, 30, 30);

    const int v = p.throttleSwitchPoint;
    drawing.Picture(kWeight, 160, 229, static_cast<float>((v - kSwitchPointMinimum) * kSwitchPointStep + 10),
                    10);
    drawing.Picture("UI-LeftR.png", static_cast<float>(v * kSwitchPointStep + 150), 219, 30, 30);
    drawing.Text(page::Digits(v * 100 / 255, 2) + "% ", kFont, page::kOrange, 650, 225);

    drawing.LevelBar(177, 310, StageLevel(p.throttleStage1Rate));
    drawing.LevelBar(463, 310, StageLevel(p.throttleStage2Rate));
  }

  const int low = image.throttleLow;
  const int neutral = image.throttleNeutral;
  const int high = image.throttleHigh;
  // Negative when the high end lies below the low end: the scale is mirrored.
  const int span = high - low;
  drawing.Text(PointText(high), kFont, page::kWhite, 780, 150);
  drawing.Text(PointText(low), kFont, page::kWhite, 780, 386);

  const int neutralY =
      394 + (low - neutral + page::kCalibrationOffset) * page::kCalibrationScaleHeight / span;
  drawing.Text("-" + PointText(neutral), kFont, page::kWhite, 876, static_cast<float>(neutralY));
  m_fDeadBandHandleY = static_cast<float>(neutralY);

  const std::string deadBand = DeadBandText(image.deadBand);
  drawing.Text(deadBand + "-", kFont, page::kWhite, 773, static_cast<float>(neutralY));
  drawing.Picture(kWeight, 820, 420, 80, 40);
  drawing.Text(deadBand, kFont, page::kWhite, 830, 430);

  // The dead band around the neutral; on a mirrored scale its edges swap, so
  // the band is drawn from whichever edge is on top.
  const int half = image.deadBand / 2;
  const int bandLow =
      406 + (low + page::kCalibrationOffset + half - neutral) * page::kCalibrationScaleHeight / span;
  drawing.Picture("UI-Up.png", 848, static_cast<float>(bandLow), 20, 40);
  const int bandHigh =
      406 + (low - half - neutral + page::kCalibrationOffset) * page::kCalibrationScaleHeight / span;
  drawing.Picture("UI-G.png", 835, static_cast<float>(std::min(bandLow, bandHigh)), 46,
                  static_cast<float>(std::abs(bandLow - bandHigh)));
  drawing.Picture("UI-Down.png", 848, static_cast<float>(bandHigh - 40), 20, 40);
}
