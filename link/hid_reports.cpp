// Output reports out, input reports in: the HID side of the link. Every
// report carries a channel byte, so one pipe carries the ESC stream and the
// box's own stream.
#include <algorithm>
#include <cstring>

#include "app/corvane_dlg.h"

namespace {

constexpr std::uint8_t kOutputReportId = 0x02;
// Reports asked for in one read, at most; the library is told to buffer 512.
constexpr std::uint32_t kMaxReportsPerRead = 512;
// Consecutive reads without a byte after which a parser gives up on a frame.
constexpr int kIdlePollsBeforeReset = 100;

}  // namespace

bool CCorvaneDlg::SendBytes(const std::uint8_t* bytes, int count) {
  return SendBytesOn(m_nChannel, bytes, count);
}

bool CCorvaneDlg::SendBytesOn(std::uint8_t channel, const std::uint8_t* bytes, int count) {
  const CvHidDevice device = m_hHidDevice;
  const int length = m_hidApi.HidDevice_GetOutputReportBufferLength(device);
  if (length < kMinReportLength) return false;

  std::vector<std::uint8_t> report(length);
  for (int sent = 0; sent < count; sent += kMaxReportData) {
    const int chunk = std::min(kMaxReportData, count - sent);
    std::fill(report.begin(), report.end(), 0);
    report[0] = kOutputReportId;
    report[1] = channel;
    report[2] = static_cast<std::uint8_t>(chunk);
    std::memcpy(&report[3], bytes + sent, chunk);
    if (m_hidApi.HidDevice_SetOutputReport_Interrupt(device, report.data(), length) != CV_HID_OK)
      return false;
  }
  return true;
}

void CCorvaneDlg::ReceiveReports() {
  const CvHidDevice device = m_hHidDevice;
  const std::uint32_t reports = std::min(m_hidApi.HidDevice_GetMaxReportRequest(device), kMaxReportsPerRead);
  const int length = m_hidApi.HidDevice_GetOutputReportBufferLength(device);
  if (length < kMinReportLength || reports == 0) return;

  const std::uint32_t size = reports * static_cast<std::uint32_t>(length);
  m_reportBuffer.assign(size, 0);
  std::uint32_t returned = 0;
  const CvHidStatus status =
      m_hidApi.HidDevice_GetInputReport_Interrupt(device, m_reportBuffer.data(), size, reports, &returned);
  if (status != CV_HID_OK && status != CV_HID_TIMED_OUT) return;
  returned = std::min(returned, size);

  // Split by channel. A report counts only as far as it arrived, and its
  // count byte is cut to what the report can hold.
  m_escStaging.clear();
  m_boxStaging.clear();
  for (std::uint32_t offset = 0; offset + 3 <= returned; offset += length) {
    const std::uint8_t* report = &m_reportBuffer[offset];
    const std::uint32_t available = std::min<std::uint32_t>(returned - offset, length) - 3;
    const std::uint32_t count = std::min<std::uint32_t>({report[2], kStagingPerReport, available});
    auto& staging = report[1] == kChannelEsc ? m_escStaging : m_boxStaging;
    staging.insert(staging.end(), report + 3, report + 3 + count);
  }

  ParseStream(m_escStaging, m_nEscIdlePolls, m_nEscParseState, m_nEscIndex, &CCorvaneDlg::ParseEscByte);
  ParseStream(m_boxStaging, m_nBoxIdlePolls, m_nBoxParseState, m_nBoxIndex, &CCorvaneDlg::ParseBoxByte);
}

void CCorvaneDlg::ParseStream(const std::vector<std::uint8_t>& bytes, int& idlePolls, ParseState& state,
                              int& index, void (CCorvaneDlg::*parseByte)(std::uint8_t)) {
  if (bytes.empty()) {
    // A frame that stops arriving is given up after a while.
    if (++idlePolls > kIdlePollsBeforeReset) {
      state = Start;
      index = 0;
    }
    return;
  }
  m_nWaitTicks = 0;
  idlePolls = 0;
  for (std::uint8_t b : bytes) {
    if (!m_bLinkRunning) break;
    (this->*parseByte)(b);
  }
}
