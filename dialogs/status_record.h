// The ESC's live status record, 28 bytes (words in host order once received).
#pragma once

#include <cstdint>

#pragma pack(push, 1)
struct StatusRecord {
  std::uint16_t batteryRaw;
  std::uint16_t escTempRaw;
  std::uint16_t motorTempRaw;
  std::uint16_t pulseMax;
  std::uint16_t pulseMin;
  std::uint16_t pulseNeutral;
  std::uint16_t pulseDeadBand;
  std::uint16_t pulsePeriod;
  std::uint16_t pulseCurrent;
  std::uint16_t commutationPeriod;
  std::uint8_t throttlePwm;
  std::uint8_t brakeMaxPwm;
  std::uint8_t outputPwm;
  std::uint8_t liveTiming;
  std::uint8_t faultBits;
  std::uint8_t punchPwm;
  std::uint8_t punchMaxPwm;
  std::uint8_t linearPwm;
};
#pragma pack(pop)

static_assert(sizeof(StatusRecord) == 28);
