#include "app/about_dlg.h"

#include "app/texts/ui_text_table.h"

int CAboutDlg::DoModal() {
  using platform::DialogItem;
  platform::DialogTemplate dialog;
  dialog.caption = "About Corvane";
  dialog.width = 170;
  dialog.height = 62;
  // The icon, the title beside it, and an OK button to close the box.
  dialog.items = {
      {DialogItem::Kind::Icon, -1, 14, 14, 20, 20, "", false, false, true},
      {DialogItem::Kind::Static, 1126, 42, 18, 120, 10, GetTitleText(), false, false, true},
      {DialogItem::Kind::Button, platform::kIdOk, 113, 41, 50, 14, "OK", true, false, true},
  };
  return m_host.runModal(dialog, [](int, const auto&) { return true; }).code;
}
