// Page 4, boost and turbo timing: eight value columns, the live timing of the
// last timing test, the page switch and the turbo activation selector.
// Drawing the page first brings the selected profile within the limits of the
// connected model and of the live timing; the corrected bytes stay in the
// image and go out with the next write.
#include <algorithm>
#include <mutex>
#include <string>
#include <string_view>

#include "app/corvane_dlg.h"
#include "app/texts/ui_text_table.h"
#include "pages/page_drawing.h"

namespace {

using page::Digit;
using page::Digits;

constexpr platform::Argb kGreen = 0xFF00FF00;
constexpr platform::Argb kRed = 0xFFFF0000;
constexpr platform::Argb kMagenta = 0xFFFF00FF;
constexpr platform::Argb kTurboBlue = 0xFF2133FF;
constexpr platform::Argb kScaleOrange = 0xFFE7781F;
constexpr platform::Argb kBlankUnit = 0xFF1F1F24;
constexpr platform::Argb kMarkerClear = 0xFF1F1E24;
constexpr platform::Argb kGreyVeil = 0xC8666666;
constexpr platform::Argb kDarkVeil = 0xC82B2A32;

const platform::Font kFont = page::ShellFont(0.18f);

// The bars stand on y 390 and grow at most the slider's travel.
constexpr double kSliderTravel = 150;

enum class Model { kOther, kEsc08, kPw5m };

Model ModelOf(const std::string& name) {
  if (name == "ESC08") return Model::kEsc08;
  if (name == "PW5M ") return Model::kPw5m;
  return Model::kOther;
}

int Degrees(int raw) {
  return raw * 15 / 16;
}

// What the live timing adds to the set timing beyond 30 degrees.
int LiveOffset(int liveTiming) {
  return liveTiming >= 30 ? liveTiming - 30 : 0;
}

std::uint8_t AtMost(int value, int limit) {
  return static_cast<std::uint8_t>(std::min(value, limit));
}

// The model's forced values and limits, then the 60-degree cap on the set
// timing plus the live offset. Applying them twice changes nothing more.
void ApplyModelRules(SettingProfile& p, Model model, int liveTiming) {
  if (p.profileFlags & kFlagTimingOff) {
    p.boostTiming = 0;
    p.turboTiming = 0;
  }
  const int off = LiveOffset(liveTiming);
  if (model == Model::kEsc08) {
    p.turboActivation = 0;
    p.boostTiming = 0;
    p.turboDeactiveSlope = 0;
    p.turboTiming = AtMost(p.turboTiming, 15);
    p.turboDelay = static_cast<std::uint8_t>(std::max<int>(p.turboDelay, 5));
    p.turboEngageSlope = AtMost(p.turboEngageSlope, 15);
  } else if (model == Model::kPw5m) {
    p.boostTiming = 0;
    p.boostStartRpm = 1000;
    p.boostEndRpm = 3000;
    p.turboTiming = AtMost(p.turboTiming, 11);
  }
  if (p.turboTiming < p.boostTiming) p.turboTiming = p.boostTiming;
  const auto capped = static_cast<std::uint8_t>(64 - 16 * off / 15);
  if (Degrees(p.turboTiming) + off > 60) p.turboTiming = capped;
  if (Degrees(p.boostTiming) + off > 60) p.boostTiming = capped;
  if (p.boostStartRpm > p.boostEndRpm) p.boostEndRpm = p.boostStartRpm;
}

// A value column: its number (none when empty), its bar standing on y 390
// and the handle on top of the bar.
struct Column {
  std::string text;
  float textX;
  const char* bar;
  float barX, barWidth;
  double height;
  const char* handle;
  float handleX;
};

void DrawColumn(page::PageDrawing& d, const Column& c) {
  if (!c.text.empty()) d.Text(c.text, kFont, page::kWhite, c.textX, 396);
  const auto h = static_cast<float>(static_cast<int>(std::clamp(c.height, 0.0, kSliderTravel)));
  d.Picture(c.bar, c.barX, 390 - h, c.barWidth, h);
  d.Picture(c.handle, c.handleX, 365 - h, 30, 30);
}

// In place of a zero number: its unit blanked out and the "Instant" word.
void DrawInstant(page::PageDrawing& d, float blankFrom, float blankTo, float wordX, int language) {
  d.Bar(blankFrom, 405, blankTo, 405, kBlankUnit, 17);
  d.Text(StatusLabel(2, language), kFont, page::kWhite, wordX, 396);
}

void DrawValueColumns(page::PageDrawing& d, const SettingProfile& p, Model model, int language) {
  // "ESC08" counts its turbo timing and engage slope in degrees as stored.
  const bool esc08 = model == Model::kEsc08;
  const int boost = Degrees(p.boostTiming);
  const int start = p.boostStartRpm;
  const int end = p.boostEndRpm;
  const int turbo = esc08 ? p.turboTiming : Degrees(p.turboTiming);
  const int delay = p.turboDelay;
  const int rpm = p.turboRpm;
  const int engage = esc08 ? p.turboEngageSlope : Degrees(p.turboEngageSlope);
  const int deactive = Degrees(p.turboDeactiveSlope);

  DrawColumn(d, {Digits(boost, 2), 66, "UI-HeightR.png", 76, 8, boost * 2.2, "UI-Red.png", 65});
  DrawColumn(d,
             {Digits(start, 5), 130, "UI-Height.png", 171, 8, (start - 1000) * 0.0039, "UI-UpDown.png", 160});
  DrawColumn(d, {Digits(end, 5), 233, "UI-Height.png", 274, 8, (end - 3000) * 0.00232, "UI-UpDown.png", 263});
  DrawColumn(d, {Digits(turbo, 2), 436, "UI-HeightB.png", 442, 10, turbo * 2.2, "UI-Blue.png", 431});
  std::string delayText;
  if (delay == 0) {
    DrawInstant(d, 640, 660, 600, language);
  } else {
    delayText = {Digit(delay, 100), '.', Digit(delay, 10), Digit(delay, 1)};
  }
  DrawColumn(d, {delayText, 605, "UI-Height.png", 624, 10, delay * 1.32, "UI-UpDown.png", 613});
  DrawColumn(
      d, {Digits(rpm, 5), 670, "UI-Height.png", 714, 10, (rpm - 9000) / 1000 * 3.2, "UI-UpDown.png", 703});
  DrawColumn(d, {engage == 0 ? "01" : Digits(engage, 2), 773, "UI-Height.png", 804, 10, engage * 2.2,
                 "UI-UpDown.png", 793});
  if (deactive == 0) DrawInstant(d, 885, 930, 870, language);
  DrawColumn(d, {deactive == 0 ? "" : Digits(deactive, 2), 862, "UI-Height.png", 894, 10, deactive * 2.2,
                 "UI-UpDown.png", 883});
}

// The live timing of the last test against the set boost and turbo timing;
// without a profile only the live part and the scale.
void DrawLiveStrip(page::PageDrawing& d, int live, const SettingProfile* p, Model model) {
  float xLive = static_cast<float>(live * 8.14) + 47;
  if (xLive >= 454) xLive = 468;
  const float xStart = live >= 30 ? xLive : 290;
  float xBoost = xStart, xTurbo = xStart;
  if (p) {
    xBoost = static_cast<float>(p->boostTiming * 8.1875) + xStart;
    xTurbo = static_cast<float>(p->turboTiming * 8.1875) + xStart;
    if (xTurbo > 800) {
      d.Picture("UI-MB.png", 800, 160, 14, 14);
      xTurbo = 800;
    }
    if (xBoost > 800) {
      d.Picture("UI-MR.png", 800, 147, 14, 14);
      xBoost = 800;
    }
  }
  if (live != 0) d.Picture("UI-MG.png", 33, 147, 14, 27);
  if (xLive != 47) {
    d.Bar(47, 160, xLive, 160, kGreen, 27);
    if (xLive >= 292) d.Bar(290, 160, xLive, 160, kRed, 27);
    int shown = live;
    if (live > 30) {
      d.Text("30", kFont, kMagenta, 265, 150);
      shown = live - 30;
    }
    d.Text(Digits(shown, 2), kFont, page::kWhite, xLive - 25, 150);
  }
  if (p) {
    d.Bar(xStart, 167, xTurbo, 167, kTurboBlue, 14);
    d.Bar(xStart, 154, xBoost, 154, kMagenta, 14);
  }
  d.Bar(xStart, 185, 813, 185, kScaleOrange, 8);
  d.Text("0", kFont, page::kWhite, xStart - 10, 190);
  d.Text(Digits(live >= 30 ? 90 - live : 60, 2), kFont, page::kWhite, 805, 190);
  if (p) {
    const int most = std::max<int>(p->boostTiming, p->turboTiming);
    const int total = (model == Model::kEsc08 ? most : Degrees(most)) + LiveOffset(live);
    d.Text(Digits(total, 2), kFont, page::kWhite, 850, 149);
  }
}

// UTF-16 units first..last of UTF-8 text (inclusive; the text may end
// first), kept as UTF-8: a character outside the BMP counts two units.
std::string Units(std::string_view text, int first, int last) {
  std::string out;
  int unit = 0;
  for (std::size_t i = 0; i < text.size() && unit <= last;) {
    const auto lead = static_cast<unsigned char>(text[i]);
    const std::size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
    if (unit >= first) out += text.substr(i, length);
    unit += length == 4 ? 2 : 1;
    i += length;
  }
  return out;
}

// A label: a literal, or UTF-16 units first..last of a text of the table.
struct Label {
  const char* literal;
  int id, first, last;
  float x, y;
};
constexpr int kAll = 127;

struct ActivationLabels {
  float listInches;
  int listCount;
  Label list[6];
  // The current choice, by choice 0..2, in the 0.18-inch font.
  Label current[3];
};

const ActivationLabels kActivationLabels[kLanguageCount] = {
    {0.18f,
     4,
     {{nullptr, 80, 0, kAll, 550, 240},
      {nullptr, 81, 0, kAll, 550, 305},
      {nullptr, 82, 0, 7, 550, 350},
      {nullptr, 82, 8, 12, 550, 370}},
     {{nullptr, 80, 0, kAll, 510, 396}, {nullptr, 81, 0, kAll, 510, 396}, {"F + R", 0, 0, 0, 510, 396}}},
    {0.18f,
     4,
     {{nullptr, 80, 0, 2, 550, 240},
      {nullptr, 81, 0, 1, 550, 305},
      {nullptr, 82, 0, 2, 550, 350},
      {nullptr, 82, 3, 7, 550, 370}},
     {{nullptr, 80, 0, 2, 505, 396}, {nullptr, 81, 0, 1, 505, 396}, {"全+转", 0, 0, 0, 505, 396}}},
    {0.12f,
     6,
     {{nullptr, 80, 0, 3, 550, 240},
      {nullptr, 80, 4, 7, 550, 260},
      {nullptr, 81, 0, kAll, 550, 305},
      {nullptr, 82, 0, 3, 550, 340},
      {nullptr, 82, 4, 7, 550, 355},
      {nullptr, 82, 8, 11, 550, 370}},
     {{nullptr, 80, 0, 1, 515, 396}, {nullptr, 81, 0, kAll, 505, 396}, {"フル+転", 0, 0, 0, 495, 396}}},
    {0.15f,
     4,
     {{nullptr, 80, 0, kAll, 550, 240},
      {nullptr, 81, 0, kAll, 550, 305},
      {nullptr, 82, 0, 9, 550, 350},
      {nullptr, 82, 10, 17, 550, 370}},
     {{nullptr, 80, 0, kAll, 500, 396}, {nullptr, 81, 0, kAll, 500, 396}, {"  V + D", 0, 0, 0, 500, 396}}},
};

void DrawLabel(page::PageDrawing& d, const Label& label, const platform::Font& font, int language) {
  const std::string text =
      label.literal ? label.literal : Units(UiText(label.id, language), label.first, label.last);
  d.Text(text, font, page::kWhite, label.x, label.y);
}

// The three activation choices with the marker on the current one, and the
// turbo RPM column greyed while the turbo starts at full throttle alone.
void DrawActivation(page::PageDrawing& d, std::uint8_t stored, int language) {
  const int choice = stored <= 2 ? stored : 0;
  for (float y : {248.0f, 313.0f, 385.0f})
    d.canvas().drawArc({534, y, 8, 3}, 90, 360, kMarkerClear, 8);
  if (choice == 0) d.Bar(703, 315, 733, 315, kGreyVeil, 160);
  d.Picture("UI-Point.png", 524, 235 + 65.0f * choice, 30, 30);

  if (language < 0 || language >= kLanguageCount) return;
  const ActivationLabels& labels = kActivationLabels[language];
  const platform::Font listFont = page::ShellFont(labels.listInches);
  for (int i = 0; i < labels.listCount; ++i)
    DrawLabel(d, labels.list[i], listFont, language);
  DrawLabel(d, labels.current[choice], kFont, language);
}

// What the connected model does not have, veiled.
void DrawModelVeils(page::PageDrawing& d, Model model) {
  if (model == Model::kOther) return;
  d.Bar(15, 346, 345, 346, kDarkVeil, 246);  // the three boost columns
  if (model != Model::kEsc08) return;
  d.Bar(525, 315, 555, 315, kGreyVeil, 160);  // activation selector
  d.Bar(883, 315, 913, 315, kGreyVeil, 160);  // turbo deactive slope
}

}  // namespace

void CCorvaneDlg::DrawTimingPage() {
  page::PageDrawing drawing(*this, 4);
  const int live = m_nLiveTiming;
  const int language = m_nLanguage;

  // The rules change the image in place under its lock; the page is drawn
  // from the copy taken in that same lock.
  SettingProfile profile{};
  Model model = Model::kOther;
  const bool haveProfile = EditSelectedProfile([&](SettingsImage&, SettingProfile& selected) {
    model = ModelOf(m_strModelName);
    ApplyModelRules(selected, model, live);
    profile = selected;
  });
  if (!haveProfile) {
    std::lock_guard lock(m_settingsMutex);
    model = ModelOf(m_strModelName);
  }

  if (haveProfile) DrawValueColumns(drawing, profile, model, language);
  DrawLiveStrip(drawing, live, haveProfile ? &profile : nullptr, model);
  if (haveProfile) {
    if (profile.profileFlags & kFlagTimingOff) {
      drawing.Bar(65, 315, 95, 315, kGreyVeil, 160);
      drawing.Bar(432, 315, 462, 315, kGreyVeil, 160);
    } else {
      drawing.Bar(42, 505, 62, 505, page::kWhite, 20);
    }
    DrawActivation(drawing, profile.turboActivation, language);
  }
  DrawModelVeils(drawing, model);
}
