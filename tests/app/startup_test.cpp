// Start-up in order, the start values, the language from the locale, and a
// window without its HID library.
#include <cstring>

#include "app/texts/ui_text_table.h"
#include "app_fixture.h"
#include "platform/locale.h"

namespace {

TEST(Language, FollowsTheSystemLocale) {
  struct Case {
    const char* locale;
    unsigned id;
    int language;
  } cases[] = {
      {"zh_CN.UTF-8", 0x0804, kLanguageChinese},
      {"zh_TW.UTF-8", 0x0404, kLanguageChinese},
      {"zh_HK.UTF-8", 0x0C04, kLanguageChinese},
      {"zh_SG", 0x1004, kLanguageChinese},
      {"ja_JP.UTF-8", 0x0411, kLanguageJapanese},
      {"de_DE.UTF-8", 0x0407, kLanguageGerman},
      {"de_CH.UTF-8", 0x0807, kLanguageEnglish},
      {"de_AT", 0x0C07, kLanguageEnglish},
      {"en_GB.UTF-8", 0x0809, kLanguageEnglish},
      {"fr_FR.UTF-8", 0x040C, kLanguageEnglish},
      {"C", 0x0409, kLanguageEnglish},
      {"des_XX", 0x0409, kLanguageEnglish},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(platform::LocaleIdFromName(c.locale), c.id) << c.locale;
    EXPECT_EQ(LanguageFromLocale(platform::LocaleIdFromName(c.locale)), c.language) << c.locale;
  }
  // LC_ALL wins over LANG.
  ::setenv("LANG", "de_DE.UTF-8", 1);
  ::setenv("LC_ALL", "ja_JP.UTF-8", 1);
  EXPECT_EQ(platform::SystemDefaultLocaleId(), 0x0411u);
  ::unsetenv("LC_ALL");
  EXPECT_EQ(platform::SystemDefaultLocaleId(), 0x0407u);
}

class Startup : public AppTest {};

TEST_F(Startup, ConstructorStartValues) {
  const SettingsImage image = dlg->SettingsSnapshot();
  EXPECT_EQ(image.selectedProfile, 10);
  for (int i = 2469; i < 2477; ++i)
    EXPECT_EQ(image.bytes()[i], 0xFF);
  EXPECT_EQ(dlg->m_nStatusTextId, 8);
  EXPECT_EQ(dlg->m_nClickBlock, 5);
  EXPECT_EQ(dlg->m_nPressCountdown, 20);
  EXPECT_EQ(dlg->m_nChannel, kChannelEsc);
  EXPECT_EQ(dlg->m_linkId.ModelName(), "QRT10");
  EXPECT_EQ(int{dlg->m_linkId.firmwareVersion}, 0x0101);
  EXPECT_EQ(dlg->m_escOffers.deviceBytes[0], 0xFF);
  EXPECT_EQ(dlg->m_boxExtraBytes[7], 0xFF);
  EXPECT_EQ(dlg->m_tiles[1].rect.right, 0);  // the table comes with the window
}

TEST_F(Startup, InitialisesInOrderAndConnects) {
  ::setenv("LANG", "de_DE.UTF-8", 1);
  ASSERT_TRUE(dlg->OnInitDialog());
  EXPECT_EQ(dlg->m_nLanguage, kLanguageGerman);
  EXPECT_EQ(host.Title(), "VELDO Corvane V2.10");
  // The factory image with profile 0, right after start.
  const SettingsImage image = dlg->SettingsSnapshot();
  EXPECT_EQ(image.selectedProfile, 0);
  EXPECT_EQ(0, std::memcmp(image.profiles, DefaultProfileTable, sizeof image.profiles));
  EXPECT_EQ(int{image.deadBand}, 164);
  // Texts of the language on the controls.
  EXPECT_EQ(host.ControlText(IDC_ESC_READ), "ESC Auslesen");
  EXPECT_EQ(host.ControlText(IDC_LOAD_FROM_PC), "Vom PC Laden");
  // Timers, the picture table and the page state.
  EXPECT_EQ(host.Timers(), (std::map<int, int>{{TIMER_FIRST_PAINT, 20}, {TIMER_UI_TICK, 200}}));
  EXPECT_EQ(std::string(dlg->m_tiles[7].name), "UI-11.PNG");
  EXPECT_EQ(dlg->m_tiles[11].rect.right, 815);
  EXPECT_EQ(dlg->m_nProgress, 101);
  EXPECT_EQ(dlg->m_nGearRatio, 1000);
  EXPECT_EQ(dlg->m_nWheelDiameter, 60);
  EXPECT_EQ(dlg->m_nPoles, 2);
  // The box opened: "USB verbunden", and the ESC read follows.
  EXPECT_TRUE(dlg->m_bLinkRunning);
  EXPECT_TRUE(WaitFor(host, [&] { return dlg->m_nStatusTextId == 20; }));
  EXPECT_EQ(host.ControlText(IDC_STATUS_LINE), UiText(20, kLanguageGerman));
}

TEST_F(Startup, WithoutTheHidLibraryTheWindowOnlyCloses) {
  ::setenv("CORVANE_DRIVE_C", "/nonexistent-corvane-root", 1);
  EXPECT_FALSE(dlg->OnInitDialog());
  EXPECT_EQ(host.MessageBoxes(), std::vector<std::string>{"Please run as administrator at the first time"});
  EXPECT_EQ(host.Title(), "");
  EXPECT_TRUE(host.Timers().empty());
  EXPECT_EQ(dlg->m_nLanguage, kLanguageEnglish);

  // Painting still draws the frame, both dots red.
  dlg->OnPaint();
  const auto names = host.Window().ImageNames();
  EXPECT_EQ(std::count(names.begin(), names.end(), "UI-R.PNG"), 2);

  // Clicks are ignored (the click block never runs down), but the close box.
  dlg->OnLButtonDown(100, 20);
  dlg->OnLButtonUp(300, 300);
  EXPECT_EQ(host.WindowMoves(), 0);
  EXPECT_FALSE(host.EndResult().has_value());
  dlg->OnLButtonUp(940, 20);
  EXPECT_EQ(host.EndResult(), platform::kIdOk);
  dlg->OnDestroy();  // touches no device
  EXPECT_FALSE(dlg->m_bLinkRunning);
}

TEST_F(Startup, OnDestroyStopsTheLinkBeforeClosingTheBox) {
  ASSERT_TRUE(dlg->OnInitDialog());
  ASSERT_TRUE(WaitFor(host, [&] { return dlg->m_nStatusTextId == 20; }));
  dlg->OnDestroy();
  EXPECT_FALSE(dlg->m_hCommThread.joinable());
  EXPECT_EQ(dlg->m_hHidDevice, nullptr);
  EXPECT_EQ(dlg->m_hHidLibrary, nullptr);
  EXPECT_EQ(sim.CorvaneSim_GetCounter(0, CORVANE_SIM_COUNT_OPEN_HANDLES), 0u);
}

}  // namespace
