// The selected profile, as the pages read and edit it: always under the
// settings lock, so that page edits and the link's copies of the image never
// interleave, and never through an index outside the ten profiles.
#include "app/corvane_dlg.h"

bool CCorvaneDlg::EditSelectedProfile(const std::function<void(SettingsImage&, SettingProfile&)>& edit) {
  std::lock_guard lock(m_settingsMutex);
  const std::uint8_t k = m_settings.selectedProfile;
  if (k >= kProfileCount) return false;
  edit(m_settings, m_settings.profiles[k]);
  return true;
}

bool CCorvaneDlg::SelectedProfile(SettingProfile& profile) const {
  std::lock_guard lock(m_settingsMutex);
  const std::uint8_t k = m_settings.selectedProfile;
  if (k >= kProfileCount) return false;
  profile = m_settings.profiles[k];
  return true;
}
