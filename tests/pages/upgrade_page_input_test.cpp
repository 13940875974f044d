// The firmware page's mouse: list openers, the open lists' rows and scroll
// arrows at the press, and the Upgrade buttons at the release.
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>

#include "page_fixture.h"
#include "upgrade/loopback_server.h"

namespace {

class UpgradePageInput : public PageTest {
 protected:
  void SetUp() override {
    PageTest::SetUp();
    dlg->m_bLinkRunning = 1;  // a box is connected; no thread takes the jobs
    dlg->m_bIdentifySent = 1;
    OnPage(6);
  }
  void TearDown() override { std::filesystem::remove(image); }
  static void Offer(UpgradeList& list, int count) {
    list.count = static_cast<std::uint8_t>(count);
    for (int i = 0; i < count; ++i)
      list.url[i] = "http://127.0.0.1:9/fw.bin";  // a closed loopback port: the download fails at once
  }
  // A program-box image of 40 body bytes for address 0x0200.
  static std::string BoxImage() {
    std::string bytes(72, '\0');
    bytes.replace(0, 11, std::string{0x02, 0x00, 0, 40, 0, 0, 0, 0, 'B', 'O', 'X'});
    bytes[31] = static_cast<char>(-(0x02 + 40 + 'B' + 'O' + 'X'));
    return bytes;
  }
  void WriteBoxImage() { std::ofstream(image, std::ios::binary) << BoxImage(); }
  const std::string image =
      (std::filesystem::temp_directory_path() / ("corvane-page6-" + std::to_string(::getpid()) + ".bin"))
          .string();
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
  }
}

TEST_F(UpgradePageInput, PressesPickRowsAndScrollWithinTheList) {
  struct Case {
    int open, count, firstRow, x, y;
    int firstRowAfter, selectionAfter, request;
  } cases[] = {
      {1, 3, 0, 380, 500, 0, 0, 1},                                // three entries: nothing to scroll
      {1, 5, 1, 380, 500, 2, 0, 1}, {1, 5, 2, 380, 500, 2, 0, 1},  // first row 2 at most
      {1, 5, 0, 380, 470, 0, 0, 1}, {1, 5, 2, 380, 470, 1, 0, 1},
      {1, 5, 2, 380, 490, 2, 0, 1}, {1, 5, 2, 300, 508, 2, 4, 0},  // the third row
      {1, 2, 0, 300, 510, 0, 0, 0},  // the row after the last entry picks nothing
      {0, 5, 0, 300, 508, 0, 0, 0},  // a closed list takes no presses
      {1, 5, 1, 830, 500, 2, 0, 2}, {1, 5, 1, 750, 460, 1, 1, 0},  // the box list
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.x << "," << c.y << " first row " << c.firstRow);
    const bool box = c.x > 700;
    Offer(box ? dlg->m_boxOffers : dlg->m_escOffers, c.count);
    std::uint8_t& firstRow = box ? dlg->m_nBoxFirstRow : dlg->m_nEscFirstRow;
    std::uint8_t& selection = box ? dlg->m_nBoxFwSel : dlg->m_nEscFwSel;
    firstRow = static_cast<std::uint8_t>(c.firstRow);
    selection = 0;
    dlg->m_bFwListOpen = static_cast<std::uint8_t>(c.open);
    dlg->m_nListRequest = 0;
    host.Window().Clear();
    dlg->OnLButtonDown(c.x, c.y);
    EXPECT_EQ(firstRow, c.firstRowAfter);
    EXPECT_EQ(selection, c.selectionAfter);
    EXPECT_EQ(dlg->m_nListRequest, c.request);
    EXPECT_EQ(Drawn(), c.open == 1);
  }
}

TEST_F(UpgradePageInput, UpgradeButtonsAreHeldOnlyWhileAProgramIsUnderWay) {
  for (int x : {309, 852}) {
    host.Window().Clear();
    dlg->OnLButtonDown(x, 150);
    EXPECT_EQ(host.Window().ImageNames(), std::vector<std::string>{"UI-Update.png"});
  }
  WriteBoxImage();
  struct Case {
    int x, escCount, selection;
    bool pick;                          // a file picker is shown
    std::optional<std::string> chosen;  // its answer; none: cancelled
    std::string message;
    bool queued;
    bool noBox = false;  // the box was pulled before the press
  } cases[] = {
      {340, 0, 0, true, std::nullopt, "", false},       // cancelled
      {340, 0, 0, true, image, "程序文件错误", false},  // a box image for the ESC
      {340, 2, 5, false, std::nullopt, "", false},      // a selection outside the list
      {340, 2, 1, false, std::nullopt, "", false},      // the download fails
      {800, 0, 0, true, "/nonexistent/box.bin", "Can't open file!", false},
      {800, 0, 0, true, image, "", false, true},  // nothing queued to a stopped link
      {800, 0, 0, true, image, "", true},
      {340, 0, 0, false, std::nullopt, "", true},  // held: no response
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
    dlg->m_bLinkRunning = c.noBox ? 0 : 1;
    dlg->m_nStatusTextId = 8;
    Click(c.x, 155);
    EXPECT_EQ(host.FileDialogs().size(), dialogs + (c.pick ? 1 : 0));
    EXPECT_EQ(host.MessageBoxes().size() == messages ? std::string() : host.MessageBoxes().back(), c.message);
    EXPECT_EQ(dlg->m_bUpgradeStarted, c.queued ? 1 : 0);
    EXPECT_EQ(dlg->m_nPressCountdown, c.pick || !c.queued ? 50 : 0);
    EXPECT_EQ(dlg->m_bFwListOpen, 0);
    EXPECT_EQ(dlg->m_nStatusTextId == 27, c.noBox);  // "USB Connection Fail"
  }
  EXPECT_EQ(host.FileDialogs().back().filterPattern, "*.bin");
  EXPECT_EQ(dlg->m_strFirmwarePath, image);
  EXPECT_TRUE(dlg->m_bJobQueued && dlg->m_nPendingOp == kCmdProgram && dlg->m_nChannel == kChannelBox);
  EXPECT_EQ(dlg->m_nFwLength, 40);
}

TEST_F(UpgradePageInput, ADownloadThatMeetsAProgramAtItsHandOffSaysSoAndFreesThePage) {
  // The image has arrived but the connection stays open until, meanwhile, the
  // link has begun counting down to identifying a reprogrammed device.
  ScriptedServer server([&](const std::string&) {
    return ScriptedServer::Reply{"HTTP/1.1 200 X\r\nConnection: close\r\n\r\n" + BoxImage(), true, [&] {
                                   host.post([&] {
                                     dlg->m_bIdentifySent = 0;
                                     dlg->m_nIdentifyCountdown = 300;
                                     server.Release();
                                   });
                                 }};
  });
  Offer(dlg->m_boxOffers, 1);
  dlg->m_boxOffers.url[0] = server.Url();
  Click(800, 155);
  EXPECT_EQ(dlg->m_nStatusTextId, 24);  // "Fail, Try Again"
  EXPECT_EQ(dlg->m_bUpgradeStarted, 0);
  EXPECT_FALSE(dlg->m_bJobQueued);
}

TEST_F(UpgradePageInput, APageChosenDuringADownloadIsTheOneDrawnAfterIt) {
  // The server sends part of the image and holds; meanwhile the user picks
  // the throttle tab, then the download breaks off.
  ScriptedServer server([&](const std::string&) {
    return ScriptedServer::Reply{"HTTP/1.1 200 X\r\nContent-Length: 5000\r\n\r\n" + std::string(100, '\0'),
                                 true, [&] {
                                   host.post([&] {
                                     Click(170, 80);
                                     server.Release();
                                   });
                                 }};
  });
  std::memcpy(dlg->m_escId.modelName, "ESC08", 5);
  Offer(dlg->m_escOffers, 1);
  dlg->m_escOffers.version[0] = 0x0200;
  dlg->m_escOffers.url[0] = server.Url();
  dlg->m_escOffers.memo[0] = "\"cn\":\"note\",\"jp\":\"-\"";
  Click(340, 155);
  EXPECT_EQ(dlg->m_nPage, 2);
  std::string lastPage;
  for (const DrawOp& op : host.Window().Ops()) {
    if (op.kind == DrawOp::Kind::Image && op.rect.y == 60 && op.rect.height == 477)
      lastPage = std::filesystem::path(op.file).filename();
  }
  EXPECT_EQ(lastPage, dlg->m_tiles[2].name);
  EXPECT_EQ(host.ControlText(IDC_FIRMWARE_NOTE_LEFT), "");
  EXPECT_EQ(host.ControlText(IDC_FIRMWARE_NOTE_RIGHT), "");
}

}  // namespace
