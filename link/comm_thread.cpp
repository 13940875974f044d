// The communication thread: one command at a time to the box, replies
// parsed as they arrive, time-outs, and the hand-off of queued jobs.
#include <chrono>

#include "app/corvane_dlg.h"
#include "link/command_frames.h"

namespace {

// Passes without a received byte, while a reply is awaited, before a time-out.
constexpr int kReplyTimeoutPasses = 100;
// Acknowledgement polls before a data phase is given up.
constexpr int kAckPolls = 100;
// A data phase longer than this is followed by a pause on the ESC channel,
// while the ESC stores what it received.
constexpr std::int32_t kLongTransferBytes = 20000;
constexpr int kLongTransferPauseMs = 5000;
// ESC firmware from which a program command ends with a 32-bit sum.
constexpr std::uint16_t kFourByteChecksumVersion = 0x0105;

void PauseOneMillisecond() {
  std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

}  // namespace

int CCorvaneDlg::CommThreadProc(CCorvaneDlg* dlg) {
  while (dlg->m_bLinkRunning)
    dlg->CommPass();
  return 0;
}

void CCorvaneDlg::CommPass() {
  // The thread's own identify, at the start of a connection and after a
  // device was reprogrammed. It replaces any queued job.
  if (!m_bIdentifySent) {
    if (m_nIdentifyCountdown != 0) {
      --m_nIdentifyCountdown;
    } else {
      {
        std::lock_guard lock(m_jobMutex);
        m_bIdentifySent = 1;
        FillIdentifyJob(kChannelBox, kCmdRead);
        m_bPresenceOnly = 0;
        m_bBusy = 1;  // from here no request is taken until this identify is answered
      }
      SendCommand();
      std::lock_guard lock(m_jobMutex);
      m_bJobQueued = 0;
      m_nWaitTicks = 0;
    }
  }

  PauseOneMillisecond();
  // A job that can go out now is sent without first waiting for input.
  if (m_bBusy || m_nEscIndex != 0 || !m_bJobQueued) ReceiveReports();

  if (m_bBusy) {
    if (++m_nWaitTicks > kReplyTimeoutPasses) {
      m_nEscIndex = 0;
      m_nWaitTicks = 0;
      DeliverReply([this] { HandleReplyTimeout(); });
      m_bEscConnected = 0;
      DrawFrame();
    } else {
      m_nReadBackCountdown = kReadBackConnected;
    }
  } else if (m_nEscIndex == 0 && m_bJobQueued) {
    SendCommand();
    std::lock_guard lock(m_jobMutex);
    m_nWaitTicks = 0;
    m_bJobQueued = 0;
    m_nReadBackCountdown = m_bEscConnected ? kReadBackConnected : kReadBackDisconnected;
  }
}

bool CCorvaneDlg::SendCommand() {
  m_nEscIdlePolls = 0;
  m_bBusy = 1;
  m_nEscIndex = 0;

  // Take the job whole, so that nothing queued meanwhile changes it mid-send.
  std::uint8_t command, channel;
  std::int32_t address, length;
  const std::uint8_t* data;
  {
    std::lock_guard lock(m_jobMutex);
    command = m_frames[0].txCommand;
    address = m_frames[0].txAddress;
    length = m_frames[0].txLength;
    data = m_frames[0].txData;
    channel = m_nChannel;
  }

  const std::vector<std::uint8_t> frame = BuildCommandFrame(command, address, length);
  if (!SendBytesOn(channel, frame.data(), static_cast<int>(frame.size()))) return false;
  if (IsFixedFrame(command) || length == 0 || command == kCmdRead) return true;

  // The data phase: it needs bytes to send from the transmit buffer.
  if (length < 0 || length > kFwBufferSize || data == nullptr) {
    m_bShowProgress = 0;
    return false;
  }
  if (m_bShowProgress) {
    m_host.setProgressPos(0);
    m_host.setProgressRange(0, length);
  }

  m_bAck = 0;
  m_nEscIndex = 0;
  if (channel != kChannelEsc || m_bLinkRunning) {
    bool acknowledged = false;
    for (int poll = 0; poll < kAckPolls; ++poll) {
      m_nEscIdlePolls = 0;
      ReceiveReports();
      if (m_bAck) {
        acknowledged = true;
        break;
      }
      PauseOneMillisecond();
    }
    if (!acknowledged) {
      DeliverReply([this] { HandleReplyTimeout(); });
      m_bShowProgress = 0;
      return false;
    }
  }
  m_nEscIndex = 0;

  bool fourByteSum = false;
  if (command == kCmdProgram && channel != kChannelBox) {
    std::lock_guard lock(m_settingsMutex);
    fourByteSum = m_escId.firmwareVersion >= kFourByteChecksumVersion;
  }
  // The data are taken once; the checksum is that of the bytes sent.
  std::vector<std::uint8_t> bytes(data, data + length);
  const std::vector<std::uint8_t> checksum = DataPhaseChecksum(bytes.data(), length, fourByteSum);
  bytes.insert(bytes.end(), checksum.begin(), checksum.end());
  if (bytes.size() > static_cast<std::size_t>(kLongTransferBytes)) m_bLongTransfer = 1;

  // One byte per report: the box takes the data byte by byte.
  bool sentAll = true;
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    if (!m_bLinkRunning) {
      sentAll = false;
      break;
    }
    m_nEscIdlePolls = 0;
    if (!SendBytesOn(channel, &bytes[i], 1)) {
      sentAll = false;
      break;
    }
    if (m_bShowProgress) m_host.setProgressPos(static_cast<int>(i + 1));
  }

  if (m_bLongTransfer) {
    if (channel == kChannelEsc) PauseLink(kLongTransferPauseMs);
    m_bLongTransfer = 0;
  }
  m_bShowProgress = 0;
  return sentAll;
}

void CCorvaneDlg::StartCommThread() {
  if (m_hCommThread.joinable()) m_hCommThread.join();
  SetLinkRunning(true);
  m_hCommThread = std::thread(&CCorvaneDlg::CommThreadProc, this);
}

void CCorvaneDlg::StopCommThread() {
  SetLinkRunning(false);
  if (m_hCommThread.joinable()) m_hCommThread.join();
}

void CCorvaneDlg::SetLinkRunning(bool running) {
  {
    std::lock_guard lock(m_pauseMutex);
    m_bLinkRunning = running ? 1 : 0;
  }
  if (!running) m_pauseWake.notify_all();
}

void CCorvaneDlg::PauseLink(int ms) {
  if (m_linkPauseForTests) {
    m_linkPauseForTests(ms);
    return;
  }
  std::unique_lock lock(m_pauseMutex);
  m_pauseWake.wait_for(lock, std::chrono::milliseconds(ms), [this] { return !m_bLinkRunning; });
}
