// The program's window as a user sees it, offscreen: the real Qt window, the
// main dialog and the simulated box; the screenshot is probed at the dots and
// the home page's tiles, and the system menu is used as a user does.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QImage>
#include <cstdlib>
#include <filesystem>
#include <memory>

#include "platform/application.h"
#include "platform/qt_test_support.h"
#include "ui/window_fixture.h"

namespace {

int Red(platform::Argb p) {
  return (p >> 16) & 0xFF;
}
int Green(platform::Argb p) {
  return (p >> 8) & 0xFF;
}

class HomeWindow : public WindowTest {
 protected:
  // The home picture's own pixel at a window point.
  platform::Argb HomePicturePixel(int x, int y) {
    const QImage home(QString(CORVANE_SIM_DRIVE_C) + "/CORVANE/REC/LANGUAGE_EN/UI-01.PNG");
    return home.pixel(x, y - 60);
  }
};

TEST_F(HomeWindow, ShowsTheHomePageAndTheConnectedDots) {
  window->show(*dlg);
  // The first read completes and its page redraw follows a second later.
  ASSERT_TRUE(WaitUntil([&] { return dlg->m_bRedrawPage && dlg->m_nPressCountdown == 0; }));
  ASSERT_TRUE(WaitUntil([&] { return Green(window->pixelAt(40, 551)) > 150; }));

  // Both dots green once the ESC has answered.
  for (int x : {40, 390}) {
    const platform::Argb dot = window->pixelAt(x, 551);
    EXPECT_GT(Green(dot), 150) << x;
    EXPECT_LT(Red(dot), 120) << x;
  }
  // The home picture fills the page band: a tile's centre, the gap between
  // two tiles and a button are the picture's own pixels.
  for (auto [x, y] : {std::pair{160, 165}, {321, 200}, {214, 508}, {748, 508}}) {
    EXPECT_EQ(window->pixelAt(x, y), HomePicturePixel(x, y)) << x << "," << y;
  }
  EXPECT_NE(window->pixelAt(160, 165), window->pixelAt(321, 200));

  // The screenshot shows the same.
  const std::string file = ::testing::TempDir() + "corvane-home-" + std::to_string(::getpid()) + ".png";
  ASSERT_TRUE(window->saveScreenshot(file));
  const QImage shot(QString::fromStdString(file));
  std::filesystem::remove(file);
  EXPECT_EQ(shot.size(), QSize(965, 578));
  EXPECT_EQ(shot.pixel(160, 165), HomePicturePixel(160, 165));
}

TEST_F(HomeWindow, RedDotsWithoutTheBoxAndTheCloseBoxEndsTheDialog) {
  sim.CorvaneSim_SetBoxCount(0);
  window->show(*dlg);
  ASSERT_TRUE(WaitUntil([&] { return Red(window->pixelAt(40, 551)) > 150; }));
  EXPECT_GT(Red(window->pixelAt(390, 551)), 150);
  EXPECT_EQ(dlg->m_nStatusTextId, 27);

  dlg->OnLButtonUp(940, 20);
  EXPECT_TRUE(window->ended());
  EXPECT_EQ(window->result(), platform::kIdOk);
}

TEST_F(HomeWindow, SystemMenuOpensTheAboutBoxSwitchesTheLanguageAndCloses) {
  sim.CorvaneSim_SetBoxCount(0);
  window->show(*dlg);
  QMenu* menu = OpenMenuWithAltSpace();
  EXPECT_EQ(MenuTexts(menu),
            QStringList({"Move(M)", "Close(C)   Alt+F4", "About Corvane(&A)...", "Chinese"}));
  QString about;
  WhenModalShows([&](QWidget* modal) {
    about = modal->windowTitle();
    modal->close();
  });
  ChooseMenuItem(menu, 2);
  EXPECT_EQ(about, "About Corvane");

  // English switches to Japanese, Japanese to Chinese; the menu follows.
  ChooseMenuItem(OpenMenuWithRightClick({500, 30}), 3);
  menu = OpenMenuWithAltSpace();
  EXPECT_EQ(MenuTexts(menu), QStringList({"移動", "終了", "About Corvane(&A)...", "Japanese"}));
  ChooseMenuItem(menu, 3);
  menu = OpenMenuWithAltSpace();
  EXPECT_EQ(MenuTexts(menu),
            QStringList({"移动(M)", "关闭(C)    Alt+F4", "About Corvane(&A)...", "English"}));
  EXPECT_EQ(dlg->m_nLanguage, 1);

  ChooseMenuItem(menu, 1);
  EXPECT_TRUE(window->ended());
  EXPECT_EQ(window->result(), platform::kIdCancel);
}

TEST_F(HomeWindow, WithoutTheHidLibraryTheSystemMenuStillMovesAndCloses) {
  ::setenv("CORVANE_DRIVE_C", "/nonexistent-corvane-root", 1);
  WhenModalShows([](QWidget* modal) { modal->close(); });  // the library's message
  window->show(*dlg);
  EXPECT_NE(dlg->OnQueryDragIcon(), nullptr);
  QMenu* menu = OpenMenuWithAltSpace();
  EXPECT_EQ(MenuTexts(menu), QStringList({"Move", "Close   Alt+F4"}));
  ChooseMenuItem(menu, 1);
  EXPECT_TRUE(window->ended());
  EXPECT_EQ(window->result(), platform::kIdCancel);
}

}  // namespace
