// Click dispatch: page choice from the home tiles and the tab strip, the
// guarded buttons and their requests, the pages' own regions, and the redraw
// point that only draws.
#include "page_fixture.h"

namespace {

class Dispatch : public PageTest {
 protected:
  std::vector<std::string> Pictures() { return host.Window().ImageNames(); }
};

TEST_F(Dispatch, PageChoiceFromTheHomeTilesAndTheTabStrip) {
  // Home: shared edges (the lower tile wins), a tile over the tab band, the
  // dashboard (refused for one model), beyond the last tile, the home icon.
  // Tabs: their edges, beyond the sixth tab, below the strip, a refused tab.
  struct Case {
    int page, x, y;
    int expected;
    const char* model;
  } cases[] = {
      {0, 321, 100, 1, ""}, {0, 322, 100, 2, ""}, {0, 963, 100, 3, ""}, {0, 300, 270, 1, ""},
      {0, 300, 271, 4, ""}, {0, 400, 80, 2, ""},  {0, 500, 300, 5, ""}, {0, 500, 300, 0, "PW5M "},
      {0, 964, 100, 0, ""}, {0, 30, 30, 0, ""},   {2, 0, 61, 1, ""},    {2, 159, 99, 1, ""},
      {2, 160, 99, 2, ""},  {2, 700, 80, 5, ""},  {2, 959, 80, 6, ""},  {2, 960, 80, 2, ""},
      {2, 964, 80, 2, ""},  {2, 700, 100, 2, ""}, {3, 30, 30, 0, ""},   {2, 700, 80, 2, "PW5M "},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "page " << c.page << " at " << c.x << ", " << c.y);
    dlg->m_strModelName = c.model;
    OnPage(c.page);
    Click(c.x, c.y);
    EXPECT_EQ(dlg->m_nPage, c.expected);
  }
  // The refused tab, last, still showed the background of the page that stays.
  EXPECT_EQ(Pictures().front(), "UI-03.PNG");
}

TEST_F(Dispatch, AHomeTileClickActsOnTheChosenPageAtOnce) {
  OnPage(0);
  Click(300, 130);  // page 1's tile, on the profile list opener
  EXPECT_EQ(dlg->m_nPage, 1);
  EXPECT_TRUE(dlg->m_nListRequest == 1 || dlg->m_nOpenList == 1);
  for (auto [y, dialog] : {std::pair{380, "Poles"}, {430, "Gear Ratio"}, {470, "Diameter Wheel"}}) {
    OnPage(0);
    Click(630, y);
    EXPECT_EQ(dlg->m_nPage, 5);
    EXPECT_EQ(host.Dialogs().back().caption, dialog);
  }
}

TEST_F(Dispatch, GuardedButtonsWaitForThePressedLookAndAnIdleLink) {
  struct Case {
    int page, x, y;
    const char* picture;
    int command, op, countdown;
  } cases[] = {
      {0, 600, 500, "UI-14.PNG", kCmdIdentify, kCmdRead, 5},
      {1, 100, 500, "UI-Read.png", kCmdIdentify, kCmdRead, 5},
      {3, 200, 500, "UI-Save.png", kCmdIdentify, kCmdWriteBlock, 5},
      {4, 500, 500, "UI-Read.png", kCmdIdentify, kCmdRead, 5},
      {4, 650, 500, "UI-Save.png", kCmdIdentify, kCmdWriteBlock, 5},
      {5, 920, 275, "UI-Test.png", kCmdTest, 0, 25},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.picture << " on page " << c.page);
    dlg->m_bJobQueued = 0;
    dlg->m_nPendingOp = 0;
    // No box: refused at once, with nothing left queued for a later one.
    dlg->m_bLinkRunning = 0;
    dlg->m_nStatusTextId = 8;
    dlg->m_nPressCountdown = 0;
    OnPage(c.page);
    Click(c.x, c.y);
    EXPECT_FALSE(dlg->m_bJobQueued);
    EXPECT_EQ(dlg->m_nStatusTextId, 27);  // "USB Connection Fail"
    dlg->m_bLinkRunning = 1;
    dlg->m_bIdentifySent = 1;
    for (int countdown : {1, 0}) {  // still pressed, then ended: the link busy
      dlg->m_nPressCountdown = static_cast<std::uint8_t>(countdown);
      dlg->m_bBusy = 1;
      OnPage(c.page);
      Click(c.x, c.y);
      EXPECT_FALSE(dlg->m_bJobQueued);
      EXPECT_EQ(Pictures().front() == c.picture, countdown == 0);
    }
    dlg->m_bBusy = 0;
    dlg->m_nPressCountdown = 0;
    Click(c.x, c.y);
    EXPECT_TRUE(dlg->m_bJobQueued);
    EXPECT_EQ(dlg->m_frames[0].txCommand, c.command);
    EXPECT_EQ(dlg->m_nPendingOp, c.op);
    EXPECT_EQ(dlg->m_nPressCountdown, c.countdown);
  }
}

TEST_F(Dispatch, TheRedrawPointChangesNothingButTheDrawing) {
  dlg->m_bEscConnected = 1;
  dlg->m_nListRequest = 2;
  for (int page : {0, 2, 3, 4, 5}) {
    SCOPED_TRACE(page);
    host.setControlText(IDC_FIRMWARE_NOTE_LEFT, "note");
    const auto image = ImageBytes();
    OnPage(page);
    dlg->DispatchClick(0, 520);
    EXPECT_TRUE(Drawn());
    EXPECT_EQ(ImageBytes(), image);
    EXPECT_EQ(dlg->m_nPage, page);
    EXPECT_EQ(dlg->m_nListRequest, 2);
    EXPECT_EQ(dlg->m_nPressCountdown, 0);
    EXPECT_FALSE(dlg->m_bJobQueued);
    EXPECT_TRUE(host.Dialogs().empty());
    EXPECT_EQ(host.ControlText(IDC_FIRMWARE_NOTE_LEFT), "");
  }
  // The firmware notes stand on the firmware page only.
  dlg->m_escId.modelName[0] = 'E';
  dlg->m_escOffers.count = 1;
  dlg->m_escOffers.memo[0] = "\"cn\":\"note\",\"en\":\"x\"";
  OnPage(6);
  dlg->DispatchClick(0, 520);
  EXPECT_EQ(host.ControlText(IDC_FIRMWARE_NOTE_LEFT), "note");
}

TEST_F(Dispatch, GeneralPageListsRenameAndDefault) {
  OnPage(1);
  // Picked on the release; without an ESC only the first profile; beside the
  // list the click only closes it.
  struct Case {
    bool connected;
    int x, y, selected;
    bool changed;
  } cases[] = {{true, 200, 245, 3, true},
               {true, 200, 265, 3, false},
               {false, 200, 400, 0, true},
               {true, 200, 449, 9, true},
               {true, 600, 300, 9, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.y);
    dlg->m_bEscConnected = c.connected;
    dlg->m_bProfileChanged = 0;
    dlg->m_nOpenList = 1;
    Click(c.x, c.y);
    EXPECT_EQ(dlg->SettingsSnapshot().selectedProfile, c.selected);
    EXPECT_EQ(dlg->m_bProfileChanged, c.changed);
    EXPECT_EQ(dlg->m_nOpenList, 0);
  }

  host.QueueButton(platform::kIdOk, {{1007, "ABC"}});
  Click(400, 130);
  EXPECT_STREQ(reinterpret_cast<const char*>(Profile().profileName), "ABC");
  Edit([](SettingProfile& p) { p.runningMode = 2; });
  host.QueueButton(platform::kIdOk);
  Click(500, 130);
  EXPECT_EQ(Profile().runningMode, DefaultProfileTable[9].runningMode);
  Click(890, 130);
  EXPECT_TRUE(dlg->m_nListRequest == 2 || dlg->m_nOpenList == 2);
}

TEST_F(Dispatch, CurveAndTimingSwitches) {
  // The "Custom" halves open the curve editor (closed unchanged here);
  // without an ESC the curve switches only draw.
  struct Case {
    int page, x, y;
    bool connected;
    std::uint8_t flags, brakeLinear;
  } cases[] = {{2, 230, 170, true, 0x01, 0}, {2, 231, 170, true, 0, 0}, {2, 200, 170, false, 0, 0},
               {3, 220, 170, true, 0, 1},    {3, 221, 170, true, 0, 0}, {3, 200, 170, false, 0, 0},
               {4, 50, 505, false, 0x10, 0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "page " << c.page << " at " << c.x);
    Edit([](SettingProfile& p) { p.profileFlags = p.brakeCurveLinear = 0; });
    dlg->m_bEscConnected = c.connected;
    OnPage(c.page);
    Click(c.x, c.y);
    EXPECT_EQ(Profile().profileFlags, c.flags);
    EXPECT_EQ(Profile().brakeCurveLinear, c.brakeLinear);
    EXPECT_TRUE(Drawn());
  }
  Click(50, 505);  // the timing switch toggles back
  EXPECT_EQ(Profile().profileFlags, 0);
}

TEST_F(Dispatch, WithoutAValidProfileIndexNothingIsEdited) {
  dlg->EditSettings([](SettingsImage& image) { image.selectedProfile = 10; });
  dlg->m_bEscConnected = 1;
  const auto image = ImageBytes();
  for (auto [page, x, y] : {std::tuple{1, 50, 300},
                            {1, 400, 390},
                            {2, 200, 170},
                            {2, 400, 230},
                            {3, 200, 170},
                            {3, 395, 230},
                            {4, 50, 505},
                            {4, 170, 300}}) {
    OnPage(page);
    Click(x, y);
  }
  EXPECT_EQ(ImageBytes(), image);
}

}  // namespace
