#include "dialogs/page_rename.h"

#include "app/corvane_dlg.h"
#include "app/texts/ui_text_table.h"
#include "link/profile_name.h"

namespace {

constexpr int kNameEdit = 1007;
constexpr int kNameLabel = 1117;

}  // namespace

std::string CPageRename::GetText(int id) const {
  return UiText(id, m_main.m_nLanguage);
}

int CPageRename::DoModal() {
  std::string name;
  {
    std::lock_guard lock(m_main.m_settingsMutex);
    const SettingsImage& image = m_pSettings != nullptr ? *m_pSettings : m_main.m_settings;
    if (image.selectedProfile < kProfileCount)
      name = ProfileNameText(image.profiles[image.selectedProfile].profileName);
  }
  using platform::DialogItem;
  platform::DialogTemplate dialog;
  dialog.caption = GetText(94);
  dialog.width = 178;
  dialog.height = 86;
  dialog.items = {
      {DialogItem::Kind::Static, kNameLabel, 7, 29, 44, 12, GetText(92), false, false, true},
      {DialogItem::Kind::Edit, kNameEdit, 54, 27, 91, 15, name, false, false, true},
      {DialogItem::Kind::Button, platform::kIdOk, 65, 59, 50, 14, GetText(93), true, false, true},
  };
  return m_main.m_host
      .runModal(dialog,
                [this](int button, const std::map<int, std::string>& edits) {
                  if (button == platform::kIdOk) {
                    auto edit = edits.find(kNameEdit);
                    OnOK(edit == edits.end() ? std::string() : edit->second);
                  }
                  return true;
                })
      .code;
}

void CPageRename::OnOK(const std::string& enteredText) {
  const std::u16string units = Utf16Units(enteredText);
  const std::size_t n = units.size();
  if (n == 0) return;  // an empty entry keeps the old name
  std::lock_guard lock(m_main.m_settingsMutex);
  SettingsImage& image = m_pSettings != nullptr ? *m_pSettings : m_main.m_settings;
  if (image.selectedProfile >= kProfileCount) return;
  std::uint8_t* name = image.profiles[image.selectedProfile].profileName;
  // The low byte of each unit, then the terminating NUL; bytes after it keep
  // the old name's.
  for (std::size_t i = 0; i < kProfileNameSize && i <= n; ++i) {
    name[i] = i < n ? static_cast<std::uint8_t>(units[i] & 0xFF) : 0;
  }
  // A long name keeps its first 14 characters.
  if (n >= 15) name[14] = 0;
}
