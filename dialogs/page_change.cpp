#include "dialogs/page_change.h"

#include <cstdio>
#include <cstdlib>

#include "app/corvane_dlg.h"

namespace {

constexpr int kValueEdit = 1007;
constexpr int kNameLabel = 1117;
// What the dialog says when an entry is not a number.
constexpr const char* kEnterANumber = "请输入一个数字。";

}  // namespace

std::string FormatDialogValue(float value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.*g", 6, static_cast<double>(value));
  return text;
}

bool ParseDialogValue(const std::string& text, float& value) {
  const char* start = text.c_str();
  char* end = nullptr;
  const double parsed = std::strtod(start, &end);
  if (end == start) return false;
  for (const char* rest = end; *rest != '\0'; ++rest) {
    if (*rest != ' ' && *rest != '\t') return false;
  }
  value = static_cast<float>(parsed);
  return true;
}

int CPageChange::DoModal() {
  using platform::DialogItem;
  platform::DialogTemplate dialog;
  dialog.caption = m_strName;
  dialog.width = 192;
  dialog.height = 86;
  dialog.items = {
      {DialogItem::Kind::Static, kNameLabel, 7, 29, 70, 11, m_strName, false, false, true},
      {DialogItem::Kind::Edit, kValueEdit, 80, 27, 48, 15, FormatDialogValue(m_fValue), false, true, true},
      {DialogItem::Kind::Button, platform::kIdOk, 78, 59, 50, 14, "OK", true, false, true},
  };
  return m_main.m_host
      .runModal(dialog,
                [this](int button, const std::map<int, std::string>& edits) {
                  if (button != platform::kIdOk) return true;
                  auto edit = edits.find(kValueEdit);
                  float value = 0;
                  if (edit == edits.end() || !ParseDialogValue(edit->second, value)) {
                    m_main.m_host.messageBox(kEnterANumber, platform::MessageBoxKind::Plain);
                    return false;
                  }
                  m_fValue = value;
                  return true;
                })
      .code;
}
