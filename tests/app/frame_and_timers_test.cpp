// The frame's dots and labels, the timers' steps and the home-page hover,
// seen through what is drawn on the window.
#include <algorithm>

#include "app/texts/ui_text_table.h"
#include "app_fixture.h"

namespace {

class Frame : public AppTest {
 protected:
  // The frame as drawn now: its pictures and its texts.
  void Draw() {
    host.Window().Clear();
    dlg->DrawFrame();
  }
  std::vector<std::string> Images() { return host.Window().ImageNames(); }
  std::vector<std::string> Texts() { return host.Window().Texts(); }
};

TEST_F(Frame, DotsAndLabelsFollowTheConnectionFlags) {
  struct Case {
    bool usb, esc;
    const char* usbDot;
    const char* escDot;
    int usbLabel, escLabel;
  } cases[] = {
      {false, false, "UI-R.PNG", "UI-R.PNG", 4, 6},
      {false, true, "UI-R.PNG", "UI-R.PNG", 4, 6},  // no ESC without the box
      {true, false, "UI-G.PNG", "UI-R.PNG", 3, 6},
      {true, true, "UI-G.PNG", "UI-G.PNG", 3, 5},
  };
  for (const Case& c : cases) {
    for (int language = 0; language < kLanguageCount; ++language) {
      dlg->m_bLinkRunning = c.usb;
      dlg->m_bEscConnected = c.esc;
      dlg->m_nLanguage = language;
      Draw();
      EXPECT_EQ(Images(), (std::vector<std::string>{"UI-61.PNG", "UI-ORB-File.PNG", c.usbDot, c.escDot}));
      EXPECT_EQ(Texts(),
                (std::vector<std::string>{StatusLabel(7, language), StatusLabel(c.usbLabel, language),
                                          StatusLabel(c.escLabel, language)}));
    }
  }
  dlg->m_bLinkRunning = false;
}

TEST_F(Frame, PositionsFoldersAndTheGermanVersionLabel) {
  dlg->m_nLanguage = kLanguageGerman;
  Draw();
  const auto ops = host.Window().Ops();
  auto find = [&](const std::string& text) {
    return *std::find_if(ops.begin(), ops.end(), [&](const DrawOp& op) { return op.text == text; });
  };
  EXPECT_EQ(find("Version\tV2.10").from.x, 750);
  EXPECT_EQ(find("USB getrennt").from.x, 60);
  EXPECT_EQ(find("ESC getrennt").from.y, 539);
  EXPECT_EQ(find("ESC getrennt").font.face, "Arial");
  EXPECT_FLOAT_EQ(find("ESC getrennt").font.sizeInches, 0.24f);
  EXPECT_EQ(find("ESC getrennt").color, 0xFFFFFFFFu);
  // One layer copied to the window at (0, 0); its first picture is the
  // status bar from the common folder, 970 wide.
  ASSERT_EQ(ops[0].kind, DrawOp::Kind::Layer);
  EXPECT_EQ(ops[0].from.x, 0);
  EXPECT_NE(ops[1].file.find("CORVANE/REC/LANGUAGE_PN/UI-61.PNG"), std::string::npos);
  EXPECT_EQ(ops[1].rect.width, 970);
  EXPECT_EQ(ops[1].rect.y, 537);
  // The Japanese label has no tab.
  dlg->m_nLanguage = kLanguageJapanese;
  Draw();
  EXPECT_EQ(Texts()[0], "バージョンV2.10");
}

TEST_F(Frame, FromAnotherThreadTheFrameIsDrawnOnTheUiThread) {
  std::thread([&] { dlg->DrawFrame(); }).join();
  EXPECT_TRUE(host.Window().Ops().empty());
  EXPECT_EQ(host.Pump(), 1);
  EXPECT_EQ(Images().size(), 4u);
}

TEST_F(Frame, PageIsRedrawnWithTheFrameOnceARead) {
  ASSERT_TRUE(dlg->OnInitDialog());
  dlg->m_bRedrawPage = 1;
  Draw();
  EXPECT_EQ(Images().front(), "UI-01.PNG");  // the home page first, then the frame over it
  EXPECT_NE(host.Window().Ops().front().file.find("LANGUAGE_EN/UI-01.PNG"), std::string::npos);
}

TEST_F(Frame, FirmwareNotesAreOrangeOnThePage) {
  for (int id : {1141, 1142}) {
    const platform::ControlColors colors = dlg->OnCtlColor(id);
    EXPECT_EQ(colors.text, 0xFFF7680Cu);
  }
  EXPECT_FALSE(dlg->OnCtlColor(1027).text.has_value());
}

class Timers : public AppTest {
 protected:
  void SetUp() override {
    AppTest::SetUp();
    ASSERT_TRUE(dlg->OnInitDialog());
    ASSERT_TRUE(WaitFor(host, [&] { return dlg->m_nStatusTextId == 20 && dlg->LinkIdle(); }));
    host.Window().Clear();
  }
  // Holds the link: its thread stops, so what a tick queues stays as queued,
  // and the box stays connected.
  void HoldLink() {
    dlg->StopCommThread();
    dlg->m_bLinkRunning = 1;
  }
  int ArcsDrawn() {
    const auto ops = host.Window().Ops();
    return static_cast<int>(
        std::count_if(ops.begin(), ops.end(), [](const DrawOp& op) { return op.kind == DrawOp::Kind::Arc; }));
  }
};

TEST_F(Timers, FirstPaintDrawsTheHomePageOnce) {
  host.setTimer(TIMER_FIRST_PAINT, 20);
  for (int i = 0; i < 5; ++i)
    dlg->OnTimer(TIMER_FIRST_PAINT);
  EXPECT_EQ(host.Window().ImageNames(), std::vector<std::string>{"UI-01.PNG"});
  EXPECT_EQ(host.Timers().count(TIMER_FIRST_PAINT), 0u);  // stopped once it has drawn
  const DrawOp op = host.Window().Ops()[0];
  EXPECT_EQ(op.rect.y, 60);
  EXPECT_EQ(op.rect.height, 477);
}

TEST_F(Timers, ClickBlockAndPressedLookCountDown) {
  dlg->m_nClickBlock = 2;
  dlg->m_nPressCountdown = 2;
  Ticks(1);
  EXPECT_EQ(dlg->m_nClickBlock, 1);
  EXPECT_TRUE(host.Window().Ops().empty());
  Ticks(1);
  EXPECT_EQ(dlg->m_nClickBlock, 0);
  EXPECT_EQ(host.Window().ImageNames(), std::vector<std::string>{"UI-01.PNG"});  // the page redraw
  Ticks(3);
  EXPECT_EQ(dlg->m_nClickBlock, 0);
  EXPECT_EQ(host.Window().ImageNames().size(), 1u);
}

TEST_F(Timers, ProgressRingGrowsOnlyOnTheDashboard) {
  dlg->m_nPage = 5;
  dlg->m_nProgress = 98;
  Ticks(3);
  EXPECT_EQ(dlg->m_nProgress, 101);
  ASSERT_EQ(ArcsDrawn(), 2);  // 99 and 100
  const DrawOp last = host.Window().Ops().back();
  EXPECT_FLOAT_EQ(last.start, 90);
  EXPECT_FLOAT_EQ(last.sweep, 360);
  EXPECT_EQ(last.color, 0xFF00FF00u);
  EXPECT_EQ(last.width, 8);
  EXPECT_EQ(last.rect.x, 750);
  Ticks(2);
  EXPECT_EQ(ArcsDrawn(), 2);

  dlg->m_nPage = 0;
  dlg->m_nProgress = 0;
  Ticks(10);
  EXPECT_EQ(dlg->m_nProgress, 10);
  EXPECT_EQ(ArcsDrawn(), 2);
}

TEST_F(Timers, PresenceIdentifyGoesThroughTheBoxWhenItIsThere) {
  HoldLink();
  dlg->m_nReadBackCountdown = 2;
  Ticks(1);
  EXPECT_FALSE(dlg->m_bJobQueued);
  Ticks(1);
  EXPECT_TRUE(dlg->m_bJobQueued);
  EXPECT_TRUE(dlg->m_bPresenceOnly);
  EXPECT_EQ(dlg->m_nChannel, kChannelBox);
  EXPECT_EQ(dlg->m_nPendingOp, 'a');
  // Sent, it confirms the ESC.
  dlg->m_bEscConnected = 0;
  dlg->StartCommThread();
  ASSERT_TRUE(WaitFor(host, [&] { return !dlg->m_bPresenceOnly && dlg->LinkIdle(); }));
  EXPECT_TRUE(dlg->m_bEscConnected);

  // The ESC alone: straight to it.
  HoldLink();
  dlg->m_bBoxPresent = 0;
  dlg->m_nReadBackCountdown = 1;
  Ticks(1);
  EXPECT_TRUE(dlg->m_bJobQueued);
  EXPECT_EQ(dlg->m_nChannel, kChannelEsc);
}

TEST_F(Timers, PresenceIdentifyWaitsForAnIdleLink) {
  HoldLink();  // a running link would time the reply out and set the countdown itself
  dlg->m_nReadBackCountdown = 1;
  dlg->m_bBusy = 1;  // a reply is awaited
  dlg->m_linkPauseForTests = [](int) {};
  const int pendingBefore = dlg->m_nPendingOp;
  Ticks(1);
  EXPECT_FALSE(dlg->m_bPresenceOnly);
  EXPECT_EQ(dlg->m_nPendingOp, pendingBefore);
  EXPECT_EQ(dlg->m_nReadBackCountdown, 1);  // tried again at the next tick
}

TEST_F(Timers, TimingTestHoldsTheReadBackAndTheReplyTimeout) {
  HoldLink();
  dlg->m_frames[0].txCommand = kCmdTest;
  dlg->m_nReadBackCountdown = 3;
  dlg->m_nWaitTicks = 50;
  Ticks(1);
  EXPECT_EQ(dlg->m_nReadBackCountdown, 500);
  EXPECT_EQ(dlg->m_nWaitTicks, 0);
  EXPECT_FALSE(dlg->m_bJobQueued);

  dlg->m_bUpgradeStarted = 1;
  Ticks(1);
  EXPECT_EQ(dlg->m_nReadBackCountdown, 1000);
}

class Hover : public AppTest {
 protected:
  void SetUp() override {
    AppTest::SetUp();
    for (int row = 0; row < kTileCount; ++row)
      dlg->m_tiles[row] = kPictureTable[row];
    dlg->m_nClickBlock = 0;
  }
  // The bars drawn since the last call.
  std::vector<DrawOp> Bars() {
    std::vector<DrawOp> bars;
    for (const DrawOp& op : host.Window().Ops()) {
      if (op.kind == DrawOp::Kind::Line) bars.push_back(op);
    }
    host.Window().Clear();
    return bars;
  }
};

TEST_F(Hover, BarFollowsThePointerOverTilesAndButtons) {
  dlg->OnMouseMove(100, 100);  // tile 1
  auto bars = Bars();
  ASSERT_EQ(bars.size(), 1u);
  EXPECT_EQ(bars[0].from.y, 165);
  EXPECT_EQ(bars[0].width, 210);
  EXPECT_EQ(bars[0].color, 0x32000000u);

  dlg->OnMouseMove(120, 110);  // still tile 1: nothing drawn
  EXPECT_TRUE(Bars().empty());
  EXPECT_TRUE(host.Window().Ops().empty());

  dlg->OnMouseMove(400, 100);  // tile 2
  bars = Bars();
  ASSERT_EQ(bars.size(), 1u);
  EXPECT_EQ(bars[0].from.x, 322);

  dlg->OnMouseMove(282, 500);  // the shared edge belongs to the left button
  bars = Bars();
  ASSERT_EQ(bars.size(), 1u);
  EXPECT_EQ(bars[0].to.x, 282);
  EXPECT_EQ(bars[0].width, 36);
  EXPECT_EQ(bars[0].color, 0x96000000u);

  dlg->OnMouseMove(300, 485);  // between tiles and buttons: the bar goes
  EXPECT_TRUE(Bars().empty());
  EXPECT_EQ(dlg->m_nHoverTile, 12);
  EXPECT_EQ(host.ControlText(IDC_POINTER_READOUT), "X = 300 ,Y = 485");

  dlg->OnMouseMove(964, 100);  // beyond tile 3's right edge
  EXPECT_EQ(dlg->m_nHoverTile, 12);
}

TEST_F(Hover, NoBarWhileClicksAreBlockedOrOnAnotherPage) {
  dlg->m_nClickBlock = 3;
  dlg->OnMouseMove(100, 100);
  dlg->m_nClickBlock = 0;
  dlg->m_nPage = 2;
  dlg->OnMouseMove(100, 100);
  EXPECT_TRUE(host.Window().Ops().empty());
  EXPECT_EQ(dlg->m_nHoverTile, 0);
}

TEST_F(Hover, BannerMovesTheWindowButNotFromTheCloseBoxOrHomeIcon) {
  dlg->m_nClickBlock = 0;
  dlg->OnLButtonDown(500, 30);
  dlg->OnLButtonDown(500, 560);
  dlg->OnLButtonDown(940, 20);
  dlg->OnLButtonDown(30, 30);
  dlg->OnLButtonDown(500, 300);
  EXPECT_EQ(host.WindowMoves(), 2);
}

}  // namespace

namespace {

class HomeButtons : public AppTest {
 protected:
  void SetUp() override {
    AppTest::SetUp();
    ASSERT_TRUE(dlg->OnInitDialog());
    ASSERT_TRUE(WaitFor(host, [&] { return dlg->m_nStatusTextId == 20 && dlg->LinkIdle(); }));
    dlg->m_nPressCountdown = 0;
    dlg->m_nClickBlock = 0;
    host.Window().Clear();
  }
};

TEST_F(HomeButtons, ReadButtonReadsAndShowsItsPressedLook) {
  dlg->m_nStatusTextId = 8;
  dlg->OnLButtonUp(600, 500);  // ESC Read
  const auto ops = host.Window().Ops();
  ASSERT_EQ(host.Window().ImageNames(), (std::vector<std::string>{"UI-14.PNG", "UI-01.PNG"}));
  EXPECT_EQ(ops[0].rect.y, 488);
  EXPECT_FLOAT_EQ(ops[0].rect.height, 36 * 1.3f);
  EXPECT_EQ(dlg->m_nPressCountdown, 5);
  EXPECT_TRUE(WaitFor(host, [&] { return dlg->m_nStatusTextId == 20; }));

  // While the pressed look lasts (the read set it again, and blocked clicks
  // for a while), a press only redraws the page.
  dlg->m_nClickBlock = 0;
  host.Window().Clear();
  dlg->OnLButtonUp(700, 500);  // Save To ESC
  EXPECT_EQ(host.Window().ImageNames(), std::vector<std::string>{"UI-01.PNG"});
  EXPECT_FALSE(dlg->m_bJobQueued);
}

TEST_F(HomeButtons, SaveToEscAndTheFileButtons) {
  dlg->OnLButtonUp(750, 510);  // Save To ESC: the selected profile and the tail
  EXPECT_TRUE(WaitFor(host, [&] { return dlg->m_nStatusTextId == 19; }));

  dlg->m_nPressCountdown = 0;
  host.QueueFileChoice(std::nullopt);
  dlg->OnLButtonUp(200, 500);  // Load From PC, cancelled
  dlg->m_nPressCountdown = 0;
  host.QueueFileChoice(std::nullopt);
  dlg->OnLButtonUp(300, 500);  // Save To PC, cancelled
  ASSERT_EQ(host.FileDialogs().size(), 2u);
  EXPECT_FALSE(host.FileDialogs()[0].confirmOverwrite);
  EXPECT_TRUE(host.FileDialogs()[1].confirmOverwrite);

  dlg->m_nPressCountdown = 0;
  dlg->OnLButtonUp(480, 500);  // ESC Default, answered No
  EXPECT_EQ(host.Dialogs().back().items[0].text, "Reset All ESC Data ?");
}

}  // namespace
