// The timing page: the model rules it applies to the selected profile, and
// what it draws of the profile and of the live timing.
#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <functional>
#include <set>
#include <string>

#include "app/corvane_dlg.h"
#include "drawn_ops.h"
#include "support/headless_host.h"

namespace {

using Change = std::function<void(SettingProfile&)>;

class TimingPage : public ::testing::Test {
 protected:
  void SetUp() override {
    dlg.LoadDefaultSettings();
    for (int row = 0; row < kTileCount; ++row)
      dlg.m_tiles[row] = kPictureTable[row];
  }
  // Draws profile 0, factory values with the change, for the model.
  std::set<std::string> Draw(const std::string& model, int live, const Change& change = {}) {
    dlg.EditSettings([&](SettingsImage& s) {
      dlg.m_strModelName = model;
      if (change) change(s.profiles[0]);
    });
    dlg.m_nLiveTiming = static_cast<std::uint8_t>(live);
    host.Window().Clear();
    dlg.DrawTimingPage();
    const std::vector<std::string> lines = DrawnLines(host.Window());
    return {lines.begin(), lines.end()};
  }
  SettingProfile Stored() const { return dlg.SettingsSnapshot().profiles[0]; }

  HeadlessHost host;
  CCorvaneDlg dlg{host};
};

// Every line is drawn (present) or none of them is.
void Expect(const std::set<std::string>& drawn, std::initializer_list<std::string> lines,
            bool present = true) {
  for (const std::string& line : lines)
    EXPECT_EQ(drawn.contains(line), present) << line;
}

// flags, boost timing, start and end RPM, turbo timing, activation, delay, engage and deactive slope.
using Timing = std::array<int, 9>;

TEST_F(TimingPage, ModelRulesInTheirOrder) {
  struct Row {
    const char* model;
    int live;
    Timing before, after;
  } const rows[] = {
      {"ESC12", 0, {0, 20, 15000, 25000, 5, 1, 10, 52, 32}, {0, 20, 15000, 25000, 20, 1, 10, 52, 32}},
      // Live 50 adds 20 degrees: 46 + 20 passes 60, so both become 64 - 21; 43 stays.
      {"ESC12", 50, {0, 44, 15000, 25000, 50, 1, 10, 52, 32}, {0, 43, 15000, 25000, 43, 1, 10, 52, 32}},
      {"ESC12", 50, {0, 43, 15000, 25000, 43, 1, 10, 52, 32}, {0, 43, 15000, 25000, 43, 1, 10, 52, 32}},
      {"ESC12", 0, {0, 70, 15000, 25000, 66, 1, 10, 52, 32}, {0, 64, 15000, 25000, 64, 1, 10, 52, 32}},
      {"ESC12", 0, {0, 65, 15000, 25000, 65, 1, 10, 52, 32}, {0, 65, 15000, 25000, 65, 1, 10, 52, 32}},
      {"ESC12", 0, {0x10, 20, 15000, 25000, 30, 1, 10, 52, 32}, {0x10, 0, 15000, 25000, 0, 1, 10, 52, 32}},
      {"ESC12", 0, {0, 0, 20000, 15000, 0, 1, 10, 52, 32}, {0, 0, 20000, 20000, 0, 1, 10, 52, 32}},
      {"ESC08", 0, {0, 10, 15000, 25000, 40, 2, 0, 52, 32}, {0, 0, 15000, 25000, 15, 0, 5, 15, 0}},
      {"PW5M ", 0, {0, 10, 20000, 25000, 40, 2, 0, 52, 32}, {0, 0, 1000, 3000, 11, 2, 0, 52, 32}},
      // Only the exact names count.
      {"PW5M", 0, {0, 10, 20000, 25000, 40, 2, 0, 52, 32}, {0, 10, 20000, 25000, 40, 2, 0, 52, 32}},
      {"esc08", 0, {0, 10, 15000, 25000, 40, 2, 0, 52, 32}, {0, 10, 15000, 25000, 40, 2, 0, 52, 32}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(testing::Message() << "'" << row.model << "' " << testing::PrintToString(row.before));
    const Timing& b = row.before;
    Draw(row.model, row.live, [&](SettingProfile& p) {
      p.profileFlags = std::uint8_t(b[0]), p.boostTiming = std::uint8_t(b[1]);
      p.boostStartRpm = std::uint16_t(b[2]), p.boostEndRpm = std::uint16_t(b[3]);
      p.turboTiming = std::uint8_t(b[4]), p.turboActivation = std::uint8_t(b[5]),
      p.turboDelay = std::uint8_t(b[6]);
      p.turboEngageSlope = std::uint8_t(b[7]), p.turboDeactiveSlope = std::uint8_t(b[8]);
    });
    for (int draw = 0; draw < 2; ++draw) {  // a second draw changes nothing more
      if (draw) Draw(row.model, row.live);
      const SettingProfile p = Stored();
      EXPECT_EQ((Timing{p.profileFlags, p.boostTiming, p.boostStartRpm, p.boostEndRpm, p.turboTiming,
                        p.turboActivation, p.turboDelay, p.turboEngageSlope, p.turboDeactiveSlope}),
                row.after);
    }
  }
}

TEST_F(TimingPage, ColumnsShowTheCorrectedValuesOnBarsWithinTheirSlider) {
  struct Row {
    const char* model;
    Change change;
    std::initializer_list<std::string> drawn;
  } const rows[] = {
      {"",
       {},
       {"'00' 66,396 0.18", "'15000' 130,396 0.18", "'25000' 233,396 0.18", "'00' 436,396 0.18",
        "'0.10' 605,396 0.18", "'20000' 670,396 0.18", "'48' 773,396 0.18", "'30' 862,396 0.18",
        "UI-Height.png 171,336,8,54", "UI-UpDown.png 160,311,30,30"}},  // 14000 * 0.0039
      {"", [](SettingProfile& p) { p.turboEngageSlope = 1; }, {"'01' 773,396 0.18"}},
      {"ESC08",
       [](SettingProfile& p) { p.turboEngageSlope = 1, p.turboTiming = 15, p.turboDelay = 0; },
       {"'01' 773,396 0.18", "'15' 436,396 0.18", "'0.05' 605,396 0.18"}},
      {"PW5M ",
       [](SettingProfile& p) { p.turboTiming = 40; },
       {"'01000' 130,396 0.18", "'03000' 233,396 0.18", "'10' 436,396 0.18"}},
      {"",
       [](SettingProfile& p) { p.turboDelay = 0, p.turboDeactiveSlope = 1; },
       {"line 640,405 660,405 ff1f1f24 17", "'Instant' 600,396 0.18", "line 885,405 930,405 ff1f1f24 17",
        "'Instant' 870,396 0.18", "UI-Height.png 624,390,10,0"}},
      // Below the slider's bottom and past its top the bars stop there.
      {"",
       [](SettingProfile& p) { p.boostStartRpm = 500, p.turboRpm = 5000; },
       {"UI-Height.png 171,390,8,0", "UI-UpDown.png 160,365,30,30", "UI-Height.png 714,390,10,0"}},
      {"",
       [](SettingProfile& p) { p.turboDelay = 255, p.turboRpm = 65535; },
       {"UI-Height.png 624,240,10,150", "UI-UpDown.png 613,215,30,30", "UI-Height.png 714,240,10,150"}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.model);
    dlg.LoadDefaultSettings();
    const auto drawn = Draw(row.model, 0, row.change);
    Expect(drawn, row.drawn);
  }
}

TEST_F(TimingPage, LiveTimingStrip) {
  auto drawn = Draw("", 0);
  Expect(drawn, {"'0' 280,190 0.18", "'60' 805,190 0.18", "line 290,185 813,185 ffe7781f 8"});
  Expect(drawn, {"UI-MG.png 33,147,14,27", "line 47,160 47,160 ff00ff00 27"}, false);

  // Live 31: the strip to x 299.34, red past 290, its number after the 30.
  drawn = Draw("", 31, [](SettingProfile& p) { p.turboTiming = 20; });
  Expect(drawn, {"UI-MG.png 33,147,14,27", "line 47,160 299.34,160 ff00ff00 27",
                 "line 290,160 299.34,160 ffff0000 27", "'30' 265,150 0.18", "'01' 274.34,150 0.18",
                 "'59' 805,190 0.18", "'19' 850,149 0.18", "line 299.34,167 463.09,167 ff2133ff 14",
                 "line 299.34,154 299.34,154 ffff00ff 14"});

  // Past x 800 the turbo bar stops at its mark; 64 is first capped to 54.
  drawn = Draw("", 40, [](SettingProfile& p) { p.turboTiming = 64; });
  EXPECT_EQ(Stored().turboTiming, 54);
  Expect(drawn, {"UI-MB.png 800,160,14,14", "line 372.6,167 800,167 ff2133ff 14"});
  Expect(Draw("ESC08", 31), {"'16' 850,149 0.18"});  // 15 as stored, plus 1
}

TEST_F(TimingPage, SwitchActivationAndModelVeils) {
  const std::string box = "line 42,505 62,505 ffffffff 20", boostVeil = "line 65,315 95,315 c8666666 160",
                    turboVeil = "line 432,315 462,315 c8666666 160",
                    rpmVeil = "line 703,315 733,315 c8666666 160",
                    boostColumns = "line 15,346 345,346 c82b2a32 246",
                    selector = "line 525,315 555,315 c8666666 160",
                    slope = "line 883,315 913,315 c8666666 160";
  auto drawn = Draw("", 0);
  Expect(drawn, {box, "UI-Point.png 524,235,30,30", rpmVeil});
  Expect(drawn, {boostVeil, turboVeil, boostColumns, selector, slope}, false);

  drawn = Draw("", 0, [](SettingProfile& p) { p.profileFlags |= 0x10, p.turboActivation = 2; });
  Expect(drawn, {boostVeil, turboVeil, "UI-Point.png 524,365,30,30"});
  Expect(drawn, {box, rpmVeil}, false);

  // A stored choice past the three is drawn as the first and kept.
  Expect(Draw("", 0, [](SettingProfile& p) { p.turboActivation = 7; }),
         {"UI-Point.png 524,235,30,30", "'Full TH' 510,396 0.18", rpmVeil});
  EXPECT_EQ(Stored().turboActivation, 7);

  Expect(Draw("ESC08", 0), {boostColumns, selector, slope});
  drawn = Draw("PW5M ", 0);
  Expect(drawn, {boostColumns});
  Expect(drawn, {selector, slope}, false);
}

// The labels are cut from the text table by UTF-16 units; a range may run past the text's end.
TEST_F(TimingPage, ActivationLabelsCutByUtf16Units) {
  struct Row {
    int language;
    std::initializer_list<std::string> drawn;
  } const rows[] = {
      {1,
       {"'全油门' 550,240 0.18", "'转速' 550,305 0.18", "' + 转速' 550,370 0.18", "'全油门' 505,396 0.18"}},
      {2,
       {"'フルスロ' 550,240 0.12", "'ットル' 550,260 0.12", "'ットル+' 550,355 0.12", "'回転数' 550,370 0.12",
        "'フル' 515,396 0.18"}},
  };
  for (const Row& row : rows) {
    dlg.m_nLanguage = row.language;
    Expect(Draw("", 0), row.drawn);
  }
  dlg.m_nLanguage = 4;  // no such language: no labels
  for (const std::string& line : Draw("", 0))
    EXPECT_EQ(line.find(" 550,"), std::string::npos) << line;
}

TEST_F(TimingPage, WithoutASelectedProfileNothingIsChanged) {
  for (int index : {10, 255}) {
    dlg.EditSettings([&](SettingsImage& s) {
      s.selectedProfile = std::uint8_t(index);
      s.profiles[0].turboTiming = 5, s.profiles[0].boostTiming = 20;
    });
    const SettingsImage before = dlg.SettingsSnapshot();
    const auto drawn = Draw("ESC08", 0);
    EXPECT_EQ(std::memcmp(before.bytes(), dlg.SettingsSnapshot().bytes(), sizeof before), 0) << index;
    // The background, the scale and the model's veils; nothing of a profile.
    EXPECT_EQ(host.Window().Texts(), (std::vector<std::string>{"0", "60"}));
    Expect(drawn, {"UI-05.PNG 0,60,965,477", "line 15,346 345,346 c82b2a32 246"});
    EXPECT_EQ(host.Window().ImageNames(), std::vector<std::string>{"UI-05.PNG"});
  }
}

}  // namespace
