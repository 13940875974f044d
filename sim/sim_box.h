// One simulated program box with an ESC behind it: takes output reports as the
// host writes them and produces the reply frames the devices send back. It
// knows nothing of reports on the way back, pacing, handles or threads; the bus
// (sim_bus.h) adds those and guards every call with its lock.
#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <optional>
#include <vector>

#include "sim/protocol.h"

namespace corvane::sim {

using Clock = std::chrono::steady_clock;

// A reply frame on its way to the host.
struct OutFrame {
  std::uint8_t channel = kChannelBox;
  std::vector<std::uint8_t> bytes;
  // Earliest time after the report that caused it (the timing test spreads its frames).
  std::chrono::microseconds delay{0};
  // The box's own 'P': the box leaves the bus once the host has read it.
  bool leaveAfterRead = false;
};

// A firmware image as a device received it.
struct ProgrammedImage {
  bool present = false;
  std::uint32_t address = 0;
  std::vector<std::uint8_t> bytes;
};

// What a device did with the reports it was given.
struct BoxCounters {
  std::uint64_t outputReports = 0;     // well-formed reports taken
  std::uint64_t malformedReports = 0;  // ignored: wrong id, channel or count
  std::uint64_t ignoredReports = 0;    // well-formed, but nobody listened (stall, no ESC, restart)
  std::uint64_t commandFrames = 0;     // complete command frames taken
  std::uint64_t replyFrames = 0;       // reply frames sent
  std::uint64_t dataBytes = 0;         // data-phase bytes taken (data and checksum)
  std::uint64_t protocolErrors = 0;    // bad header check, refused address, broken data phase
  std::uint64_t checksumErrors = 0;    // data phases whose checksum did not match
  std::uint64_t droppedReplies = 0;    // replies swallowed by the drop fault
};

class SimBox {
 public:
  struct Result {
    std::vector<OutFrame> frames;
    bool unplug = false;  // the unplug-after-N-bytes fault fired
  };

  SimBox();

  // Takes one output report. `now` is the time the report reaches the device.
  void takeReport(const std::uint8_t* report, std::size_t size, Clock::time_point now, Result& result);

  // The box lost power (unplugged): half-received frames are gone, a pending
  // firmware version takes effect.
  void powerCycle();
  // Stops or resumes answering; either way half-received frames are forgotten.
  void setStalled(bool stalled);
  bool stalled() const { return stalled_; }

  // Settings: public, set by the control functions between reports.
  Identity boxIdentity;
  Identity escIdentity;
  bool escPresent = true;
  std::array<std::uint8_t, kSettingsSize> escSettings;
  std::array<std::uint8_t, kLiveSize> escLive;
  ProgrammedImage escImage;
  ProgrammedImage boxImage;
  std::uint16_t escVersionAfterProgram = 0;  // 0 keeps the version
  std::uint16_t boxVersionAfterProgram = 0;
  std::chrono::milliseconds escRestartTime{1500};
  std::chrono::milliseconds testDuration{3000};
  std::uint8_t testTiming = 25;

  // Faults.
  bool dropNextReply = false;
  std::optional<std::uint8_t> dropNextReplyOfKind;  // the next reply starting with this byte
  std::optional<CorruptPart> corruptNextReply;
  bool refuseBoxIdentity = false;
  bool refuseEscIdentity = false;
  std::optional<std::uint32_t> unplugAfterDataBytes;
  bool leaveDuringNextRead = false;

  BoxCounters counters;
  // The last complete command frame taken on each channel (box, ESC).
  std::array<std::vector<std::uint8_t>, 2> lastCommand;

 private:
  // One channel's receiver: a byte-stream parser and the data phase of a header command.
  struct Receiver {
    enum class State { Idle, Fixed, Header, Data };
    State state = State::Idle;
    const std::array<std::uint8_t, 7>* fixed = nullptr;  // the frame being matched
    std::vector<std::uint8_t> frame;
    std::uint8_t command = 0;
    std::uint16_t address = 0;
    std::uint16_t length = 0;
    std::size_t checksumSize = 1;
    std::vector<std::uint8_t> data;  // data bytes, then the checksum bytes
  };

  bool escListening(Clock::time_point now) const;
  void feed(std::uint8_t channel, std::uint8_t b, Result& result);
  void startFrame(Receiver& rx, std::uint8_t channel, std::uint8_t b);
  void runFixed(std::uint8_t channel, const std::array<std::uint8_t, 7>& frame, Result& result);
  void runHeader(std::uint8_t channel, Receiver& rx, Result& result);
  void takeDataByte(std::uint8_t channel, std::uint8_t b, Clock::time_point now, Result& result);
  void finishDataPhase(std::uint8_t channel, Receiver& rx, Clock::time_point now, Result& result);
  void emit(std::uint8_t channel, std::vector<std::uint8_t> bytes, Result& result,
            std::chrono::microseconds delay = {}, bool leaveAfterRead = false);
  void countDataByte(Result& result);
  std::vector<std::uint8_t> readEscMemory(std::uint16_t address, std::uint16_t length) const;

  std::array<Receiver, 2> rx_;
  bool stalled_ = false;
  Clock::time_point escRestartEnd_{};
  std::uint32_t testRuns_ = 0;
};

}  // namespace corvane::sim
