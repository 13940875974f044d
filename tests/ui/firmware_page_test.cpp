// The firmware page as a user works it, offscreen, on the simulated box: the
// devices' names and versions, and with no server offers the Upgrade button
// programs the ESC from a picked image file.
#include <gtest/gtest.h>

#include <QDialog>
#include <QFileDialog>
#include <vector>

#include "support/firmware_image.h"
#include "ui/window_fixture.h"

namespace {

class FirmwarePage : public WindowTest {
 protected:
  // Pixels of the values' orange in the window rectangle.
  int OrangePixels(QRect r) {
    int count = 0;
    for (int y = r.top(); y <= r.bottom(); ++y) {
      for (int x = r.left(); x <= r.right(); ++x)
        count += Near(window->pixelAt(x, y), 0xFFF7680C, 40) ? 1 : 0;
    }
    return count;
  }
};

TEST_F(FirmwarePage, ShowsTheDevicesAndProgramsAPickedImage) {
  window->show(*dlg);
  ASSERT_TRUE(WaitUntil([&] { return dlg->m_nStatusTextId == 20 && dlg->LinkIdle(); }));
  // The test's server has nothing to offer.
  ASSERT_TRUE(WaitUntil([&] { return !(dlg->m_nUpgradeFlags & kUpgradeCheckRunning); }));
  ASSERT_EQ(dlg->Offers(dlg->m_escOffers).count, 0);

  Click({800, 300});  // the firmware tile of the home page
  ASSERT_EQ(dlg->m_nPage, 6);
  // Name, firmware and hardware rows of both columns carry their values.
  for (int x : {293, 751}) {
    for (int y : {316, 349, 382})
      EXPECT_GT(OrangePixels(QRect(x, y + 4, 60, 22)), 20) << x << "," << y;
  }
  // The empty list shows the ESC's own version.
  Click({380, 430});
  EXPECT_GT(OrangePixels(QRect(293, 454, 60, 22)), 20);

  const std::vector<std::uint8_t> image = FirmwareImage("ESC", 0x0400, 600);
  TempDir dir;
  WriteBinaryFile(dir.path() / "esc.bin", image);
  WhenModalShows([&](QWidget* modal) {
    auto* picker = qobject_cast<QFileDialog*>(modal);
    ASSERT_NE(picker, nullptr);
    EXPECT_EQ(picker->nameFilters(), QStringList{"(*.bin) (*.bin)"});
    picker->setDirectory(QString::fromStdString(dir.path().string()));
    picker->selectFile("esc.bin");
    static_cast<QDialog*>(picker)->accept();
  });
  Click({340, 155});
  EXPECT_TRUE(dlg->m_bUpgradeStarted);
  ASSERT_TRUE(WaitUntil([&] { return dlg->m_nStatusTextId == 18; }));  // "Program Update Success"
  std::vector<std::uint8_t> programmed(1000);
  std::uint32_t address = 0;
  ASSERT_EQ(sim.CorvaneSim_GetProgrammedImage(0, CORVANE_SIM_ESC, programmed.data(), 1000, &address), 600);
  EXPECT_EQ(address, 0x0400u);
  EXPECT_TRUE(std::equal(image.begin() + 32, image.end(), programmed.begin()));
}

}  // namespace
