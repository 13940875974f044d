// The live status page's readings of the ESC's status record.
#include <gtest/gtest.h>

#include "app/corvane_dlg.h"
#include "dialogs/page_status.h"
#include "support/headless_host.h"

namespace {

TEST(StatusReadings, FaultsInOrder) {
  EXPECT_EQ(FaultText(0), "运行正常");
  EXPECT_EQ(FaultText(0x1E), "电池电压低  马达温度高 ESC温度高  遥控故障 ");
  EXPECT_EQ(FaultText(0x02), "遥控故障 ");
}

TEST(StatusReadings, EscTemperatureSegments) {
  EXPECT_EQ(EscTemperatureText(1635), "25");
  EXPECT_EQ(EscTemperatureText(1929), "84");  // 25 + 294 * 60 / 295, truncated
  EXPECT_EQ(EscTemperatureText(1930), "85");
  EXPECT_EQ(EscTemperatureText(2069), "104");
  EXPECT_EQ(EscTemperatureText(2070), "105");
  EXPECT_EQ(EscTemperatureText(2221), "124");
  EXPECT_EQ(EscTemperatureText(2222), ">125C");
  EXPECT_EQ(EscTemperatureText(100), "-287");  // below the table the line runs on
}

TEST(StatusReadings, MotorTemperatureFromTheThermistor) {
  EXPECT_EQ(MotorTemperatureText(0xFFFF), "Unkown");
  EXPECT_EQ(MotorTemperatureText(6000), "<0");  // about 38.6 kohm
  EXPECT_EQ(MotorTemperatureText(7600), "<0");  // the divisor turns negative
  EXPECT_EQ(MotorTemperatureText(4000), "23");  // 11252 ohm, between 33620 (0) and 10000 (25)
  EXPECT_EQ(MotorTemperatureText(0), ">125");   // 0 ohm
  // 1000 * 6.4 / (4835 - 640) * 1000 = 1525 ohm: between 1496 (75) and 3588 (50).
  EXPECT_EQ(MotorTemperatureText(1000), "74");
  // 5 * 6.4 / (4835 - 3.2) * 1000 = 6 ohm: hotter than the table.
  EXPECT_EQ(MotorTemperatureText(5), ">125");
}

TEST(StatusReadings, RpmHoldsTheHighestOfNineSamples) {
  HeadlessHost host;
  CCorvaneDlg dlg(host);
  CPageStatus page(dlg);
  StatusRecord record{};
  page.m_pStatus = &record;
  auto sample = [&](std::uint16_t period) {
    record.commutationPeriod = period;
    dlg.m_bStatusReady = 1;
    page.UpdateStatus();
    return page.m_texts[1071];
  };
  // 24500000 / (12 * 1000) * 10 = 20410; 24500000 / (12 * 500) * 10 = 40830.
  for (int i = 0; i < 9; ++i)
    EXPECT_EQ(sample(i == 4 ? 500 : 1000), "0");
  EXPECT_EQ(sample(2000), "40830");  // the tenth sample shows the peak and is not used
  EXPECT_EQ(sample(1000), "40830");
  EXPECT_EQ(sample(0), "0");
  EXPECT_FALSE(dlg.m_bStatusReady);
  // Without a new record the page keeps what it shows.
  record.commutationPeriod = 1000;
  page.UpdateStatus();
  EXPECT_EQ(page.m_texts[1071], "0");
}

}  // namespace
