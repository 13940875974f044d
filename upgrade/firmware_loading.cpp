// Firmware images: a 32-byte header (target address, body length, device
// tag, zero byte sum) and a body. Fetched from the upgrade server or read from
// a file into a buffer of the loader's own, checked, and handed to the link,
// which programs the device.
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

// The header's target address and body length, big-endian.
int HeaderAddress(const std::vector<std::uint8_t>& image) {
  return image[0] * 256 + image[1];
}
int HeaderLength(const std::vector<std::uint8_t>& image) {
  return image[2] * 256 + image[3];
}

}  // namespace

void CCorvaneDlg::LoadEscFirmware(int index, int local) {
  LoadFirmware(Offers(m_escOffers), index, local, true);
}

void CCorvaneDlg::LoadBoxFirmware(int index, int local) {
  LoadFirmware(Offers(m_boxOffers), index, local, false);
}

bool CCorvaneDlg::ProgramUnderWay() const {
  // From the hand-off until the device's reply to the program command.
  return !LinkIdle() && (m_nPendingOp == kCmdProgram || m_frames[0].txCommand == kCmdProgram);
}

void CCorvaneDlg::LoadFirmware(UpgradeList list, int index, int local, bool toEsc) {
  // One image at a time: a second load while one is being programmed changes nothing.
  if (ProgramUnderWay()) return;

  const platform::MessageBoxKind notice = platform::MessageBoxKind::Information;
  std::vector<std::uint8_t> image;
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
    if (!DownloadFirmwareImage(list.url[index], image)) return;
  } else if (!ReadLocalFirmwareImage(image)) {
    return;
  }

  // The header: its 32 bytes sum to 0 and name the device; the body must be
  // there whole.
  const char* tag = toEsc ? "ESC" : "BOX";
  bool valid = image.size() >= kHeaderSize && std::memcmp(&image[kTagOffset], tag, 3) == 0;
  if (valid) {
    std::uint8_t sum = 0;
    for (std::size_t i = 0; i < kHeaderSize; ++i)
      sum = static_cast<std::uint8_t>(sum + image[i]);
    valid = sum == 0 && image.size() >= kHeaderSize + static_cast<std::size_t>(HeaderLength(image));
  }
  if (!valid) {
    m_host.messageBox(kBadImage, notice, kNoticeCaption);
    return;
  }
  HandOverFirmware(toEsc ? kChannelEsc : kChannelBox, HeaderAddress(image), HeaderLength(image),
                   image.data() + kHeaderSize);
}

void CCorvaneDlg::HandOverFirmware(std::uint8_t channel, int address, int length, const std::uint8_t* body) {
  // The body goes into the transmit buffer only together with the job, while
  // the link is idle: from then until the program command has been sent
  // nothing else writes that buffer. Only the UI thread starts programming,
  // so no program can start between the test and the hand-off.
  const auto fill = [&] {
    std::memcpy(m_fwBuffer.data(), body, static_cast<std::size_t>(length));
    m_nFwAddress = address;
    m_nFwLength = length;
  };
  while (!ProgramUnderWay()) {
    if (QueueIdentifyIfIdle(channel, kCmdProgram, false, fill)) return;
    // Nothing can be programmed while no box is connected.
    if (!m_bLinkRunning) {
      ShowStatus(27);  // "USB Connection Fail"
      return;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
}

bool CCorvaneDlg::DownloadFirmwareImage(const std::string& url, std::vector<std::uint8_t>& image) {
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
  image.assign(kFwBufferSize, 0);
  std::size_t size = 0;
  bool rangeSet = false;
  for (;;) {
    const std::size_t room = image.size() - size;
    const long got = room == 0 ? 0
                               : response->read(reinterpret_cast<char*>(image.data() + size),
                                                std::min(kDownloadPiece, room));
    if (got < 0) {
      ShowStatus(112);
      return false;
    }
    size += static_cast<std::size_t>(got);
    // The progress runs to the length the header gives, once it is there.
    if (!rangeSet && size >= kHeaderSize) {
      m_host.setProgressRange(0, (HeaderLength(image) + static_cast<int>(kHeaderSize)) & 0xFFFF);
      rangeSet = true;
    }
    if (got == 0) break;
    m_host.setProgressPos(static_cast<int>(size));
  }
  // Anything the buffer cannot hold is not an image.
  char extra;
  if (size == image.size() && response->read(&extra, 1) != 0) {
    m_host.messageBox(kBadImage, platform::MessageBoxKind::Information, kNoticeCaption);
    return false;
  }
  image.resize(size);
  return true;
}

bool CCorvaneDlg::ReadLocalFirmwareImage(std::vector<std::uint8_t>& image) {
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
  image.assign(kFwBufferSize, 0);
  file.read(reinterpret_cast<char*>(image.data()), static_cast<std::streamsize>(image.size()));
  const auto size = static_cast<std::size_t>(file.gcount());
  const bool longer = size == image.size() && file.peek() != std::char_traits<char>::eof();
  file.close();
  if (size == 0) {
    m_host.messageBox("No data!", notice, kNoticeCaption);
    return false;
  }
  if (longer) {
    m_host.messageBox(kBadImage, notice, kNoticeCaption);
    return false;
  }
  image.resize(size);
  if (size >= kHeaderSize)
    m_host.setProgressRange(0, (HeaderLength(image) + static_cast<int>(kHeaderSize)) & 0xFFFF);
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
