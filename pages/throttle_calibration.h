// The throttle calibration as the pages show it: points and the dead band are
// held in ticks and shown in microseconds; the dead band keeps to 5..307 ticks.
#pragma once

namespace page {

inline constexpr int kDeadBandMinimum = 5;
inline constexpr int kDeadBandMaximum = 307;
// Ticks below a calibration point's zero.
inline constexpr int kCalibrationOffset = 58;
// Pixels of the page's scale from the low end up to the high end.
inline constexpr int kCalibrationScaleHeight = 236;

constexpr int DeadBandMicroseconds(int ticks) {
  return ticks * 24 / 49;
}
constexpr int CalibrationMicroseconds(int ticks) {
  return DeadBandMicroseconds(ticks + kCalibrationOffset);
}

}  // namespace page
