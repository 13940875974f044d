// Requests that hand a device operation to the communication thread, and the
// job hand-off itself. A job's fields are written first and m_bJobQueued last,
// all under m_jobMutex, so a job is never mixed with another.
#include <chrono>
#include <cstring>

#include "app/corvane_dlg.h"
#include "dialogs/page_msg.h"

namespace {

// Ticks of the 200 ms timer that an ESC Default waits for a busy link: 5 s.
constexpr int kEscDefaultWaitTicks = 25;

}  // namespace

bool CCorvaneDlg::LinkIdle() const {
  // m_bBusy is read first: a handler sets m_bHandlingReply before it clears
  // m_bBusy, so a clear m_bBusy is never seen without it.
  if (m_bBusy) return false;
  if (m_bHandlingReply) return false;
  // The link's own identify (of a new connection, or of a reprogrammed
  // device after its countdown) replaces whatever job is queued before it.
  if (m_bLinkRunning && !m_bIdentifySent) return false;
  return !m_bJobQueued;
}

bool CCorvaneDlg::NoLinkForRequest() {
  if (m_bLinkRunning) return false;
  ShowStatus(27);  // "USB Connection Fail"
  return true;
}

std::uint8_t CCorvaneDlg::JobCommand() const {
  std::lock_guard lock(m_jobMutex);
  return m_frames[0].txCommand;
}

void CCorvaneDlg::QueueJob(std::uint8_t command, std::int32_t address, std::int32_t length,
                           const std::uint8_t* data) {
  std::lock_guard lock(m_jobMutex);
  FrameSlot& a = m_frames[0];
  a.txCommand = command;
  a.txAddress = address;
  a.txLength = length;
  a.txData = data;
  m_bJobQueued = 1;
}

void CCorvaneDlg::FillIdentifyJob(std::uint8_t channel, int op) {
  m_nChannel = channel;
  m_nPendingOp = op;
  m_nWaitTicks = 0;
  m_frames[0].txCommand = kCmdIdentify;
  m_frames[0].txLength = 0;
}

void CCorvaneDlg::QueueIdentify(std::uint8_t channel, int op) {
  std::lock_guard lock(m_jobMutex);
  FillIdentifyJob(channel, op);
  m_bJobQueued = 1;
}

bool CCorvaneDlg::QueueIdentifyIfIdle(std::uint8_t channel, int op, bool presenceOnly,
                                      const std::function<void()>& alongside) {
  {
    std::lock_guard lock(m_jobMutex);
    // A stopped link takes nothing: the job would wait for whatever device
    // comes next. Only the UI thread stops the link.
    if (!m_bLinkRunning || !LinkIdle()) return false;
    if (alongside) alongside();
    FillIdentifyJob(channel, op);
    // Only the presence poll's own identify is a presence check.
    m_bPresenceOnly = presenceOnly ? 1 : 0;
    m_bJobQueued = 1;
  }
  WakeLink();
  return true;
}

bool CCorvaneDlg::QueueTimingTest() {
  {
    std::lock_guard lock(m_jobMutex);
    if (!m_bLinkRunning || !LinkIdle()) return false;
    // Sent as it is, without an identify; the pending operation stays.
    m_nChannel = kChannelEsc;
    m_nWaitTicks = 0;
    FrameSlot& a = m_frames[0];
    a.txCommand = kCmdTest;
    a.txAddress = 0;
    a.txLength = 8;
    a.txData = m_fwBuffer.data();
    m_bJobQueued = 1;
  }
  WakeLink();
  return true;
}

void CCorvaneDlg::WakeLink() {
  const CvHidDevice device = m_hHidDevice;
  if (m_bLinkRunning && device != nullptr && m_hidApi.HidDevice_CancelIo != nullptr)
    m_hidApi.HidDevice_CancelIo(device);
}

void CCorvaneDlg::OnBnClickedApply() {
  if (NoLinkForRequest()) return;
  // A different profile was chosen: the whole image, else the profile and the tail.
  QueueIdentifyIfIdle(kChannelEsc, m_bProfileChanged ? kCmdWriteImage : kCmdWriteBlock, false);
}

void CCorvaneDlg::OnBnClickedEscDefault() {
  // A reset already waiting for the link is not asked for again.
  if (WindowHeld()) return;
  CPageMsg prompt(*this);
  prompt.m_strMsg = GetText(29);  // "Reset All ESC Data ?"
  if (prompt.DoModal() != platform::kIdOk) return;
  // Without a link the reset stands in memory, and the write is answered at once.
  if (!m_bLinkRunning) {
    ResetForEscDefault();
    ShowStatus(27);  // "USB Connection Fail"
    return;
  }
  // A link busy for the moment (a presence poll, say) takes it at a later
  // tick. Until then nothing else may start: an edit or a curve written in
  // the wait would be undone by the reset, or land in the wrong profile.
  if (!QueueEscDefault()) HoldWindow(true);
}

bool CCorvaneDlg::WindowHeld() const {
  return m_nEscDefaultWait != 0;
}

void CCorvaneDlg::HoldWindow(bool held) {
  m_nEscDefaultWait = held ? kEscDefaultWaitTicks : 0;
  m_host.showBusy(held);
}

void CCorvaneDlg::ResetForEscDefault() {
  std::lock_guard lock(m_settingsMutex);
  m_settings.selectedProfile = 10;
  LoadDefaultSettingsLocked();
}

bool CCorvaneDlg::QueueEscDefault() {
  // The image is reset only together with the write that takes it to the
  // ESC; a link that is not idle changes nothing.
  return QueueIdentifyIfIdle(kChannelEsc, kCmdWriteImage, false, [this] { ResetForEscDefault(); });
}

void CCorvaneDlg::RetryEscDefault() {
  if (!WindowHeld()) return;
  if (QueueEscDefault()) {
    HoldWindow(false);
  } else if (--m_nEscDefaultWait == 0) {
    HoldWindow(false);
    // The reset was not made. Program bytes that kept the link busy keep
    // their own text in the status line.
    if (!ProgramBeingSent()) ShowStatus(24);  // "Fail, Try Again"
  }
}

void CCorvaneDlg::OnBnClickedEscRead() {
  if (NoLinkForRequest()) return;
  // Straight to the ESC only when it answered and the box did not.
  const std::uint8_t channel = m_bEscPresent && !m_bBoxPresent ? kChannelEsc : kChannelBox;
  QueueIdentifyIfIdle(channel, kCmdRead, false);
}

void CCorvaneDlg::WriteSettingsBlock(std::uint32_t address, const std::uint8_t* data, std::uint32_t length,
                                     int progress) {
  // The block must lie inside the settings area.
  if (address < kSettingsAddress || std::uint64_t{address} + length > kSettingsEnd) return;

  // The reply handlers that call this have cleared m_bBusy already.
  while (m_bBusy && m_bLinkRunning)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));

  {
    std::lock_guard lock(m_settingsMutex);
    std::memcpy(m_fwBuffer.data(), data, length);
  }
  ShowStatus(25);  // "Data Sending..."
  std::lock_guard lock(m_jobMutex);
  FrameSlot& a = m_frames[0];
  a.txCommand = kCmdWriteBlock;
  a.txAddress = static_cast<std::int32_t>(address);
  a.txLength = static_cast<std::int32_t>(length);
  a.txData = m_fwBuffer.data();
  if (progress == 1) m_bShowProgress = 1;
  m_bJobQueued = 1;
}
