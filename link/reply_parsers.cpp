// The two reply-stream parsers: byte-at-a-time state machines that cut the
// ESC stream and the box stream into reply frames, test their sums and hand
// complete frames to the reply handlers.
#include <cstring>

#include "app/corvane_dlg.h"

namespace {

constexpr int kIdentifyReplyLength = 24;
constexpr int kHeaderCheckIndex = 5;
constexpr int kMaxDataLength = kEscRxSize - 1;  // 31999
constexpr int kTestReportLength = 7;
constexpr int kCheckReplyLength = 5;
constexpr int kLiveValuesLength = 7;
// After a lowercase kind byte the six bytes that follow are skipped.
constexpr int kSkipLastIndex = 6;
// Live timing above this is not a value the ESC can report.
constexpr std::uint8_t kMaxLiveTiming = 70;

// A drag brake and brake switch point that no setting page produces; a
// profile holding both asks for the motor temperature word of a test report.
constexpr std::uint8_t kServiceDragBrake = 0xA5;
constexpr std::uint8_t kServiceBrakeSwitchPoint = 0x5A;

std::uint8_t Sum(const std::uint8_t* bytes, int count) {
  std::uint8_t sum = 0;
  for (int i = 0; i < count; ++i)
    sum = static_cast<std::uint8_t>(sum + bytes[i]);
  return sum;
}

// 0F 14 'W' 00 00 <16 identity bytes> <sum of bytes 2..20> FF FF.
bool IdentifyReplyValid(const std::uint8_t* f) {
  return f[2] == 'W' && f[3] == 0 && f[4] == 0 && f[21] == Sum(f + 2, 19) && f[22] == 0xFF && f[23] == 0xFF;
}

bool IsHeaderKind(std::uint8_t b) {
  return b == kCmdIdentify || b == 'A' || b == 'P' || b == 'S' || b == 'N' || b == 'Y';
}

bool IsSkippedKind(std::uint8_t b) {
  return b == 'a' || b == 'p' || b == 's' || b == 'n';
}

enum class Completed { Nothing, Header, Identify };

// Steps the states both streams share: the header of a frame, a skipped
// frame and an identify reply. Says what, if anything, completed and passed
// its checks.
Completed StepSharedState(ParseState& state, int& i, std::uint8_t* buffer, std::uint8_t b) {
  switch (state) {
    case Header:
      if (buffer[0] == kCmdIdentify) {
        // 0F 03 is the echo of an identify command, 0F 14 an identify reply;
        // anything else is waited through.
        if (b == 0x03 || b == 0x14) {
          buffer[1] = b;
          i = 2;
          state = b == 0x03 ? SkipFrame : IdentifyReply;
        }
        return Completed::Nothing;
      }
      if (++i < kHeaderCheckIndex) {
        buffer[i] = b;
        return Completed::Nothing;
      }
      state = Start;
      i = 0;
      return static_cast<std::uint8_t>(Sum(buffer, kHeaderCheckIndex) + b) == 0 ? Completed::Header
                                                                                : Completed::Nothing;
    case SkipFrame:
      if (i < kSkipLastIndex) {
        ++i;
      } else {
        state = Start;
        i = 0;
      }
      return Completed::Nothing;
    case IdentifyReply:
      buffer[i++] = b;
      if (i < kIdentifyReplyLength) return Completed::Nothing;
      state = Start;
      i = 0;
      return IdentifyReplyValid(buffer) ? Completed::Identify : Completed::Nothing;
    default:
      return Completed::Nothing;
  }
}

}  // namespace

void CCorvaneDlg::ResetParsers() {
  m_nEscParseState = Start;
  m_nBoxParseState = Start;
  m_nEscIndex = 0;
  m_nBoxIndex = 0;
  m_nEscIdlePolls = 0;
  m_nBoxIdlePolls = 0;
  m_bEscDataPhase = false;
}

void CCorvaneDlg::ParseEscByte(std::uint8_t b) {
  FrameSlot& slot = m_frames[0];
  std::uint8_t* buffer = m_rxEsc.data();
  int& i = m_nEscIndex;

  switch (m_nEscParseState) {
    case Start:
      slot.rxKind = b;
      i = 0;
      if (IsHeaderKind(b)) {
        buffer[0] = b;
        m_nEscParseState = Header;
      } else if (IsSkippedKind(b)) {
        m_nEscParseState = SkipFrame;
      } else if (b == 'T') {
        m_nEscParseState = TestReport;
      } else if (b == 'C') {
        m_nEscParseState = CheckReply;
      } else if (b == 'V') {
        m_nEscParseState = LiveValues;
      }
      break;

    case Header:
    case SkipFrame:
    case IdentifyReply:
      switch (StepSharedState(m_nEscParseState, i, buffer, b)) {
        case Completed::Header:
          m_nEscFrameLen = buffer[3] * 256 + buffer[4];
          if (buffer[0] == 'A' && m_nEscFrameLen >= 1 && m_nEscFrameLen <= kMaxDataLength) {
            // A settings read: its data follows.
            m_nEscParseState = ReadData;
            slot.rxSum = 0;
            m_host.setProgressPos(0);
            m_host.setProgressRange(0, m_nEscFrameLen);
            slot.rxAddress = buffer[1] * 256 + buffer[2];
            slot.rxLength = m_nEscFrameLen;
          } else {
            m_bEscDataPhase = false;
            DeliverReply([this] { HandleEscReply(); });
          }
          break;
        case Completed::Identify:
          DeliverReply([this] { HandleEscReply(); });
          break;
        case Completed::Nothing:
          break;
      }
      break;

    case ReadData: {
      if (i < m_nEscFrameLen) {
        buffer[i++] = b;
        slot.rxSum = static_cast<std::uint8_t>(slot.rxSum + b);
        m_host.setProgressPos(i);
        break;
      }
      // b is the check byte.
      slot.rxSum = static_cast<std::uint8_t>(slot.rxSum + b);
      m_nEscParseState = Start;
      i = 0;
      if (slot.rxSum != 0) break;  // bad data: dropped, the reply time-out reports it
      const int n = m_nEscFrameLen;
      if (n >= static_cast<int>(kLiveBytes)) {
        m_nRpmPeriod = buffer[n - 8] * 256 + buffer[n - 7];
        m_nEscTempAdc = buffer[n - 6] * 256 + buffer[n - 5];
        m_nMotorTempAdc = buffer[n - 4] * 256 + buffer[n - 3];
      }
      m_bEscDataPhase = true;
      DeliverReply([this] { HandleEscReply(); });
      FreeUpgradePage();
      m_bRedrawPage = 1;
      m_nPressCountdown = 5;
      m_nClickBlock = 10;
      break;
    }

    case TestReport:
      buffer[i++] = b;
      if (i == kTestReportLength) {
        m_nEscParseState = Start;
        i = 0;
        if (std::memcmp(buffer + 1, "END", 3) == 0) {
          FinishTestReport();
        } else if (std::memcmp(buffer + 1, "STA", 3) == 0) {
          m_nProgress = 0;
        }
      }
      break;

    case CheckReply:
      buffer[i++] = b;
      if (i == kCheckReplyLength) {
        m_nEscParseState = Start;
        i = 0;
        if (std::memcmp(buffer, "HECKO", kCheckReplyLength) == 0) {
          DeliverReply([this] { HandleEscReply(); });
          DrawFrame();
        }
      }
      break;

    case LiveValues:
      buffer[i++] = b;
      if (i == kLiveValuesLength) {
        m_nEscParseState = Start;
        i = 0;
        if (buffer[6] == static_cast<std::uint8_t>('V' + Sum(buffer, 6))) {
          m_nPressCountdown = 1;
          m_nEscTempAdc = buffer[0] * 256 + buffer[1];
          m_nMotorTempAdc = buffer[2] * 256 + buffer[3];
          m_nRpmPeriod = buffer[4];
        }
      }
      break;
  }
}

// End of a timing test: take its values, wait for the ESC to settle and read
// the settings again.
void CCorvaneDlg::FinishTestReport() {
  const std::uint8_t* buffer = m_rxEsc.data();
  m_nLiveTiming = buffer[0] <= kMaxLiveTiming ? buffer[0] : 0;
  bool servicePair;
  {
    std::lock_guard lock(m_settingsMutex);
    const std::uint8_t k = m_settings.selectedProfile;
    servicePair = k < kProfileCount && m_settings.profiles[k].dragBrake == kServiceDragBrake &&
                  m_settings.profiles[k].brakeSwitchPoint == kServiceBrakeSwitchPoint;
  }
  if (servicePair) m_nMotorTempAdc = buffer[4] * 256 + buffer[5];
  m_nPressCountdown = 5;
  m_nProgress = 98;
  DeliverReply([this] {
    HandleEscReply();
    PauseLink(5000);
    QueueIdentify(m_bEscPresent && !m_bBoxPresent ? kChannelEsc : kChannelBox, kCmdRead);
  });
}

void CCorvaneDlg::ParseBoxByte(std::uint8_t b) {
  FrameSlot& slot = m_frames[1];
  std::uint8_t* buffer = m_rxBox.data();
  int& i = m_nBoxIndex;

  if (m_nBoxParseState == Start) {
    slot.rxKind = b;
    i = 0;
    if (b == kCmdIdentify || b == 'P' || b == 'Y') {
      buffer[0] = b;
      m_nBoxParseState = Header;
    } else if (b == 'p') {
      m_nBoxParseState = SkipFrame;
    }
    return;
  }
  // The box sends no data, test, check or live frames: every frame that
  // completes goes to its handler.
  if (StepSharedState(m_nBoxParseState, i, buffer, b) != Completed::Nothing) {
    DeliverReply([this] { HandleBoxReply(); });
  }
}
