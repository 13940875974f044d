// Page 2: switch point, stage levels (with page 3's) and the calibration
// scale, with the values the page corrects.
#include "page_drawer_fixture.h"

namespace {

using ::testing::ElementsAre;
using ::testing::FloatEq;
using Throttle = PageDrawerTest;

TEST_F(Throttle, EqualEndsFallBackToThePagesOwnCalibration) {
  image.throttleLow = image.throttleNeutral = image.throttleHigh = image.deadBand = 0;
  Draw(&CCorvaneDlg::DrawThrottlePage);
  EXPECT_EQ(
      (std::array<int, 4>{image.throttleLow, image.throttleNeutral, image.throttleHigh, image.deadBand}),
      (std::array<int, 4>{1985, 3006, 4027, 165}));
  EXPECT_EQ(TextAt(780, 386), "1000us");
  EXPECT_EQ(TextAt(780, 150), "2000us");
  EXPECT_EQ(TextAt(876, 283), "-1500us");
  EXPECT_EQ(TextAt(773, 283), "0080us-");
  EXPECT_FLOAT_EQ(dlg.m_fDeadBandHandleY, 283);
  EXPECT_THAT(Pictures("UI-G.png"), ElementsAre(Box{835, 286, 46, 19}));
  EXPECT_THAT(Pictures("UI-Up.png"), ElementsAre(Box{848, 305, 20, 40}));
  EXPECT_THAT(Pictures("UI-Down.png"), ElementsAre(Box{848, 246, 20, 40}));

  // A high end below the low end mirrors the scale; the band keeps a positive height.
  image.throttleLow = 4027;
  image.throttleHigh = 1985;
  Draw(&CCorvaneDlg::DrawThrottlePage);
  EXPECT_FLOAT_EQ(dlg.m_fDeadBandHandleY, 270);
  EXPECT_THAT(Pictures("UI-G.png"), ElementsAre(Box{835, 272, 46, 19}));
}

TEST_F(Throttle, WithoutAValidProfileTheDeadBandIsStillKeptInRangeInTheImage) {
  image.selectedProfile = 10;
  for (const auto& [deadBand, stored] : {std::pair{400, 307}, {1, 5}}) {
    image.deadBand = static_cast<std::uint16_t>(deadBand);
    Draw(&CCorvaneDlg::DrawThrottlePage);
    EXPECT_EQ(int{image.deadBand}, stored);
  }
}

TEST_F(Throttle, SwitchPointAndDeadBandAreKeptInRange) {
  struct Case {
    int switchPoint, deadBand, storedSwitchPoint, storedDeadBand;
    float knobX;
    const char *percent, *deadBandText;
  };
  for (const Case c : {Case{0, 400, 3, 307, 155.412f, "01% ", "0150us"},
                       {255, 0, 253, 5, 606.412f, "99% ", "0002us"},
                       {128, 164, 128, 164, 380.912f, "50% ", "0080us"}}) {
    profile.throttleSwitchPoint = static_cast<std::uint8_t>(c.switchPoint);
    image.deadBand = static_cast<std::uint16_t>(c.deadBand);
    Draw(&CCorvaneDlg::DrawThrottlePage);
    EXPECT_EQ(profile.throttleSwitchPoint, c.storedSwitchPoint);
    EXPECT_EQ(int{image.deadBand}, c.storedDeadBand);
    EXPECT_THAT(Pictures("UI-LeftR.png").at(0)[0], FloatEq(c.knobX));
    EXPECT_EQ(TextAt(650, 225), c.percent);
    EXPECT_EQ(TextAt(830, 430), c.deadBandText);
  }
}

TEST_F(Throttle, StageLevelsOfThrottleAndBrakeStayOnTheirSliders) {
  struct Case {
    int rate;
    float throttleLevel, brakeLevel;
  };
  for (const Case c : {Case{0, 0, 0}, {1, 0, 0}, {5, 0, 1}, {7, 1, 1}, {20, 3, 4}, {30, 4, 4}, {255, 4, 4}}) {
    SCOPED_TRACE(c.rate);
    const auto rate = static_cast<std::uint8_t>(c.rate);
    profile.throttleStage1Rate = profile.throttleStage2Rate = profile.brakeStage1Rate =
        profile.brakeStage2Rate = rate;
    const float t = 34 * c.throttleLevel, b = 34 * c.brakeLevel;
    Draw(&CCorvaneDlg::DrawThrottlePage);
    EXPECT_THAT(Pictures("UI-Height.png"), ElementsAre(Box{177, 310, 10, t + 10}, Box{463, 310, 10, t + 10}));
    EXPECT_THAT(Pictures("UI-UpDown.png"), ElementsAre(Box{167, 300 + t, 30, 30}, Box{453, 300 + t, 30, 30}));
    Draw(&CCorvaneDlg::DrawBrakePage);
    EXPECT_THAT(Pictures("UI-Height.png"), ElementsAre(Box{770, 148, 10, b + 10}, Box{770, 365, 10, b + 10}));
    EXPECT_THAT(Pictures("UI-UpDown.png"), ElementsAre(Box{760, 138 + b, 30, 30}, Box{760, 355 + b, 30, 30}));
  }
}

}  // namespace
