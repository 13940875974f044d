// The question box, the rename dialog and the value dialog: their texts,
// default buttons and results, answered by the scripted host; and the About box.
#include <gtest/gtest.h>

#include <cstring>

#include "app/corvane_dlg.h"
#include "app/texts/ui_text_table.h"
#include "dialogs/page_change.h"
#include "dialogs/page_msg.h"
#include "dialogs/page_rename.h"
#include "support/headless_host.h"

namespace {

using Kind = platform::DialogItem::Kind;

class SmallDialogs : public ::testing::Test {
 protected:
  void SetUp() override {
    dlg = std::make_unique<CCorvaneDlg>(host);
    dlg->LoadDefaultSettings();
  }
  const platform::DialogItem& Item(const platform::DialogTemplate& t, int id) {
    for (const auto& item : t.items) {
      if (item.id == id) return item;
    }
    throw std::runtime_error("no such item");
  }
  std::vector<std::uint8_t> Name(int profile) {
    const SettingsImage image = dlg->SettingsSnapshot();
    const auto* name = image.profiles[profile].profileName;
    return {name, name + 16};
  }

  HeadlessHost host;
  std::unique_ptr<CCorvaneDlg> dlg;
};

TEST_F(SmallDialogs, QuestionBoxInEachLanguage) {
  dlg->m_nLanguage = kLanguageJapanese;
  CPageMsg question(*dlg);
  question.m_strMsg = "whatever the caller asks";
  host.QueueButton(platform::kIdOk);
  EXPECT_EQ(question.DoModal(), platform::kIdOk);
  host.QueueButton(platform::kIdCancel);
  EXPECT_EQ(question.DoModal(), platform::kIdCancel);
  EXPECT_EQ(question.DoModal(), platform::kIdCancel);  // closed

  const auto shown = host.Dialogs()[0];
  EXPECT_EQ(shown.caption, "警告");
  EXPECT_EQ(Item(shown, 1027).text, "whatever the caller asks");
  EXPECT_TRUE(Item(shown, 1027).centred);
  EXPECT_EQ(Item(shown, platform::kIdOk).text, "有効");
  EXPECT_TRUE(Item(shown, platform::kIdOk).defaultButton);  // Enter answers Yes
  EXPECT_EQ(Item(shown, platform::kIdCancel).text, "無効");
  EXPECT_FALSE(Item(shown, platform::kIdCancel).defaultButton);
}

TEST_F(SmallDialogs, RenameStoresLowBytesAndCutsLongNames) {
  dlg->EditSettings([](SettingsImage& s) {
    s.selectedProfile = 3;
    std::memcpy(s.profiles[3].profileName, "OLDNAME-OLDNAME!", 16);
  });
  CPageRename rename(*dlg);
  rename.m_pSettings = &dlg->m_settings;

  host.QueueButton(platform::kIdOk, {{1007, "ABC"}});
  EXPECT_EQ(rename.DoModal(), platform::kIdOk);
  const auto shown = host.Dialogs()[0];
  EXPECT_EQ(shown.caption, "Rename");
  EXPECT_EQ(Item(shown, 1117).text, "Rename:");
  EXPECT_EQ(Item(shown, 1007).text, "OLDNAME-OLDNAME!");  // 16 bytes without a NUL, shown whole
  EXPECT_EQ(Item(shown, platform::kIdOk).text, "OK");
  auto name = Name(3);
  EXPECT_EQ(std::vector<std::uint8_t>(name.begin(), name.begin() + 4),
            (std::vector<std::uint8_t>{'A', 'B', 'C', 0}));

  host.QueueButton(platform::kIdOk, {{1007, "ABCDEFGHIJKLMNOPQRST"}});
  rename.DoModal();
  name = Name(3);
  EXPECT_EQ(std::string(name.begin(), name.begin() + 14), "ABCDEFGHIJKLMN");
  EXPECT_EQ(name[14], 0);
  EXPECT_EQ(name[15], 'P');

  // Characters keep their low byte: U+00E9 stays, U+4E2D becomes 0x2D.
  host.QueueButton(platform::kIdOk, {{1007, "é中"}});
  rename.DoModal();
  name = Name(3);
  EXPECT_EQ(name[0], 0xE9);
  EXPECT_EQ(name[1], 0x2D);
  EXPECT_EQ(name[2], 0);

  // An empty name changes nothing, and still returns OK; closing changes nothing.
  const auto before = Name(3);
  host.QueueButton(platform::kIdOk, {{1007, ""}});
  EXPECT_EQ(rename.DoModal(), platform::kIdOk);
  EXPECT_EQ(rename.DoModal(), platform::kIdCancel);
  EXPECT_EQ(Name(3), before);
}

TEST_F(SmallDialogs, ValueDialogShowsParsesAndRefuses) {
  CPageChange change(*dlg);
  change.m_strName = "Gear Ratio";
  change.m_fValue = 2.5f;
  host.QueueButton(platform::kIdOk, {{1007, "3.0"}});
  EXPECT_EQ(change.DoModal(), platform::kIdOk);
  EXPECT_EQ(change.m_fValue, 3.0f);
  const auto shown = host.Dialogs()[0];
  EXPECT_EQ(shown.caption, "Gear Ratio");
  EXPECT_EQ(Item(shown, 1117).text, "Gear Ratio");
  EXPECT_EQ(Item(shown, 1007).text, "2.5");
  EXPECT_TRUE(Item(shown, platform::kIdOk).defaultButton);

  // Letters are refused: a message, the dialog stays open (the script then
  // closes it) and the value is kept.
  host.QueueButton(platform::kIdOk, {{1007, "abc"}});
  EXPECT_EQ(change.DoModal(), platform::kIdCancel);
  EXPECT_EQ(change.m_fValue, 3.0f);
  EXPECT_EQ(host.MessageBoxes(), std::vector<std::string>{"请输入一个数字。"});

  EXPECT_EQ(FormatDialogValue(1000), "1000");
  EXPECT_EQ(FormatDialogValue(10.25f), "10.25");
  EXPECT_EQ(FormatDialogValue(1234567), "1.23457e+06");
  float value = 0;
  EXPECT_TRUE(ParseDialogValue(" 12.5 ", value));
  EXPECT_EQ(value, 12.5f);
  EXPECT_TRUE(ParseDialogValue("-3", value));
  EXPECT_FALSE(ParseDialogValue("", value));
  EXPECT_FALSE(ParseDialogValue("3x", value));
}

TEST_F(SmallDialogs, AboutBoxAndLanguageSwitch) {
  dlg->OnSysCommand(IDM_ABOUTBOX);
  ASSERT_EQ(host.Dialogs().size(), 1u);
  EXPECT_EQ(host.Dialogs()[0].caption, "About Corvane");
  EXPECT_EQ(Item(host.Dialogs()[0], 1126).text, "VELDO Corvane V2.10");
  EXPECT_EQ(Item(host.Dialogs()[0], platform::kIdOk).kind, Kind::Button);  // it can be closed

  for (auto [from, to] : {std::pair{2, 1}, {0, 2}, {1, 2}, {3, 2}}) {
    dlg->m_nLanguage = from;
    dlg->OnSysCommand(IDM_LANGUAGE);
    EXPECT_EQ(dlg->m_nLanguage, to) << from;
  }
  EXPECT_EQ(host.ControlText(IDC_ESC_DEFAULT), "ESCデフォルト設定");
  EXPECT_EQ(host.ControlText(IDC_SAVE_TO_PC), "PCへ保存");

  dlg->OnSysCommand(SC_CLOSE);
  EXPECT_EQ(host.EndResult(), platform::kIdCancel);
}

}  // namespace
