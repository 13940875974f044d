// The firmware page's mouse: list openers, the open lists' rows and scroll
// arrows at the press, and the Upgrade buttons at the release.
#include <unistd.h>

#include <filesystem>

#include "page_fixture.h"
#include "support/firmware_image.h"

namespace {

class UpgradePageInput : public PageTest {
 protected:
  void SetUp() override {
    PageTest::SetUp();
    OnPage(6);
  }
  void TearDown() override { std::filesystem::remove(ImagePath()); }
  static void Offer(UpgradeList& list, int count) {
    list.count = static_cast<std::uint8_t>(count);
    for (int i = 0; i < count; ++i) {
      list.versionText[i] = "1.0" + std::to_string(i);
      list.version[i] = static_cast<std::uint16_t>(0x0100 + i);
      // A closed loopback port: the download fails at once.
      list.url[i] = "http://127.0.0.1:9/fw.bin";
    }
  }
  static std::filesystem::path ImagePath() {
    return std::filesystem::temp_directory_path() / ("corvane-page6-" + std::to_string(::getpid()) + ".bin");
  }
  bool ProgramQueued(std::uint8_t channel) const {
    return dlg->m_bJobQueued && dlg->m_nPendingOp == kCmdProgram && dlg->m_nChannel == channel;
  }
};

TEST_F(UpgradePageInput, ListOpenersReachOverAnOpenListsArrows) {
  // The devices have not answered, so a request stays for the test to see.
  // The arrows reach a pixel lower and two further right than the opener:
  // there the press scrolls and the release closes the list.
  struct Case {
    int open, x, y, request, openAfter;
  } cases[] = {
      {0, 366, 413, 1, 0}, {0, 394, 445, 1, 0}, {0, 380, 446, 0, 0}, {1, 380, 535, 1, 1}, {1, 380, 536, 1, 0},
      {1, 395, 500, 1, 0}, {0, 823, 413, 2, 0}, {1, 852, 535, 2, 1}, {0, 853, 430, 0, 0}, {1, 600, 300, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.x << "," << c.y);
    dlg->m_bFwListOpen = static_cast<std::uint8_t>(c.open);
    dlg->m_nListRequest = 0;
    Click(c.x, c.y);
    EXPECT_EQ(dlg->m_nListRequest, c.request);
    EXPECT_EQ(dlg->m_bFwListOpen, c.openAfter);
    EXPECT_TRUE(Drawn());
  }
}

TEST_F(UpgradePageInput, PressesPickRowsAndScrollWithinTheList) {
  struct Case {
    int count, firstRow, x, y;
    int firstRowAfter, selectionAfter, request;
  } cases[] = {
      {3, 0, 380, 500, 0, 0, 1},                             // three entries: nothing to scroll
      {5, 1, 380, 500, 2, 0, 1}, {5, 2, 380, 500, 2, 0, 1},  // down to first row 2 at most
      {5, 0, 380, 470, 0, 0, 1}, {5, 2, 380, 470, 1, 0, 1},
      {5, 2, 380, 490, 2, 0, 1}, {5, 2, 300, 508, 2, 4, 0},  // the third row
      {2, 0, 300, 510, 0, 0, 0},                             // the row after the last entry picks nothing
      {5, 1, 830, 500, 2, 0, 2},                             // the box list
      {5, 1, 750, 460, 1, 1, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.x << "," << c.y << " first row " << c.firstRow);
    const bool box = c.x > 700;
    Offer(box ? dlg->m_boxOffers : dlg->m_escOffers, c.count);
    std::uint8_t& firstRow = box ? dlg->m_nBoxFirstRow : dlg->m_nEscFirstRow;
    std::uint8_t& selection = box ? dlg->m_nBoxFwSel : dlg->m_nEscFwSel;
    firstRow = static_cast<std::uint8_t>(c.firstRow);
    selection = 0;
    dlg->m_bFwListOpen = 1;
    dlg->m_nListRequest = 0;
    host.Window().Clear();
    dlg->OnLButtonDown(c.x, c.y);
    EXPECT_EQ(firstRow, c.firstRowAfter);
    EXPECT_EQ(selection, c.selectionAfter);
    EXPECT_EQ(dlg->m_nListRequest, c.request);
    EXPECT_TRUE(Drawn());
  }
  // A closed list takes no presses.
  dlg->m_bFwListOpen = 0;
  host.Window().Clear();
  dlg->OnLButtonDown(300, 508);
  EXPECT_EQ(dlg->m_nEscFwSel, 0);
  EXPECT_FALSE(Drawn());
  EXPECT_EQ(dlg->m_nDragState, 0);
}

TEST_F(UpgradePageInput, UpgradeButtonsLookPressedAndHoldWhileAProgramIsUnderWay) {
  for (int x : {309, 852}) {
    host.Window().Clear();
    dlg->OnLButtonDown(x, 150);
    EXPECT_EQ(host.Window().ImageNames(), std::vector<std::string>{"UI-Update.png"});
  }
  // Started: neither button responds, at the press or the release.
  dlg->m_bUpgradeStarted = 1;
  host.Window().Clear();
  Click(340, 155);
  EXPECT_TRUE(host.FileDialogs().empty());
  EXPECT_EQ(host.Window().ImageNames(), std::vector<std::string>{"UI-07.PNG"});
  EXPECT_EQ(dlg->m_nPressCountdown, 0);
  EXPECT_EQ(dlg->m_bUpgradeStarted, 1);
}

TEST_F(UpgradePageInput, AnUpgradeThatQueuesNothingFreesTheButtons) {
  WriteBinaryFile(ImagePath(), FirmwareImage("BOX", 0x0200, 40));
  const std::string image = ImagePath().string();
  struct Case {
    int x, escCount, selection;
    bool pick;                          // a file picker is shown
    std::optional<std::string> chosen;  // its answer; none: cancelled
    std::string message;
  } cases[] = {
      {340, 0, 0, true, std::nullopt, ""},       // cancelled
      {340, 0, 0, true, image, "程序文件错误"},  // a box image for the ESC
      {340, 2, 5, false, std::nullopt, ""},      // a selection outside the list
      {340, 2, 1, false, std::nullopt, ""},      // the download fails
      {800, 0, 0, true, "/nonexistent/box.bin", "Can't open file!"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.x << " " << c.escCount << " " << c.selection);
    Offer(dlg->m_escOffers, c.escCount);
    dlg->m_nEscFwSel = static_cast<std::uint8_t>(c.selection);
    if (c.pick) host.QueueFileChoice(c.chosen);
    const auto dialogs = host.FileDialogs().size();
    const auto messages = host.MessageBoxes().size();
    dlg->m_bFwListOpen = 1;
    dlg->m_nPressCountdown = 0;
    Click(c.x, 155);
    EXPECT_EQ(host.FileDialogs().size(), dialogs + (c.pick ? 1 : 0));
    if (c.pick) {
      EXPECT_EQ(host.FileDialogs().back().filterPattern, "*.bin");
    }
    EXPECT_EQ(host.MessageBoxes().size() == messages ? std::string() : host.MessageBoxes().back(), c.message);
    EXPECT_FALSE(dlg->m_bJobQueued);
    EXPECT_EQ(dlg->m_bUpgradeStarted, 0);
    EXPECT_EQ(dlg->m_nPressCountdown, 50);
    EXPECT_EQ(dlg->m_bFwListOpen, 0);
  }
  // The same box image through the box's button is programmed; the buttons
  // stay held while it is.
  host.QueueFileChoice(image);
  Click(800, 155);
  EXPECT_TRUE(ProgramQueued(kChannelBox));
  EXPECT_EQ(dlg->m_nFwLength, 40);
  EXPECT_EQ(dlg->m_strFirmwarePath, image);
  EXPECT_EQ(dlg->m_bUpgradeStarted, 1);
}

}  // namespace
