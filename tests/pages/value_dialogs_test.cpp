// The value dialogs of the throttle page and the dashboard: what an entry
// stores, and entries that bring the dialog back with the value unchanged.
#include <string>

#include "page_fixture.h"

namespace {

constexpr int kValueEdit = 1007;

class ValueDialogs : public PageTest {
 protected:
  void SetUp() override {
    PageTest::SetUp();
    dlg->m_nGearRatio = 1000;
    dlg->m_nWheelDiameter = 60;
    dlg->m_nPoles = 2;
  }
  // Confirms each entry in turn; a dialog with none left is cancelled.
  void Enter(void (CCorvaneDlg::*edit)(), std::initializer_list<const char*> entries) {
    for (const char* entry : entries)
      host.QueueButton(platform::kIdOk, {{kValueEdit, entry}});
    (dlg.get()->*edit)();
  }
  std::string Shown(std::size_t dialog) { return host.Dialogs().at(dialog).items[1].text; }
  int DeadBand() const { return dlg->SettingsSnapshot().deadBand; }
};

TEST_F(ValueDialogs, DeadBandStoresTheFirstRawStepShowingTheEntry) {
  // Entries below the smallest shown value (2) take the low end, above the
  // largest (150) the high end.
  struct Case {
    const char* entry;
    int raw;
  } cases[] = {{"0", 5}, {"1", 5}, {"-3", 5}, {"2", 5}, {"3", 7}, {"80.9", 164}, {"150", 307}, {"200", 307}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.entry);
    dlg->EditSettings([](SettingsImage& image) { image.deadBand = 164; });
    Enter(&CCorvaneDlg::EditDeadBand, {c.entry});
    EXPECT_EQ(DeadBand(), c.raw);
  }
  EXPECT_EQ(host.Dialogs()[0].caption, "Throttle Dead Band");
  EXPECT_EQ(Shown(0), "80");  // 164 raw steps
}

TEST_F(ValueDialogs, GearRatioRoundsItsThousandthsUpFromSixAndOthersTakeTheWholePart) {
  for (auto [entry, ratio] :
       {std::pair{"10.25", 1025}, {"10.255", 1025}, {"10.256", 1026}, {"99.99", 9999}}) {
    Enter(&CCorvaneDlg::EditGearRatio, {entry});
    EXPECT_EQ(dlg->m_nGearRatio, ratio) << entry;
  }
  EXPECT_EQ(Shown(0), "10");
  Enter(&CCorvaneDlg::EditWheelDiameter, {"65.7"});
  EXPECT_EQ(dlg->m_nWheelDiameter, 65);
  Enter(&CCorvaneDlg::EditPoles, {"7", "14"});  // an odd count asks again
  EXPECT_EQ(dlg->m_nPoles, 14);
}

TEST_F(ValueDialogs, RefusedEntriesAskAgainAndCancelChangesNothing) {
  struct Case {
    void (CCorvaneDlg::*edit)();
    const char* entry;
  } cases[] = {
      {&CCorvaneDlg::EditGearRatio, "0"},       {&CCorvaneDlg::EditGearRatio, "-1"},
      {&CCorvaneDlg::EditGearRatio, "0.0005"},  {&CCorvaneDlg::EditGearRatio, "99.996"},
      {&CCorvaneDlg::EditGearRatio, "1e39"},    {&CCorvaneDlg::EditWheelDiameter, "0.5"},
      {&CCorvaneDlg::EditWheelDiameter, "-5"},  {&CCorvaneDlg::EditWheelDiameter, "1000"},
      {&CCorvaneDlg::EditWheelDiameter, "inf"}, {&CCorvaneDlg::EditPoles, "0"},
      {&CCorvaneDlg::EditPoles, "7"},           {&CCorvaneDlg::EditPoles, "-2"},
      {&CCorvaneDlg::EditPoles, "100"},         {&CCorvaneDlg::EditPoles, "nan"},
      {&CCorvaneDlg::EditDeadBand, "inf"},      {&CCorvaneDlg::EditDeadBand, "nan"},
  };
  const auto image = ImageBytes();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.entry);
    const std::size_t first = host.Dialogs().size();
    Enter(c.edit, {c.entry});
    ASSERT_EQ(host.Dialogs().size(), first + 2);
    EXPECT_EQ(Shown(first + 1), Shown(first));
  }
  Enter(&CCorvaneDlg::EditPoles, {});
  EXPECT_EQ(dlg->m_nGearRatio, 1000);
  EXPECT_EQ(dlg->m_nWheelDiameter, 60);
  EXPECT_EQ(dlg->m_nPoles, 2);
  EXPECT_EQ(ImageBytes(), image);
}

}  // namespace
