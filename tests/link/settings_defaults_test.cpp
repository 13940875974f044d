// Factory defaults and the resets that apply them.
#include <cstring>

#include "support/link_fixture.h"

namespace {

class SettingsDefaults : public LinkTest {
 protected:
  void SetCalibration(std::uint16_t low, std::uint16_t neutral, std::uint16_t high) {
    dlg->EditSettings([&](SettingsImage& s) {
      s.throttleLow = low;
      s.throttleNeutral = neutral;
      s.throttleHigh = high;
    });
  }
  void FullReset() {
    dlg->EditSettings([](SettingsImage& s) { s.selectedProfile = 10; });
    dlg->LoadDefaultSettings();
  }
  bool CalibrationIs(std::uint16_t low, std::uint16_t neutral, std::uint16_t high) {
    const SettingsImage s = dlg->SettingsSnapshot();
    return s.throttleLow == low && s.throttleNeutral == neutral && s.throttleHigh == high;
  }
};

TEST(DefaultProfileTable, HoldsTheFactoryValues) {
  // Every byte of the factory record, from the table of factory values:
  // the bytes named here, words little-endian, and zero everywhere else
  // (the curves' unused pairs, the reserved bytes and the empty name). Both
  // curves hold the points (0, 0) and (255, 255) and the count 2.
  struct Value {
    int offset, value, width;
  } values[] = {
      {0x00, 0, 1},     {0x01, 0x40, 1}, {0x02, 30, 1},   {0x03, 1, 1},   {0x04, 1, 1},   {0x05, 0x80, 1},
      {0x06, 5, 1},     {0x07, 5, 1},    {0x08, 0x41, 1}, {0x09, 10, 1},  {0x0a, 75, 1},  {0x0b, 0x80, 1},
      {0x0c, 50, 1},    {0x0d, 10, 1},   {0x0e, 16, 1},   {0x0f, 1, 1},   {0x10, 0, 1},   {0x11, 15000, 2},
      {0x13, 25000, 2}, {0x15, 1, 1},    {0x16, 1, 1},    {0x17, 0, 1},   {0x18, 0, 1},   {0x19, 10, 1},
      {0x1a, 20000, 2}, {0x1c, 52, 1},   {0x1d, 32, 1},   {0x20, 255, 1}, {0x21, 255, 1}, {0x3e, 2, 2},
      {0x42, 255, 1},   {0x43, 255, 1},  {0x60, 2, 2},
  };
  std::uint8_t expected[sizeof(SettingProfile)] = {};
  for (const Value& v : values) {
    expected[v.offset] = static_cast<std::uint8_t>(v.value);
    if (v.width == 2) expected[v.offset + 1] = static_cast<std::uint8_t>(v.value >> 8);
  }
  for (const SettingProfile& p : DefaultProfileTable) {
    const auto* b = reinterpret_cast<const std::uint8_t*>(&p);
    for (std::size_t i = 0; i < sizeof expected; ++i)
      ASSERT_EQ(b[i], expected[i]) << "profile " << &p - DefaultProfileTable << ", offset " << i;
  }
}

TEST_F(SettingsDefaults, StartUpResetGivesTenFactoryProfilesAndProfileZero) {
  // The fixture's dialog has run the start-up reset on the constructor's image.
  const SettingsImage s = dlg->SettingsSnapshot();
  EXPECT_EQ(0, std::memcmp(s.profiles, DefaultProfileTable, sizeof s.profiles));
  EXPECT_EQ(s.selectedProfile, 0);
  EXPECT_TRUE(CalibrationIs(2041, 3062, 4083));
  EXPECT_EQ(int{s.deadBand}, 164);
  for (int i = 2429; i < 2477; ++i)
    ASSERT_EQ(s.bytes()[i], 0xFF);
}

TEST_F(SettingsDefaults, ResetOfOneProfileTouchesOnlyItsBytes) {
  dlg->EditSettings([](SettingsImage& s) {
    std::memset(s.bytes(), 0x5A, sizeof s);
    s.selectedProfile = 3;
  });
  dlg->LoadDefaultSettings();
  const std::vector<std::uint8_t> bytes = ImageBytes();
  for (int i = 0; i < 2477; ++i) {
    if (i >= 726 && i <= 967) continue;
    if (i == 2420) continue;
    ASSERT_EQ(bytes[i], 0x5A) << "offset " << i;
  }
  EXPECT_EQ(0, std::memcmp(&bytes[726], &DefaultProfileTable[3], 242));
  EXPECT_EQ(bytes[2420], 3);
}

TEST_F(SettingsDefaults, FullResetKeepsAValidCalibration) {
  SetCalibration(2000, 3000, 4000);
  dlg->EditSettings([](SettingsImage& s) { s.deadBand = 1; });
  FullReset();
  EXPECT_TRUE(CalibrationIs(2000, 3000, 4000));
  const SettingsImage s = dlg->SettingsSnapshot();
  EXPECT_EQ(int{s.deadBand}, 164);
  EXPECT_EQ(s.selectedProfile, 0);
}

TEST_F(SettingsDefaults, CalibrationBoundsAreExact) {
  struct Case {
    std::uint16_t low, neutral, high;
    bool kept;
  } cases[] = {
      {2000, 2306, 4000, false},  // 306 above the low end
      {2000, 2307, 4000, true},   // 307
      {2000, 3694, 4000, false},  // 306 below the high end
      {2000, 3693, 4000, true},  {1019, 3000, 4000, false}, {1020, 3000, 4000, true},
      {2000, 3000, 8166, true},  {2000, 3000, 8167, false}, {4000, 3000, 2000, false},  // ends reversed
      {3000, 3000, 3000, false},
  };
  for (const Case& c : cases) {
    SetCalibration(c.low, c.neutral, c.high);
    FullReset();
    if (c.kept) {
      EXPECT_TRUE(CalibrationIs(c.low, c.neutral, c.high)) << c.low << "/" << c.neutral << "/" << c.high;
    } else {
      EXPECT_TRUE(CalibrationIs(2041, 3062, 4083)) << c.low << "/" << c.neutral << "/" << c.high;
    }
  }
}

TEST_F(SettingsDefaults, TurboTimingOfProfileZeroOnlyForTheEsc12) {
  for (const char* model : {"ESC12", "ESC08", "ESC1", "esc12", ""}) {
    {
      std::lock_guard lock(dlg->m_settingsMutex);
      dlg->m_strModelName = model;
    }
    FullReset();
    const SettingsImage s = dlg->SettingsSnapshot();
    EXPECT_EQ(s.profiles[0].turboTiming, std::string(model) == "ESC12" ? 10 : 0) << model;
    for (int k = 1; k < kProfileCount; ++k)
      EXPECT_EQ(s.profiles[k].turboTiming, 0);
  }
}

TEST_F(SettingsDefaults, ReferenceCopyFollowsTheSelectedProfileAndIgnoresBadIndexes) {
  dlg->EditSettings([](SettingsImage& s) { s.selectedProfile = 4; });
  dlg->LoadDefaultProfile();
  EXPECT_EQ(0, std::memcmp(&dlg->m_refProfile, &DefaultProfileTable[4], sizeof(SettingProfile)));

  std::memset(&dlg->m_refProfile, 0x77, sizeof(SettingProfile));
  for (int index : {10, 200, 255}) {
    dlg->EditSettings([&](SettingsImage& s) { s.selectedProfile = static_cast<std::uint8_t>(index); });
    dlg->LoadDefaultProfile();
    const auto* ref = reinterpret_cast<const std::uint8_t*>(&dlg->m_refProfile);
    for (int i = 0; i < 242; ++i)
      ASSERT_EQ(ref[i], 0x77);
  }
}

}  // namespace
