// Page 3, the brake: the selected profile's brake-curve switch, four
// horizontal sliders with their values and two stage-rate level bars.
#include <algorithm>
#include <string>

#include "app/corvane_dlg.h"
#include "pages/page_drawing.h"

namespace {

constexpr const char* kWeight = "UI-Weight.png";
// Set in initialBrake: the initial brake follows the drag brake.
constexpr std::uint8_t kInitialIsDrag = 0x80;
constexpr int kDragMaximum = 50;
constexpr int kPercentMaximum = 99;

const platform::Font kFont = page::ShellFont(0.18f);

void CorrectProfile(SettingProfile& p) {
  p.dragBrake = static_cast<std::uint8_t>(std::min<int>(p.dragBrake, kDragMaximum));
  p.brakeStrength = static_cast<std::uint8_t>(std::clamp<int>(p.brakeStrength, 1, kPercentMaximum));
  p.brakeSwitchPoint = static_cast<std::uint8_t>(std::min<int>(p.brakeSwitchPoint, kPercentMaximum));
}

// The hundreds digit or a blank, the tens and units digits, "%".
std::string ValueText(int value) {
  return (value >= 100 ? page::Digit(value, 100) : ' ') + page::Digits(value, 2) + '%';
}

// The sliders' two scales: 0..50 and 0..99 over the same length.
enum class Scale { Fifty, NinetyNine };

void Slider(page::PageDrawing& drawing, float barY, int value, Scale scale) {
  const int length = scale == Scale::Fifty ? value * 102 / 11 : value * 51 / 11;
  const int knobX = scale == Scale::Fifty ? length + 154 : value * 467 / 99 + 150;
  drawing.Picture(kWeight, 163, barY, static_cast<float>(length + 10), 10);
  drawing.Picture("UI-LeftR.png", static_cast<float>(knobX), barY - 10, 30, 30);
}

int StageLevel(std::uint8_t rate) {
  return rate == 0 ? 0 : (rate - 1) / 4;
}

}  // namespace

void CCorvaneDlg::DrawBrakePage() {
  // The corrections and the copy the page is drawn from come from one lock.
  SettingProfile p{};
  const bool hasProfile = EditSelectedProfile([&](SettingsImage&, SettingProfile& selected) {
    CorrectProfile(selected);
    p = selected;
  });

  page::PageDrawing drawing(*this, 3);
  if (!hasProfile) return;

  const bool linear = p.brakeCurveLinear != 0;
  drawing.Picture(kWeight, 165, 168, linear ? 10 : 100, 10);
  drawing.Picture("UI-Point.png", linear ? 154 : 244, 157, 30, 30);

  Slider(drawing, 229, p.dragBrake, Scale::Fifty);
  drawing.Text(ValueText(p.dragBrake), kFont, page::kOrange, 650, 224);
  Slider(drawing, 292, p.brakeStrength, Scale::NinetyNine);
  drawing.Text(ValueText(p.brakeStrength), kFont, page::kOrange, 650, 286);

  // The initial brake's text comes first; a value past the 0..50 scale keeps
  // its knob at the slider's right end.
  const bool followsDrag = (p.initialBrake & kInitialIsDrag) != 0;
  drawing.Text(followsDrag ? "=Drag" : ValueText(p.initialBrake), kFont, page::kOrange, 650, 348);
  Slider(drawing, 354, followsDrag ? 0 : std::min<int>(p.initialBrake, kDragMaximum), Scale::Fifty);

  Slider(drawing, 416, p.brakeSwitchPoint, Scale::NinetyNine);
  drawing.Text(ValueText(p.brakeSwitchPoint), kFont, page::kOrange, 650, 412);

  drawing.LevelBar(770, 148, StageLevel(p.brakeStage1Rate));
  drawing.LevelBar(770, 365, StageLevel(p.brakeStage2Rate));
}
