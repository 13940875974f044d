// The profile reset prompt of the settings page member, and the "cn" text of
// firmware notes.
#include <gtest/gtest.h>

#include <cstring>

#include "app/corvane_dlg.h"
#include "app/texts/ui_text_table.h"
#include "dialogs/page_seting.h"
#include "support/headless_host.h"

namespace {

class ProfileReset : public ::testing::Test {
 protected:
  void SetUp() override {
    dlg = std::make_unique<CCorvaneDlg>(host);
    dlg->LoadDefaultSettings();
    dlg->m_pageSeting.m_pSettings = &dlg->m_settings;
    dlg->EditSettings([](SettingsImage& s) {
      s.selectedProfile = 4;
      for (auto& p : s.profiles)
        p.dragBrake = 99;  // away from the factory value
      s.throttleLow = 2222;
    });
  }
  void Name(const char* name) {
    dlg->EditSettings([&](SettingsImage& s) {
      std::memset(s.profiles[4].profileName, 0, 16);
      std::memcpy(s.profiles[4].profileName, name, std::min<std::size_t>(std::strlen(name), 16));
    });
  }
  std::string Asked() { return host.Dialogs().back().items[0].text; }

  HeadlessHost host;
  std::unique_ptr<CCorvaneDlg> dlg;
};

TEST_F(ProfileReset, YesResetsTheProfileAndKeepsItsName) {
  Name("FAST");
  host.QueueButton(platform::kIdOk);
  dlg->m_pageSeting.OnBnClickedDefault();
  EXPECT_EQ(Asked(), "Reset FAST All Data?");
  const SettingsImage s = dlg->SettingsSnapshot();
  EXPECT_EQ(s.profiles[4].dragBrake, 10);  // factory value
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(s.profiles[4].profileName)), "FAST");
  EXPECT_EQ(s.profiles[3].dragBrake, 99);  // other profiles and the calibration untouched
  EXPECT_EQ(int{s.throttleLow}, 2222);
}

TEST_F(ProfileReset, NoChangesNothingAndTheQuestionFollowsTheLanguage) {
  Name("");
  dlg->m_nLanguage = kLanguageGerman;
  host.QueueButton(platform::kIdCancel);
  dlg->m_pageSeting.OnBnClickedDefault();
  EXPECT_EQ(Asked(), "Alle  Daten wiederherstellen ?");
  EXPECT_EQ(dlg->SettingsSnapshot().profiles[4].dragBrake, 99);

  Name("R1");
  dlg->m_nLanguage = kLanguageChinese;
  dlg->m_pageSeting.OnBnClickedDefault();
  EXPECT_EQ(Asked(), "复位 R1 所有的数据?");
  dlg->m_nLanguage = kLanguageJapanese;
  dlg->m_pageSeting.OnBnClickedDefault();
  EXPECT_EQ(Asked(), "リセットR1 データ?");
}

TEST_F(ProfileReset, ALongNameComesBackCutTo15Characters) {
  Name("ABCDEFGHIJKLMNOP");  // 16 bytes, no NUL
  host.QueueButton(platform::kIdOk);
  dlg->m_pageSeting.OnBnClickedDefault();
  const SettingsImage s = dlg->SettingsSnapshot();
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(s.profiles[4].profileName)), "ABCDEFGHIJKLMNO");
}

TEST_F(ProfileReset, TheProfileSelectedWhenYesIsPressedIsResetWithItsOwnName) {
  Name("FAST");
  // A settings read while the question is open selects another profile.
  host.WhileNextDialogOpen([&] {
    dlg->EditSettings([](SettingsImage& s) {
      s.selectedProfile = 6;
      std::memcpy(s.profiles[6].profileName, "SLOW", 5);
    });
  });
  host.QueueButton(platform::kIdOk);
  dlg->m_pageSeting.OnBnClickedDefault();
  const SettingsImage s = dlg->SettingsSnapshot();
  EXPECT_EQ(s.profiles[6].dragBrake, 10);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(s.profiles[6].profileName)), "SLOW");
  EXPECT_EQ(s.profiles[4].dragBrake, 99);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(s.profiles[4].profileName)), "FAST");
}

TEST(ExtractCnText, TheValueUnderCn) {
  EXPECT_EQ(ExtractCnText("\"en\":\"fixes\",\"cn\":\"修复\",\"jp\":\"x\""), "修复");
  EXPECT_EQ(ExtractCnText("\"en\":\"fixes\""), "");
  EXPECT_EQ(ExtractCnText("\"cn\":\"no end"), "");
}

}  // namespace
