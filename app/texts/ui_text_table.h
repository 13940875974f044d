// The program's built-in texts in its four languages, UTF-8 encoded.
#pragma once

#include <string>

// Language of texts and pictures (the main dialog's m_nLanguage).
enum UiLanguage : int {
  kLanguageEnglish = 0,
  kLanguageChinese = 1,
  kLanguageJapanese = 2,
  kLanguageGerman = 3,
};
inline constexpr int kLanguageCount = 4;

// Texts named by id: status texts, button, dialog and menu texts. Each entry
// is at most 127 UTF-16 units long. Ids 8, 9 and 117..149 are empty.
inline constexpr int kUiTextCount = 150;
extern const char* const UiTextTable[kUiTextCount][kLanguageCount];

// Short labels of the status bar, the language names and the version label.
inline constexpr int kStatusLabelCount = 10;
extern const char* const StatusLabelTable[kStatusLabelCount][kLanguageCount];

// Window-title texts; only the first is used.
inline constexpr int kTitleCount = 5;
extern const char* const TitleTable[kTitleCount];

// The text (id, language); empty for an id or language outside the table.
std::string UiText(int id, int language);

// The short label (group, language); empty outside the table.
std::string StatusLabel(int group, int language);

// The window title.
std::string GetTitleText();

// The language of a system locale id: Chinese for 0x0404, 0x0804, 0x0C04 and
// 0x1004, Japanese for 0x0411, German for 0x0407, else English.
int LanguageFromLocale(unsigned localeId);
