// A firmware download in the real window, offscreen: the window goes on
// ticking and shows the progress while the server holds the image back, and
// closing it ends the download with nothing programmed.
#include <gtest/gtest.h>

#include <QProgressBar>
#include <QTimer>
#include <cstring>

#include "platform/qt_test_support.h"
#include "ui/window_fixture.h"
#include "upgrade/loopback_server.h"

namespace {

// A program-box image of 32 + 2000 bytes whose header sums to 0.
std::string BoxImage() {
  std::string image(32 + 2000, '\x05');
  image[0] = 0x02;
  image[1] = 0x00;
  image[2] = 2000 >> 8;
  image[3] = 2000 & 0xFF;
  std::memcpy(&image[8], "BOX", 3);
  unsigned char sum = 0;
  for (int i = 0; i < 31; ++i)
    sum = static_cast<unsigned char>(sum + image[i]);
  image[31] = static_cast<char>(-sum);
  return image;
}

TEST_F(WindowTest, ClosingTheWindowDuringAFirmwareDownloadProgramsNothing) {
  const std::string image = BoxImage();
  ScriptedServer server([&](const std::string&) {
    const std::string head = "HTTP/1.1 200 X\r\nContent-Length: " + std::to_string(image.size()) + "\r\n\r\n";
    return ScriptedServer::Reply{head + image.substr(0, 1000), true};
  });
  // One box image listed, no newer than the box: nothing is offered by itself.
  dlg->m_boxOffers.count = 1;
  dlg->m_boxOffers.version[0] = 0;
  dlg->m_boxOffers.url[0] = server.Url();
  window->show(*dlg);
  // The first settings read, which moves the same progress bar, is done.
  ASSERT_TRUE(WaitUntil([&] { return dlg->m_nStatusTextId == 20 && dlg->LinkIdle(); }));

  bool loading = false, returned = false, progressShown = false;
  int ticks = 0;
  // While the load runs, a timer ticks; once the bar shows the bytes that
  // came, of the whole image, the user closes the window.
  QTimer timer;
  QObject::connect(&timer, &QTimer::timeout, [&] {
    if (!loading) return;
    ++ticks;
    const auto* bar = MainWidget()->findChild<QProgressBar*>();
    if (!progressShown && bar->maximum() == 2032 && bar->value() >= 1000) {
      progressShown = true;
      MainWidget()->close();
    }
  });
  timer.start(10);
  window->post([&] {
    loading = true;
    dlg->LoadBoxFirmware(0, 0);
    loading = false;
    returned = true;
  });
  // The window went after the load returned: the link has stopped.
  ASSERT_TRUE(WaitUntil([&] { return returned && window->ended() && !dlg->m_bLinkRunning; }));
  EXPECT_TRUE(progressShown);
  EXPECT_GT(ticks, 0);
  EXPECT_EQ(window->result(), platform::kIdCancel);
  EXPECT_NE(dlg->m_nPendingOp, 'p');
  EXPECT_EQ(sim.CorvaneSim_GetProgrammedImage(0, CORVANE_SIM_BOX, nullptr, 0, nullptr), -1);
}

}  // namespace
