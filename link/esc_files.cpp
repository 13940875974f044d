// .esc setting files: the byte 0x0A followed by the 2477-byte settings image.
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <vector>

#include "app/corvane_dlg.h"

namespace {

constexpr std::uint8_t kFileMark = 0x0A;
constexpr std::size_t kFileSize = 1 + kSettingsSize;  // 2478

platform::FileDialogOptions EscFileOptions(bool confirmOverwrite) {
  return {"esc", "*.esc", "*.esc", confirmOverwrite};
}

namespace fs = std::filesystem;

constexpr const char* kCantOpenFile = "Can't open file!";
constexpr const char* kFileErr = "file Err!";
// More links in a row than this are taken for a loop.
constexpr int kMaxLinksFollowed = 40;

enum class Written { Whole, NotOpened, Failed };

// Writes the block as the whole content of the file at path.
Written WriteWhole(const fs::path& path, const std::vector<char>& block) {
  std::ofstream out(path, std::ios::out | std::ios::binary | std::ios::trunc);
  if (!out.is_open()) return Written::NotOpened;
  out.write(block.data(), static_cast<std::streamsize>(block.size()));
  out.close();
  return out.fail() ? Written::Failed : Written::Whole;
}

// The message for a write that did not succeed; none for one that did.
const char* Failure(Written written) {
  if (written == Written::NotOpened) return kCantOpenFile;
  return written == Written::Failed ? kFileErr : nullptr;
}

// The file a path leads to: symbolic links are followed, a relative one from
// the folder of the link. Nothing for a link that cannot be read or a loop.
std::optional<fs::path> FollowLinks(fs::path path) {
  for (int followed = 0; followed <= kMaxLinksFollowed; ++followed) {
    std::error_code error;
    if (!fs::is_symlink(fs::symlink_status(path, error))) return path;
    const fs::path next = fs::read_symlink(path, error);
    if (error) return std::nullopt;
    path = next.is_absolute() ? next : path.parent_path() / next;
  }
  return std::nullopt;
}

// Saves the block under the chosen name; the message to show when it fails.
// A new file is written beside the target and moved into place, so that a
// failed save never leaves a half-written file or spoils an existing one; the
// replacement keeps the mode of the file it replaces. A folder that takes no
// new file still lets an existing, writable file be written in place.
const char* SaveBlock(const fs::path& chosen, const std::vector<char>& block) {
  const auto target = FollowLinks(chosen);
  if (!target) return kCantOpenFile;
  std::error_code error;
  const fs::file_status existing = fs::status(*target, error);

  const fs::path partial = target->parent_path() / ("." + target->filename().string() + ".saving");
  const Written written = WriteWhole(partial, block);
  if (written == Written::NotOpened) {
    return fs::is_regular_file(existing) ? Failure(WriteWhole(*target, block)) : kCantOpenFile;
  }
  if (written == Written::Failed) {
    fs::remove(partial, error);
    return kFileErr;
  }
  // As far as the file system holds modes; a replacement without is still saved.
  if (fs::exists(existing))
    fs::permissions(partial, existing.permissions(), fs::perm_options::replace, error);
  fs::rename(partial, *target, error);
  if (!error) return nullptr;
  fs::remove(partial, error);
  return kCantOpenFile;
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
