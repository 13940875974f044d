// The box and ESC model: command frames in, reply frames out, byte for byte.

#include <gtest/gtest.h>

#include <numeric>

#include "sim/sim_box.h"
#include "sim_test_util.h"

namespace corvane::sim {
namespace {

using testing::Bytes;
using testing::fixed;
using testing::headerCommand;
using testing::outputReport;
using testing::withChecksum;

const Bytes kBoxIdentifyReply{0x0F, 0x14, 0x57, 0x00, 0x00, 'B',  'O',  'X',  '0',  '1',  0x00, 0x00,
                              0x00, 0x00, 0x00, 0x00, 0x01, 0x00, 0x10, 0x00, 0xA5, 0x57, 0xFF, 0xFF};
const Bytes kEscIdentifyReply{0x0F, 0x14, 0x57, 0x00, 0x00, 'E',  'S',  'C',  '1',  '2',  0x00, 0x00,
                              0x00, 0x00, 0x00, 0x00, 0x01, 0x05, 0x10, 0x00, 0xAC, 0x57, 0xFF, 0xFF};

class SimBoxTest : public ::testing::Test {
 protected:
  // Sends the bytes in one report and returns what the devices answered.
  std::vector<OutFrame> send(std::uint8_t channel, const Bytes& data) {
    return sendReport(outputReport(channel, data));
  }

  std::vector<OutFrame> sendReport(const Bytes& report) {
    SimBox::Result result;
    box.takeReport(report.data(), report.size(), now, result);
    unplugged = unplugged || result.unplug;
    return result.frames;
  }

  // Sends a data phase one byte per report, as the program does.
  std::vector<OutFrame> sendDataPhase(std::uint8_t channel, const Bytes& bytes) {
    std::vector<OutFrame> all;
    for (std::uint8_t b : bytes) {
      auto frames = send(channel, {b});
      all.insert(all.end(), frames.begin(), frames.end());
    }
    return all;
  }

  // Header, acknowledgement, data phase: returns the reply after the data phase.
  std::vector<OutFrame> writeWithAck(std::uint8_t channel, std::uint8_t command, std::uint16_t address,
                                     const Bytes& data, int checksumSize) {
    auto ack = send(channel, headerCommand(command, address, static_cast<std::uint16_t>(data.size())));
    EXPECT_EQ(ack.size(), 1u);
    if (ack.size() != 1) return {};
    EXPECT_EQ(ack[0].bytes, headerFrame('Y', address, static_cast<std::uint16_t>(data.size())));
    return sendDataPhase(channel, withChecksum(data, checksumSize));
  }

  SimBox box;
  Clock::time_point now = Clock::now();
  bool unplugged = false;
};

Bytes pattern(std::size_t n, std::uint8_t seed) {
  Bytes b(n);
  for (std::size_t i = 0; i < n; ++i)
    b[i] = static_cast<std::uint8_t>(seed + i * 7);
  return b;
}

TEST_F(SimBoxTest, IdentifyIsAnsweredByTheDeviceOfEachChannel) {
  auto frames = send(kChannelBox, fixed(kIdentifyCommand));
  ASSERT_EQ(frames.size(), 1u);
  EXPECT_EQ(frames[0].channel, kChannelBox);
  EXPECT_EQ(frames[0].bytes, kBoxIdentifyReply);

  frames = send(kChannelEsc, fixed(kIdentifyCommand));
  ASSERT_EQ(frames.size(), 1u);
  EXPECT_EQ(frames[0].channel, kChannelEsc);
  EXPECT_EQ(frames[0].bytes, kEscIdentifyReply);

  // An absent ESC says nothing; the box still answers.
  box.escPresent = false;
  EXPECT_TRUE(send(kChannelEsc, fixed(kIdentifyCommand)).empty());
  EXPECT_EQ(send(kChannelBox, fixed(kIdentifyCommand)).size(), 1u);
}

TEST_F(SimBoxTest, IdentifyReplyCarriesTheConfiguredIdentity) {
  box.escIdentity = Identity::make("PW5M ", 0xFFFF, 0x0A0C, 0x21);
  const auto frames = send(kChannelEsc, fixed(kIdentifyCommand));
  ASSERT_EQ(frames.size(), 1u);
  const Bytes& f = frames[0].bytes;
  ASSERT_EQ(f.size(), 24u);
  EXPECT_EQ(Bytes(f.begin() + 5, f.begin() + 11), (Bytes{'P', 'W', '5', 'M', ' ', 0}));
  EXPECT_EQ(f[13], 0xFF);  // identity word, big-endian
  EXPECT_EQ(f[14], 0xFF);
  EXPECT_EQ(f[16], 0x0A);  // firmware major
  EXPECT_EQ(f[17], 0x0C);  // firmware minor
  EXPECT_EQ(f[18], 0x21);
  EXPECT_EQ(sum8(&f[5], 16), 0);
  EXPECT_EQ(f[21], sum8(&f[2], 19));
}

TEST_F(SimBoxTest, SettingsReadReturnsImageLiveBytesAndChecks) {
  // The program's read: 61 5E 00 09 B5 83.
  const Bytes read{0x61, 0x5E, 0x00, 0x09, 0xB5, 0x83};
  ASSERT_EQ(read, headerCommand('a', 0x5E00, 2485));
  const auto frames = send(kChannelEsc, read);
  ASSERT_EQ(frames.size(), 1u);
  const Bytes& f = frames[0].bytes;
  ASSERT_EQ(f.size(), 6u + 2485 + 1);
  EXPECT_EQ(Bytes(f.begin(), f.begin() + 6), (Bytes{0x41, 0x5E, 0x00, 0x09, 0xB5, 0xA3}));
  const Bytes data(f.begin() + 6, f.end() - 1);
  EXPECT_EQ((sum8(data.data(), data.size()) + f.back()) & 0xFF, 0);

  // Factory settings: ten identical profiles.
  const Bytes profile0(data.begin(), data.begin() + 242);
  for (int k = 1; k < 10; ++k)
    EXPECT_EQ(Bytes(data.begin() + 242 * k, data.begin() + 242 * (k + 1)), profile0);
  EXPECT_EQ(Bytes(profile0.begin(), profile0.begin() + 0x11),
            (Bytes{0, 0x40, 30, 1, 1, 0x80, 5, 5, 0x41, 10, 75, 0x80, 50, 10, 16, 1, 0}));
  EXPECT_EQ(Bytes(profile0.begin() + 0x11, profile0.begin() + 0x1e),
            (Bytes{0x98, 0x3A, 0xA8, 0x61, 1, 1, 0, 0, 10, 0x20, 0x4E, 52, 32}));
  EXPECT_EQ(Bytes(profile0.begin() + 0x1e, profile0.begin() + 0x22), (Bytes{0, 0, 255, 255}));
  EXPECT_EQ(profile0[0x3e], 2);
  EXPECT_EQ(Bytes(profile0.begin() + 0x40, profile0.begin() + 0x44), (Bytes{0, 0, 255, 255}));
  EXPECT_EQ(profile0[0x60], 2);
  EXPECT_TRUE(std::all_of(profile0.begin() + 0x62, profile0.end(), [](auto b) { return b == 0; }));
  // Selected profile, calibration 2041 / 3062 / 4083, dead band 164, tail 0xFF.
  EXPECT_EQ(Bytes(data.begin() + 2420, data.begin() + 2429),
            (Bytes{0, 0xF9, 0x07, 0xF6, 0x0B, 0xF3, 0x0F, 0xA4, 0x00}));
  EXPECT_TRUE(std::all_of(data.begin() + 2429, data.begin() + 2477, [](auto b) { return b == 0xFF; }));
  // Live bytes: stopped motor, both sensors near 25 C.
  EXPECT_EQ(Bytes(data.begin() + 2477, data.end()), (Bytes{0x00, 0x00, 0x0F, 0x65, 0x06, 0x58, 0x00, 0x00}));
}

TEST_F(SimBoxTest, ReadOutsideTheSettingsAndOfNothing) {
  auto frames = send(kChannelEsc, headerCommand('a', 0x1000, 4));
  ASSERT_EQ(frames.size(), 1u);
  EXPECT_EQ(frames[0].bytes, (Bytes{'A', 0x10, 0x00, 0x00, 0x04, 0xAB, 0xFF, 0xFF, 0xFF, 0xFF, 0x04}));
  // Length 0: the header alone.
  frames = send(kChannelEsc, headerCommand('a', 0x5E00, 0));
  ASSERT_EQ(frames.size(), 1u);
  EXPECT_EQ(frames[0].bytes, headerFrame('A', 0x5E00, 0));
}

TEST_F(SimBoxTest, HeaderWithABadCheckIsIgnored) {
  Bytes read = headerCommand('a', 0x5E00, 2485);
  read[5] ^= 1;
  EXPECT_TRUE(send(kChannelEsc, read).empty());
  EXPECT_EQ(box.counters.protocolErrors, 1u);
  // The next good frame is answered.
  EXPECT_EQ(send(kChannelEsc, fixed(kIdentifyCommand)).size(), 1u);
}

TEST_F(SimBoxTest, WriteImageIsAcknowledgedStoredAndConfirmed) {
  // The program's whole-image write: 73 5E 00 09 AD 79.
  ASSERT_EQ(headerCommand('s', 0x5E00, 2477), (Bytes{0x73, 0x5E, 0x00, 0x09, 0xAD, 0x79}));
  const Bytes image = pattern(kSettingsSize, 3);
  const auto done = writeWithAck(kChannelEsc, 's', 0x5E00, image, 1);
  ASSERT_EQ(done.size(), 1u);
  EXPECT_EQ(done[0].channel, kChannelEsc);
  EXPECT_EQ(done[0].bytes, headerFrame('S', 0x5E00, 2477));
  EXPECT_EQ(Bytes(box.escSettings.begin(), box.escSettings.end()), image);
  EXPECT_EQ(box.counters.dataBytes, 2478u);
  EXPECT_EQ(box.lastCommand[kChannelEsc], headerCommand('s', 0x5E00, 2477));
}

TEST_F(SimBoxTest, WriteBlockStoresAtItsAddress) {
  const Bytes tail = pattern(57, 9);
  const auto done = writeWithAck(kChannelEsc, 'n', 0x6774, tail, 1);
  ASSERT_EQ(done.size(), 1u);
  EXPECT_EQ(done[0].bytes, headerFrame('N', 0x6774, 57));
  EXPECT_EQ(Bytes(box.escSettings.begin() + 2420, box.escSettings.end()), tail);
  EXPECT_EQ(box.escSettings[0], 0);  // profile 0 untouched
}

TEST_F(SimBoxTest, WriteWithABadChecksumChangesNothingAndSaysNothing) {
  const auto before = box.escSettings;
  Bytes phase = withChecksum(pattern(242, 1), 1);
  phase.back() ^= 0x01;
  ASSERT_EQ(send(kChannelEsc, headerCommand('n', 0x5E00 + 242, 242)).size(), 1u);
  EXPECT_TRUE(sendDataPhase(kChannelEsc, phase).empty());
  EXPECT_EQ(box.escSettings, before);
  EXPECT_EQ(box.counters.checksumErrors, 1u);
}

TEST_F(SimBoxTest, WritesOutsideTheSettingsAreRefused) {
  EXPECT_TRUE(send(kChannelEsc, headerCommand('n', 0x5DFF, 10)).empty());
  EXPECT_TRUE(send(kChannelEsc, headerCommand('n', 0x6774, 58)).empty());
  EXPECT_TRUE(send(kChannelEsc, headerCommand('s', 0x5E00, 0)).empty());
  // The very end of the block is fine.
  EXPECT_EQ(send(kChannelEsc, headerCommand('n', 0x6774, 57)).size(), 1u);
}

TEST_F(SimBoxTest, DataPhaseTakesOneBytePerReportOnly) {
  ASSERT_EQ(send(kChannelEsc, headerCommand('n', 0x5E00, 242)).size(), 1u);
  sendDataPhase(kChannelEsc, pattern(10, 0));
  // A report with more than one byte ends the data phase and is read as a new command.
  const auto frames = send(kChannelEsc, fixed(kIdentifyCommand));
  ASSERT_EQ(frames.size(), 1u);
  EXPECT_EQ(frames[0].bytes, kEscIdentifyReply);
  EXPECT_EQ(box.counters.protocolErrors, 1u);
  EXPECT_EQ(box.escSettings, factorySettings());
}

TEST_F(SimBoxTest, ProgramChecksumSizeFollowsTheEscFirmwareVersion) {
  const Bytes body = pattern(600, 0x80);
  ASSERT_GT(std::accumulate(body.begin(), body.end(), 0u), 0xFFFFu);  // all four sum bytes matter
  box.escRestartTime = std::chrono::milliseconds(0);
  box.escIdentity.firmwareVersion = 0x0104;
  auto done = writeWithAck(kChannelEsc, 'p', 0x8000, body, 1);
  ASSERT_EQ(done.size(), 1u);
  EXPECT_EQ(done[0].bytes, headerFrame('P', 0x8000, 600));

  box.escIdentity.firmwareVersion = 0x0105;
  done = writeWithAck(kChannelEsc, 'p', 0x4000, body, 4);
  ASSERT_EQ(done.size(), 1u);
  EXPECT_EQ(done[0].bytes, headerFrame('P', 0x4000, 600));
  EXPECT_TRUE(box.escImage.present);
  EXPECT_EQ(box.escImage.address, 0x4000u);
  EXPECT_EQ(box.escImage.bytes, body);

  // At 1.05 a 1-byte sum leaves the ESC waiting for three more checksum bytes.
  ASSERT_EQ(send(kChannelEsc, headerCommand('p', 0x4000, 4)).size(), 1u);
  EXPECT_TRUE(sendDataPhase(kChannelEsc, withChecksum(pattern(4, 1), 1)).empty());
}

TEST_F(SimBoxTest, ProgrammedEscIsSilentWhileItRestarts) {
  box.escRestartTime = std::chrono::milliseconds(1500);
  box.escVersionAfterProgram = 0x0107;
  ASSERT_EQ(writeWithAck(kChannelEsc, 'p', 0x4000, pattern(20, 5), 4).size(), 1u);

  now += std::chrono::milliseconds(1499);
  EXPECT_TRUE(send(kChannelEsc, fixed(kIdentifyCommand)).empty());
  EXPECT_EQ(send(kChannelBox, fixed(kIdentifyCommand)).size(), 1u);  // the box is not restarting
  now += std::chrono::milliseconds(1);
  const auto frames = send(kChannelEsc, fixed(kIdentifyCommand));
  ASSERT_EQ(frames.size(), 1u);
  EXPECT_EQ(frames[0].bytes[16], 0x01);
  EXPECT_EQ(frames[0].bytes[17], 0x07);
}

TEST_F(SimBoxTest, ProgrammedBoxAnswersOnItsChannelAndLeavesAfterTheReply) {
  box.boxVersionAfterProgram = 0x0102;
  const Bytes body = pattern(100, 0x40);
  const auto done = writeWithAck(kChannelBox, 'p', 0x1000, body, 1);  // always a 1-byte sum
  ASSERT_EQ(done.size(), 1u);
  EXPECT_EQ(done[0].channel, kChannelBox);
  EXPECT_EQ(done[0].bytes, headerFrame('P', 0x1000, 100));
  EXPECT_TRUE(done[0].leaveAfterRead);
  EXPECT_EQ(box.boxImage.bytes, body);
  EXPECT_FALSE(box.escImage.present);

  // The new version shows once it has restarted.
  EXPECT_EQ(box.boxIdentity.firmwareVersion, 0x0100);
  box.powerCycle();
  EXPECT_EQ(box.boxIdentity.firmwareVersion, 0x0102);
}

TEST_F(SimBoxTest, TimingTestReportsStartLiveValuesAndEnd) {
  box.testDuration = std::chrono::milliseconds(1000);
  box.testTiming = 33;
  const auto frames = send(kChannelEsc, fixed(kTestCommand));
  ASSERT_GE(frames.size(), 5u);
  EXPECT_EQ(frames.front().bytes, (Bytes{'T', 0, 'S', 'T', 'A', 0, 0, 0}));
  EXPECT_EQ(frames.back().bytes, (Bytes{'T', 33, 'E', 'N', 'D', 0x06, 0x58, 0}));
  EXPECT_EQ(frames.back().delay, std::chrono::milliseconds(1000));
  auto last = std::chrono::microseconds(0);
  for (std::size_t i = 1; i + 1 < frames.size(); ++i) {
    const Bytes& v = frames[i].bytes;
    ASSERT_EQ(v.size(), 8u);
    EXPECT_EQ(v[0], 'V');
    EXPECT_EQ(Bytes(v.begin() + 1, v.begin() + 5), (Bytes{0x0F, 0x65, 0x06, 0x58}));
    EXPECT_EQ(v[7], sum8(v.data(), 7));  // the plain sum
    EXPECT_GT(frames[i].delay, last);
    EXPECT_LT(frames[i].delay, std::chrono::milliseconds(1000));
    last = frames[i].delay;
  }
  // Only the ESC runs the test.
  EXPECT_TRUE(send(kChannelBox, fixed(kTestCommand)).empty());
}

TEST_F(SimBoxTest, CheckFrameIsAnswered) {
  const auto frames = send(kChannelEsc, Bytes{0x63, 0x68, 0x65, 0x63, 0x6B, 0x30, 0xD2});
  ASSERT_EQ(frames.size(), 1u);
  EXPECT_EQ(frames[0].bytes, (Bytes{'C', 'H', 'E', 'C', 'K', 'O'}));
}

TEST_F(SimBoxTest, MalformedReportsAreIgnored) {
  Bytes r = outputReport(kChannelBox, fixed(kIdentifyCommand));
  Bytes wrongId = r;
  wrongId[0] = 0x01;
  Bytes wrongChannel = r;
  wrongChannel[1] = 2;
  Bytes noData = r;
  noData[2] = 0;
  Bytes tooMuch = r;
  tooMuch[2] = 59;
  for (const Bytes& bad : {wrongId, wrongChannel, noData, tooMuch})
    EXPECT_TRUE(sendReport(bad).empty());
  EXPECT_TRUE(sendReport(Bytes(r.begin(), r.begin() + 5)).empty());  // shorter than its count says
  EXPECT_EQ(box.counters.malformedReports, 5u);
  EXPECT_EQ(sendReport(r).size(), 1u);
}

TEST_F(SimBoxTest, FramesSplitOverReportsAndNoiseBetweenThem) {
  // A frame split over reports is still one frame; bytes between frames are skipped.
  EXPECT_TRUE(send(kChannelEsc, {0x22, 0x0F, 0x03, 0x57}).empty());
  EXPECT_EQ(send(kChannelEsc, {0x00, 0x57, 0xFF, 0xFF}).size(), 1u);
  // A frame broken off is dropped, and the parser picks up the next one.
  EXPECT_TRUE(send(kChannelEsc, {0x0F, 0x03, 0x33}).empty());
  EXPECT_EQ(send(kChannelEsc, fixed(kIdentifyCommand)).size(), 1u);
  EXPECT_EQ(box.counters.protocolErrors, 1u);
}

TEST_F(SimBoxTest, DropAndCorruptFaultsHitOneReplyEach) {
  box.dropNextReply = true;
  EXPECT_TRUE(send(kChannelEsc, fixed(kIdentifyCommand)).empty());
  EXPECT_EQ(send(kChannelEsc, fixed(kIdentifyCommand))[0].bytes, kEscIdentifyReply);

  // A wrong data sum in an 'A' frame; its header stays good.
  box.corruptNextReply = CorruptPart::Final;
  auto f = send(kChannelEsc, headerCommand('a', 0x5E00, 2485))[0].bytes;
  EXPECT_EQ(sum8(f.data(), 6), 0);
  EXPECT_EQ(sum8(f.data() + 6, f.size() - 6), 1);

  box.corruptNextReply = CorruptPart::Header;
  f = send(kChannelEsc, headerCommand('a', 0x5E00, 2485))[0].bytes;
  EXPECT_EQ(sum8(f.data(), 6), 1);

  box.corruptNextReply = CorruptPart::Final;
  f = send(kChannelBox, fixed(kIdentifyCommand))[0].bytes;
  EXPECT_EQ(f[21], kBoxIdentifyReply[21] + 1);

  box.corruptNextReply = CorruptPart::Header;
  f = send(kChannelEsc, headerCommand('n', 0x5E00, 1))[0].bytes;  // the 'Y'
  EXPECT_EQ(f[0], 'Y');
  EXPECT_EQ(sum8(f.data(), 6), 1);
  EXPECT_EQ(box.counters.droppedReplies, 1u);
}

TEST_F(SimBoxTest, DroppedBoxProgramReplyStillLetsTheBoxLeave) {
  ASSERT_EQ(send(kChannelBox, headerCommand('p', 0x1000, 3)).size(), 1u);
  box.dropNextReply = true;
  const auto frames = sendDataPhase(kChannelBox, withChecksum({1, 2, 3}, 1));
  ASSERT_EQ(frames.size(), 1u);
  EXPECT_TRUE(frames[0].bytes.empty());
  EXPECT_TRUE(frames[0].leaveAfterRead);
}

TEST_F(SimBoxTest, RefusedIdentityCarriesIdentityWordOne) {
  box.refuseBoxIdentity = true;
  auto f = send(kChannelBox, fixed(kIdentifyCommand))[0].bytes;
  EXPECT_EQ(f[13], 0x00);
  EXPECT_EQ(f[14], 0x01);
  EXPECT_EQ(sum8(&f[5], 16), 0);
  EXPECT_EQ(send(kChannelEsc, fixed(kIdentifyCommand))[0].bytes, kEscIdentifyReply);
  box.refuseEscIdentity = true;
  f = send(kChannelEsc, fixed(kIdentifyCommand))[0].bytes;
  EXPECT_EQ(f[14], 0x01);
}

TEST_F(SimBoxTest, StalledBoxAnswersNothingUntilCleared) {
  ASSERT_EQ(send(kChannelEsc, headerCommand('n', 0x5E00, 4)).size(), 1u);
  box.setStalled(true);
  EXPECT_TRUE(send(kChannelBox, fixed(kIdentifyCommand)).empty());
  EXPECT_TRUE(sendDataPhase(kChannelEsc, withChecksum({1, 2, 3, 4}, 1)).empty());
  box.setStalled(false);
  // The half-done write was forgotten.
  EXPECT_EQ(box.escSettings, factorySettings());
  EXPECT_EQ(send(kChannelEsc, fixed(kIdentifyCommand)).size(), 1u);
}

TEST_F(SimBoxTest, UnplugFaultFiresAfterTheGivenDataByte) {
  box.unplugAfterDataBytes = 3;
  ASSERT_EQ(send(kChannelEsc, headerCommand('n', 0x5E00, 10)).size(), 1u);
  send(kChannelEsc, {1});
  send(kChannelEsc, {2});
  EXPECT_FALSE(unplugged);
  send(kChannelEsc, {3});
  EXPECT_TRUE(unplugged);
  EXPECT_FALSE(box.unplugAfterDataBytes.has_value());

  // 0: right after the header that opens a data phase.
  unplugged = false;
  box.powerCycle();
  box.unplugAfterDataBytes = 0;
  send(kChannelEsc, fixed(kIdentifyCommand));
  EXPECT_FALSE(unplugged);
  send(kChannelEsc, headerCommand('s', 0x5E00, 2477));
  EXPECT_TRUE(unplugged);
}

}  // namespace
}  // namespace corvane::sim
