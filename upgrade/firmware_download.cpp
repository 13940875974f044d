// Firmware images from the upgrade server. The transfer runs on a worker
// thread while the window stays live and shows its progress; closing the
// window cancels it, and then nothing comes of it. Only an image that arrived
// whole is taken.
#include <fstream>

#include "app/corvane_dlg.h"
#include "platform/drive_c.h"
#include "platform/http.h"
#include "upgrade/firmware_image.h"

namespace {

constexpr std::size_t kDownloadPiece = 1023;
constexpr int kHttpOk = 200;
constexpr const char* kLinkImageFile = "C:\\CORVANE\\LinkFirmware.bin";

enum class Outcome { Complete, NoConnection, NotOk, BrokenOff, TooLarge };

// Fetches url into image, which holds at most capacity bytes; image keeps
// what arrived. Moves the progress bar with the bytes so far and, with
// setRange, first sets its range to the whole image once the header is in.
// Worker thread: reaches the window only through the host's thread-safe calls.
Outcome Fetch(const std::string& url, std::size_t capacity, bool setRange, platform::DialogHost& host,
              const std::atomic<bool>& cancel, std::vector<std::uint8_t>& image) {
  platform::HttpLimits limits;
  // One byte more than fits tells a body that is too large from one that broke off.
  limits.maxBodyBytes = capacity + 1;
  const std::unique_ptr<platform::HttpResponse> response = platform::OpenUrl(url, &cancel, limits);
  if (!response) return Outcome::NoConnection;
  if (response->status() != kHttpOk) return Outcome::NotOk;
  image.assign(capacity, 0);
  std::size_t size = 0;
  bool rangeSet = !setRange;
  // Keeps what arrived. Shrinking by erase, not resize: GCC 12 at -O3 cannot
  // see that size never exceeds the buffer and warns of a huge fill.
  const auto keepArrived = [&] {
    image.erase(image.begin() + static_cast<std::ptrdiff_t>(size), image.end());
  };
  for (;;) {
    const std::size_t room = image.size() - size;
    if (room == 0) {
      char extra;
      keepArrived();
      const long more = response->read(&extra, 1);
      return more == 0 ? Outcome::Complete : more > 0 ? Outcome::TooLarge : Outcome::BrokenOff;
    }
    const long got =
        response->read(reinterpret_cast<char*>(image.data() + size), std::min(kDownloadPiece, room));
    if (got < 0) {
      keepArrived();
      return Outcome::BrokenOff;
    }
    size += static_cast<std::size_t>(got);
    if (!rangeSet && size >= kImageHeaderSize) {
      host.setProgressRange(0, ImageProgressEnd(image));
      rangeSet = true;
    }
    if (got == 0) {
      keepArrived();
      return Outcome::Complete;
    }
    host.setProgressPos(static_cast<int>(size));
  }
}

// Runs the fetch with the window live and the loads refused meanwhile. False
// when the window is closing: the caller then does nothing more.
bool FetchLive(CCorvaneDlg& dlg, const std::string& url, bool setRange, std::vector<std::uint8_t>& image,
               Outcome& outcome) {
  dlg.m_bDownloading = 1;
  const bool live = dlg.m_host.runWhileLive([&](const std::atomic<bool>& closing) {
    outcome = Fetch(url, kFwBufferSize, setRange, dlg.m_host, closing, image);
  });
  dlg.m_bDownloading = 0;
  return live;
}

}  // namespace

bool CCorvaneDlg::DownloadUnderWay() const {
  return m_bDownloading != 0;
}

bool CCorvaneDlg::DownloadFirmwareImage(const std::string& url, std::vector<std::uint8_t>& image) {
  Outcome outcome = Outcome::BrokenOff;
  if (!FetchLive(*this, url, true, image, outcome)) return false;
  switch (outcome) {
    case Outcome::Complete:
      return true;
    case Outcome::NotOk:
      ShowStatus(111);  // "Fail to download the program file from the server!"
      return false;
    case Outcome::TooLarge:
      m_host.messageBox(kBadImage, platform::MessageBoxKind::Information, kImageNoticeCaption);
      return false;
    case Outcome::NoConnection:
    case Outcome::BrokenOff:
      break;
  }
  ShowStatus(112);  // "Recheck the network if it fails to connect!"
  return false;
}

void CCorvaneDlg::DownloadLinkFirmware(int index) {
  if (DownloadUnderWay()) return;
  const UpgradeList offers = Offers(m_linkOffers);
  if (index < 0 || index >= offers.count) return;
  std::vector<std::uint8_t> image;
  Outcome outcome = Outcome::BrokenOff;
  if (!FetchLive(*this, offers.url[index], false, image, outcome)) return;
  if (outcome == Outcome::NoConnection || outcome == Outcome::BrokenOff) ShowStatus(112);
  // Only a whole image is kept: a broken one would pass for firmware.
  if (outcome != Outcome::Complete) return;
  std::ofstream out(platform::MapDriveC(kLinkImageFile), std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(image.data()), static_cast<std::streamsize>(image.size()));
}
