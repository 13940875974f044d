// Firmware images: fetched from the upgrade server or read from a file into
// a buffer of the loader's own, checked, and handed to the link, which
// programs the device.
#include <fcntl.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <thread>

#include "app/corvane_dlg.h"
#include "link/regular_file.h"
#include "upgrade/firmware_image.h"

namespace {

// From this ESC firmware on, server images older than it are refused.
constexpr std::uint16_t kNewFirmwareLine = 0x0105;

}  // namespace

void CCorvaneDlg::LoadEscFirmware(int index, int local) {
  LoadFirmware(Offers(m_escOffers), index, local, true);
}

void CCorvaneDlg::LoadBoxFirmware(int index, int local) {
  LoadFirmware(Offers(m_boxOffers), index, local, false);
}

bool CCorvaneDlg::ProgramUnderWay() const {
  // From the hand-off until the device's reply to the program command, and
  // on while the link counts down to identifying the reprogrammed device.
  if (m_bLinkRunning && !m_bIdentifySent && m_nIdentifyCountdown != 0) return true;
  return !LinkIdle() && (m_nPendingOp == kCmdProgram || JobCommand() == kCmdProgram);
}

bool CCorvaneDlg::ProgramBeingSent() const {
  return (m_bJobQueued || m_bBusy) && JobCommand() == kCmdProgram;
}

void CCorvaneDlg::LoadFirmware(UpgradeList list, int index, int local, bool toEsc) {
  // One image at a time: a second load while one is downloaded or programmed
  // changes nothing.
  if (ProgramUnderWay() || DownloadUnderWay()) return;
  // Nothing can be programmed without a box: said at once, before a download.
  if (NoLinkForRequest()) return;

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
  bool valid = image.size() >= kImageHeaderSize && std::memcmp(&image[kImageTagOffset], tag, 3) == 0;
  if (valid) {
    std::uint8_t sum = 0;
    for (std::size_t i = 0; i < kImageHeaderSize; ++i)
      sum = static_cast<std::uint8_t>(sum + image[i]);
    valid = sum == 0 && image.size() >= kImageHeaderSize + static_cast<std::size_t>(ImageBodyLength(image));
  }
  if (!valid) {
    m_host.messageBox(kBadImage, notice, kImageNoticeCaption);
    return;
  }
  HandOverFirmware(toEsc ? kChannelEsc : kChannelBox, ImageAddress(image), ImageBodyLength(image),
                   image.data() + kImageHeaderSize);
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
    // The firmware page's upgrade holds the page from here until it ends.
    // Marked with the job, before the link can take it: it may end at once.
    if (m_bPageUpgradeLoading) {
      m_bUpgradeStarted = 1;
      m_bUpgradeOnLink = 1;
    }
  };
  for (;;) {
    // The box may have gone during the download. Only the UI thread stops
    // the link, so it cannot stop between this test and the hand-off.
    if (NoLinkForRequest()) return;
    // A program met here (its device not yet identified again) leaves this
    // image unused; the user is told, rather than left with the download's
    // text.
    if (ProgramUnderWay()) {
      ShowStatus(24);  // "Fail, Try Again"
      return;
    }
    if (QueueIdentifyIfIdle(channel, kCmdProgram, false, fill)) return;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
}

bool CCorvaneDlg::ReadLocalFirmwareImage(std::vector<std::uint8_t>& image) {
  const platform::MessageBoxKind notice = platform::MessageBoxKind::Information;
  if (m_strFirmwarePath.empty()) {
    m_host.messageBox("Can't find file!", notice, kImageNoticeCaption);
    return false;
  }
  // Read-only: loading an image never changes its file. Links are followed
  // only where safe, and anything but a regular file is refused at once: a
  // FIFO or a device would hang the window or give endless bytes.
  const auto target = FollowLinks(m_strFirmwarePath);
  struct stat st {};
  const Fd file = target ? OpenRegularFile(*target, O_RDONLY, st) : Fd();
  if (!file.valid()) {
    m_host.messageBox("Can't open file!", notice, kImageNoticeCaption);
    return false;
  }
  // No more than the buffer holds, and one byte to tell a longer file.
  image.assign(kFwBufferSize, 0);
  const ssize_t got = ReadAt(file.get(), reinterpret_cast<char*>(image.data()), image.size(), 0);
  char beyond = 0;
  const bool longer = got == static_cast<ssize_t>(image.size()) &&
                      ReadAt(file.get(), &beyond, 1, static_cast<off_t>(image.size())) != 0;
  const auto size = static_cast<std::size_t>(std::max<ssize_t>(got, 0));
  if (size == 0) {
    m_host.messageBox(got < 0 ? "Can't open file!" : "No data!", notice, kImageNoticeCaption);
    return false;
  }
  if (longer) {
    m_host.messageBox(kBadImage, notice, kImageNoticeCaption);
    return false;
  }
  image.resize(size);
  if (size >= kImageHeaderSize) m_host.setProgressRange(0, ImageProgressEnd(image));
  return true;
}
