// .esc setting files: the byte 0x0A followed by the 2477-byte settings image.
#include <cstring>
#include <filesystem>
#include <fstream>
#include <vector>

#include "app/corvane_dlg.h"
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

void CCorvaneDlg::OnBnClickedLoadFromPc() {
  const auto path = m_host.chooseFileToOpen(EscFileOptions(false));
  if (!path) return;

  std::fstream file(*path, std::ios::in | std::ios::out | std::ios::binary);
  if (!file.is_open()) {
    m_host.messageBox(kCantOpenFile, platform::MessageBoxKind::Plain);
    return;
  }
  // Read one byte more than a settings file holds, to tell a longer file.
  std::vector<char> content(kFileSize + 1);
  file.read(content.data(), static_cast<std::streamsize>(content.size()));
  const auto got = static_cast<std::size_t>(file.gcount());
  file.close();

  // Only a whole image with a profile index the pages can show is taken;
  // anything else leaves the image in memory as it was.
  const auto* image = reinterpret_cast<const std::uint8_t*>(content.data()) + 1;
  if (got != kFileSize || image[kTailOffset] >= kProfileCount) {
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
}

void CCorvaneDlg::OnBnClickedSaveToPc() {
  const auto chosen = m_host.chooseFileToSave(EscFileOptions(true));
  if (!chosen) return;

  std::vector<char> block(kFileSize);
  block[0] = static_cast<char>(kFileMark);
  const SettingsImage image = SettingsSnapshot();
  std::memcpy(block.data() + 1, image.bytes(), kSettingsSize);
  if (const char* failure = SaveBlock(*chosen, block))
    m_host.messageBox(failure, platform::MessageBoxKind::Plain);
}
