// The general-settings page member and its one live function, the profile
// reset prompt; the empty function page; and the text of the "cn" entry of a
// firmware entry's notes.
#pragma once

#include <string>

class CCorvaneDlg;
struct SettingsImage;
struct SettingProfile;

class CPageSeting {
 public:
  explicit CPageSeting(CCorvaneDlg& mainWindow) : m_main(mainWindow) {}

  // Asks whether to reset the selected profile to its factory values and, on
  // Yes, does so in memory, keeping its name.
  void OnBnClickedDefault();
  // Renames the selected profile.
  void OnBnClickedRename();

  SettingsImage* m_pSettings = nullptr;
  SettingProfile* m_pRefProfile = nullptr;

 private:
  CCorvaneDlg& m_main;
};

// A page the main window holds and never shows.
class CFunction {};

// The value under the key "cn" of a notes text: what follows "cn":" up to
// the next quote-comma-quote; empty when either is missing.
std::string ExtractCnText(const std::string& notes);
