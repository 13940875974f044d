// Firmware images: a 32-byte header (target address, body length, device
// tag, zero byte sum) and a body. Fetched from the upgrade server or read from
// a file, checked, and handed to the link, which programs the device.
#include <chrono>
#include <cstring>
#include <fstream>
#include <thread>

#include "app/corvane_dlg.h"
#include "platform/drive_c.h"
#include "platform/http.h"

namespace {

constexpr std::size_t kHeaderSize = 32;
constexpr std::size_t kTagOffset = 8;
constexpr std::size_t kDownloadPiece = 1023;
constexpr int kHttpOk = 200;
// From this ESC firmware on, server images older than it are refused.
constexpr std::uint16_t kNewFirmwareLine = 0x0105;

constexpr const char* kNoticeCaption = "提示";
constexpr const char* kBadImage = "程序文件错误";
constexpr const char* kLinkImageFile = "C:\\CORVANE\\LinkFirmware.bin";

}  // namespace

void CCorvaneDlg::LoadEscFirmware(int index, int local) {
  LoadFirmware(Offers(m_escOffers), index, local, true);
}

void CCorvaneDlg::LoadBoxFirmware(int index, int local) {
  LoadFirmware(Offers(m_boxOffers), index, local, false);
}

void CCorvaneDlg::LoadFirmware(UpgradeList list, int index, int local, bool toEsc) {
  const platform::MessageBoxKind notice = platform::MessageBoxKind::Information;
  std::size_t size = 0;
  if (list.count > 0 && local != 1) {
    if (index < 0 || index >= list.count) return;
    if (toEsc) {
      std::uint16_t running;
      {
        std::lock_guard lock(m_settingsMutex);
        running = m_escId.firmwareVersion;
      }
      // An ESC on the new line takes no server image from before it.
      if (running >= kNewFirmwareLine && list.version[index] < kNewFirmwareLine) {
        m_host.messageBox("File Err!", platform::MessageBoxKind::Plain);
        return;
      }
    }
    ShowStatus(110);  // "The program file is downloading from the server..."
    if (!DownloadFirmwareImage(list.url[index], size)) return;
  } else if (!ReadLocalFirmwareImage(size)) {
    return;
  }

  // The header: its 32 bytes sum to 0 and name the device; the body must be
  // there whole.
  std::uint8_t sum = 0;
  for (std::size_t i = 0; i < kHeaderSize; ++i)
    sum = static_cast<std::uint8_t>(sum + m_fwBuffer[i]);
  const char* tag = toEsc ? "ESC" : "BOX";
  if (size < kHeaderSize || sum != 0 || std::memcmp(&m_fwBuffer[kTagOffset], tag, 3) != 0 ||
      size < kHeaderSize + static_cast<std::size_t>(m_nFwLength)) {
    m_host.messageBox(kBadImage, notice, kNoticeCaption);
    return;
  }
  std::memmove(m_fwBuffer.data(), m_fwBuffer.data() + kHeaderSize, m_nFwLength);

  // Hand the body over once the link is idle; nothing can be programmed
  // while no box is connected.
  const std::uint8_t channel = toEsc ? kChannelEsc : kChannelBox;
  while (!QueueIdentifyIfIdle(channel, kCmdProgram, false)) {
    if (!m_bLinkRunning) {
      ShowStatus(27);  // "USB Connection Fail"
      return;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
}

// Takes the header's address and length from the first bytes of an image.
static void TakeHeaderFields(const std::uint8_t* image, std::atomic<int>& address, std::atomic<int>& length) {
  address = image[0] * 256 + image[1];
  length = image[2] * 256 + image[3];
}

bool CCorvaneDlg::DownloadFirmwareImage(const std::string& url, std::size_t& size) {
  const std::unique_ptr<platform::HttpResponse> response = platform::OpenUrl(url);
  if (!response) {
    ShowStatus(112);  // "Recheck the network if it fails to connect!"
    return false;
  }
  // A reply other than the image is not programmed.
  if (response->status() != kHttpOk) {
    ShowStatus(111);  // "Fail to download the program file from the server!"
    return false;
  }
  size = 0;
  bool first = true;
  for (;;) {
    const std::size_t room = m_fwBuffer.size() - size;
    const long got = room == 0 ? 0
                               : response->read(reinterpret_cast<char*>(m_fwBuffer.data() + size),
                                                std::min(kDownloadPiece, room));
    if (got < 0) {
      ShowStatus(112);
      return false;
    }
    size += static_cast<std::size_t>(got);
    if (first) {
      TakeHeaderFields(m_fwBuffer.data(), m_nFwAddress, m_nFwLength);
      m_host.setProgressRange(0, (m_nFwLength + static_cast<int>(kHeaderSize)) & 0xFFFF);
      first = false;
    }
    if (got == 0) break;
    m_host.setProgressPos(static_cast<int>(size));
  }
  // Anything the buffer cannot hold is not an image.
  char extra;
  if (size == m_fwBuffer.size() && response->read(&extra, 1) != 0) {
    m_host.messageBox(kBadImage, platform::MessageBoxKind::Information, kNoticeCaption);
    return false;
  }
  return true;
}

bool CCorvaneDlg::ReadLocalFirmwareImage(std::size_t& size) {
  const platform::MessageBoxKind notice = platform::MessageBoxKind::Information;
  if (m_strFirmwarePath.empty()) {
    m_host.messageBox("Can't find file!", notice, kNoticeCaption);
    return false;
  }
  std::fstream file(m_strFirmwarePath, std::ios::in | std::ios::out | std::ios::binary);
  if (!file.is_open()) {
    m_host.messageBox("Can't open file!", notice, kNoticeCaption);
    return false;
  }
  file.read(reinterpret_cast<char*>(m_fwBuffer.data()), static_cast<std::streamsize>(m_fwBuffer.size()));
  size = static_cast<std::size_t>(file.gcount());
  const bool longer = size == m_fwBuffer.size() && file.peek() != std::char_traits<char>::eof();
  file.close();
  if (size == 0) {
    m_host.messageBox("No data!", notice, kNoticeCaption);
    return false;
  }
  if (longer) {
    m_host.messageBox(kBadImage, notice, kNoticeCaption);
    return false;
  }
  TakeHeaderFields(m_fwBuffer.data(), m_nFwAddress, m_nFwLength);
  m_host.setProgressRange(0, (m_nFwLength + static_cast<int>(kHeaderSize)) & 0xFFFF);
  return true;
}

void CCorvaneDlg::DownloadLinkFirmware(int index) {
  const UpgradeList offers = Offers(m_linkOffers);
  if (index < 0 || index >= offers.count) return;
  const std::unique_ptr<platform::HttpResponse> response = platform::OpenUrl(offers.url[index]);
  if (!response) {
    ShowStatus(112);
    return;
  }
  if (response->status() != kHttpOk) return;
  std::ofstream out(platform::MapDriveC(kLinkImageFile), std::ios::binary | std::ios::trunc);
  char piece[kDownloadPiece + 1];
  long total = 0;
  for (long got; (got = response->read(piece, kDownloadPiece)) > 0;) {
    out.write(piece, got);
    total += got;
    m_host.setProgressPos(static_cast<int>(total));
  }
}
