// Enters one number under a caption that names it.
#pragma once

#include <string>

class CCorvaneDlg;

class CPageChange {
 public:
  explicit CPageChange(CCorvaneDlg& mainWindow) : m_main(mainWindow) {}

  // IDOK with m_fValue set from a valid entry; IDCANCEL when closed. An entry
  // that is not a number is refused and the dialog stays open.
  int DoModal();

  std::string m_strName;
  float m_fValue = 0;

 private:
  CCorvaneDlg& m_main;
};

// The value as the edit shows it: up to 6 significant digits ("%.*g").
std::string FormatDialogValue(float value);
// The value of an entry, or false when it is not a number (surrounding
// blanks are allowed).
bool ParseDialogValue(const std::string& text, float& value);
