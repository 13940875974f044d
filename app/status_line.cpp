// Texts of the main window in its current language, and the status line.
#include "app/corvane_dlg.h"
#include "app/texts/ui_text_table.h"

std::string CCorvaneDlg::GetText(int id) const {
  return UiText(id, m_nLanguage);
}

void CCorvaneDlg::ShowStatus(int id) {
  m_nStatusTextId = id;
  m_host.setControlText(IDC_STATUS_LINE, GetText(id));
}
