// The value dialogs of the throttle page (dead band) and the dashboard (gear
// ratio, wheel diameter, pole count). An entry counts by its whole part. The
// dashboard's values divide its speed reading, so each keeps to what the
// dashboard can show; an entry outside that brings the dialog back with the
// value unchanged. Cancel changes nothing.
#include <cmath>

#include "app/corvane_dlg.h"
#include "dialogs/page_change.h"
#include "pages/throttle_calibration.h"

namespace {

// Runs the dialog until accept takes a finite entry or the dialog is
// cancelled; shown gives the value the dialog shows each time.
template <class Shown, class Accept>
void AskValue(CCorvaneDlg& dlg, const char* name, Shown shown, Accept accept) {
  for (;;) {
    CPageChange change(dlg);
    change.m_strName = name;
    change.m_fValue = shown();
    if (change.DoModal() != platform::kIdOk) return;
    if (std::isfinite(change.m_fValue) && accept(change.m_fValue)) return;
  }
}

// What the dashboard can show: a gear ratio up to 99.99 (held x 100), a
// wheel diameter of up to 999 mm, up to 98 poles.
constexpr int kGearRatioMost = 9999;
constexpr float kWheelDiameterLimit = 1000;
constexpr float kPolesLimit = 99;

}  // namespace

void CCorvaneDlg::EditDeadBand() {
  AskValue(
      *this, "Throttle Dead Band",
      [this] { return static_cast<float>(page::DeadBandMicroseconds(SettingsSnapshot().deadBand)); },
      [this](float entry) {
        // The first raw step that shows the entry; an entry past either end
        // of the shown range takes that end.
        int raw = page::kDeadBandMaximum;
        if (entry < page::DeadBandMicroseconds(page::kDeadBandMaximum) + 1) {
          const int wanted = entry < 1 ? 0 : static_cast<int>(entry);
          raw = page::kDeadBandMinimum;
          while (raw < page::kDeadBandMaximum && page::DeadBandMicroseconds(raw) < wanted)
            ++raw;
        }
        EditSettings([&](SettingsImage& image) { image.deadBand = static_cast<std::uint16_t>(raw); });
        return true;
      });
}

void CCorvaneDlg::EditGearRatio() {
  AskValue(
      *this, "Gear Ratio", [this] { return m_nGearRatio / 100.0f; },
      [this](float entry) {
        if (entry <= 0 || entry >= 100) return false;
        // Thousandths, rounded to hundredths with a last digit of 6 or more going up.
        const int t = static_cast<int>(entry * 1000.0f);
        const int ratio = t / 10 + (t % 10 >= 6 ? 1 : 0);
        if (ratio < 1 || ratio > kGearRatioMost) return false;
        m_nGearRatio = ratio;
        return true;
      });
}

void CCorvaneDlg::EditWheelDiameter() {
  AskValue(
      *this, "Diameter Wheel", [this] { return static_cast<float>(m_nWheelDiameter); },
      [this](float entry) {
        if (entry < 1 || entry >= kWheelDiameterLimit) return false;
        m_nWheelDiameter = static_cast<int>(entry);
        return true;
      });
}

void CCorvaneDlg::EditPoles() {
  AskValue(
      *this, "Poles", [this] { return static_cast<float>(m_nPoles); },
      [this](float entry) {
        if (entry < 2 || entry >= kPolesLimit) return false;
        const int poles = static_cast<int>(entry);
        // A motor has an even number of poles.
        if (poles % 2 != 0) return false;
        m_nPoles = poles;
        return true;
      });
}
