// Records of the device link shared by the communication thread and the
// requesters: reply-parser states, the two frame slots, commands, channels.
#pragma once

#include <atomic>
#include <cstdint>

// States of the two reply-stream parsers (the box parser uses the first four).
enum ParseState : std::int32_t {
  Start = 0,
  Header = 1,
  SkipFrame = 2,
  IdentifyReply = 3,
  ReadData = 4,
  TestReport = 5,
  CheckReply = 6,
  LiveValues = 7,
};

// Channels of a report: the ESC through the box, or the box itself.
inline constexpr std::uint8_t kChannelBox = 0;
inline constexpr std::uint8_t kChannelEsc = 1;

// Command bytes the program sends.
inline constexpr std::uint8_t kCmdIdentify = 0x0F;
inline constexpr std::uint8_t kCmdRead = 'a';
inline constexpr std::uint8_t kCmdWriteImage = 's';
inline constexpr std::uint8_t kCmdWriteBlock = 'n';
inline constexpr std::uint8_t kCmdProgram = 'p';
inline constexpr std::uint8_t kCmdTest = 't';
inline constexpr std::uint8_t kCmdCheck = 'c';

// Timer ticks to the presence identify after the link was last busy: while
// the ESC answers, and while it does not.
inline constexpr int kReadBackConnected = 75;
inline constexpr int kReadBackDisconnected = 5;

// One reply stream's receive state; slot A (the ESC stream) also carries the
// job to send. The send half is written by a requester under the job lock
// and published by m_bJobQueued.
struct FrameSlot {
  // Receive half, used by the parser and the reply handlers on the
  // communication thread only.
  std::uint8_t rxKind = 0;
  std::int32_t rxAddress = 0;
  std::int32_t rxLength = 0;
  std::uint8_t rxSum = 0;
  std::uint8_t* rxBuffer = nullptr;
  // Send half (slot A only).
  std::atomic<std::uint8_t> txCommand{0};
  std::atomic<std::int32_t> txAddress{0};
  std::atomic<std::int32_t> txLength{0};
  std::atomic<const std::uint8_t*> txData{nullptr};
};

// Size limits of the link's buffers.
inline constexpr int kEscRxSize = 32000;  // an ESC frame carries at most 31999 data bytes
inline constexpr int kBoxRxSize = 24;     // the longest box frame, an identify reply
inline constexpr int kFwBufferSize = 160000;
inline constexpr int kMinReportLength = 61;
inline constexpr int kMaxReportData = 58;     // data bytes per output report
inline constexpr int kStagingPerReport = 59;  // data bytes taken from one input report
