#include "dialogs/page_seting.h"

#include "app/corvane_dlg.h"
#include "app/texts/ui_text_table.h"
#include "dialogs/page_msg.h"
#include "dialogs/page_rename.h"
#include "link/profile_name.h"

namespace {

// A kept name goes back with at most 15 characters.
constexpr std::size_t kKeptNameLength = 15;

}  // namespace

void CPageSeting::OnBnClickedDefault() {
  SettingsImage& image = m_pSettings != nullptr ? *m_pSettings : m_main.m_settings;
  std::string name;
  std::uint8_t k;
  {
    std::lock_guard lock(m_main.m_settingsMutex);
    k = image.selectedProfile;
    if (k >= kProfileCount) return;
    name = ProfileNameText(image.profiles[k].profileName);
  }

  std::string question;
  switch (m_main.m_nLanguage) {
    case kLanguageChinese:
      question = "复位 " + name + " 所有的数据?";
      break;
    case kLanguageJapanese:
      question = "リセット" + name + " データ?";
      break;
    case kLanguageGerman:
      question = "Alle " + name + " Daten wiederherstellen ?";
      break;
    default:
      question = "Reset " + name + " All Data?";
      break;
  }
  CPageMsg prompt(m_main);
  prompt.m_strMsg = question;
  if (prompt.DoModal() != platform::kIdOk) return;

  // The profile selected now alone gets its factory values and keeps its
  // name as it is now: the image may have been read again while the
  // question was open. Taken, reset and written back in one step.
  std::lock_guard lock(m_main.m_settingsMutex);
  k = image.selectedProfile;
  if (k >= kProfileCount) return;
  const std::u16string units = Utf16Units(ProfileNameText(image.profiles[k].profileName));
  m_main.LoadDefaultSettingsLocked();
  std::uint8_t* stored = image.profiles[k].profileName;
  const std::size_t n = std::min(units.size(), kKeptNameLength);
  for (std::size_t i = 0; i < n; ++i)
    stored[i] = static_cast<std::uint8_t>(units[i] & 0xFF);
  stored[n] = 0;
}

void CPageSeting::OnBnClickedRename() {
  CPageRename rename(m_main);
  rename.m_pSettings = m_pSettings;
  rename.DoModal();
}

std::string ExtractCnText(const std::string& notes) {
  static const std::string kKey = "\"cn\":\"";
  static const std::string kEnd = "\",\"";
  const std::size_t key = notes.find(kKey);
  if (key == std::string::npos) return {};
  const std::size_t start = key + kKey.size();
  const std::size_t end = notes.find(kEnd, start);
  if (end == std::string::npos) return {};
  return notes.substr(start, end - start);
}
