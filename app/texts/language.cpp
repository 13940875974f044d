// The program's texts in the current language: the status line, the
// controls' texts, the language switch and the About box.
#include "app/about_dlg.h"
#include "app/corvane_dlg.h"
#include "app/texts/ui_text_table.h"

int LanguageFromLocale(unsigned localeId) {
  switch (localeId) {
    case 0x0404:
    case 0x0804:
    case 0x0C04:
    case 0x1004:
      return kLanguageChinese;
    case 0x0411:
      return kLanguageJapanese;
    case 0x0407:
      return kLanguageGerman;
    default:
      return kLanguageEnglish;
  }
}

std::string CCorvaneDlg::GetText(int id) const {
  return UiText(id, m_nLanguage);
}

void CCorvaneDlg::ShowStatus(int id) {
  m_nStatusTextId = id;
  m_host.setControlText(IDC_STATUS_LINE, GetText(id));
}

void CCorvaneDlg::ApplyLanguageTexts() {
  m_host.setControlText(IDC_ESC_DEFAULT, GetText(14));
  m_host.setControlText(IDC_ESC_READ, GetText(15));
  m_host.setControlText(IDC_APPLY, GetText(16));
  m_host.setControlText(IDC_SAVE_TO_PC, GetText(104));
  m_host.setControlText(IDC_LOAD_FROM_PC, GetText(105));
  m_host.setControlText(IDC_STATUS_LINE, GetText(m_nStatusTextId));
  DrawFrame();
}

void CCorvaneDlg::OnSysCommand(unsigned commandId) {
  if (WindowHeld()) return;
  if ((commandId & 0xFFF0) == IDM_ABOUTBOX) {
    CAboutDlg about(m_host);
    about.DoModal();
  } else if (commandId == IDM_LANGUAGE) {
    // Japanese switches to Chinese, every other language to Japanese; the
    // system menu's items take the new language's texts.
    m_nLanguage = m_nLanguage == kLanguageJapanese ? kLanguageChinese : kLanguageJapanese;
    m_host.setSystemMenuItem(SC_MOVE, GetText(102));
    m_host.setSystemMenuItem(SC_CLOSE, GetText(103));
    m_host.setSystemMenuItem(IDM_LANGUAGE, GetText(101));
    ApplyLanguageTexts();
  } else if ((commandId & 0xFFF0) == SC_CLOSE) {
    OnCancel();
  } else if ((commandId & 0xFFF0) == SC_MOVE) {
    m_host.beginWindowMove();
  }
}
