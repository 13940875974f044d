// Renames the selected profile of the settings image.
#pragma once

#include <string>

class CCorvaneDlg;
struct SettingsImage;

class CPageRename {
 public:
  explicit CPageRename(CCorvaneDlg& mainWindow) : m_main(mainWindow) {}

  // IDOK once a name was confirmed (an empty one changes nothing), IDCANCEL
  // when the dialog was closed.
  int DoModal();
  std::string GetText(int id) const;
  // Stores the entered text in the selected profile's name, as OK does.
  void OnOK(const std::string& enteredText);

  // The image whose selected profile is renamed.
  SettingsImage* m_pSettings = nullptr;

 private:
  CCorvaneDlg& m_main;
};
