// The dashboard: readings from the ESC's raw words, needle angles, number
// texts, and the page as drawn.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "app/corvane_dlg.h"
#include "pages/dashboard_readings.h"
#include "support/headless_host.h"

namespace {

TEST(DashboardReadings, RpmAndSpeed) {
  struct Row {
    int period, poles, wheel, ratio;
    std::int64_t rpm, speed;
  };
  const Row rows[] = {
      {1010, 2, 60, 1000, 20000, 2260},  // 60 * 20000 * 314 / 1000 * 6 = 2260800
      {1010, 14, 60, 1000, 2857, 322},
      {0, 2, 60, 1000, 0, 0},       // stopped
      {0xFFFF, 2, 60, 1000, 0, 0},  // stopped
      {1010, 1, 60, 1000, 0, 0},    // no pole pair: nothing to divide by
      {1010, 0, 60, 1000, 0, 0},
      {1010, 2, 60, 0, 20000, 0},  // no gear ratio: no speed
      {1010, 2, 0, 1000, 20000, 0},
      // 200 * 101000 * 314 passes 2^32; taken whole, not modulo.
      {200, 2, 200, 10000, 101000, 3805},
      {1, 2, INT_MAX, 1, 20200000, 0},  // far past the top, without overflow
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(testing::Message() << r.period << " " << r.poles << " " << r.wheel << " " << r.ratio);
    const std::int64_t rpm = MotorRpm(r.period, r.poles);
    EXPECT_EQ(rpm, r.rpm);
    EXPECT_EQ(VehicleSpeed(rpm, r.wheel, r.ratio), r.speed);
  }
  // The speed's limit: below 120001000 before the division by 1000.
  EXPECT_EQ(VehicleSpeed(20000166, 1, 314), 120000);
  EXPECT_EQ(VehicleSpeed(20000167, 1, 314), 0);
  EXPECT_EQ(ShownRpm(120000), 120000);
  EXPECT_EQ(ShownRpm(120001), 0);
}

TEST(DashboardReadings, Temperatures) {
  const std::pair<int, int> esc[] = {{4095, 20}, {3789, 29}, {3788, 30}, {365, 130},
                                     {0, 140},   {4096, 0},  {-1, 0}};
  for (auto [adc, celsius] : esc)
    EXPECT_EQ(EscTemperature(adc), celsius) << adc;
  const std::pair<int, int> motor[] = {{1537, 0},   {1538, 10}, {2123, 120}, {2174, 130},
                                       {2281, 150}, {2282, 0},  {-1, 0}};
  for (auto [adc, celsius] : motor)
    EXPECT_EQ(MotorTemperature(adc), celsius) << adc;
}

TEST(DashboardReadings, NeedlesGoBackToTheStartPastTheirEnd) {
  const std::pair<int, int> timing[] = {{0, 76}, {50, 201}, {51, 76}};
  for (auto [value, angle] : timing)
    EXPECT_EQ(TimingNeedleAngle(value), angle) << value;
  const std::pair<int, int> temperature[] = {{0, 55}, {150, 300}, {151, 55}};
  for (auto [value, angle] : temperature)
    EXPECT_EQ(TemperatureNeedleAngle(value), angle) << value;
  const std::pair<int, int> rpm[] = {{20000, 135}, {60222, 315}, {60223, 45}};
  for (auto [value, angle] : rpm)
    EXPECT_EQ(RpmNeedleAngle(value), angle) << value;
  const std::pair<int, int> speed[] = {{2260, 95}, {12000, 315}, {12001, 315}, {12044, 315}, {12045, 45}};
  for (auto [value, angle] : speed)
    EXPECT_EQ(SpeedNeedleAngle(value), angle) << value;
}

TEST(DashboardReadings, NumberTexts) {
  EXPECT_EQ(TimingText(5), "05");
  EXPECT_EQ(TemperatureText(25), "025");
  EXPECT_EQ(RpmText(12345), "12345");
  EXPECT_EQ(RpmText(120000), "20000");
  const std::pair<int, const char*> speed[] = {{0, "00.00"},     {1234, "12.34"},  {9999, "99.99"},
                                               {10000, "100.0"}, {12000, "120.0"}, {12001, " OUT "}};
  for (auto [value, text] : speed)
    EXPECT_EQ(SpeedText(value), text) << value;
  EXPECT_EQ(GearRatioText(1000), "10.00");
  EXPECT_EQ(WheelDiameterText(60), "060 mm");
  EXPECT_EQ(PolesText(2), "02");
}

class DashboardPage : public ::testing::Test {
 protected:
  void SetUp() override {
    if (const char* root = std::getenv("CORVANE_DRIVE_C")) m_savedRoot = root;
    ::setenv("CORVANE_DRIVE_C", "/drive-c", 1);
    for (int row = 0; row < kTileCount; ++row)
      dlg.m_tiles[row] = kPictureTable[row];
    dlg.m_nGearRatio = 1000;
    dlg.m_nWheelDiameter = 60;
    dlg.m_nPoles = 2;
  }
  void TearDown() override {
    if (m_savedRoot) {
      ::setenv("CORVANE_DRIVE_C", m_savedRoot->c_str(), 1);
    } else {
      ::unsetenv("CORVANE_DRIVE_C");
    }
  }

  // The page's drawing, one line per operation.
  std::vector<std::string> Drawn() {
    host.Window().Clear();
    dlg.DrawDashboardPage();
    std::vector<std::string> lines;
    for (const DrawOp& op : host.Window().Ops()) {
      std::ostringstream line;
      switch (op.kind) {
        case DrawOp::Kind::Image:
          line << op.file << " " << op.rect.x << "," << op.rect.y << "," << op.rect.width << ","
               << op.rect.height;
          break;
        case DrawOp::Kind::Text:
          line << "'" << op.text << "' " << op.from.x << "," << op.from.y;
          break;
        case DrawOp::Kind::Rotate:
          line << "rotate " << op.start;
          break;
        case DrawOp::Kind::Translate:
          line << "translate " << op.from.x << "," << op.from.y;
          break;
        case DrawOp::Kind::Reset:
          line << "reset";
          break;
        case DrawOp::Kind::Layer:
          continue;
        default:
          line << "other";
      }
      lines.push_back(line.str());
    }
    return lines;
  }

  HeadlessHost host;
  CCorvaneDlg dlg{host};

 private:
  std::optional<std::string> m_savedRoot;
};

TEST_F(DashboardPage, GaugesInOrderWithNeedlesTurnedThenMoved) {
  dlg.m_nLiveTiming = 50;
  dlg.m_nRpmPeriod = 1010;
  dlg.m_nMotorTempAdc = 2123;  // 120 C
  dlg.m_nEscTempAdc = 3788;    // 30 C
  const std::string pn = "/drive-c/CORVANE/REC/LANGUAGE_PN/";
  const std::vector<std::string> expected = {
      "/drive-c/CORVANE/REC/LANGUAGE_EN/UI-06.PNG 0,60,965,477",
      "'50' 910,213",
      "rotate 201",
      "translate 810,194",
      pn + "UI-Timing.png -63,-63,126,126",
      "reset",
      "rotate 251",
      "translate 156,198",
      pn + "UI-Po.png -10,-10,20,80",
      "reset",
      "'120' 140,232",
      "rotate 104",
      "translate 482,198",
      pn + "UI-Po.png -10,-10,20,80",
      "reset",
      "'030' 465,232",
      "rotate 135",
      "translate 156,410",
      pn + "UI-Po.png -10,-10,20,80",
      "reset",
      "'20000' 131,430",
      "rotate 95",
      "translate 480,410",
      pn + "UI-Po.png -10,-10,20,80",
      "reset",
      "'22.60' 458,430",
      "'10.00' 640,422",
      "'060 mm' 638,470",
      "'02' 650,373",
  };
  EXPECT_EQ(Drawn(), expected);
}

TEST_F(DashboardPage, ZeroDivisorsAndStoppedMotorShowZero) {
  dlg.m_nRpmPeriod = 1010;
  dlg.m_nPoles = 1;
  dlg.m_nGearRatio = 0;
  const std::vector<std::string> drawn = Drawn();
  // The line before the needle's move onto the pivot is its turn.
  auto turn = [&](const std::string& moveToPivot) {
    const auto it = std::find(drawn.begin(), drawn.end(), moveToPivot);
    return it == drawn.begin() || it == drawn.end() ? std::string() : *(it - 1);
  };
  EXPECT_EQ(turn("translate 156,410"), "rotate 45");  // rpm and speed needles at their start
  EXPECT_EQ(turn("translate 480,410"), "rotate 45");
  for (const char* text : {"'00000' 131,430", "'00.00' 458,430", "'00.00' 640,422", "'01' 650,373"})
    EXPECT_NE(std::find(drawn.begin(), drawn.end(), text), drawn.end()) << text;
}

}  // namespace
