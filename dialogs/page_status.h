// The live status page: the ESC's status record shown as texts (faults,
// battery, temperatures, RPM with a peak hold, timing and PWM values). The
// main window holds it as a member and never opens it.
#pragma once

#include <cstdint>
#include <map>
#include <string>

#include "dialogs/status_record.h"

class CCorvaneDlg;

class CPageStatus {
 public:
  explicit CPageStatus(CCorvaneDlg& mainWindow) : m_main(mainWindow) {}

  // Takes a new record, when one is ready, into the page's texts.
  void UpdateStatus();

  StatusRecord* m_pStatus = nullptr;
  // The texts of the page's statics, by control id.
  std::map<int, std::string> m_texts;

 private:
  std::string RpmText(std::uint16_t commutationPeriod);

  CCorvaneDlg& m_main;
  unsigned m_runningPeak = 0, m_shownPeak = 0, m_samples = 0;
};

// The faults of a record's fault bits, or that it runs normally.
std::string FaultText(std::uint8_t faultBits);
// The ESC temperature of its raw sensor reading, in degrees Celsius, or ">125C".
std::string EscTemperatureText(std::uint16_t raw);
// The motor temperature from the thermistor reading: "Unkown", "<0", ">125"
// or degrees Celsius.
std::string MotorTemperatureText(std::uint16_t raw);
