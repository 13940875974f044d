// Command frames and their data phase, as they go out in output reports.
#include "link/command_frames.h"

#include "support/link_fixture.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

TEST(CommandFrames, FixedAndHeaderFramesAreByteExact) {
  EXPECT_EQ(BuildCommandFrame(0x0F, 0x1234, 99), (Bytes{0x0F, 0x03, 0x57, 0x00, 0x57, 0xFF, 0xFF}));
  EXPECT_EQ(BuildCommandFrame('t', 5, 8), (Bytes{0x74, 0x69, 0x6D, 0x69, 0x6E, 0x67, 0x78}));
  EXPECT_EQ(BuildCommandFrame('c', 0, 0), (Bytes{0x63, 0x68, 0x65, 0x63, 0x6B, 0x30, 0xD2}));
  EXPECT_EQ(BuildCommandFrame('s', 0x5E00, 2477), (Bytes{0x73, 0x5E, 0x00, 0x09, 0xAD, 0x79}));
  EXPECT_EQ(BuildCommandFrame('a', 0x5E00, 2485), (Bytes{0x61, 0x5E, 0x00, 0x09, 0xB5, 0x83}));
  // Only the low 16 bits of address and length go on the wire.
  EXPECT_EQ(BuildCommandFrame('p', 0x12345678, 0x10002), BuildCommandFrame('p', 0x5678, 2));
}

TEST(CommandFrames, DataPhaseChecksums) {
  const Bytes data = {0x10, 0xF0, 0x80, 0x81};  // 8-bit sum 0x01, 32-bit sum 0x201
  EXPECT_EQ(DataPhaseChecksum(data.data(), 4, false), (Bytes{0xFF}));
  EXPECT_EQ(DataPhaseChecksum(data.data(), 4, true), (Bytes{0x00, 0x00, 0x02, 0x01}));
  EXPECT_EQ(DataPhaseChecksum(data.data(), 0, false), (Bytes{0x00}));
}

class SendCommandTest : public LinkTest {
 protected:
  void Job(std::uint8_t channel, std::uint8_t command, int address, int length, bool progress = false) {
    dlg->m_nChannel = channel;
    dlg->m_frames[0].txCommand = command;
    dlg->m_frames[0].txAddress = address;
    dlg->m_frames[0].txLength = length;
    dlg->m_frames[0].txData = dlg->m_fwBuffer.data();
    dlg->m_bShowProgress = progress ? 1 : 0;
  }
  void SetEscFirmware(std::uint16_t version) {
    std::lock_guard lock(dlg->m_settingsMutex);
    dlg->m_escId.firmwareVersion = version;
  }
};

TEST_F(SendCommandTest, ReportsCarryIdChannelAndCount) {
  devices.Update([](auto& s) { s.boxAnswers = s.escAnswers = false; });
  Job(kChannelBox, 0x0F, 0, 0);
  EXPECT_TRUE(dlg->SendCommand());
  const auto reports = hid.OutputReports();
  ASSERT_EQ(reports.size(), 1u);
  ASSERT_EQ(reports[0].size(), 65u);
  EXPECT_EQ(reports[0][0], 0x02);
  EXPECT_EQ(reports[0][1], 0);
  EXPECT_EQ(reports[0][2], 7);
  EXPECT_EQ(Bytes(reports[0].begin() + 3, reports[0].begin() + 10), BuildCommandFrame(0x0F, 0, 0));
  EXPECT_TRUE(dlg->m_bBusy);  // awaits the reply

  // Longer sends are cut into reports of 58 bytes.
  Bytes many(130, 0xAB);
  hid.ClearOutput();
  dlg->m_nChannel = kChannelEsc;
  EXPECT_TRUE(dlg->SendBytes(many.data(), 130));
  const auto cut = hid.OutputReports();
  ASSERT_EQ(cut.size(), 3u);
  EXPECT_EQ(cut[0][2], 58);
  EXPECT_EQ(cut[2][2], 14);
  EXPECT_EQ(cut[2][1], 1);
  EXPECT_TRUE(dlg->SendBytes(many.data(), 0));
}

TEST_F(SendCommandTest, RefusesShortReportsAndStopsAtTheFirstFailedWrite) {
  Bytes bytes(200, 1);
  hid.SetReportLength(60);
  EXPECT_FALSE(dlg->SendBytes(bytes.data(), 10));
  EXPECT_TRUE(hid.OutputReports().empty());

  hid.SetReportLength(61);
  hid.FailWritesAfter(1);
  EXPECT_FALSE(dlg->SendBytes(bytes.data(), 200));
  EXPECT_EQ(hid.OutputReports().size(), 1u);
}

TEST_F(SendCommandTest, DataPhaseSendsOneBytePerReportAfterTheAcknowledgement) {
  for (int i = 0; i < 242; ++i)
    dlg->m_fwBuffer[i] = static_cast<std::uint8_t>(i);
  Job(kChannelEsc, 'n', 0x5E00 + 242, 242, true);
  EXPECT_TRUE(dlg->SendCommand());

  const auto reports = hid.OutputReports();
  ASSERT_EQ(reports.size(), 1u + 242 + 1);
  EXPECT_EQ(Bytes(reports[0].begin() + 3, reports[0].begin() + 9), BuildCommandFrame('n', 0x5E00 + 242, 242));
  for (std::size_t i = 1; i < reports.size(); ++i)
    ASSERT_EQ(reports[i][2], 1);
  const auto commands = devices.Commands();
  ASSERT_EQ(commands.size(), 1u);
  EXPECT_EQ(commands[0].data, Bytes(dlg->m_fwBuffer.begin(), dlg->m_fwBuffer.begin() + 242));
  EXPECT_EQ(commands[0].checksum, DataPhaseChecksum(dlg->m_fwBuffer.data(), 242, false));

  const auto progress = host.ProgressBar();
  EXPECT_EQ(progress.high, 242);
  EXPECT_EQ(progress.pos, 243);  // data and checksum bytes alike
}

TEST_F(SendCommandTest, ReadAndEmptyJobsHaveNoDataPhase) {
  devices.Update([](auto& s) { s.escAnswers = false; });
  for (std::uint8_t command : {'s', 'n', 'p'}) {
    hid.ClearOutput();
    Job(kChannelEsc, command, 0x5E00, 0);
    EXPECT_TRUE(dlg->SendCommand());
    EXPECT_EQ(hid.OutputReports().size(), 1u) << command;
  }
  hid.ClearOutput();
  Job(kChannelEsc, 'a', 0x5E00, 2485);
  EXPECT_TRUE(dlg->SendCommand());
  EXPECT_EQ(hid.OutputReports().size(), 1u);
  // The test frame ignores the job's length and data.
  hid.ClearOutput();
  Job(kChannelEsc, 't', 0, 8);
  EXPECT_TRUE(dlg->SendCommand());
  EXPECT_EQ(hid.SentBytes(1), BuildCommandFrame('t', 0, 0));
}

TEST_F(SendCommandTest, ProgramChecksumFollowsTheEscVersionAndChannel) {
  struct Case {
    std::uint8_t channel;
    std::uint16_t version;
    std::size_t checksumBytes;
  } cases[] = {
      {kChannelEsc, 0x0104, 1}, {kChannelEsc, 0x0105, 4}, {kChannelEsc, 0x0200, 4}, {kChannelBox, 0x0105, 1}};
  for (const Case& c : cases) {
    SetEscFirmware(c.version);
    devices.Update([&](auto& s) { s.esc.firmwareVersion = c.version; });
    devices.ClearCommands();
    for (int i = 0; i < 100; ++i)
      dlg->m_fwBuffer[i] = static_cast<std::uint8_t>(200 + i);
    Job(c.channel, 'p', 0x1000, 100);
    EXPECT_TRUE(dlg->SendCommand());
    const auto commands = devices.Commands();
    ASSERT_EQ(commands.size(), 1u);
    EXPECT_EQ(commands[0].checksum, DataPhaseChecksum(dlg->m_fwBuffer.data(), 100, c.checksumBytes == 4))
        << "channel " << int{c.channel} << " version " << c.version;
  }
}

TEST_F(SendCommandTest, PausesOnlyAfterMoreThan20000BytesToTheEsc) {
  struct Case {
    std::uint8_t channel;
    int length;  // plus a 1-byte checksum
    bool pause;
  } cases[] = {{kChannelEsc, 19999, false}, {kChannelEsc, 20000, true}, {kChannelBox, 30000, false}};
  for (const Case& c : cases) {
    devices.Update([](auto& s) { s.esc.firmwareVersion = 0x0100; });
    Job(c.channel, 'p', 0x1000, c.length);
    const std::size_t before = Pauses().size();
    EXPECT_TRUE(dlg->SendCommand());
    const auto pauses = Pauses();
    EXPECT_EQ(pauses.size() - before, c.pause ? 1u : 0u) << c.length << " on channel " << int{c.channel};
    if (c.pause) {
      EXPECT_EQ(pauses.back(), 5000);
    }
    EXPECT_FALSE(dlg->m_bLongTransfer);
  }
}

TEST_F(SendCommandTest, MissingAcknowledgementTimesOutAfter100Polls) {
  devices.Update([](auto& s) { s.acknowledge = false; });
  Job(kChannelEsc, 's', 0x5E00, 2477);
  const int readsBefore = hid.ReadCalls();
  EXPECT_FALSE(dlg->SendCommand());
  EXPECT_EQ(hid.ReadCalls() - readsBefore, 100);
  EXPECT_EQ(hid.OutputReports().size(), 1u);  // the header only
  EXPECT_FALSE(dlg->m_bBusy);                 // the time-out handler ran
  EXPECT_EQ(StatusId(), 24);
}

TEST_F(SendCommandTest, StoppingTheLinkEndsADataPhase) {
  hid.SetResponder(nullptr);
  hid.QueueInput(kChannelEsc, ScriptedDevices::HeaderFrame('Y', 0x5E00, 2477));
  Job(kChannelEsc, 's', 0x5E00, 2477);
  hid.FailWritesAfter(-1);
  // Stop the link after ten data bytes went out.
  int writes = 0;
  hid.SetResponder([&](const auto&) {
    if (++writes == 11) dlg->m_bLinkRunning = 0;
  });
  EXPECT_FALSE(dlg->SendCommand());
  EXPECT_EQ(hid.OutputReports().size(), 11u);
  EXPECT_TRUE(dlg->m_bBusy);  // left to a time-out or a new connection
}

}  // namespace
