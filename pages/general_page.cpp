// Page 1, the general settings: the selected profile's name, running mode,
// reverse speed, cut-off voltage, the two overheat thresholds, three switches
// of profileFlags, and the page's drop-down lists (profiles, languages).
#include <algorithm>
#include <string>

#include "app/corvane_dlg.h"
#include "app/texts/ui_text_table.h"
#include "link/profile_name.h"
#include "pages/page_drawing.h"

namespace {

constexpr const char* kPoint = "UI-Point.png";
constexpr const char* kWeight = "UI-Weight.png";
constexpr const char* kListRow = "UI-62.PNG";
constexpr platform::Argb kDarkBar = 0xFF2B2A32;
constexpr platform::Argb kGreyVeil = 0xE6666666;

constexpr int kReverseMinimum = 64;
constexpr int kReverseMaximum = 255;
constexpr double kReverseStep = 2.8125;

// The cut-off voltage's slider: "ESC08" has a scale of its own. Values below
// the minimum mean the cut-off is off; the maximum is the slider's right end.
struct CutoffScale {
  int minimum;
  int maximum;
  double step;  // pixels per 0.1 V
};
constexpr CutoffScale kEsc08Cutoff{60, 250, 2.85};
constexpr CutoffScale kCommonCutoff{30, 110, 6.75};

struct TemperatureUnit {
  const char* icon;
  float iconX[2];
  const char* labels[3];
};
constexpr TemperatureUnit kCelsius{"UI-C.png", {478, 685}, {"85", "105", "125"}};
constexpr TemperatureUnit kFahrenheit{"UI-F.png", {506, 713}, {"185", "221", "257"}};

const platform::Font kLargeFont = page::ShellFont(0.24f);
const platform::Font kFont = page::ShellFont(0.18f);
const platform::Font kScaleFont = page::ShellFont(0.15f);

// "100%", else the two digits of the truncated percentage, "%" and a blank.
std::string PercentText(int value) {
  if (value >= kReverseMaximum) return "100%";
  return page::Digits(100 * value / kReverseMaximum, 2) + "% ";
}

// Tenths of a volt as five characters: "25.0V", or "6.0V" and a blank.
std::string VoltageText(int tenths) {
  const std::string d = page::Digits(tenths, 3);
  if (tenths >= 100) return d.substr(0, 2) + '.' + d[2] + 'V';
  return std::string{d[1], '.', d[2], 'V', ' '};
}

// What the page puts right in the profile before showing it; returns whether
// the cut-off is off.
bool CorrectGeneralSettings(SettingProfile& p, const CutoffScale& scale) {
  if (p.reverseSpeed < kReverseMinimum) p.reverseSpeed = kReverseMinimum;
  if (p.cutoffVoltage >= scale.minimum) return false;
  p.profileFlags &= static_cast<std::uint8_t>(~kFlagCutoffLock);
  return true;
}

void Marker(page::PageDrawing& drawing, float x, float y) {
  drawing.Picture(kPoint, x, y, 30, 30);
}

// A horizontal slider whose knob stands offset pixels right of its left end.
void Slider(page::PageDrawing& drawing, float knobY, double offset) {
  drawing.Picture(kWeight, 165, knobY + 5, static_cast<float>(12 + offset), 10);
  drawing.Picture(kPoint, static_cast<float>(160 + offset), knobY, 20, 20);
}

// A two-way switch: long bar and knob at the right, or short bar and knob at
// the left.
void Switch(page::PageDrawing& drawing, float knobY, bool right) {
  drawing.Picture(kWeight, 830, knobY + 5, right ? 42 : 12, 10);
  drawing.Picture(kPoint, right ? 855 : 825, knobY, 20, 20);
}

}  // namespace

void CCorvaneDlg::DrawGeneralPage() {
  // The corrections and the copy the page is drawn from come from one lock.
  SettingsImage image{};
  std::string model;
  bool cutoffOff = false;
  const bool hasProfile = EditSelectedProfile([&](SettingsImage& s, SettingProfile& p) {
    model = m_strModelName;
    cutoffOff = CorrectGeneralSettings(p, model == "ESC08" ? kEsc08Cutoff : kCommonCutoff);
    image = s;
  });
  if (hasProfile) {
    m_bCutoffOff = cutoffOff ? 1 : 0;
  } else {
    EditSettings([&](SettingsImage& s) {
      model = m_strModelName;
      image = s;
    });
  }
  const bool esc08 = model == "ESC08";
  const CutoffScale& scale = esc08 ? kEsc08Cutoff : kCommonCutoff;
  const SettingProfile& p = image.profiles[hasProfile ? image.selectedProfile : 0];

  page::PageDrawing drawing(*this, 1);
  const int language = m_nLanguage;
  drawing.Text(StatusLabel(1, language), kLargeFont, page::kWhite, 760, 119);
  if (hasProfile) {
    drawing.Text(ProfileNameText(p.profileName), kLargeFont, page::kWhite, 170, 119);
    Marker(drawing, 36, 203.0f + 60.0f * p.runningMode);
    Marker(drawing, 216, (p.profileFlags & kFlagBit7) ? 310 : 215);
  }

  const TemperatureUnit& unit = m_nTempUnit == 0 ? kCelsius : kFahrenheit;
  for (float x : unit.iconX)
    drawing.Picture(unit.icon, x, 212, 18, 18);
  for (float x : {432.0f, 642.0f}) {
    for (int row = 0; row < 3; ++row)
      drawing.Text(unit.labels[row], kFont, page::kWhite, x, 205.0f + 39.0f * row);
  }

  if (hasProfile) {
    Marker(drawing, 400, 203.0f + 37.0f * p.escOverheat);
    Marker(drawing, 610, 203.0f + 37.0f * p.motorOverheat);
    Marker(drawing, 835, (p.profileFlags & kFlagBit5) ? 225 : 315);
    Slider(drawing, 382, kReverseStep * (p.reverseSpeed - kReverseMinimum));
    drawing.Text(PercentText(p.reverseSpeed), kFont, page::kOrange, 745, 382);
  }

  if (esc08) {
    drawing.Bar(160, 432, 720, 432, kDarkBar, 15);
    drawing.Text("6.0V", kScaleFont, page::kOrange, 162, 425);
    drawing.Text("25.0V", kScaleFont, page::kOrange, 673, 425);
  }

  if (hasProfile) {
    Switch(drawing, 477, cutoffOff);
    // The value the knob stands for: off shows the minimum, and a value past
    // the scale keeps the knob at the slider's right end.
    const int shown = std::max<int>(p.cutoffVoltage, scale.minimum);
    Slider(drawing, 442, scale.step * (std::min(shown, scale.maximum) - scale.minimum));
    drawing.Text(VoltageText(shown), kFont, page::kOrange, 745, 442);
    const bool locked = (p.profileFlags & kFlagCutoffLock) != 0;
    Switch(drawing, 442, locked);
    if (cutoffOff) {
      drawing.Bar(150, 450, 920, 450, kGreyVeil, 25);
    } else if (locked) {
      drawing.Bar(150, 450, 810, 450, kGreyVeil, 25);
    }
  }

  // A requested list is drawn over everything and is then open.
  if (m_nListRequest == 1) {
    const int rows = m_bEscConnected ? kProfileCount : 1;
    for (int k = 0; k < rows; ++k) {
      const float y = 148.0f + 30.0f * k;
      drawing.Picture(kListRow, 160, y + 2, 128, 30);
      drawing.Text(ProfileNameText(image.profiles[k].profileName), kLargeFont, page::kOrange, 169, y);
    }
    m_nOpenList = 1;
  } else if (m_nListRequest == 2) {
    for (int k = 0; k < kLanguageCount; ++k) {
      const float y = 150.0f + 30.0f * k;
      drawing.Picture(kListRow, 754, y, 128, 30);
      drawing.Text(StatusLabel(1, k), kLargeFont, page::kOrange, 760, y);
    }
    m_nOpenList = 2;
  }
  m_nListRequest = 0;
}
