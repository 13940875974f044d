// Whole operations against the simulated box and ESC through the program's
// own binding, device events and communication thread.
#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "app/texts/ui_text_table.h"
#include "integration/sim_fixture.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

// The sim's settings with a recognisable change in every profile.
Bytes MarkedSettings(const Bytes& base, std::uint8_t selected) {
  Bytes bytes = base;
  for (int k = 0; k < kProfileCount; ++k)
    bytes[242 * k + 0x09] = static_cast<std::uint8_t>(20 + k);
  bytes[2420] = selected;
  return bytes;
}

TEST_F(SimLink, FirstContactReadsTheEscBehindTheBox) {
  SetSimSettings(MarkedSettings(SimSettings(), 3));
  ConnectAndRead();
  EXPECT_EQ(Image(), SimSettings());
  EXPECT_EQ(host.StatusHistory(), EnglishTexts({28, 20}));
  EXPECT_TRUE(dlg->m_bBoxPresent);
  EXPECT_TRUE(dlg->m_bEscPresent);
  EXPECT_TRUE(dlg->m_bEscConnected);
  std::lock_guard lock(dlg->m_settingsMutex);
  EXPECT_EQ(dlg->m_strModelName, "ESC12");
  EXPECT_EQ(int{dlg->m_escId.firmwareVersion}, 0x0105);
  EXPECT_EQ(dlg->m_boxId.ModelName(), "BOX01");
}

TEST_F(SimLink, SilentBoxMakesTheProgramAskTheEscDirectly) {
  sim.CorvaneSim_DropNextReply(0);  // the box's identify reply
  ConnectAndRead();
  EXPECT_FALSE(dlg->m_bBoxPresent);
  EXPECT_TRUE(dlg->m_bEscPresent);
  EXPECT_EQ(Image(), SimSettings());
}

TEST_F(SimLink, NoBoxAttachedFailsTheConnection) {
  sim.CorvaneSim_SetBoxCount(0);
  Connect();
  EXPECT_EQ(dlg->m_nStatusTextId, 27);
  EXPECT_FALSE(dlg->m_bLinkRunning);
  EXPECT_EQ(host.ControlEnabled(IDC_LOAD_FROM_PC), true);
  // Plugging one in connects.
  sim.CorvaneSim_SetBoxCount(1);
  ASSERT_TRUE(WaitStatus(20));
  EXPECT_EQ(host.StatusHistory(), EnglishTexts({27, 28, 20}));
}

TEST_F(SimLink, ReadAndBothKindsOfWrite) {
  ConnectAndRead();
  // ESC Read picks up a change made on the ESC.
  SetSimSettings(MarkedSettings(SimSettings(), 4));
  dlg->OnBnClickedEscRead();
  ASSERT_TRUE(WaitFor(host, [&] { return dlg->SettingsSnapshot().selectedProfile == 4; }));
  ASSERT_TRUE(WaitIdle());
  EXPECT_EQ(Image(), SimSettings());

  // Save To ESC: the selected profile and the tail.
  dlg->EditSettings([](SettingsImage& s) {
    s.profiles[4].brakeStrength = 66;
    s.deadBand = 171;
  });
  dlg->OnBnClickedApply();
  ASSERT_TRUE(WaitStatus(19));
  ASSERT_TRUE(WaitIdle());
  EXPECT_EQ(SimSettings(), Image());

  // Save To ESC after another profile was chosen: the whole image.
  dlg->EditSettings([](SettingsImage& s) {
    s.selectedProfile = 8;
    s.profiles[1].turboDelay = 0;
  });
  dlg->m_bProfileChanged = 1;
  dlg->OnBnClickedApply();
  ASSERT_TRUE(WaitStatus(19));
  ASSERT_TRUE(WaitIdle());
  EXPECT_EQ(SimSettings(), Image());
  EXPECT_FALSE(dlg->m_bProfileChanged);
}

TEST_F(SimLink, EscDefaultWritesTheFactoryImage) {
  SetSimSettings(MarkedSettings(SimSettings(), 5));
  ConnectAndRead();
  host.QueueButton(platform::kIdOk);
  dlg->OnBnClickedEscDefault();
  ASSERT_TRUE(WaitStatus(19));
  ASSERT_TRUE(WaitIdle());
  const SettingsImage image = dlg->SettingsSnapshot();
  EXPECT_EQ(image.selectedProfile, 0);
  EXPECT_EQ(image.profiles[0].turboTiming, 10);
  EXPECT_EQ(SimSettings(), Image());
}

TEST_F(SimLink, ResetRequestFromTheEscIsWrittenBack) {
  SetSimSettings(MarkedSettings(SimSettings(), 12));
  Connect();
  ASSERT_TRUE(WaitStatus(19));
  ASSERT_TRUE(WaitIdle());
  EXPECT_EQ(host.StatusHistory(), EnglishTexts({28, 20, 25, 19}));
  EXPECT_EQ(SimSettings()[2420], 0);
  EXPECT_EQ(SimSettings(), Image());
}

TEST_F(SimLink, CorruptedReadLeavesTheImage) {
  ConnectAndRead();
  const Bytes before = Image();
  SetSimSettings(MarkedSettings(SimSettings(), 6));
  sim.CorvaneSim_CorruptNextReply(0, CORVANE_SIM_CORRUPT_READ_DATA);
  dlg->OnBnClickedEscRead();
  ASSERT_TRUE(WaitStatus(23));
  ASSERT_TRUE(WaitIdle());
  EXPECT_EQ(Image(), before);
  // The next read gets the ESC's settings.
  dlg->OnBnClickedEscRead();
  ASSERT_TRUE(WaitStatus(20));
  ASSERT_TRUE(WaitIdle());
  EXPECT_EQ(Image(), SimSettings());
}

TEST_F(SimLink, ProgrammingTheEscAndTheBox) {
  ConnectAndRead();
  sim.CorvaneSim_SetVersionAfterProgram(0, CORVANE_SIM_ESC, 0x0106);
  for (int i = 0; i < 4000; ++i)
    dlg->m_fwBuffer[i] = static_cast<std::uint8_t>(i * 7);
  dlg->m_nFwAddress = 0x0400;
  dlg->m_nFwLength = 4000;
  ASSERT_TRUE(dlg->QueueIdentifyIfIdle(kChannelEsc, 'p', false));
  ASSERT_TRUE(WaitStatus(18));
  // After its restart the ESC is identified and read again.
  ASSERT_TRUE(WaitStatus(20));
  Bytes programmed(5000);
  std::uint32_t address = 0;
  ASSERT_EQ(sim.CorvaneSim_GetProgrammedImage(0, CORVANE_SIM_ESC, programmed.data(), 5000, &address), 4000);
  EXPECT_EQ(address, 0x0400u);
  EXPECT_TRUE(std::equal(programmed.begin(), programmed.begin() + 4000, dlg->m_fwBuffer.begin()));
  {
    std::lock_guard lock(dlg->m_settingsMutex);
    EXPECT_EQ(int{dlg->m_escId.firmwareVersion}, 0x0106);
  }
  ASSERT_TRUE(WaitIdle());

  // The box: it leaves the bus and comes back; the program follows it. It is
  // held away until the test has seen the program without it.
  sim.CorvaneSim_SetBoxRestartTimes(20, 600000);
  dlg->m_nFwLength = 1500;
  ASSERT_TRUE(dlg->QueueIdentifyIfIdle(kChannelBox, 'p', false));
  ASSERT_TRUE(WaitStatus(108));
  ASSERT_TRUE(WaitFor(host, [&] { return !dlg->m_bLinkRunning; }));  // gone
  EXPECT_EQ(dlg->m_nStatusTextId, 108);                              // its absence is expected
  EXPECT_TRUE(dlg->m_bBoxRestarting);
  ASSERT_EQ(sim.CorvaneSim_PlugIn(0), 0);
  ASSERT_TRUE(WaitStatus(20));  // back, identified and read
  ASSERT_TRUE(WaitIdle());
  EXPECT_FALSE(dlg->m_bBoxRestarting);
  ASSERT_EQ(sim.CorvaneSim_GetProgrammedImage(0, CORVANE_SIM_BOX, programmed.data(), 5000, &address), 1500);
  const auto history = host.StatusHistory();
  EXPECT_EQ(std::vector<std::string>(history.end() - 4, history.end()), EnglishTexts({109, 108, 28, 20}));
}

TEST_F(SimLink, EscSilentAfterProgrammingEndsInConnectionFail) {
  ConnectAndRead();
  sim.CorvaneSim_SetEscRestartTime(0, 600000);
  dlg->m_nFwAddress = 0x0400;
  dlg->m_nFwLength = 100;
  ASSERT_TRUE(WaitFor(host, [&] { return !(dlg->m_nUpgradeFlags & kUpgradeCheckRunning); }));
  dlg->m_nUpgradeFlags = 0;
  ASSERT_TRUE(dlg->QueueIdentifyIfIdle(kChannelEsc, 'p', false));
  ASSERT_TRUE(WaitStatus(18));
  ASSERT_TRUE(WaitStatus(22));
  EXPECT_FALSE(dlg->m_bEscConnected);
  EXPECT_TRUE(WaitFor(host, [&] { return dlg->m_nUpgradeFlags == 0x32; }));
}

TEST_F(SimLink, PresencePollAndRefusedIdentity) {
  ConnectAndRead();
  const Bytes before = Image();
  SetSimSettings(MarkedSettings(SimSettings(), 7));
  dlg->m_bEscConnected = 0;
  ASSERT_TRUE(dlg->QueueIdentifyIfIdle(kChannelBox, 'a', true));
  ASSERT_TRUE(WaitFor(host, [&] { return dlg->m_bEscConnected && dlg->LinkIdle(); }));
  EXPECT_EQ(Image(), before);  // only confirmed, not read

  sim.CorvaneSim_SetRefuseIdentity(0, CORVANE_SIM_ESC, 1);
  dlg->OnBnClickedEscRead();
  ASSERT_TRUE(WaitStatus(22));
  EXPECT_FALSE(dlg->m_bEscConnected);
  EXPECT_EQ(Image(), before);
}

TEST_F(SimLink, LostRepliesEndInTheirFailureTexts) {
  ConnectAndRead();
  const Bytes before = Image();
  struct Case {
    std::uint8_t lost;
    bool wholeImage;
    int status;
  } cases[] = {
      {'Y', false, 24},  // no acknowledgement: no data is sent
      {'S', true, 24},
      {'N', false, 24},
      {'A', false, 23},
  };
  for (const Case& c : cases) {
    sim.CorvaneSim_DropNextReplyOfKind(0, c.lost);
    if (c.lost == 'A') {
      dlg->OnBnClickedEscRead();
    } else {
      dlg->m_bProfileChanged = c.wholeImage ? 1 : 0;
      dlg->OnBnClickedApply();
    }
    ASSERT_TRUE(WaitStatus(c.status)) << c.lost;
    ASSERT_TRUE(WaitIdle());
  }
  EXPECT_EQ(Image(), before);

  // The ESC stops answering: its identify times out, with no retries left.
  sim.CorvaneSim_SetEscPresent(0, 0);
  dlg->OnBnClickedEscRead();
  ASSERT_TRUE(WaitStatus(22));
  EXPECT_FALSE(dlg->m_bEscPresent);
  EXPECT_FALSE(dlg->m_bEscConnected);
}

TEST_F(SimLink, UnplugDuringADataPhaseLosesNothing) {
  ConnectAndRead();
  dlg->EditSettings([](SettingsImage& s) { s.selectedProfile = 9; });
  dlg->m_bProfileChanged = 1;
  const Bytes image = Image();
  const Bytes onEsc = SimSettings();
  sim.CorvaneSim_UnplugAfterDataBytes(0, 1000);
  dlg->OnBnClickedApply();
  ASSERT_TRUE(WaitFor(host, [&] { return !dlg->m_bLinkRunning && dlg->m_nStatusTextId == 27; }));
  EXPECT_EQ(Image(), image);
  EXPECT_EQ(SimSettings(), onEsc);  // the ESC kept its settings
  const auto history = host.StatusHistory();
  EXPECT_EQ(std::count(history.begin(), history.end(), UiText(19, kLanguageEnglish)), 0);
  EXPECT_FALSE(dlg->m_bBusy);

  // Plugged back in, the program reconnects and reads the ESC.
  sim.CorvaneSim_PlugIn(0);
  ASSERT_TRUE(WaitStatus(20));
  ASSERT_TRUE(WaitIdle());
  EXPECT_EQ(Image(), SimSettings());
}

TEST_F(SimLink, TwoBoxesAndOtherDevices) {
  sim.CorvaneSim_SetBoxCount(2);
  SetSimSettings(MarkedSettings(SimSettings(0), 1), 0);
  SetSimSettings(MarkedSettings(SimSettings(1), 2), 1);
  ConnectAndRead();
  EXPECT_EQ(dlg->SettingsSnapshot().selectedProfile, 1);  // the first box

  // Removal of another device changes nothing; the open box's path matches
  // without regard to case.
  const int statuses = static_cast<int>(host.StatusHistory().size());
  platform::DeviceChangeRecord other{platform::kDeviceTypeInterface, "/dev/hidraw99"};
  dlg->OnDeviceChange(platform::kDeviceRemoveComplete, &other);
  platform::DeviceChangeRecord notInterface{3, "/dev/hidraw-sim0"};
  dlg->OnDeviceChange(platform::kDeviceRemoveComplete, &notInterface);
  dlg->OnDeviceChange(0x0007, &other);
  EXPECT_TRUE(dlg->m_bLinkRunning);
  EXPECT_EQ(static_cast<int>(host.StatusHistory().size()), statuses);

  sim.CorvaneSim_Unplug(0);
  // The second box is taken at once.
  ASSERT_TRUE(WaitFor(host, [&] { return dlg->SettingsSnapshot().selectedProfile == 2; }));
  // The removal of the open box's path in other letters closes it; box 1 is
  // still there, so it is opened again at once.
  ASSERT_TRUE(WaitIdle());
  const std::size_t before = host.StatusHistory().size();
  platform::DeviceChangeRecord upper{platform::kDeviceTypeInterface, "/DEV/HIDRAW-SIM1"};
  dlg->OnDeviceChange(platform::kDeviceRemoveComplete, &upper);
  EXPECT_TRUE(dlg->m_bLinkRunning);
  const auto history = host.StatusHistory();
  ASSERT_GT(history.size(), before);
  EXPECT_EQ(history[before], UiText(28, kLanguageEnglish));  // "USB Connected" again
}

TEST_F(SimLink, ConnectingWithABoxOpenChangesNothing) {
  ConnectAndRead();
  const auto statuses = host.StatusHistory().size();
  EXPECT_TRUE(dlg->ConnectDevice());
  EXPECT_EQ(host.StatusHistory().size(), statuses);
  EXPECT_TRUE(dlg->m_bEscConnected);
}

}  // namespace

namespace {

// Faults of the link found in review, through the simulated box.
class SimLinkFaults : public SimLink {
 protected:
  int Count(int status) {
    const auto history = host.StatusHistory();
    return static_cast<int>(std::count(history.begin(), history.end(), UiText(status, kLanguageEnglish)));
  }
  // Takes the ESC off the link until it is put back, so that the program
  // knows it as absent.
  void ConnectWithoutEsc() {
    sim.CorvaneSim_SetEscPresent(0, 0);
    Connect();
    ASSERT_TRUE(WaitStatus(22));
    ASSERT_TRUE(WaitIdle());
    sim.CorvaneSim_SetEscPresent(0, 1);
  }
};

TEST_F(SimLinkFaults, AnImageLoadedWhileAWriteRunsIsProgrammedIntact) {
  ConnectAndRead();
  Bytes image(32 + 4000);
  image[0] = 0x04;  // address 0x0400, 4000 bytes, "ESC"
  image[2] = 4000 >> 8;
  image[3] = 4000 & 0xFF;
  std::memcpy(&image[8], "ESC", 3);
  std::uint8_t sum = 0;
  for (int i = 0; i < 31; ++i)
    sum = static_cast<std::uint8_t>(sum + image[i]);
  image[31] = static_cast<std::uint8_t>(-sum);
  for (int i = 0; i < 4000; ++i)
    image[32 + i] = static_cast<std::uint8_t>(i * 13 + 7);
  const auto file = std::filesystem::temp_directory_path() / "corvane-race.bin";
  std::ofstream(file, std::ios::binary)
      .write(reinterpret_cast<const char*>(image.data()), static_cast<std::streamsize>(image.size()));
  dlg->m_strFirmwarePath = file.string();

  // The whole image goes out while the firmware waits for the link.
  dlg->EditSettings([](SettingsImage& s) { s.selectedProfile = 3; });
  dlg->m_bProfileChanged = 1;
  dlg->OnBnClickedApply();
  dlg->LoadEscFirmware(0, 1);
  ASSERT_TRUE(WaitStatus(18));
  std::filesystem::remove(file);
  EXPECT_EQ(Count(19), 1);
  Bytes programmed(5000);
  std::uint32_t address = 0;
  ASSERT_EQ(sim.CorvaneSim_GetProgrammedImage(0, CORVANE_SIM_ESC, programmed.data(), 5000, &address), 4000);
  EXPECT_EQ(address, 0x0400u);
  EXPECT_TRUE(std::equal(image.begin() + 32, image.end(), programmed.begin()));
}

TEST_F(SimLinkFaults, AfterAnUnplugMidReadTheNextReadSucceedsAtOnce) {
  ConnectAndRead();
  sim.CorvaneSim_LeaveDuringNextRead(0);
  dlg->OnBnClickedEscRead();
  ASSERT_TRUE(WaitFor(host, [&] { return Count(27) == 1; }));  // gone mid-frame
  // Back on the bus, the first contact reads the ESC without a failure.
  ASSERT_TRUE(WaitFor(host, [&] { return Count(20) == 2; }));
  EXPECT_EQ(Count(22) + Count(23), 0);
  EXPECT_EQ(Image(), SimSettings());
}

// A presence poll that finds an ESC the program did not know reads it; the
// identifies that follow run their own operations.
TEST_F(SimLinkFaults, AfterAPresencePollTheResetRequestIsWrittenBack) {
  ConnectWithoutEsc();
  SetSimSettings(MarkedSettings(SimSettings(), 12));
  ASSERT_TRUE(dlg->QueueIdentifyIfIdle(kChannelBox, 'a', true));
  ASSERT_TRUE(WaitStatus(19));
  EXPECT_EQ(SimSettings()[2420], 0);
  EXPECT_EQ(SimSettings(), Image());
}

TEST_F(SimLinkFaults, AfterAPresencePollTheTimingTestReadsTheSettingsAgain) {
  ConnectWithoutEsc();
  ASSERT_TRUE(dlg->QueueIdentifyIfIdle(kChannelBox, 'a', true));
  ASSERT_TRUE(WaitFor(host, [&] { return Count(20) == 1 && dlg->LinkIdle(); }));
  sim.CorvaneSim_SetTestRun(0, 20, 25);
  SetSimSettings(MarkedSettings(SimSettings(), 4));
  ASSERT_TRUE(dlg->QueueTimingTest());
  ASSERT_TRUE(WaitFor(host, [&] { return Count(20) == 2; }));
  EXPECT_EQ(dlg->m_nLiveTiming, 25);
  EXPECT_EQ(Image(), SimSettings());
}

}  // namespace
