// The upgrade check: which entry is offered, the offers in turn on the UI
// thread, and a check that gives up when the program closes.
#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string_view>
#include <thread>

#include "app/texts/ui_text_table.h"
#include "support/link_fixture.h"
#include "upgrade/loopback_server.h"

namespace {

UpgradeList ListOf(std::initializer_list<std::uint16_t> versions, const std::string& url = "http://x") {
  UpgradeList list;
  for (std::uint16_t v : versions) {
    list.version[list.count] = v;
    list.url[list.count] = url;
    ++list.count;
  }
  return list;
}

DeviceIdentity Running(std::uint16_t version) {
  DeviceIdentity id{};
  id.firmwareVersion = version;
  return id;
}

TEST(FindNewerVersion, TheFirstOfTheNewest) {
  EXPECT_EQ(FindNewerVersion(ListOf({0x0105, 0x0108, 0x0108}), Running(0x0105)), 1);
  EXPECT_EQ(FindNewerVersion(ListOf({0x0105, 0x0108}), Running(0x0108)), -1);
  EXPECT_EQ(FindNewerVersion(ListOf({}), Running(0)), -1);
  EXPECT_EQ(FindNewerVersion(ListOf({0x0200, 0x0100}), Running(0x0101)), 0);
}

// An image for a device: header with tag and zero sum, and a small body.
std::string ImageText(const char* tag) {
  std::string image(32 + 16, '\x01');
  image[0] = 0x10;
  image[1] = 0x00;
  image[2] = 0;
  image[3] = 16;
  std::memcpy(&image[8], tag, 3);
  unsigned char sum = 0;
  for (int i = 0; i < 31; ++i)
    sum = static_cast<unsigned char>(sum + image[i]);
  image[31] = static_cast<char>(-sum);
  return image;
}

class UpgradeCheck : public LinkTest {
 protected:
  void SetUp() override {
    LinkTest::SetUp();
    // Both devices have answered.
    dlg->m_bEscPresent = 1;
    dlg->m_bBoxPresent = 1;
    std::lock_guard lock(dlg->m_settingsMutex);
    dlg->m_escId.firmwareVersion = 0x0104;
    dlg->m_boxId.firmwareVersion = 0x0100;
  }
  void TearDown() override {
    dlg->OnDestroy();  // a check still waiting to offer gives up
    if (check.joinable()) check.join();
    LinkTest::TearDown();
  }
  void SetOffers(UpgradeList esc, UpgradeList box) {
    std::lock_guard lock(dlg->m_upgradeMutex);
    dlg->m_escOffers = std::move(esc);
    dlg->m_boxOffers = std::move(box);
  }
  void RunCheck() {
    dlg->m_nUpgradeFlags |= kUpgradeCheckRunning;
    check = std::thread(&CCorvaneDlg::UpgradeCheckThreadProc, dlg.get());
  }
  bool CheckDone() {
    return WaitFor(host, [&] { return !(dlg->m_nUpgradeFlags & kUpgradeCheckRunning); });
  }
  std::vector<std::string> Questions() {
    std::vector<std::string> asked;
    for (const auto& dialog : host.Dialogs())
      asked.push_back(dialog.items[0].text);
    return asked;
  }

  std::thread check;
};

TEST_F(UpgradeCheck, DeclinedEscOfferLeadsToTheBoxOffer) {
  LoopbackServer server(200, ImageText("BOX"));
  SetOffers(ListOf({0x0105}, server.Url()), ListOf({0x0100, 0x0102}, server.Url()));
  host.QueueButton(platform::kIdCancel);  // no to the ESC
  host.QueueButton(platform::kIdOk);      // yes to the box
  RunCheck();
  ASSERT_TRUE(CheckDone());
  EXPECT_EQ(Questions(), (std::vector<std::string>{UiText(113, 0), UiText(114, 0)}));
  // The box image was fetched, checked and handed to the link.
  EXPECT_TRUE(dlg->m_bJobQueued);
  EXPECT_EQ(dlg->m_nChannel, kChannelBox);
  EXPECT_EQ(dlg->m_nPendingOp, 'p');
  EXPECT_EQ(dlg->m_nFwLength, 16);
  EXPECT_EQ(dlg->m_nUpgradeFlags, kUpgradeEscOfferDone | kUpgradeBoxOfferDone);
}

TEST_F(UpgradeCheck, AcceptedEscOfferLeavesTheBoxForALaterPass) {
  LoopbackServer server(200, ImageText("ESC"));
  SetOffers(ListOf({0x0106}, server.Url()), ListOf({0x0102}, server.Url()));
  host.QueueButton(platform::kIdOk);
  RunCheck();
  ASSERT_TRUE(CheckDone());
  EXPECT_EQ(Questions(), std::vector<std::string>{UiText(113, 0)});
  EXPECT_EQ(dlg->m_nChannel, kChannelEsc);
  EXPECT_EQ(dlg->m_nUpgradeFlags, kUpgradeEscOfferDone);

  // The next pass goes straight to the box.
  dlg->m_bJobQueued = 0;
  check.join();
  host.QueueButton(platform::kIdCancel);
  RunCheck();
  ASSERT_TRUE(CheckDone());
  EXPECT_EQ(Questions(), (std::vector<std::string>{UiText(113, 0), UiText(114, 0)}));
  EXPECT_EQ(dlg->m_nUpgradeFlags, kUpgradeEscOfferDone | kUpgradeBoxOfferDone);
}

TEST_F(UpgradeCheck, NothingNewerOrNothingListedAsksNothing) {
  dlg->m_bEscPresent = 1;
  {
    std::lock_guard lock(dlg->m_settingsMutex);
    dlg->m_escId.identityWord = 0xFFFF;  // such an ESC is never asked for
  }
  SetOffers(ListOf({}), ListOf({0x0100}));  // the box runs 1.00 already
  RunCheck();
  ASSERT_TRUE(CheckDone());
  EXPECT_TRUE(host.Dialogs().empty());
  EXPECT_FALSE(dlg->m_nUpgradeFlags & kUpgradeEscQueried);
  EXPECT_EQ(dlg->m_nUpgradeFlags, kUpgradeEscOfferDone | kUpgradeBoxOfferDone);
}

TEST_F(UpgradeCheck, TheOfferWaitsWhileAJobIsQueued) {
  SetOffers(ListOf({0x0106}), ListOf({}));
  dlg->m_bJobQueued = 1;  // queued, not yet sent: the link is not idle
  RunCheck();
  // The wait polls once a second; 2.5 s give it two chances to be wrong.
  EXPECT_FALSE(WaitFor(
      host, [&] { return !host.Dialogs().empty(); }, std::chrono::milliseconds(2500)));
  dlg->m_bJobQueued = 0;
  ASSERT_TRUE(CheckDone());
  EXPECT_EQ(Questions(), std::vector<std::string>{UiText(113, 0)});
}

TEST_F(UpgradeCheck, AnOfferWaitsForADownloadAProgramOrItsOwnDeviceOnly) {
  LoopbackServer server(200, ImageText("BOX"));
  SetOffers(ListOf({0x0106}, server.Url()), ListOf({0x0102}, server.Url()));
  RunCheck();
  // The ESC's offer reaches the UI thread just as the user starts a box
  // upgrade from the firmware page: it runs inside the download's live loop.
  ASSERT_TRUE(host.WaitForTask());
  dlg->LoadBoxFirmware(0, 0);
  ASSERT_TRUE(host.Dialogs().empty());
  ASSERT_TRUE(dlg->m_bJobQueued && dlg->m_nPendingOp == kCmdProgram);
  // Programmed, the box has not yet answered with its new version: the ESC's
  // offer is made all the same; declined, it leaves the box's to a later check.
  dlg->m_bJobQueued = 0;
  dlg->m_bBoxIdentityAwaited = 1;
  ASSERT_TRUE(CheckDone());
  EXPECT_EQ(Questions(), std::vector<std::string>{UiText(113, 0)});
  EXPECT_EQ(dlg->m_nUpgradeFlags, kUpgradeEscOfferDone);

  // That check waits for the box to answer, then for an ESC Default that
  // holds the window.
  check.join();
  RunCheck();
  ASSERT_TRUE(host.WaitForTask());
  host.Pump();
  dlg->m_bBoxIdentityAwaited = 0;
  dlg->m_bJobQueued = 1;
  host.QueueButton(platform::kIdOk);
  dlg->OnBnClickedEscDefault();
  dlg->m_bJobQueued = 0;
  ASSERT_TRUE(host.WaitForTask());
  host.Pump();
  EXPECT_EQ(Questions(), (std::vector<std::string>{UiText(113, 0), UiText(29, 0)}));
  dlg->OnTimer(TIMER_UI_TICK);  // the reset handed over
  dlg->m_bJobQueued = 0;
  ASSERT_TRUE(CheckDone());
  EXPECT_EQ(Questions(), (std::vector<std::string>{UiText(113, 0), UiText(29, 0), UiText(114, 0)}));
}

TEST_F(UpgradeCheck, AnOfferWaitsWhileTheFirmwarePageLoadsItsOwnImage) {
  // Nothing on the server for the ESC: its Upgrade opens the file picker, and
  // the box's offer reaches the UI thread while the picker is open. Made
  // there, its yes would pass for the page's upgrade and the image picked
  // would be dropped.
  LoopbackServer server(200, ImageText("BOX"));
  SetOffers(ListOf({}), ListOf({0x0102}, server.Url()));
  const std::filesystem::path image =
      std::filesystem::temp_directory_path() / ("corvane-offer-" + std::to_string(::getpid()) + ".bin");
  std::ofstream(image, std::ios::binary) << ImageText("ESC");
  RunCheck();
  ASSERT_TRUE(host.WaitForTask());
  host.QueueFileChoice(image.string());
  host.WhileNextDialogOpen([&] { host.Pump(); });
  host.QueueButton(platform::kIdOk);
  dlg->StartPageUpgrade(true);
  std::filesystem::remove(image);
  EXPECT_TRUE(host.Dialogs().empty());
  EXPECT_TRUE(dlg->m_bJobQueued && dlg->m_nChannel == kChannelEsc && dlg->m_nPendingOp == kCmdProgram);
  EXPECT_TRUE(dlg->m_bUpgradeStarted && dlg->m_bUpgradeOnLink);

  // The page's upgrade ends; the offer then made is the box's own.
  dlg->m_bJobQueued = 0;
  dlg->m_bUpgradeOnLink = 0;
  dlg->m_bUpgradeStarted = 0;
  ASSERT_TRUE(CheckDone());
  EXPECT_EQ(Questions(), std::vector<std::string>{UiText(114, 0)});
  EXPECT_TRUE(dlg->m_bJobQueued && dlg->m_nChannel == kChannelBox);
  EXPECT_FALSE(dlg->m_bUpgradeStarted || dlg->m_bUpgradeOnLink);
}

TEST_F(UpgradeCheck, ACheckThatCanOfferNothingMoreEndsAndLeavesItsOffersForALaterOne) {
  SetOffers(ListOf({0x0106}), ListOf({0x0102}));
  const int queried = kUpgradeEscQueried | kUpgradeBoxQueried;
  struct Case {
    const char* what;
    bool link, escPresent;
    std::vector<std::string> asked;
    int flags;
  } cases[] = {
      {"the box gone", false, true, {}, queried},
      // An ESC given up after its program: the box is offered alone.
      {"the ESC gone", true, false, {UiText(114, 0)}, queried | kUpgradeBoxOfferDone},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    if (check.joinable()) check.join();
    dlg->m_nUpgradeFlags = queried;
    dlg->m_bLinkRunning = c.link;
    dlg->m_bEscPresent = c.escPresent;
    const std::size_t before = host.Dialogs().size();
    RunCheck();
    ASSERT_TRUE(CheckDone());
    const std::vector<std::string> asked = Questions();
    EXPECT_EQ(std::vector<std::string>(asked.begin() + static_cast<std::ptrdiff_t>(before), asked.end()),
              c.asked);
    EXPECT_EQ(dlg->m_nUpgradeFlags, c.flags);
  }
}

TEST_F(UpgradeCheck, TheEscIsAskedAtTheServerTheEnvironmentNames) {
  LoopbackServer server(200,
                        "{\"id\":\"1\",\"version\":\"1.9\",\"memo\":{},\"checksum\":\"0\","
                        "\"download_url\":\"http://x\"}");
  UpgradeServerOverride address(server.Base().c_str());
  dlg->m_bBoxPresent = 0;  // the ESC alone
  host.QueueButton(platform::kIdCancel);
  RunCheck();
  ASSERT_TRUE(CheckDone());
  // Asked as identity word 3, then 0: the second reply is appended.
  EXPECT_EQ(server.Requests(), 2);
  EXPECT_EQ(dlg->Offers(dlg->m_escOffers).count, 2);
  EXPECT_EQ(Questions(), std::vector<std::string>{UiText(113, 0)});
}

TEST_F(UpgradeCheck, ClosingEndsAWaitingCheck) {
  SetOffers(ListOf({0x0106}), ListOf({}));
  dlg->m_bBusy = 1;  // the link stays busy: the offer waits
  RunCheck();
  // The ESC's offer stage has begun: the check waits for the link or is about to.
  ASSERT_TRUE(WaitFor(host, [&] { return (dlg->m_nUpgradeFlags & kUpgradeEscOfferDone) != 0; }));
  dlg->OnDestroy();  // wakes the check, which gives up without offering
  check.join();
  host.Pump();
  EXPECT_TRUE(host.Dialogs().empty());
}

TEST_F(UpgradeCheck, ClosingEndsAStalledQueryPromptly) {
  std::atomic<bool> held{false};
  ScriptedServer server([&](const std::string&) {
    return ScriptedServer::Reply{"", true, [&] { held = true; }};
  });
  UpgradeServerOverride address(server.Base().c_str());
  dlg->m_bEscPresent = 1;
  RunCheck();
  ASSERT_TRUE(WaitFor(host, [&] { return held.load(); }));
  const auto closing = std::chrono::steady_clock::now();
  dlg->OnDestroy();
  check.join();
  // Far sooner than the server's silence would end the query by itself.
  EXPECT_LT(std::chrono::steady_clock::now() - closing, std::chrono::seconds(5));
  EXPECT_EQ(server.Requests(), 1);  // the ESC's second query is not sent
}

}  // namespace
