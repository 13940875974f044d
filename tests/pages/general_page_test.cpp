// Page 1: the values it shows, what it corrects and its lists; and what every
// drawer does while no profile is selected.
#include <cstring>

#include "app/texts/ui_text_table.h"
#include "page_drawer_fixture.h"

namespace {

using General = PageDrawerTest;

TEST_F(General, ReverseSpeedKnobTextAndLowerLimit) {
  struct Case {
    int value, stored;
    float knobX;
    const char* text;
  };
  for (const Case c :
       {Case{0x20, 64, 160, "25% "}, {254, 254, 694.375f, "99% "}, {255, 255, 697.1875f, "100%"}}) {
    profile.reverseSpeed = static_cast<std::uint8_t>(c.value);
    Draw(&CCorvaneDlg::DrawGeneralPage);
    EXPECT_EQ(Pictures("UI-Point.png", 382), (std::vector<Box>{{c.knobX, 382, 20, 20}}));
    EXPECT_EQ(TextAt(745, 382), c.text);
    EXPECT_EQ(profile.reverseSpeed, c.stored);
  }
}

TEST_F(General, CutoffSwitchSliderTextAndVeilFollowTheModelScale) {
  struct Case {
    const char* model;
    int cutoff, flags, flagsAfter;
    float knobX, switchX, veilEnd;  // veilEnd 0: no veil
    const char* text;
  };
  const Case cases[] = {
      {"ESC08", 0, 0x41, 0x01, 160, 855, 920, "6.0V "}, {"", 29, 0x41, 0x01, 160, 855, 920, "3.0V "},
      {"", 30, 0x01, 0x01, 160, 825, 0, "3.0V "},       {"", 110, 0x01, 0x01, 700, 825, 0, "11.0V"},
      {"", 64, 0x41, 0x41, 389.5f, 825, 810, "6.4V "},  {"ESC08", 250, 0x01, 0x01, 701.5f, 825, 0, "25.0V"},
      {"", 200, 0x01, 0x01, 700, 825, 0, "20.0V"},  // past the scale: the knob stays at its end
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    dlg.m_strModelName = c.model;
    profile.cutoffVoltage = static_cast<std::uint8_t>(c.cutoff);
    profile.profileFlags = static_cast<std::uint8_t>(c.flags);
    Draw(&CCorvaneDlg::DrawGeneralPage);
    const float bit6X = (c.flagsAfter & 0x40) ? 855 : 825;
    EXPECT_EQ(Pictures("UI-Point.png", 442),
              (std::vector<Box>{{c.knobX, 442, 20, 20}, {bit6X, 442, 20, 20}}));
    EXPECT_EQ(Pictures("UI-Point.png", 477)[0][0], c.switchX);
    EXPECT_EQ(TextAt(745, 442), c.text);
    const DrawOp& last = ops.back();
    EXPECT_EQ(last.kind == DrawOp::Kind::Line ? last.to.x : 0, c.veilEnd);
    EXPECT_EQ(TextAt(673, 425), std::string(c.model) == "ESC08" ? "25.0V" : "");
    EXPECT_EQ(profile.profileFlags, c.flagsAfter);
    EXPECT_EQ(profile.cutoffVoltage, c.cutoff);
    EXPECT_EQ(dlg.m_bCutoffOff, c.switchX == 855 ? 1 : 0);
  }
}

TEST_F(General, ListRequestsAreTakenOnce) {
  std::memcpy(image.profiles[0].profileName, "ABCDEFGHIJKLMNOP", 16);  // no NUL
  std::memcpy(image.profiles[9].profileName, "Z\0junk", 6);
  struct Case {
    int request, esc, openBefore, rows, openAfter;
  };
  for (const Case c : {Case{1, 0, 0, 1, 1}, {2, 0, 0, 4, 2}, {3, 1, 2, 0, 2}, {1, 1, 0, 10, 1}}) {
    dlg.m_nListRequest = static_cast<std::uint8_t>(c.request);
    dlg.m_bEscConnected = static_cast<std::uint8_t>(c.esc);
    dlg.m_nOpenList = static_cast<std::uint8_t>(c.openBefore);
    Draw(&CCorvaneDlg::DrawGeneralPage);
    EXPECT_EQ(Pictures("UI-62.PNG").size(), static_cast<std::size_t>(c.rows));
    EXPECT_EQ(dlg.m_nListRequest, 0);
    EXPECT_EQ(dlg.m_nOpenList, c.openAfter);
  }
  EXPECT_EQ(TextAt(170, 119), "ABCDEFGHIJKLMNOP");
  EXPECT_EQ(TextAt(169, 148), "ABCDEFGHIJKLMNOP");
  EXPECT_EQ(TextAt(169, 418), "Z");
  EXPECT_EQ(Pictures("UI-62.PNG").back(), (Box{160, 420, 128, 30}));
}

using PageDrawers = PageDrawerTest;

TEST_F(PageDrawers, WithoutASelectedProfileOnlyWhatNeedsNoProfileIsDrawnAndNoProfileIsCorrected) {
  std::memset(&image, 0, sizeof image);
  image.selectedProfile = 11;
  const SettingsImage before = image;
  dlg.m_bCutoffOff = 1;
  for (auto drawer :
       {&CCorvaneDlg::DrawGeneralPage, &CCorvaneDlg::DrawBrakePage, &CCorvaneDlg::DrawThrottlePage}) {
    Draw(drawer);
    EXPECT_EQ(host.Window().ImageNames().at(0).substr(0, 4), "UI-0");  // the background
    EXPECT_TRUE(Pictures("UI-Point.png").empty());
    EXPECT_EQ(std::memcmp(&before.profiles, &image.profiles, sizeof before.profiles), 0);
    // Only the throttle page's calibration, outside the profiles, is corrected.
    if (drawer != &CCorvaneDlg::DrawThrottlePage) {
      EXPECT_EQ(std::memcmp(&before, &image, sizeof before), 0);
    }
  }
  EXPECT_EQ(dlg.m_bCutoffOff, 1);
  // The throttle page stores and shows the calibration it falls back on.
  EXPECT_EQ(
      (std::array<int, 4>{image.throttleLow, image.throttleNeutral, image.throttleHigh, image.deadBand}),
      (std::array<int, 4>{1985, 3006, 4027, 165}));
  EXPECT_EQ(TextAt(780, 386), "1000us");
  EXPECT_FLOAT_EQ(dlg.m_fDeadBandHandleY, 283);
}

}  // namespace
