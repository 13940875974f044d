// The localised Yes/No question box.
#pragma once

#include <string>

class CCorvaneDlg;

class CPageMsg {
 public:
  explicit CPageMsg(CCorvaneDlg& mainWindow) : m_main(mainWindow) {}

  // Shows the question m_strMsg; IDOK for Yes, IDCANCEL for No or a closed box.
  int DoModal();
  // Text of the main window's language.
  std::string GetText(int id) const;

  std::string m_strMsg;

 private:
  CCorvaneDlg& m_main;
};
