// The upgrade page: per device a list of server versions, an Upgrade button
// and a button that picks a local image file. The main window holds it as a
// member but shows its own firmware page instead, so it is never opened.
#pragma once

#include <string>

class CCorvaneDlg;
struct SettingsImage;

class CPageUp {
 public:
  explicit CPageUp(CCorvaneDlg& mainWindow) : m_main(mainWindow) {}

  // Upgrade from the server entry selected in the device's list.
  void OnBnClickedUpgradeEsc();
  void OnBnClickedUpgradeBox();
  // Pick an image file, remember it, and program the device from it.
  void OnBnClickedLocalEsc();
  void OnBnClickedLocalBox();

  std::string m_strEscFile;
  std::string m_strBoxFile;
  SettingsImage* m_pSettings = nullptr;
  // Selected entries of the two version lists; nothing fills the lists.
  int m_nEscVersionSel = -1;
  int m_nBoxVersionSel = -1;

 private:
  // Shows the open dialog for an image; false when cancelled.
  bool PickImage(std::string& path, const char* iniKey);

  CCorvaneDlg& m_main;
};
