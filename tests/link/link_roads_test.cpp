// Whole operations through the real communication thread against the
// scripted box and ESC: first contact, read, writes, reset request,
// programming, refused identities and time-outs.
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "app/texts/ui_text_table.h"
#include "support/link_fixture.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

class LinkRoads : public LinkTest {
 protected:
  void SetUp() override {
    LinkTest::SetUp();
    dlg->m_bLinkRunning = 0;
    devices.SetEscMemory(EscMemoryWithProfile(2));
  }

  // Starts the link and waits for the first contact's settings read.
  void Connect() {
    StartLink();
    ASSERT_TRUE(WaitStatus(20));
    ASSERT_TRUE(WaitIdle());
    devices.ClearCommands();
  }
  // The commands the devices received, as (channel, command) pairs.
  std::vector<std::pair<int, char>> Sequence() {
    std::vector<std::pair<int, char>> seq;
    for (const auto& c : devices.Commands())
      seq.emplace_back(c.channel, static_cast<char>(c.command));
    return seq;
  }
  // The device's settings memory without the live bytes.
  Bytes DeviceImage() {
    Bytes memory = devices.EscMemory();
    memory.resize(kSettingsSize);
    return memory;
  }
  // ESC Default answered Yes while the link is busy: an ESC Read is held at
  // its read command until Release().
  void EscDefaultOnABusyLink() {
    Connect();
    devices.HoldAtCommand(2);
    dlg->OnBnClickedEscRead();
    ASSERT_TRUE(WaitFor(host, [&] { return devices.Held(); }));
    host.QueueButton(platform::kIdOk);
    dlg->OnBnClickedEscDefault();
    ASSERT_EQ(host.Dialogs().size(), 1u);  // asked although the link is busy
  }
  void Ticks(int n) {
    for (int i = 0; i < n; ++i)
      dlg->OnTimer(TIMER_UI_TICK);
  }
  void PrepareFirmware(int length) {
    for (int i = 0; i < length; ++i)
      dlg->m_fwBuffer[i] = static_cast<std::uint8_t>(i * 3 + 1);
    dlg->m_nFwAddress = 0x1000;
    dlg->m_nFwLength = length;
  }
  // The firmware page's upgrade, as its hand-off leaves it, held by the link.
  void PageUpgradeOnLink() {
    dlg->m_bUpgradeStarted = 1;
    dlg->m_bUpgradeOnLink = 1;
  }
  // Whether the page is free again and the presence poll comes at its pace.
  bool PageFreed(int pollTicks) {
    return WaitFor(host, [&] { return !dlg->m_bUpgradeStarted && dlg->m_nReadBackCountdown == pollTicks; });
  }
};

using Seq = std::vector<std::pair<int, char>>;

TEST_F(LinkRoads, FirstContactThroughTheBox) {
  StartLink();
  ASSERT_TRUE(WaitStatus(20));
  ASSERT_TRUE(WaitIdle());  // the read's handler has finished
  EXPECT_EQ(Sequence(), (Seq{{0, 0x0F}, {1, 0x0F}, {1, 'a'}}));
  EXPECT_EQ(ImageBytes(), DeviceImage());
  EXPECT_TRUE(dlg->m_bBoxPresent);
  EXPECT_TRUE(dlg->m_bEscPresent);
  EXPECT_TRUE(dlg->m_bEscConnected);
  {
    std::lock_guard lock(dlg->m_settingsMutex);
    EXPECT_EQ(dlg->m_strModelName, "ESC12");
    EXPECT_EQ(dlg->m_boxId.ModelName(), "BOX10");
  }
  EXPECT_EQ(0, std::memcmp(&dlg->m_refProfile, &DefaultProfileTable[2], sizeof(SettingProfile)));
  // The upgrade check ran once: both devices asked (the server is not
  // reachable here) and both offer stages passed.
  EXPECT_TRUE(WaitFor(host, [&] { return dlg->m_nUpgradeFlags == 0x33; }));
  EXPECT_EQ(dlg->Offers(dlg->m_escOffers).queryUrl,
            BuildUpgradeQueryUrl(ScriptedDevices::Identity("ESC12", 0, 0x0105)));
  EXPECT_EQ(dlg->m_nRpmPeriod, 0x1234);
  EXPECT_EQ(host.StatusHistory(), EnglishTexts({20}));
}

TEST_F(LinkRoads, FirstContactWithoutTheBoxTriesTheEscDirectly) {
  devices.Update([](auto& s) { s.boxAnswers = false; });
  StartLink();
  ASSERT_TRUE(WaitStatus(20));
  EXPECT_EQ(Sequence(), (Seq{{0, 0x0F}, {1, 0x0F}, {1, 'a'}}));
  EXPECT_FALSE(dlg->m_bBoxPresent);
  EXPECT_TRUE(dlg->m_bEscPresent);
  EXPECT_EQ(host.StatusHistory(), EnglishTexts({20}));  // the box's silence is not reported

  // A later read goes straight to the ESC.
  ASSERT_TRUE(WaitIdle());
  devices.ClearCommands();
  dlg->OnBnClickedEscRead();
  ASSERT_TRUE(WaitFor(host, [&] { return Sequence().size() == 2 && dlg->LinkIdle(); }));
  EXPECT_EQ(Sequence(), (Seq{{1, 0x0F}, {1, 'a'}}));
}

TEST_F(LinkRoads, ReadPicksUpChangesOnTheEsc) {
  Connect();
  devices.SetEscMemory(EscMemoryWithProfile(7));
  dlg->OnBnClickedEscRead();
  ASSERT_TRUE(WaitFor(host, [&] { return dlg->SettingsSnapshot().selectedProfile == 7; }));
  ASSERT_TRUE(WaitIdle());
  EXPECT_EQ(Sequence(), (Seq{{0, 0x0F}, {1, 0x0F}, {1, 'a'}}));  // box first, as it is there
  EXPECT_EQ(ImageBytes(), DeviceImage());
}

TEST_F(LinkRoads, SaveWritesTheProfileThenTheTail) {
  Connect();
  dlg->EditSettings([](SettingsImage& s) {
    s.profiles[2].dragBrake = 33;
    s.deadBand = 170;
  });
  dlg->OnBnClickedApply();
  ASSERT_TRUE(WaitStatus(19));
  ASSERT_TRUE(WaitIdle());
  const auto commands = devices.Commands();
  ASSERT_EQ(commands.size(), 3u);
  EXPECT_EQ(commands[1].command, 'n');
  EXPECT_EQ(commands[1].address, 0x5E00 + 2 * 242);
  EXPECT_EQ(commands[1].length, 242);
  EXPECT_EQ(commands[2].command, 'n');
  EXPECT_EQ(commands[2].address, 0x6774);
  EXPECT_EQ(commands[2].length, 57);
  EXPECT_EQ(DeviceImage(), ImageBytes());
  // Only the second 'N' reports success.
  const auto history = host.StatusHistory();
  EXPECT_EQ(std::vector<std::string>(history.end() - 3, history.end()), EnglishTexts({25, 25, 19}));
}

TEST_F(LinkRoads, LostSecondWriteReplyFailsTheSave) {
  Connect();
  devices.Update([](auto& s) { s.writeAnswersLeft = 1; });
  dlg->OnBnClickedApply();
  ASSERT_TRUE(WaitStatus(24));
  const auto history = host.StatusHistory();
  EXPECT_EQ(std::count(history.begin(), history.end(), UiText(19, kLanguageEnglish)), 0);
}

TEST_F(LinkRoads, ProfileChangeSavesTheWholeImage) {
  Connect();
  dlg->EditSettings([](SettingsImage& s) { s.selectedProfile = 5; });
  dlg->m_bProfileChanged = 1;
  dlg->OnBnClickedApply();
  ASSERT_TRUE(WaitStatus(19));
  ASSERT_TRUE(WaitIdle());
  const auto commands = devices.Commands();
  ASSERT_EQ(commands.size(), 2u);
  EXPECT_EQ(commands[1].command, 's');
  EXPECT_EQ(commands[1].length, 2477);
  EXPECT_EQ(DeviceImage(), ImageBytes());
  EXPECT_FALSE(dlg->m_bProfileChanged);
  EXPECT_EQ(host.ProgressBar().high, 2477);
  EXPECT_EQ(host.ProgressBar().pos, 2478);
}

TEST_F(LinkRoads, ProfilePickedDuringAWriteIsWrittenByTheNextSave) {
  Connect();
  // The image write picks back the profile the profile write's tail held, so
  // that an image write that kept an older tail would pass for this one.
  for (const bool wholeImage : {false, true}) {
    SCOPED_TRACE(wholeImage ? "image write" : "profile write");
    devices.ClearCommands();
    dlg->m_bProfileChanged = wholeImage;
    devices.HoldAtCommand(1);  // the write, answered, its answer not read yet
    dlg->OnBnClickedApply();
    ASSERT_TRUE(WaitFor(host, [&] { return devices.Held(); }));
    dlg->EditSettings([&](SettingsImage& s) { s.selectedProfile = wholeImage ? 2 : 6; });
    dlg->m_bProfileChanged = 1;
    devices.Release();
    ASSERT_TRUE(WaitStatus(19));
    ASSERT_TRUE(WaitIdle());
    EXPECT_TRUE(dlg->m_bProfileChanged);
  }
  devices.ClearCommands();
  dlg->OnBnClickedApply();
  ASSERT_TRUE(WaitStatus(19));
  ASSERT_TRUE(WaitIdle());
  EXPECT_EQ(Sequence(), (Seq{{1, 0x0F}, {1, 's'}}));
  EXPECT_EQ(DeviceImage(), ImageBytes());
  EXPECT_FALSE(dlg->m_bProfileChanged);
}

TEST_F(LinkRoads, EscDefaultAskedAndAnswered) {
  Connect();
  const Bytes before = ImageBytes();
  host.QueueButton(platform::kIdCancel);
  dlg->OnBnClickedEscDefault();
  EXPECT_EQ(ImageBytes(), before);
  EXPECT_FALSE(dlg->m_bJobQueued);
  ASSERT_EQ(host.Dialogs().size(), 1u);
  EXPECT_EQ(host.Dialogs()[0].items[0].text, "Reset All ESC Data ?");
  EXPECT_EQ(host.Dialogs()[0].caption, "Warning");

  host.QueueButton(platform::kIdOk);
  dlg->OnBnClickedEscDefault();
  ASSERT_TRUE(WaitStatus(19));
  const SettingsImage image = dlg->SettingsSnapshot();
  EXPECT_EQ(image.selectedProfile, 0);
  EXPECT_EQ(image.profiles[0].turboTiming, 10);  // an ESC12
  EXPECT_EQ(int{image.throttleLow}, 2100);       // the ESC's calibration is kept
  EXPECT_EQ(DeviceImage(), ImageBytes());
}

TEST_F(LinkRoads, ReadOfAResetRequestWritesTheFactoryImageBack) {
  devices.SetEscMemory(EscMemoryWithProfile(12));
  StartLink();
  ASSERT_TRUE(WaitStatus(19));
  EXPECT_EQ(host.StatusHistory(), EnglishTexts({20, 25, 19}));
  EXPECT_EQ(Pauses(), std::vector<int>{2000});
  EXPECT_EQ(Sequence(), (Seq{{0, 0x0F}, {1, 0x0F}, {1, 'a'}, {1, 0x0F}, {1, 's'}}));
  const SettingsImage image = dlg->SettingsSnapshot();
  EXPECT_EQ(image.selectedProfile, 0);
  EXPECT_EQ(DeviceImage(), ImageBytes());
}

TEST_F(LinkRoads, ProgrammingTheEscThenReadingItAgain) {
  Connect();
  PrepareFirmware(3000);
  const Bytes firmware(dlg->m_fwBuffer.begin(), dlg->m_fwBuffer.begin() + 3000);
  ASSERT_TRUE(dlg->QueueIdentifyIfIdle(kChannelEsc, 'p', false));
  ASSERT_TRUE(WaitStatus(18));
  // An ESC Default while the link counts down to its own identify waits for
  // it, which would replace the reset's write.
  host.QueueButton(platform::kIdOk);
  dlg->OnBnClickedEscDefault();
  // 300 passes later the devices are identified again and read.
  ASSERT_TRUE(WaitStatus(20));
  ASSERT_TRUE(WaitIdle());
  Ticks(1);
  ASSERT_TRUE(WaitStatus(19));
  EXPECT_EQ(DeviceImage(), ImageBytes());
  EXPECT_EQ(dlg->SettingsSnapshot().selectedProfile, 0);
  const auto commands = devices.Commands();
  ASSERT_GE(commands.size(), 2u);
  EXPECT_EQ(commands[1].command, 'p');
  EXPECT_EQ(commands[1].address, 0x1000);
  EXPECT_EQ(commands[1].data, firmware);
  EXPECT_EQ(commands[1].checksum.size(), 4u);  // ESC firmware 1.05
  EXPECT_EQ(host.StatusHistory(), EnglishTexts({20, 26, 18, 20, 25, 19}));

  // The ESC answered again: the retries of its restart are over, and a later
  // time-out gives up at once.
  ASSERT_TRUE(WaitIdle());
  devices.ClearCommands();
  devices.Update([](auto& s) { s.escAnswers = false; });
  dlg->OnBnClickedEscRead();
  ASSERT_TRUE(WaitStatus(22));
  EXPECT_EQ(Sequence(), (Seq{{0, 0x0F}, {1, 0x0F}}));
}

TEST_F(LinkRoads, SilentEscAfterProgrammingEndsWithConnectionFailAndAnUpgradeCheck) {
  devices.Update([](auto& s) { s.esc.firmwareVersion = 0x0104; });
  Connect();
  ASSERT_TRUE(WaitFor(host, [&] { return !(dlg->m_nUpgradeFlags & kUpgradeCheckRunning); }));
  dlg->m_nUpgradeFlags = 0;
  {
    // The box has newer firmware listed: the ESC, silent, does not hold its offer back.
    std::lock_guard lock(dlg->m_upgradeMutex);
    dlg->m_boxOffers.count = 1;
    dlg->m_boxOffers.version[0] = 0x0102;
  }
  devices.Update([](auto& s) { s.escSilentAfterProgram = true; });
  PrepareFirmware(500);
  PageUpgradeOnLink();
  ASSERT_TRUE(dlg->QueueIdentifyIfIdle(kChannelEsc, 'p', false));
  ASSERT_TRUE(WaitStatus(22));
  // Given up: the page takes input again, and the presence poll comes soon.
  EXPECT_TRUE(PageFreed(5));
  EXPECT_EQ(devices.Commands()[1].checksum.size(), 1u);  // ESC firmware 1.04
  // The first identify and both retries went to the ESC unanswered.
  const auto seq = Sequence();
  EXPECT_EQ(std::count(seq.begin(), seq.end(), std::pair<int, char>{1, 0x0F}), 1 + 3);
  EXPECT_FALSE(dlg->m_bEscConnected);
  // A new upgrade check ran, asked nothing more and offered the box's firmware.
  EXPECT_TRUE(
      WaitFor(host, [&] { return dlg->m_nUpgradeFlags == (kUpgradeEscOfferDone | kUpgradeBoxOfferDone); }));
  ASSERT_EQ(host.Dialogs().size(), 1u);
  EXPECT_EQ(host.Dialogs()[0].items[0].text, UiText(114, kLanguageEnglish));
}

TEST_F(LinkRoads, ProgrammingTheBox) {
  Connect();
  PrepareFirmware(1000);
  // Held at the identify after the restart, before the box's answer is read.
  devices.HoldAtCommand(2);
  ASSERT_TRUE(dlg->QueueIdentifyIfIdle(kChannelBox, 'p', false));
  ASSERT_TRUE(WaitStatus(108));
  ASSERT_TRUE(WaitFor(host, [&] { return devices.Held(); }));
  EXPECT_TRUE(dlg->m_bBoxRestarting);
  const auto commands = devices.Commands();
  EXPECT_EQ(commands[1].channel, 0);
  EXPECT_EQ(commands[1].checksum.size(), 1u);
  EXPECT_EQ(commands[2].channel, 0);
  EXPECT_EQ(commands[2].command, 0x0F);
  // The box is identified again and the restart mark cleared.
  devices.Release();
  ASSERT_TRUE(WaitStatus(20));
  ASSERT_TRUE(WaitIdle());
  EXPECT_FALSE(dlg->m_bBoxRestarting);
  EXPECT_EQ(host.StatusHistory(), EnglishTexts({20, 109, 108, 20}));
}

TEST_F(LinkRoads, AFirmwarePageUpgradeIsHeldUntilItsOwnEnd) {
  // Upgrade is pressed while another job is in flight that then fails: the
  // loader waits for the idle link and hands its image over, and that
  // failure leaves the page held while the image is sent. The page is freed
  // by the upgrade's own end: the box's ESC given up, or the ESC read again.
  struct Case {
    const char* what;
    bool esc;             // the device upgraded
    int failure;          // of the job before the hand-off
    std::size_t program;  // index of the program command among the commands
    int end, pollTicks;
  } cases[] = {
      {"a presence poll for a missing ESC, then the box", false, 22, 3, 22, 5},
      {"a read whose data are lost, then the ESC", true, 23, 4, 20, 75},
  };
  Connect();
  const std::filesystem::path image =
      std::filesystem::temp_directory_path() / ("corvane-roads-" + std::to_string(::getpid()) + ".bin");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const Bytes file = FirmwareImage(c.esc ? "ESC" : "BOX", 0x1000, Bytes(100, 0x11));
    std::ofstream(image, std::ios::binary)
        .write(reinterpret_cast<const char*>(file.data()), static_cast<std::streamsize>(file.size()));

    devices.ClearCommands();
    devices.Update([&](auto& s) {
      s.escAnswers = c.esc;
      s.corruptReadSum = c.esc;
    });
    if (c.esc) {
      dlg->OnBnClickedEscRead();
    } else {
      ASSERT_TRUE(dlg->QueueIdentifyIfIdle(kChannelBox, kCmdRead, true));
    }
    devices.HoldAtCommand(c.program);
    host.QueueFileChoice(image.string());
    dlg->StartPageUpgrade(c.esc);
    ASSERT_TRUE(WaitStatus(c.failure));
    ASSERT_TRUE(WaitStatus(c.esc ? 26 : 109));
    ASSERT_TRUE(WaitFor(host, [&] { return devices.Held(); }));
    host.Pump();
    EXPECT_TRUE(dlg->m_bUpgradeStarted);
    EXPECT_EQ(devices.Commands()[c.program].command, 'p');

    devices.Update([](auto& s) { s.corruptReadSum = false; });
    devices.Release();
    ASSERT_TRUE(WaitStatus(c.esc ? 18 : 108));
    ASSERT_TRUE(WaitStatus(c.end));
    EXPECT_TRUE(PageFreed(c.pollTicks));
    ASSERT_TRUE(WaitIdle());
  }
  std::filesystem::remove(image);
}

TEST_F(LinkRoads, IdentityWordsDecideAcceptance) {
  // An ESC word of 0xFFFF is accepted, any other non-zero word refused.
  devices.Update([](auto& s) { s.esc = ScriptedDevices::Identity("ESC08", 0xFFFF, 0x0105); });
  Connect();
  devices.Update([](auto& s) { s.esc = ScriptedDevices::Identity("ESC08", 0x1234, 0x0105); });
  dlg->OnBnClickedEscRead();
  ASSERT_TRUE(WaitStatus(22));
  ASSERT_TRUE(WaitIdle());
  EXPECT_FALSE(dlg->m_bEscConnected);
  EXPECT_EQ(dlg->m_nPendingOp, 0);
  EXPECT_EQ(Sequence(), (Seq{{0, 0x0F}, {1, 0x0F}}));  // no read

  // A box word of 0xFFFF is refused.
  devices.Update([](auto& s) {
    s.esc = ScriptedDevices::Identity("ESC08", 0, 0x0105);
    s.box = ScriptedDevices::Identity("BOX10", 0xFFFF, 0x0100);
  });
  dlg->OnBnClickedEscRead();
  ASSERT_TRUE(WaitFor(host, [&] { return host.StatusHistory().size() == 3; }));
  EXPECT_EQ(StatusId(), 22);
}

TEST_F(LinkRoads, FailedReadsReportStatus23AndKeepTheImage) {
  Connect();
  const Bytes before = ImageBytes();
  devices.SetEscMemory(EscMemoryWithProfile(4));
  for (int variant = 0; variant < 3; ++variant) {
    devices.Update([&](auto& s) {
      s.corruptReadSum = variant == 0;
      s.readDataLength = variant == 1 ? 100 : variant == 2 ? 0 : -1;
    });
    dlg->OnBnClickedEscRead();
    ASSERT_TRUE(WaitStatus(23)) << variant;
    EXPECT_EQ(ImageBytes(), before) << variant;
    ASSERT_TRUE(WaitIdle());
  }
}

TEST_F(LinkRoads, FailedWritesReportStatus24) {
  Connect();
  devices.Update([](auto& s) { s.acknowledge = false; });
  dlg->OnBnClickedApply();
  ASSERT_TRUE(WaitStatus(24));
  ASSERT_TRUE(WaitIdle());

  // A box that takes the program but never reports it done, and a program
  // whose data phase is not acknowledged: each ends the upgrade the firmware
  // page started.
  PrepareFirmware(100);
  for (const bool acknowledged : {true, false}) {
    devices.Update([&](auto& s) {
      s.acknowledge = acknowledged;
      s.answerWrites = false;
    });
    PageUpgradeOnLink();
    ASSERT_TRUE(dlg->QueueIdentifyIfIdle(kChannelBox, 'p', false));
    ASSERT_TRUE(WaitStatus(24));
    EXPECT_TRUE(WaitFor(host, [&] { return !dlg->m_bUpgradeStarted; })) << acknowledged;
    ASSERT_TRUE(WaitIdle());
  }
}

TEST_F(LinkRoads, PresencePollOfAKnownEscOnlyConfirmsIt) {
  Connect();
  const Bytes before = ImageBytes();
  devices.SetEscMemory(EscMemoryWithProfile(9));
  dlg->m_bEscConnected = 0;
  ASSERT_TRUE(dlg->QueueIdentifyIfIdle(kChannelBox, 'a', true));
  ASSERT_TRUE(WaitFor(host, [&] { return dlg->m_bEscConnected && !dlg->m_bPresenceOnly; }));
  ASSERT_TRUE(WaitIdle());
  EXPECT_EQ(Sequence(), (Seq{{0, 0x0F}, {1, 0x0F}}));
  EXPECT_EQ(ImageBytes(), before);

  // The next ordinary read is a read, not taken for a presence check.
  dlg->OnBnClickedEscRead();
  ASSERT_TRUE(WaitFor(host, [&] { return dlg->SettingsSnapshot().selectedProfile == 9; }));
}

TEST_F(LinkRoads, RequestsWaitForTheLinkToBeIdle) {
  Connect();
  devices.Update([](auto& s) { s.answerReads = false; });
  devices.HoldAtCommand(2);  // the read, sent and never to be answered
  dlg->OnBnClickedEscRead();
  ASSERT_TRUE(WaitFor(host, [&] { return devices.Held(); }));
  // Mid-read, a save and a second read are refused and change nothing.
  EXPECT_TRUE(dlg->m_bBusy);
  dlg->OnBnClickedApply();
  dlg->OnBnClickedEscRead();
  EXPECT_EQ(dlg->m_nPendingOp, 0);
  {
    std::lock_guard lock(dlg->m_jobMutex);
    EXPECT_EQ(dlg->m_frames[0].txCommand, 'a');
  }
  devices.Release();
  ASSERT_TRUE(WaitStatus(23));
  ASSERT_TRUE(WaitIdle());
  EXPECT_EQ(Sequence(), (Seq{{0, 0x0F}, {1, 0x0F}, {1, 'a'}}));
}

TEST_F(LinkRoads, EscDefaultOnABusyLinkGoesOnceTheLinkIsIdle) {
  ASSERT_NO_FATAL_FAILURE(EscDefaultOnABusyLink());
  const Bytes before = ImageBytes();
  Ticks(5);
  EXPECT_EQ(ImageBytes(), before);
  EXPECT_EQ(dlg->m_nPendingOp, 0);

  // Meanwhile the window is held under the busy cursor: the pointer, a
  // press on the banner, the close box, Escape and the system menu do nothing.
  const auto pressesTaken = [&] {
    dlg->m_nClickBlock = 0;
    dlg->OnMouseMove(30, 300);
    dlg->OnLButtonDown(300, 20);
    dlg->OnLButtonUp(300, 20);
    return host.WindowMoves() == 1 && host.ControlText(IDC_POINTER_READOUT) == "X = 30 ,Y = 300";
  };
  EXPECT_TRUE(host.Busy());
  EXPECT_FALSE(pressesTaken());
  dlg->OnLButtonUp(940, 20);
  dlg->OnCancel();
  dlg->OnSysCommand(IDM_LANGUAGE);
  EXPECT_FALSE(host.EndResult().has_value());
  EXPECT_EQ(dlg->m_nLanguage, 0);

  devices.Release();
  ASSERT_TRUE(WaitStatus(20));
  ASSERT_TRUE(WaitIdle());
  Ticks(1);
  ASSERT_TRUE(WaitStatus(19));
  ASSERT_TRUE(WaitIdle());
  Ticks(3);  // taken once: no second reset or write
  ASSERT_TRUE(WaitIdle());
  EXPECT_EQ(Sequence(), (Seq{{0, 0x0F}, {1, 0x0F}, {1, 'a'}, {1, 0x0F}, {1, 's'}}));
  EXPECT_EQ(dlg->SettingsSnapshot().selectedProfile, 0);
  EXPECT_EQ(DeviceImage(), ImageBytes());
  // Handed over, the window is the user's again.
  EXPECT_FALSE(host.Busy());
  EXPECT_TRUE(pressesTaken());
}

TEST_F(LinkRoads, EscDefaultGivenUpWhileAProgramRunsLeavesTheProgramsText) {
  Connect();
  PrepareFirmware(100);
  devices.HoldAtCommand(1);  // the program command, sent whole and not yet answered
  ASSERT_TRUE(dlg->QueueIdentifyIfIdle(kChannelEsc, kCmdProgram, false));
  ASSERT_TRUE(WaitFor(host, [&] { return devices.Held(); }));
  host.QueueButton(platform::kIdOk);
  dlg->OnBnClickedEscDefault();
  Ticks(25);
  EXPECT_FALSE(host.Busy());
  EXPECT_EQ(StatusId(), 26);  // "Update ESC Program..."
  devices.Release();
  ASSERT_TRUE(WaitStatus(18));
}

TEST_F(LinkRoads, EscDefaultGivenUpWhileAReprogrammedEscRestartsSaysSo) {
  // The ESC has reported its program done; the link counts down to
  // identifying it again, which is no program under way.
  dlg->m_bLinkRunning = 1;
  dlg->m_frames[0].rxKind = 'P';
  dlg->HandleEscReply();
  host.QueueButton(platform::kIdOk);
  dlg->OnBnClickedEscDefault();
  EXPECT_TRUE(host.Busy());
  Ticks(25);
  EXPECT_FALSE(host.Busy());
  EXPECT_EQ(host.StatusHistory(), EnglishTexts({18, 24}));
}

TEST_F(LinkRoads, EscDefaultOnALinkBusyPastFiveSecondsFailsAndChangesNothing) {
  ASSERT_NO_FATAL_FAILURE(EscDefaultOnABusyLink());
  const Bytes before = ImageBytes();
  Ticks(10);
  // Another ESC Default meanwhile neither asks again nor restarts the wait.
  host.QueueButton(platform::kIdOk);
  dlg->OnBnClickedEscDefault();
  EXPECT_EQ(host.Dialogs().size(), 1u);
  Ticks(14);
  EXPECT_NE(StatusId(), 24);
  EXPECT_TRUE(host.Busy());
  Ticks(1);
  EXPECT_EQ(StatusId(), 24);
  EXPECT_FALSE(host.Busy());
  EXPECT_EQ(ImageBytes(), before);
  EXPECT_EQ(dlg->m_nPendingOp, 0);
  {
    std::lock_guard lock(dlg->m_jobMutex);
    EXPECT_EQ(dlg->m_frames[0].txCommand, 'a');  // only the held read
  }

  // Given up: an idle link later gets nothing either.
  devices.Release();
  ASSERT_TRUE(WaitStatus(20));
  ASSERT_TRUE(WaitIdle());
  Ticks(3);
  EXPECT_EQ(Sequence(), (Seq{{0, 0x0F}, {1, 0x0F}, {1, 'a'}}));
  EXPECT_EQ(ImageBytes(), before);
}

TEST_F(LinkRoads, WithoutALinkRequestsAreAnsweredAtOnceAndTheNextBoxGetsNone) {
  dlg->EditSettings([](SettingsImage& s) {
    s.selectedProfile = 3;
    s.profiles[0].dragBrake = 77;
  });
  // ESC Default resets the image in memory all the same, without a wait.
  host.QueueButton(platform::kIdOk);
  dlg->OnBnClickedEscDefault();
  EXPECT_FALSE(host.Busy());
  const SettingsImage reset = dlg->SettingsSnapshot();
  EXPECT_EQ(reset.selectedProfile, 0);
  EXPECT_NE(reset.profiles[0].dragBrake, 77);
  dlg->OnBnClickedApply();
  dlg->OnBnClickedEscRead();
  dlg->m_nReadBackCountdown = 1;
  Ticks(1);  // the presence poll: silent
  EXPECT_FALSE(dlg->m_bJobQueued);
  EXPECT_EQ(host.StatusHistory(), EnglishTexts({27, 27, 27}));

  // The box comes: it gets the first contact's read, and nothing else.
  StartLink();
  ASSERT_TRUE(WaitStatus(20));
  ASSERT_TRUE(WaitIdle());
  EXPECT_EQ(Sequence(), (Seq{{0, 0x0F}, {1, 0x0F}, {1, 'a'}}));
}

TEST_F(LinkRoads, AnUnplugEndsWhatWaitedForTheLinkAndNothingReachesTheNextBox) {
  const auto count = dlg->m_hidApi.HidDevice_GetNumHidDevices;
  const platform::DeviceChangeRecord box{platform::kDeviceTypeInterface, "/dev/hidraw-fake0"};
  // Without the thread the link takes no job: a save stays queued, and an ESC
  // Default waits behind a busy link. Meanwhile a firmware-page upgrade runs.
  for (const char* what : {"a queued save", "an ESC Default waiting"}) {
    SCOPED_TRACE(what);
    const bool escDefault = *what == 'a' && what[3] == 'E';
    dlg->m_hHidDevice = FakeHid::Device();
    dlg->m_bLinkRunning = 1;
    PageUpgradeOnLink();
    dlg->EditSettings([](SettingsImage& s) { s.selectedProfile = 3; });
    if (escDefault) {
      dlg->m_bBusy = 1;
      host.QueueButton(platform::kIdOk);
      dlg->OnBnClickedEscDefault();
      ASSERT_TRUE(host.Busy());
    } else {
      dlg->OnBnClickedApply();
      ASSERT_TRUE(dlg->m_bJobQueued);
    }
    const std::size_t shown = host.StatusHistory().size();
    dlg->m_hidApi.HidDevice_GetNumHidDevices = [](std::uint16_t, std::uint16_t) -> std::uint32_t {
      return 0;
    };
    dlg->OnDeviceChange(platform::kDeviceRemoveComplete, &box);
    EXPECT_FALSE(dlg->m_bJobQueued);
    EXPECT_EQ(dlg->m_nPendingOp, 0);
    EXPECT_FALSE(host.Busy());
    EXPECT_EQ(dlg->m_bUpgradeStarted, 0);
    // The reset stands in memory; the save's edit stays.
    EXPECT_EQ(dlg->SettingsSnapshot().selectedProfile, escDefault ? 0 : 3);
    const auto history = host.StatusHistory();
    EXPECT_EQ(std::vector<std::string>(history.begin() + static_cast<std::ptrdiff_t>(shown), history.end()),
              EnglishTexts({27}));
  }

  // The box comes back: it gets the first contact's read, and nothing else.
  dlg->m_hidApi.HidDevice_GetNumHidDevices = count;
  dlg->OnDeviceChange(platform::kDeviceArrival, &box);
  ASSERT_TRUE(WaitStatus(20));
  ASSERT_TRUE(WaitIdle());
  EXPECT_EQ(Sequence(), (Seq{{0, 0x0F}, {1, 0x0F}, {1, 'a'}}));
}

TEST_F(LinkRoads, WriteSettingsBlockStaysInsideTheSettingsArea) {
  Bytes data(2477, 0x42);
  dlg->WriteSettingsBlock(0x5DFF, data.data(), 10, 1);
  dlg->WriteSettingsBlock(0x6774, data.data(), 58, 9);
  EXPECT_FALSE(dlg->m_bJobQueued);
  dlg->WriteSettingsBlock(0x5E00, data.data(), 2477, 1);
  EXPECT_TRUE(dlg->m_bJobQueued);
  EXPECT_EQ(dlg->m_frames[0].txLength, 2477);
  EXPECT_EQ(StatusId(), 25);
  // The job is sent from a copy.
  data[0] = 0x99;
  EXPECT_EQ(dlg->m_fwBuffer[0], 0x42);
}

}  // namespace
