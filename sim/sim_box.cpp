#include "sim/sim_box.h"

#include <algorithm>

namespace corvane::sim {

namespace {

constexpr std::uint16_t kRefusedIdentityWord = 0x0001;

std::uint16_t be16(const std::uint8_t* p) {
  return static_cast<std::uint16_t>(p[0] << 8 | p[1]);
}

bool isHeaderCommand(std::uint8_t channel, std::uint8_t b) {
  if (channel == kChannelBox) return b == kCmdProgram;
  return b == kCmdRead || b == kCmdWriteImage || b == kCmdWriteBlock || b == kCmdProgram;
}

const std::array<std::uint8_t, 7>* fixedFrameStartingWith(std::uint8_t channel, std::uint8_t b) {
  if (b == kIdentifyCommand[0]) return &kIdentifyCommand;
  if (channel != kChannelEsc) return nullptr;
  if (b == kTestCommand[0]) return &kTestCommand;
  if (b == kCheckCommand[0]) return &kCheckCommand;
  return nullptr;
}

}  // namespace

SimBox::SimBox()
    : boxIdentity(Identity::make("BOX01", 0, 0x0100, 0x10)),
      escIdentity(Identity::make("ESC12", 0, 0x0105, 0x10)),
      escSettings(factorySettings()),
      escLive(restingLiveBytes()) {}

void SimBox::powerCycle() {
  rx_ = {};
  escRestartEnd_ = {};
  if (boxVersionAfterProgram != 0) {
    boxIdentity.firmwareVersion = boxVersionAfterProgram;
    boxVersionAfterProgram = 0;
  }
}

void SimBox::setStalled(bool stalled) {
  stalled_ = stalled;
  rx_ = {};
}

bool SimBox::escListening(Clock::time_point now) const {
  return escPresent && now >= escRestartEnd_;
}

void SimBox::takeReport(const std::uint8_t* report, std::size_t size, Clock::time_point now, Result& result) {
  if (report == nullptr || size < 3 || report[0] != kOutputReportId || report[1] > kChannelEsc ||
      report[2] == 0 || report[2] > kMaxOutputData || size < 3u + report[2]) {
    ++counters.malformedReports;
    return;
  }
  const std::uint8_t channel = report[1];
  const std::size_t count = report[2];
  const std::uint8_t* data = report + 3;
  ++counters.outputReports;

  Receiver& rx = rx_[channel];
  if (stalled_ || (channel == kChannelEsc && !escListening(now))) {
    rx = {};
    ++counters.ignoredReports;
    return;
  }

  if (rx.state == Receiver::State::Data) {
    if (count == 1) {
      takeDataByte(channel, data[0], now, result);
      return;
    }
    // A data phase takes one byte per report. Anything else ends it, and the
    // report is read as the start of a new command.
    ++counters.protocolErrors;
    rx = {};
  }
  for (std::size_t i = 0; i < count && !result.unplug; ++i)
    feed(channel, data[i], result);
}

void SimBox::startFrame(Receiver& rx, std::uint8_t channel, std::uint8_t b) {
  rx = {};
  if (const auto* fixed = fixedFrameStartingWith(channel, b)) {
    rx.state = Receiver::State::Fixed;
    rx.fixed = fixed;
    rx.frame.push_back(b);
  } else if (isHeaderCommand(channel, b)) {
    rx.state = Receiver::State::Header;
    rx.frame.push_back(b);
  }
  // Any other byte between frames is ignored.
}

void SimBox::feed(std::uint8_t channel, std::uint8_t b, Result& result) {
  Receiver& rx = rx_[channel];
  switch (rx.state) {
    case Receiver::State::Idle:
      startFrame(rx, channel, b);
      return;
    case Receiver::State::Fixed: {
      if ((*rx.fixed)[rx.frame.size()] != b) {
        // Not the frame it looked like: start over from this byte.
        ++counters.protocolErrors;
        startFrame(rx, channel, b);
        return;
      }
      rx.frame.push_back(b);
      if (rx.frame.size() == rx.fixed->size()) {
        const auto& frame = *rx.fixed;
        lastCommand[channel] = rx.frame;
        ++counters.commandFrames;
        rx = {};
        runFixed(channel, frame, result);
      }
      return;
    }
    case Receiver::State::Header:
      rx.frame.push_back(b);
      if (rx.frame.size() < 6) return;
      if (sum8(rx.frame.data(), 6) != 0) {
        ++counters.protocolErrors;
        rx = {};
        return;
      }
      lastCommand[channel] = rx.frame;
      ++counters.commandFrames;
      runHeader(channel, rx, result);
      return;
    case Receiver::State::Data:
      // Data bytes come one per report, never behind the header in its report.
      ++counters.protocolErrors;
      startFrame(rx, channel, b);
      return;
  }
}

void SimBox::runFixed(std::uint8_t channel, const std::array<std::uint8_t, 7>& frame, Result& result) {
  if (&frame == &kIdentifyCommand) {
    Identity id = channel == kChannelBox ? boxIdentity : escIdentity;
    if (channel == kChannelBox ? refuseBoxIdentity : refuseEscIdentity)
      id.identityWord = kRefusedIdentityWord;
    emit(channel, identifyReply(id), result);
  } else if (&frame == &kCheckCommand) {
    emit(channel, checkReply(), result);
  } else if (&frame == &kTestCommand) {
    // The ESC reports the start, live values while the test runs, and the end.
    using std::chrono::microseconds;
    const auto duration = std::chrono::duration_cast<microseconds>(testDuration);
    const std::uint16_t escTemp = be16(&escLive[2]);
    const std::uint16_t motorTemp = be16(&escLive[4]);
    emit(channel, testReport(true, 0, 0), result);
    // About ten live frames a second, at least three, at most 200.
    const int liveFrames = static_cast<int>(std::clamp<std::int64_t>(testDuration.count() / 100, 3, 200));
    for (int i = 0; i < liveFrames; ++i) {
      // A spinning motor: periods 200..235 read as about 86000..101000 rpm on two poles.
      const auto period = static_cast<std::uint8_t>(200 + ((i + testRuns_) % 8) * 5);
      emit(channel, liveFrame(escTemp, motorTemp, period), result, duration * (i + 1) / (liveFrames + 1));
    }
    emit(channel, testReport(false, testTiming, motorTemp), result, duration);
    ++testRuns_;
  }
}

void SimBox::runHeader(std::uint8_t channel, Receiver& rx, Result& result) {
  rx.command = rx.frame[0];
  rx.address = be16(&rx.frame[1]);
  rx.length = be16(&rx.frame[3]);

  if (rx.command == kCmdRead) {
    auto reply = readReply(rx.address, readEscMemory(rx.address, rx.length));
    rx = {};
    // Unplugged mid-read: half the reply goes out, then the box leaves.
    const bool cut = leaveDuringNextRead && reply.size() > 6;
    if (cut) {
      leaveDuringNextRead = false;
      reply.resize(reply.size() / 2);
    }
    emit(channel, reply, result, {}, cut);
    return;
  }
  if (rx.length == 0) {
    // Nothing to write: the devices do not acknowledge an empty data phase.
    ++counters.protocolErrors;
    rx = {};
    return;
  }
  if (rx.command == kCmdWriteImage || rx.command == kCmdWriteBlock) {
    // Settings writes must stay inside the settings block.
    if (rx.address < kSettingsAddress || std::uint32_t{rx.address} + rx.length > kLiveAddress) {
      ++counters.protocolErrors;
      rx = {};
      return;
    }
    rx.checksumSize = 1;
  } else {  // program
    rx.checksumSize = channel == kChannelEsc && escIdentity.firmwareVersion >= kLongChecksumVersion ? 4 : 1;
  }
  rx.state = Receiver::State::Data;
  rx.data.clear();
  rx.data.reserve(rx.length + rx.checksumSize);
  emit(channel, headerFrame('Y', rx.address, rx.length), result);
  if (unplugAfterDataBytes && *unplugAfterDataBytes == 0) {
    unplugAfterDataBytes.reset();
    result.unplug = true;
  }
}

void SimBox::countDataByte(Result& result) {
  ++counters.dataBytes;
  if (!unplugAfterDataBytes) return;
  if (*unplugAfterDataBytes > 0) --*unplugAfterDataBytes;
  if (*unplugAfterDataBytes == 0) {
    unplugAfterDataBytes.reset();
    result.unplug = true;
  }
}

void SimBox::takeDataByte(std::uint8_t channel, std::uint8_t b, Clock::time_point now, Result& result) {
  Receiver& rx = rx_[channel];
  rx.data.push_back(b);
  countDataByte(result);
  if (rx.data.size() == std::size_t{rx.length} + rx.checksumSize) finishDataPhase(channel, rx, now, result);
}

void SimBox::finishDataPhase(std::uint8_t channel, Receiver& rx, Clock::time_point now, Result& result) {
  const std::uint8_t* data = rx.data.data();
  const std::size_t n = rx.length;
  bool good;
  if (rx.checksumSize == 4) {
    std::uint32_t sum = 0;
    for (std::size_t i = 0; i < n; ++i)
      sum += data[i];
    const std::uint32_t sent = std::uint32_t{data[n]} << 24 | std::uint32_t{data[n + 1]} << 16 |
                               std::uint32_t{data[n + 2]} << 8 | data[n + 3];
    good = sum == sent;
  } else {
    good = sum8(data, n + 1) == 0;
  }
  const Receiver done = std::move(rx);
  rx = {};
  if (!good) {
    ++counters.checksumErrors;
    return;
  }

  const std::vector<std::uint8_t> body(done.data.begin(), done.data.begin() + static_cast<std::ptrdiff_t>(n));
  if (done.command == kCmdWriteImage || done.command == kCmdWriteBlock) {
    std::copy(body.begin(), body.end(), escSettings.begin() + (done.address - kSettingsAddress));
    emit(channel, headerFrame(done.command == kCmdWriteImage ? 'S' : 'N', done.address, done.length), result);
    return;
  }
  // Program.
  ProgrammedImage& image = channel == kChannelEsc ? escImage : boxImage;
  image.present = true;
  image.address = done.address;
  image.bytes = body;
  if (channel == kChannelEsc) {
    emit(channel, headerFrame('P', done.address, done.length), result);
    // The ESC restarts into its new firmware and is silent meanwhile.
    escRestartEnd_ = now + escRestartTime;
    if (escVersionAfterProgram != 0) {
      escIdentity.firmwareVersion = escVersionAfterProgram;
      escVersionAfterProgram = 0;
    }
  } else {
    emit(channel, headerFrame('P', done.address, done.length), result, {}, true);
  }
}

void SimBox::emit(std::uint8_t channel, std::vector<std::uint8_t> bytes, Result& result,
                  std::chrono::microseconds delay, bool leaveAfterRead) {
  const bool ofDroppedKind = dropNextReplyOfKind && !bytes.empty() && bytes[0] == *dropNextReplyOfKind;
  if (dropNextReply || ofDroppedKind) {
    if (ofDroppedKind) {
      dropNextReplyOfKind.reset();
    } else {
      dropNextReply = false;
    }
    ++counters.droppedReplies;
    // A box whose 'P' is lost still restarts: an empty frame carries the mark.
    if (!leaveAfterRead) return;
    bytes.clear();
  } else {
    const bool readWithData = bytes.size() > 6 && bytes[0] == 'A';
    if (corruptNextReply && (*corruptNextReply != CorruptPart::ReadData || readWithData)) {
      corruptFrame(bytes, *corruptNextReply);
      corruptNextReply.reset();
    }
    ++counters.replyFrames;
  }
  result.frames.push_back(OutFrame{channel, std::move(bytes), delay, leaveAfterRead});
}

std::vector<std::uint8_t> SimBox::readEscMemory(std::uint16_t address, std::uint16_t length) const {
  std::vector<std::uint8_t> out(length, 0xFF);  // erased flash outside the mapped areas
  for (std::uint32_t i = 0; i < length; ++i) {
    const std::uint32_t a = address + i;
    if (a >= kSettingsAddress && a < kLiveAddress) {
      out[i] = escSettings[a - kSettingsAddress];
    } else if (a >= kLiveAddress && a < kLiveAddress + kLiveSize) {
      out[i] = escLive[a - kLiveAddress];
    }
  }
  return out;
}

}  // namespace corvane::sim
