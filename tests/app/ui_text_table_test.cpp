#include "app/texts/ui_text_table.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace {

// Number of UTF-16 units the UTF-8 text takes, or -1 if it is not valid UTF-8.
int Utf16Length(const std::string& text) {
  int units = 0;
  for (size_t i = 0; i < text.size();) {
    const auto lead = static_cast<uint8_t>(text[i]);
    int extra = 0;
    uint32_t code = 0;
    if (lead < 0x80) {
      code = lead;
    } else if ((lead & 0xE0) == 0xC0) {
      extra = 1;
      code = lead & 0x1F;
    } else if ((lead & 0xF0) == 0xE0) {
      extra = 2;
      code = lead & 0x0F;
    } else if ((lead & 0xF8) == 0xF0) {
      extra = 3;
      code = lead & 0x07;
    } else {
      return -1;
    }
    if (i + extra >= text.size()) return -1;
    for (int k = 1; k <= extra; ++k) {
      const auto next = static_cast<uint8_t>(text[i + k]);
      if ((next & 0xC0) != 0x80) return -1;
      code = (code << 6) | (next & 0x3F);
    }
    static constexpr uint32_t kSmallest[] = {0, 0x80, 0x800, 0x10000};
    if (code < kSmallest[extra] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return -1;
    units += code >= 0x10000 ? 2 : 1;
    i += extra + 1;
  }
  return units;
}

bool IsEmptyId(int id) {
  return id == 8 || id == 9 || id >= 117;
}

TEST(Utf16LengthTest, CountsUnitsAndRejectsBadUtf8) {
  EXPECT_EQ(Utf16Length("ab"), 2);
  EXPECT_EQ(Utf16Length("ü，😀"), 4);
  EXPECT_EQ(Utf16Length("\xE3\x81"), -1);      // cut short
  EXPECT_EQ(Utf16Length("\xC0\xAF"), -1);      // overlong
  EXPECT_EQ(Utf16Length("\xED\xA0\x80"), -1);  // surrogate
  EXPECT_EQ(Utf16Length("\xFF"), -1);
}

TEST(UiTextTableTest, EveryEntryIsValidUtf8AndFitsItsSlot) {
  for (int id = 0; id < kUiTextCount; ++id) {
    for (int language = 0; language < kLanguageCount; ++language) {
      ASSERT_NE(UiTextTable[id][language], nullptr) << id << "/" << language;
      const int units = Utf16Length(UiTextTable[id][language]);
      EXPECT_GE(units, 0) << "text " << id << "/" << language;
      EXPECT_LE(units, 127) << "text " << id << "/" << language;
    }
  }
  for (int group = 0; group < kStatusLabelCount; ++group) {
    for (int language = 0; language < kLanguageCount; ++language) {
      ASSERT_NE(StatusLabelTable[group][language], nullptr) << group << "/" << language;
      const int units = Utf16Length(StatusLabelTable[group][language]);
      EXPECT_GE(units, 0) << "label " << group << "/" << language;
      EXPECT_LE(units, 49) << "label " << group << "/" << language;
    }
  }
  for (int row = 0; row < kTitleCount; ++row) {
    ASSERT_NE(TitleTable[row], nullptr) << row;
    const int units = Utf16Length(TitleTable[row]);
    EXPECT_GE(units, 0) << "title " << row;
    EXPECT_LE(units, 127) << "title " << row;
  }
}

TEST(UiTextTableTest, SpareEntriesAreEmptyAndOthersHaveAllLanguages) {
  for (int id = 0; id < kUiTextCount; ++id) {
    for (int language = 0; language < kLanguageCount; ++language) {
      if (IsEmptyId(id)) {
        EXPECT_EQ(UiText(id, language), "") << id << "/" << language;
      } else {
        EXPECT_NE(UiText(id, language), "") << id << "/" << language;
      }
    }
  }
  for (int group = 0; group < kStatusLabelCount; ++group) {
    for (int language = 0; language < kLanguageCount; ++language) {
      EXPECT_EQ(StatusLabel(group, language).empty(), group >= 8) << group << "/" << language;
    }
  }
}

TEST(UiTextTableTest, OutsideTheTablesGivesEmptyText) {
  EXPECT_EQ(UiText(-1, kLanguageEnglish), "");
  EXPECT_EQ(UiText(kUiTextCount, kLanguageEnglish), "");
  EXPECT_EQ(UiText(10, -1), "");
  EXPECT_EQ(UiText(10, kLanguageCount), "");
  EXPECT_EQ(StatusLabel(-1, kLanguageEnglish), "");
  EXPECT_EQ(StatusLabel(kStatusLabelCount, kLanguageEnglish), "");
  EXPECT_EQ(StatusLabel(3, -1), "");
  EXPECT_EQ(StatusLabel(3, kLanguageCount), "");
}

TEST(UiTextTableTest, TrickyEntriesAreKeptExactly) {
  EXPECT_EQ(UiText(28, kLanguageChinese), "USB已连接");
  EXPECT_EQ(UiText(29, kLanguageChinese), "此操作使电调所有数据复位，确定这样做吗?");
  EXPECT_EQ(UiText(23, kLanguageGerman), "Daten nicht gelesen, klick wiederholt“ESC Auslesen”");
  EXPECT_EQ(UiText(103, kLanguageChinese), "关闭(C)    Alt+F4");
  EXPECT_EQ(UiText(114, kLanguageEnglish),
            "New Program Box  firmware available. Do you want to upgrade it to latest version?");
  EXPECT_NE(UiText(110, kLanguageJapanese).find("ダウンロード"), std::string::npos);

  EXPECT_EQ(StatusLabel(7, kLanguageGerman), "Version\tV2.10");
  EXPECT_EQ(StatusLabel(7, kLanguageJapanese), "バージョンV2.10");
  EXPECT_EQ(StatusLabel(2, kLanguageChinese), "  立即");
  EXPECT_EQ(StatusLabel(1, kLanguageJapanese), "日本語");

  EXPECT_EQ(GetTitleText(), "VELDO Corvane V2.10");
}

}  // namespace
