// .esc setting files: the byte 0x0A followed by the 2477-byte settings image.
#include <fcntl.h>

#include <cstring>
#include <exception>
#include <filesystem>
#include <vector>

#include "app/corvane_dlg.h"
#include "link/regular_file.h"
#include "link/safe_file_write.h"

namespace {

constexpr std::uint8_t kFileMark = 0x0A;
constexpr std::size_t kFileSize = 1 + kSettingsSize;  // 2478

platform::FileDialogOptions EscFileOptions(bool confirmOverwrite) {
  return {"esc", "*.esc", "*.esc", confirmOverwrite};
}

constexpr const char* kCantOpenFile = "Can't open file!";
constexpr const char* kFileErr = "file Err!";

// Saves the block under the chosen name; the message to show when it fails.
const char* SaveBlock(const std::filesystem::path& chosen, const std::vector<char>& block) {
  switch (WriteFileSafely(chosen, block)) {
    case FileWrite::Written:
      return nullptr;
    case FileWrite::NotOpened:
      return kCantOpenFile;
    case FileWrite::Failed:
      break;
  }
  return kFileErr;
}

}  // namespace

// Nothing that fails in a load or a save (memory, the file system) ends the
// program: it says "file Err!".
void CCorvaneDlg::OnBnClickedLoadFromPc() try {
  const auto path = m_host.chooseFileToOpen(EscFileOptions(false));
  if (!path) return;

  // Opened for reading and writing, so a read-only file is not loaded; links
  // are followed only where safe, and anything but a regular file (a FIFO
  // would hang the read) is refused.
  const auto target = FollowLinks(*path);
  struct stat st {};
  Fd file = target ? OpenRegularFile(*target, O_RDWR, st) : Fd();
  if (!file.valid()) {
    m_host.messageBox(kCantOpenFile, platform::MessageBoxKind::Plain);
    return;
  }
  // Read one byte more than a settings file holds, to tell a longer file.
  std::vector<char> content(kFileSize + 1);
  const ssize_t got = ReadAt(file.get(), content.data(), content.size(), 0);
  file.Close();

  // Only a whole image with a profile index the pages can show is taken;
  // anything else leaves the image in memory as it was.
  const auto* image = reinterpret_cast<const std::uint8_t*>(content.data()) + 1;
  if (got != static_cast<ssize_t>(kFileSize) || image[kTailOffset] >= kProfileCount) {
    m_host.messageBox(kFileErr, platform::MessageBoxKind::Plain);
    return;
  }
  {
    std::lock_guard lock(m_settingsMutex);
    std::memcpy(m_settings.bytes(), image, kSettingsSize);
  }
  LoadDefaultProfile();
  m_bFromFile = 1;
  m_host.enableControl(IDC_SAVE_TO_PC, true);
} catch (const std::exception&) {
  m_host.messageBox(kFileErr, platform::MessageBoxKind::Plain);
}

void CCorvaneDlg::OnBnClickedSaveToPc() try {
  const auto chosen = m_host.chooseFileToSave(EscFileOptions(true));
  if (!chosen) return;

  std::vector<char> block(kFileSize);
  block[0] = static_cast<char>(kFileMark);
  const SettingsImage image = SettingsSnapshot();
  std::memcpy(block.data() + 1, image.bytes(), kSettingsSize);
  if (const char* failure = SaveBlock(*chosen, block))
    m_host.messageBox(failure, platform::MessageBoxKind::Plain);
} catch (const std::exception&) {
  m_host.messageBox(kFileErr, platform::MessageBoxKind::Plain);
}
