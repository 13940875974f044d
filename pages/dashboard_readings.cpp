#include "pages/dashboard_readings.h"

#include "pages/page_drawing.h"

using page::Digit;
using page::Digits;

namespace {

// value * span / full degrees from the gauge's start; past its end the needle
// goes back to the start.
int NeedleAngle(std::int64_t value, std::int64_t span, std::int64_t full, int start, int end) {
  const std::int64_t angle = value * span / full + start;
  return angle > end ? start : static_cast<int>(angle);
}

constexpr std::int64_t kMaxShownRpm = 120000;
// Speeds are kept below 120001000 before the division by 1000.
constexpr std::int64_t kSpeedLimit = 120001000;

}  // namespace

std::int64_t MotorRpm(int period, int poles) {
  if (period <= 0 || period == 0xFFFF || poles < 2) return 0;
  return std::int64_t{20200000} / period / (poles / 2);
}

std::int64_t ShownRpm(std::int64_t rpm) {
  return rpm > kMaxShownRpm ? 0 : rpm;
}

std::int64_t VehicleSpeed(std::int64_t rpm, int wheelDiameter, int gearRatio) {
  if (rpm <= 0 || wheelDiameter <= 0 || gearRatio <= 0) return 0;
  // s = wheel * rpm * 314 / ratio * 6 must stay below the limit, that is the
  // quotient at most (limit - 1) / 6; the largest product giving it is tested
  // by division, so that no product can overflow.
  const std::int64_t maxQuotient = (kSpeedLimit - 1) / 6;
  const std::int64_t maxProduct = (maxQuotient + 1) * gearRatio - 1;
  const std::int64_t perRpm = std::int64_t{wheelDiameter} * 314;
  if (perRpm > maxProduct / rpm) return 0;
  return perRpm * rpm / gearRatio * 6 / 1000;
}

int EscTemperature(int adc) {
  // Unsigned like the sensor word: a negative reading is above the table.
  const auto reading = static_cast<std::uint32_t>(adc);
  int i = 0;
  while (i < 12 && EscTempTable[i] >= reading)
    ++i;
  if (i == 0) return 0;
  const std::int64_t upper = EscTempTable[i - 1];
  const std::int64_t celsius = 10 * (i + 1) + (upper - reading) * 10 / (upper - EscTempTable[i]);
  return celsius > 150 ? 0 : static_cast<int>(celsius);
}

int MotorTemperature(int adc) {
  const auto reading = static_cast<std::uint32_t>(adc);
  int i = 0;
  while (i < 12 && MotorTempTable[i] <= reading)
    ++i;
  if (i == 0) return 0;
  // Past point 11 the segment 2123..2174 runs on upwards.
  const std::int64_t lower = MotorTempTable[i - 1];
  const std::int64_t celsius = 10 * i + (reading - lower) * 10 / (MotorTempTable[i] - lower);
  return celsius > 150 ? 0 : static_cast<int>(celsius);
}

int TimingNeedleAngle(int liveTiming) {
  return NeedleAngle(liveTiming, 125, 50, 76, 202);
}

int TemperatureNeedleAngle(int celsius) {
  return NeedleAngle(celsius, 245, 150, 55, 300);
}

int RpmNeedleAngle(std::int64_t shownRpm) {
  return NeedleAngle(shownRpm, 270, 60000, 45, 315);
}

int SpeedNeedleAngle(std::int64_t speed) {
  return NeedleAngle(speed, 270, 12000, 45, 315);
}

std::string TimingText(int liveTiming) {
  return Digits(liveTiming, 2);
}

std::string TemperatureText(int celsius) {
  return Digits(celsius, 3);
}

std::string RpmText(std::int64_t shownRpm) {
  return Digits(shownRpm, 5);
}

std::string SpeedText(std::int64_t speed) {
  if (speed <= 9999) return {Digit(speed, 1000), Digit(speed, 100), '.', Digit(speed, 10), Digit(speed, 1)};
  if (speed <= 12000)
    return {Digit(speed, 10000), Digit(speed, 1000), Digit(speed, 100), '.', Digit(speed, 10)};
  return " OUT ";
}

std::string GearRatioText(int gearRatio) {
  return {Digit(gearRatio, 1000), Digit(gearRatio, 100), '.', Digit(gearRatio, 10), Digit(gearRatio, 1)};
}

std::string WheelDiameterText(int wheelDiameter) {
  return Digits(wheelDiameter, 3) + " mm";
}

std::string PolesText(int poles) {
  return Digits(poles, 2);
}
