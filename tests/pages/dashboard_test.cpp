// The dashboard: readings from the ESC's raw words, needle angles, number
// texts, and the page as drawn.
#include <gtest/gtest.h>

#include <climits>

#include "app/corvane_dlg.h"
#include "drawn_ops.h"
#include "pages/dashboard_readings.h"
#include "platform/drive_c.h"
#include "support/headless_host.h"

namespace {

TEST(DashboardReadings, RpmAndSpeed) {
  struct Row {
    int period, poles, wheel, ratio;
    std::int64_t rpm, speed;
  } const rows[] = {
      {1010, 2, 60, 1000, 20000, 2260},  // 60 * 20000 * 314 / 1000 * 6 = 2260800
      {1010, 14, 60, 1000, 2857, 322},    {0, 2, 60, 1000, 0, 0},    {0xFFFF, 2, 60, 1000, 0, 0},
      {1010, 1, 60, 1000, 0, 0},          {1010, 0, 60, 1000, 0, 0}, {1010, 2, 60, 0, 20000, 0},
      {200, 2, 200, 10000, 101000, 3805},  // the product passes 2^32 and is taken whole
      {1, 2, INT_MAX, 1, 20200000, 0},     // far past the top, without overflow
  };
  for (const Row& r : rows) {
    const std::int64_t rpm = MotorRpm(r.period, r.poles);
    EXPECT_EQ(rpm, r.rpm) << r.period << " " << r.poles;
    EXPECT_EQ(VehicleSpeed(rpm, r.wheel, r.ratio), r.speed) << r.period << " " << r.wheel << " " << r.ratio;
  }
  EXPECT_EQ(VehicleSpeed(20000166, 1, 314), 120000);  // s 120000996, just below the limit
  EXPECT_EQ(VehicleSpeed(20000167, 1, 314), 0);
  EXPECT_EQ(ShownRpm(120000), 120000);
  EXPECT_EQ(ShownRpm(120001), 0);
}

TEST(DashboardReadings, TemperaturesAndNeedles) {
  for (auto [adc, c] :
       {std::pair{4095, 20}, {3789, 29}, {3788, 30}, {365, 130}, {0, 140}, {4096, 0}, {-1, 0}})
    EXPECT_EQ(EscTemperature(adc), c) << adc;
  for (auto [adc, c] : {std::pair{1537, 0}, {1538, 10}, {2123, 120}, {2174, 130}, {2281, 150}, {2282, 0}})
    EXPECT_EQ(MotorTemperature(adc), c) << adc;
  struct Row {
    int (*angle)(std::int64_t);
    std::int64_t value;
    int degrees;
  } const rows[] = {
      {[](std::int64_t v) { return TimingNeedleAngle(int(v)); }, 50, 201},
      {[](std::int64_t v) { return TimingNeedleAngle(int(v)); }, 51, 76},
      {[](std::int64_t v) { return TemperatureNeedleAngle(int(v)); }, 150, 300},
      {[](std::int64_t v) { return TemperatureNeedleAngle(int(v)); }, 151, 55},
      {RpmNeedleAngle, 20000, 135},
      {RpmNeedleAngle, 60222, 315},
      {RpmNeedleAngle, 60223, 45},
      {SpeedNeedleAngle, 2260, 95},
      {SpeedNeedleAngle, 12000, 315},
      {SpeedNeedleAngle, 12001, 315},
      {SpeedNeedleAngle, 12044, 315},
      {SpeedNeedleAngle, 12045, 45},
  };
  for (const Row& r : rows)
    EXPECT_EQ(r.angle(r.value), r.degrees) << r.value;
}

TEST(DashboardReadings, NumberTexts) {
  const std::pair<std::string, std::string> texts[] = {
      {TimingText(5), "05"},       {TemperatureText(25), "025"},   {RpmText(120000), "20000"},
      {SpeedText(1234), "12.34"},  {SpeedText(10500), "105.0"},    {SpeedText(12000), "120.0"},
      {SpeedText(12001), " OUT "}, {GearRatioText(1000), "10.00"}, {WheelDiameterText(60), "060 mm"},
      {PolesText(2), "02"},
  };
  for (const auto& [shown, expected] : texts)
    EXPECT_EQ(shown, expected);
}

class DashboardPage : public ::testing::Test {
 protected:
  void SetUp() override {
    for (int row = 0; row < kTileCount; ++row)
      dlg.m_tiles[row] = kPictureTable[row];
    dlg.m_nGearRatio = 1000;
    dlg.m_nWheelDiameter = 60;
    dlg.m_nPoles = 2;
  }
  HeadlessHost host;
  CCorvaneDlg dlg{host};
};

TEST_F(DashboardPage, GaugesInOrderWithNeedlesTurnedThenMoved) {
  dlg.m_nLiveTiming = 50;
  dlg.m_nRpmPeriod = 1010;
  dlg.m_nMotorTempAdc = 2123;  // 120 C
  dlg.m_nEscTempAdc = 3788;    // 30 C
  dlg.DrawDashboardPage();
  std::vector<std::string> expected = {"UI-06.PNG 0,60,965,477",
                                       "'50' 910,213 0.18",
                                       "rotate 201",
                                       "translate 810,194",
                                       "UI-Timing.png -63,-63,126,126",
                                       "reset"};
  const std::tuple<int, const char*, const char*> gauges[] = {{251, "156,198", "'120' 140,232 0.18"},
                                                              {104, "482,198", "'030' 465,232 0.18"},
                                                              {135, "156,410", "'20000' 131,430 0.18"},
                                                              {95, "480,410", "'22.60' 458,430 0.18"}};
  for (const auto& [angle, pivot, text] : gauges) {
    expected.insert(expected.end(), {"rotate " + std::to_string(angle), std::string("translate ") + pivot,
                                     "UI-Po.png -10,-10,20,80", "reset", text});
  }
  expected.insert(expected.end(), {"'10.00' 640,422 0.18", "'060 mm' 638,470 0.18", "'02' 650,373 0.18"});
  EXPECT_EQ(DrawnLines(host.Window()), expected);

  // The needles are the common folder's, under the drive-C root whatever the working directory.
  for (const DrawOp& op : host.Window().Ops()) {
    if (op.kind == DrawOp::Kind::Image && op.file.find("UI-06") == std::string::npos) {
      EXPECT_TRUE(op.file == platform::MapDriveC("C:\\CORVANE\\REC\\LANGUAGE_PN\\UI-Po.png").string() ||
                  op.file == platform::MapDriveC("C:\\CORVANE\\REC\\LANGUAGE_PN\\UI-Timing.png").string())
          << op.file;
      EXPECT_TRUE(std::filesystem::path(op.file).is_absolute());
    }
  }
}

TEST_F(DashboardPage, NoPolePairAndNoGearRatioReadZero) {
  dlg.m_nRpmPeriod = 1010;
  dlg.m_nPoles = 1;
  dlg.m_nGearRatio = 0;
  dlg.DrawDashboardPage();
  const std::vector<std::string> drawn = DrawnLines(host.Window());
  const std::vector<std::string> tail(drawn.end() - 13, drawn.end());
  EXPECT_EQ(tail,
            (std::vector<std::string>{"rotate 45", "translate 156,410", "UI-Po.png -10,-10,20,80", "reset",
                                      "'00000' 131,430 0.18", "rotate 45", "translate 480,410",
                                      "UI-Po.png -10,-10,20,80", "reset", "'00.00' 458,430 0.18",
                                      "'00.00' 640,422 0.18", "'060 mm' 638,470 0.18", "'01' 650,373 0.18"}));
}

}  // namespace
