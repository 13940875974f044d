#include "dialogs/page_msg.h"

#include "app/corvane_dlg.h"
#include "app/texts/ui_text_table.h"

std::string CPageMsg::GetText(int id) const {
  return UiText(id, m_main.m_nLanguage);
}

int CPageMsg::DoModal() {
  using platform::DialogItem;
  platform::DialogTemplate dialog;
  dialog.caption = GetText(30);
  dialog.width = 185;
  dialog.height = 65;
  dialog.items = {
      {DialogItem::Kind::Static, 1027, 6, 13, 178, 19, m_strMsg, false, true},
      {DialogItem::Kind::Button, platform::kIdOk, 23, 39, 52, 14, GetText(71), true, false},
      {DialogItem::Kind::Button, platform::kIdCancel, 98, 39, 52, 14, GetText(72), false, false},
  };
  return m_main.m_host.runModal(dialog, [](int, const auto&) { return true; }).code;
}
