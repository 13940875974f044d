// The reply-stream parsers fed by input reports: split frames, bad sums,
// skipped frames, lengths at the edges, live values, the two streams.
#include "support/link_fixture.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

class ReplyParsers : public LinkTest {
 protected:
  void SetUp() override {
    LinkTest::SetUp();
    hid.SetResponder(nullptr);  // the test plays the devices itself
    dlg->m_bBusy = 1;           // a reply is awaited
  }
  // Delivers queued reports, one read per call.
  void Read(int reads = 1) {
    for (int i = 0; i < reads; ++i)
      dlg->ReceiveReports();
  }
  Bytes EscIdentify(std::uint16_t word = 0) {
    return ScriptedDevices::IdentifyReply(ScriptedDevices::Identity("ESC12", word, 0x0105));
  }
};

TEST_F(ReplyParsers, IdentifyReplySplitOverReportsAndReadsIsTakenOnce) {
  dlg->m_nPendingOp = 0;
  hid.SetMaxReports(1);  // one report per read
  hid.QueueInput(kChannelEsc, EscIdentify(), 10);
  Read(2);
  EXPECT_TRUE(dlg->m_bBusy);  // not complete yet
  Read(1);
  EXPECT_FALSE(dlg->m_bBusy);
  EXPECT_TRUE(dlg->m_bEscPresent);
  EXPECT_EQ(dlg->SettingsSnapshot().selectedProfile, 0);
  {
    std::lock_guard lock(dlg->m_settingsMutex);
    EXPECT_EQ(int{dlg->m_escId.firmwareVersion}, 0x0105);
    EXPECT_EQ(dlg->m_escId.ModelName(), "ESC12");
  }
  // Its handler queued the settings read, once.
  EXPECT_TRUE(dlg->m_bJobQueued);
  EXPECT_EQ(dlg->m_frames[0].txCommand, 'a');
}

TEST_F(ReplyParsers, DamagedIdentifyRepliesAreDropped) {
  Bytes badSum = EscIdentify();
  badSum[21] ^= 0x01;
  Bytes badTail = EscIdentify();
  badTail[23] = 0xFE;
  Bytes badMarker = EscIdentify();
  badMarker[2] = 'X';
  badMarker[21] = static_cast<std::uint8_t>(badMarker[21] + 'X' - 'W');
  for (const Bytes& frame : {badSum, badTail, badMarker}) {
    hid.QueueInput(kChannelEsc, frame);
    hid.QueueInput(kChannelBox, frame);
    Read();
    EXPECT_TRUE(dlg->m_bBusy);
    EXPECT_FALSE(dlg->m_bEscPresent);
    EXPECT_FALSE(dlg->m_bBoxPresent);
  }
}

TEST_F(ReplyParsers, EchoedIdentifyCommandIsSkippedOnBothStreams) {
  Bytes stream = {0x0F, 0x03, 0x57, 0x00, 0x57, 0xFF, 0xFF};
  const Bytes reply = EscIdentify();
  stream.insert(stream.end(), reply.begin(), reply.end());
  hid.QueueInput(kChannelEsc, stream);
  hid.QueueInput(kChannelBox, stream);
  Read();
  EXPECT_TRUE(dlg->m_bEscPresent);
  EXPECT_TRUE(dlg->m_bBoxPresent);
}

TEST_F(ReplyParsers, ReadHeaderLengthsAtTheEdges) {
  // Lengths 0 and 32000 go to the handler at once, without a data phase;
  // the handler then leaves the image alone and the link busy.
  const Bytes before = ImageBytes();
  for (int length : {0, 32000}) {
    hid.QueueInput(kChannelEsc, ScriptedDevices::HeaderFrame('A', 0x5E00, length));
    Read();
    EXPECT_EQ(dlg->m_nEscParseState, Start) << length;
    EXPECT_EQ(dlg->m_nEscFrameLen, length);
    EXPECT_TRUE(dlg->m_bBusy);
    EXPECT_EQ(ImageBytes(), before);
  }
  hid.QueueInput(kChannelEsc, ScriptedDevices::HeaderFrame('A', 0x5E00, 31999));
  Read();
  EXPECT_EQ(dlg->m_nEscParseState, ReadData);
  EXPECT_EQ(host.ProgressBar().high, 31999);
}

TEST_F(ReplyParsers, SettingsReadMovesProgressAndTakesLiveValuesBeforeTheImage) {
  const Bytes memory = EscMemoryWithProfile(2);
  hid.QueueInput(kChannelEsc, ScriptedDevices::ReadReply(0x5E00, memory), 58);
  Read(10);
  EXPECT_FALSE(dlg->m_bBusy);
  EXPECT_EQ(ImageBytes(), Bytes(memory.begin(), memory.begin() + 2477));
  EXPECT_EQ(dlg->m_nRpmPeriod, 0x1234);
  EXPECT_EQ(dlg->m_nEscTempAdc, 0x0666);
  EXPECT_EQ(dlg->m_nMotorTempAdc, 0x0777);
  const auto progress = host.ProgressBar();
  EXPECT_EQ(progress.high, 2485);
  EXPECT_EQ(progress.maxPos, 2485);
  EXPECT_EQ(StatusId(), 20);
  EXPECT_EQ(dlg->m_nClickBlock, 10);
  EXPECT_EQ(dlg->m_nPressCountdown, 5);
  EXPECT_TRUE(dlg->m_bRedrawPage);
}

TEST_F(ReplyParsers, ReadWithBadDataSumOrTooFewBytesLeavesTheImage) {
  const Bytes before = ImageBytes();
  Bytes corrupt = ScriptedDevices::ReadReply(0x5E00, EscMemoryWithProfile(1));
  corrupt.back() ^= 0x10;
  hid.QueueInput(kChannelEsc, corrupt);
  hid.QueueInput(kChannelEsc, ScriptedDevices::ReadReply(0x5E00, Bytes(100, 0x33)));
  hid.QueueInput(kChannelEsc, ScriptedDevices::ReadReply(0x5E00, Bytes(3, 0x33)));
  Read(20);
  EXPECT_EQ(ImageBytes(), before);
  EXPECT_TRUE(dlg->m_bBusy);
  EXPECT_EQ(dlg->m_nEscParseState, Start);
}

TEST_F(ReplyParsers, BadHeaderSumIsDropped) {
  Bytes header = ScriptedDevices::HeaderFrame('S', 0x5E00, 2477);
  header[5] ^= 1;
  hid.QueueInput(kChannelEsc, header);
  Read();
  EXPECT_TRUE(dlg->m_bBusy);
  EXPECT_EQ(dlg->m_nEscParseState, Start);
}

TEST_F(ReplyParsers, TimingTestReports) {
  auto testReport = [](std::uint8_t timing, const char* text) {
    return Bytes{'T',
                 timing,
                 static_cast<std::uint8_t>(text[0]),
                 static_cast<std::uint8_t>(text[1]),
                 static_cast<std::uint8_t>(text[2]),
                 0x01,
                 0x02,
                 0x00};
  };
  hid.QueueInput(kChannelEsc, testReport(0, "STA"));
  Read();
  EXPECT_EQ(dlg->m_nProgress, 0);

  hid.QueueInput(kChannelEsc, testReport(70, "END"));
  Read();
  EXPECT_EQ(dlg->m_nLiveTiming, 70);
  EXPECT_EQ(dlg->m_nProgress, 98);
  EXPECT_FALSE(dlg->m_bBusy);
  EXPECT_EQ(Pauses(), std::vector<int>{5000});
  // The settings are read again, through the box since it has not been seen.
  EXPECT_TRUE(dlg->m_bJobQueued);
  EXPECT_EQ(dlg->m_nChannel, kChannelBox);
  EXPECT_EQ(dlg->m_nPendingOp, 'a');

  hid.QueueInput(kChannelEsc, testReport(71, "END"));
  Read();
  EXPECT_EQ(dlg->m_nLiveTiming, 0);

  dlg->m_nProgress = 50;
  hid.QueueInput(kChannelEsc, testReport(10, "XYZ"));
  Read();
  EXPECT_EQ(dlg->m_nProgress, 50);
  EXPECT_EQ(dlg->m_nEscParseState, Start);
}

TEST_F(ReplyParsers, LiveValueFrames) {
  Bytes frame = {'V', 0x06, 0x40, 0x07, 0x80, 0xC8, 0x09};
  std::uint8_t sum = 0;
  for (std::uint8_t b : frame)
    sum = static_cast<std::uint8_t>(sum + b);
  frame.push_back(sum);
  hid.QueueInput(kChannelEsc, frame);
  Read();
  EXPECT_EQ(dlg->m_nEscTempAdc, 0x0640);
  EXPECT_EQ(dlg->m_nMotorTempAdc, 0x0780);
  EXPECT_EQ(dlg->m_nRpmPeriod, 0xC8);  // one byte
  EXPECT_EQ(dlg->m_nPressCountdown, 1);
  EXPECT_TRUE(dlg->m_bBusy);  // no handler runs

  frame[1] = 0x01;  // the check no longer matches
  hid.QueueInput(kChannelEsc, frame);
  Read();
  EXPECT_EQ(dlg->m_nEscTempAdc, 0x0640);
}

TEST_F(ReplyParsers, CheckReplyMarksTheEscConnected) {
  hid.QueueInput(kChannelEsc, Bytes{'C', 'H', 'E', 'C', 'K', 'O'});
  Read();
  EXPECT_FALSE(dlg->m_bBusy);
  EXPECT_TRUE(dlg->m_bEscConnected);
}

TEST_F(ReplyParsers, BoxStreamIgnoresEscFrameKinds) {
  // An 'A' header and data on the box stream start nothing; the box's own
  // acknowledgement after them is still taken.
  Bytes stream = ScriptedDevices::ReadReply(0x5E00, Bytes(30, 0x41));
  for (std::uint8_t kind : {'S', 'N', 'T', 'C', 'V'})
    stream.push_back(kind);
  const Bytes ack = ScriptedDevices::HeaderFrame('Y', 0x1000, 10);
  stream.insert(stream.end(), ack.begin(), ack.end());
  hid.QueueInput(kChannelBox, stream);
  Read(2);
  EXPECT_TRUE(dlg->m_bAck);
  EXPECT_EQ(dlg->m_nBoxParseState, Start);
  EXPECT_TRUE(dlg->m_bBusy);
}

TEST_F(ReplyParsers, EscBytesOfAReadAreParsedBeforeTheBoxBytes) {
  // Box identify first in the reports, ESC identify second, with firmware
  // programming pending. Parsed in stream order the box would start
  // programming itself; the ESC's reply comes first and takes the operation.
  dlg->m_nPendingOp = 'p';
  hid.QueueInput(kChannelBox, ScriptedDevices::IdentifyReply(ScriptedDevices::Identity("BOX10", 0, 0x100)));
  hid.QueueInput(kChannelEsc, EscIdentify());
  Read();
  EXPECT_EQ(host.StatusHistory(), std::vector<std::string>{"Update ESC Program..."});
  EXPECT_EQ(dlg->m_nChannel, kChannelEsc);
  EXPECT_TRUE(dlg->m_bBoxPresent);
}

TEST_F(ReplyParsers, StuckFrameIsAbandonedAfter101EmptyReads) {
  hid.QueueInput(kChannelEsc, Bytes{'A', 0x5E, 0x00});
  hid.QueueInput(kChannelBox, Bytes{0x0F, 0x14, 'W'});
  Read();
  EXPECT_EQ(dlg->m_nEscParseState, Header);
  EXPECT_EQ(dlg->m_nBoxParseState, IdentifyReply);
  Read(100);
  EXPECT_EQ(dlg->m_nEscParseState, Header);
  Read(1);
  EXPECT_EQ(dlg->m_nEscParseState, Start);
  EXPECT_EQ(dlg->m_nBoxParseState, Start);
  EXPECT_EQ(dlg->m_nEscIndex, 0);
}

TEST_F(ReplyParsers, MalformedReportsAreBoundedAndFailedReadsIgnored) {
  // A count byte larger than a report can hold is cut to 59 bytes: an
  // acknowledgement that ends at data byte 59 is taken, one that ends beyond
  // it (though still inside the 62 data bytes of the report) is not.
  struct Case {
    std::size_t at;
    bool taken;
  } cases[] = {{53, true}, {56, false}};
  for (const Case& c : cases) {
    dlg->m_bAck = 0;
    dlg->m_nEscParseState = Start;
    Bytes report(65, 0);
    report[1] = kChannelEsc;
    report[2] = 250;
    const Bytes ack = ScriptedDevices::HeaderFrame('Y', 0x1000, 10);
    std::copy(ack.begin(), ack.end(), report.begin() + 3 + c.at);
    hid.QueueRawReport(report);
    Read();
    EXPECT_EQ(dlg->m_bAck != 0, c.taken) << c.at;
    EXPECT_EQ(dlg->m_nEscIdlePolls, 0);
  }

  // A failed read moves no counter; a report length below 61 reads nothing.
  dlg->m_nEscIdlePolls = 7;
  hid.SetReadFailure(CV_HID_IO_ERROR);
  Read();
  EXPECT_EQ(dlg->m_nEscIdlePolls, 7);
  hid.SetReadFailure(CV_HID_OK);
  hid.SetReportLength(60);
  const int reads = hid.ReadCalls();
  Read();
  EXPECT_EQ(hid.ReadCalls(), reads);
  EXPECT_EQ(dlg->m_nEscIdlePolls, 7);
}

TEST_F(ReplyParsers, StoppedLinkDiscardsTheRestOfARead) {
  dlg->m_bLinkRunning = 0;
  hid.QueueInput(kChannelEsc, EscIdentify());
  Read();
  EXPECT_FALSE(dlg->m_bEscPresent);
  EXPECT_EQ(dlg->m_nEscParseState, Start);
}

}  // namespace
