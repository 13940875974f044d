#include "dialogs/page_status.h"

#include <cstdio>

#include "app/corvane_dlg.h"

namespace {

std::string Format(const char* format, double value) {
  char text[32];
  std::snprintf(text, sizeof text, format, value);
  return text;
}

std::string Number(long value) {
  return std::to_string(value);
}

// Thermistor resistance (ohms) against temperature, warmest last.
struct ResistancePoint {
  unsigned ohms;
  unsigned degrees;
};
constexpr ResistancePoint kThermistor[] = {{33620, 0}, {10000, 25}, {3588, 50},
                                           {1496, 75}, {687, 100},  {358, 125}};

}  // namespace

std::string FaultText(std::uint8_t faultBits) {
  if (faultBits == 0) return "运行正常";
  std::string text;
  if (faultBits & 0x04) text += "电池电压低  ";
  if (faultBits & 0x08) text += "马达温度高 ";
  if (faultBits & 0x10) text += "ESC温度高  ";
  if (faultBits & 0x02) text += "遥控故障 ";
  return text;
}

std::string EscTemperatureText(std::uint16_t raw) {
  const int r = raw;
  int degrees;
  if (r < 1930) {
    degrees = 25 + (r - 1635) * 60 / 295;
  } else if (r < 2070) {
    degrees = 85 + (r - 1930) * 20 / 140;
  } else if (r < 2222) {
    degrees = 105 + (r - 2070) * 20 / 152;
  } else {
    return ">125C";
  }
  return degrees > 125 ? ">125C" : Number(degrees);
}

std::string MotorTemperatureText(std::uint16_t raw) {
  const float resistance = raw * 6.4f / (4835 - raw * 0.64f) * 1000;
  // A negative or overflowing quotient (no sensor) counts as very large.
  const unsigned r = resistance < 0 || resistance > 4.0e9f ? 0xFFFFFFFFu : static_cast<unsigned>(resistance);
  if (r > kThermistor[0].ohms) return raw == 0xFFFF ? "Unkown" : "<0";
  if (r < kThermistor[5].ohms) return ">125";
  // The segment whose colder end lies below the resistance; a resistance
  // equal to a point so belongs to the next warmer segment.
  int i = 0;
  while (i < 4 && r <= kThermistor[i + 1].ohms)
    ++i;
  const unsigned high = kThermistor[i].ohms, low = kThermistor[i + 1].ohms;
  return Number(kThermistor[i].degrees + 25 * (high - r) / (high - low));
}

std::string CPageStatus::RpmText(std::uint16_t period) {
  if (period == 0) {
    m_runningPeak = m_shownPeak = m_samples = 0;
    return "0";
  }
  // The shown value changes every tenth sample, to the highest of the nine
  // before it.
  if (++m_samples == 10) {
    m_shownPeak = m_runningPeak;
    m_runningPeak = 0;
    m_samples = 0;
  } else {
    const unsigned rpm = 24500000u / (12u * period) * 10u;
    if (rpm > m_runningPeak) m_runningPeak = rpm;
  }
  return Number(m_shownPeak);
}

void CPageStatus::UpdateStatus() {
  if (!m_main.m_bStatusReady || m_pStatus == nullptr) return;
  const StatusRecord s = *m_pStatus;
  m_texts[1074] = FaultText(s.faultBits);
  m_texts[1068] = Format("%1.1f", static_cast<float>(s.batteryRaw * 6.4f / 967));
  m_texts[1069] = EscTemperatureText(s.escTempRaw);
  m_texts[1070] = MotorTemperatureText(s.motorTempRaw);
  m_texts[1071] = RpmText(s.commutationPeriod);
  m_texts[1072] = Number(s.liveTiming);
  m_texts[1075] = Number(s.throttlePwm);
  m_texts[1079] = Number(s.linearPwm);
  m_texts[1076] = Number(s.punchMaxPwm);
  m_texts[1077] = Number(s.punchPwm);
  m_texts[1078] = Number(s.outputPwm);
  m_main.m_bStatusReady = 0;
}
