// Page 6, the firmware page: the devices' rows, the server lists with their
// scroll arrows and the chosen entry's version and release note.
#include <algorithm>
#include <cstring>

#include "page_drawer_fixture.h"

namespace {

class UpgradePage : public PageDrawerTest {
 protected:
  static void SetIdentity(DeviceIdentity& id, const char* name, std::uint16_t firmware,
                          std::uint8_t hardware) {
    std::memset(id.modelName, 0, sizeof id.modelName);
    std::memcpy(id.modelName, name, std::min(std::strlen(name), sizeof id.modelName));
    id.firmwareVersion = firmware;
    id.hardwareVersion = hardware;
  }
  static void SetOffers(UpgradeList& list, int count) {
    list.count = static_cast<std::uint8_t>(count);
    for (int i = 0; i < count; ++i) {
      list.versionText[i] = "1.0" + std::to_string(i);
      list.memo[i] = "\"en\":\"-\",\"cn\":\"note " + std::to_string(i) + "\",\"jp\":\"-\"";
    }
  }
  int Unknowns() const {
    return static_cast<int>(std::count_if(ops.begin(), ops.end(), [](const DrawOp& op) {
      return op.kind == DrawOp::Kind::Text && op.text == "?";
    }));
  }
  std::string LeftNote() const { return host.ControlText(IDC_FIRMWARE_NOTE_LEFT); }
  std::string RightNote() const { return host.ControlText(IDC_FIRMWARE_NOTE_RIGHT); }
};

TEST_F(UpgradePage, IdentityRowsOfBothColumns) {
  struct Case {
    const char* name;
    std::uint16_t firmware;
    std::uint8_t hardware;
    const char *escName, *boxName, *firmwareText, *hardwareText;
  } cases[] = {
      {"ESC08", 0x0105, 0x10, "ESC", "ESC08", "1.05", "1.0"},  // the short name on the ESC side only
      {"PW5M ", 0x0210, 0x21, "PW5M ", "PW5M ", "2.10", "2.1"},
      {"ABCDEF", 0x0A00, 0x00, "ABCDEF", "ABCDEF", ":.00", "0.0"},  // six bytes, no NUL
      {"\xE9X", 0x0001, 0xFF, "\xC3\xA9X", "\xC3\xA9X", "0.01", "?.?"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SetIdentity(dlg.m_escId, c.name, c.firmware, c.hardware);
    SetIdentity(dlg.m_boxId, c.name, c.firmware, c.hardware);
    Draw(&CCorvaneDlg::DrawUpgradePage);
    EXPECT_EQ(TextAt(293, 316), c.escName);
    EXPECT_EQ(TextAt(751, 316), c.boxName);
    for (float x : {293.0f, 751.0f}) {
      EXPECT_EQ(TextAt(x, 349), c.firmwareText);
      EXPECT_EQ(TextAt(x, 382), c.hardwareText);
    }
  }
}

TEST_F(UpgradePage, DevicesThatHaveNotAnsweredShowQuestionMarks) {
  struct Case {
    std::uint8_t escFirst, boxFirst;
    int request, unknowns, requestAfter;
  } cases[] = {
      {0xCC, 'B', 1, 4, 0},   // the box column clears the request the ESC could not take
      {0x00, 0xFF, 1, 8, 1},  // no one answered: the request waits
      {0xFF, 0xCC, 2, 8, 2},
      {'E', 0x00, 2, 4, 2},  // the ESC column leaves the box's request alone
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << int{c.escFirst} << " " << int{c.boxFirst});
    SetIdentity(dlg.m_escId, "ESC", 0x0105, 0x10);
    SetIdentity(dlg.m_boxId, "BOX01", 0x0100, 0x10);
    dlg.m_escId.modelName[0] = static_cast<char>(c.escFirst);
    dlg.m_boxId.modelName[0] = static_cast<char>(c.boxFirst);
    SetOffers(dlg.m_escOffers, 4);
    SetOffers(dlg.m_boxOffers, 4);
    host.setControlText(IDC_FIRMWARE_NOTE_LEFT, "old");
    host.setControlText(IDC_FIRMWARE_NOTE_RIGHT, "old");
    dlg.m_nListRequest = static_cast<std::uint8_t>(c.request);
    dlg.m_bFwListOpen = 0;
    Draw(&CCorvaneDlg::DrawUpgradePage);
    EXPECT_EQ(Unknowns(), c.unknowns);
    EXPECT_EQ(dlg.m_nListRequest, c.requestAfter);
    EXPECT_TRUE(Pictures("UI-62.PNG").empty());
    EXPECT_EQ(dlg.m_bFwListOpen, 0);
    // A device that has not answered gives no note.
    EXPECT_EQ(LeftNote(), c.escFirst == 'E' ? "note 0" : "");
    EXPECT_EQ(RightNote(), c.boxFirst == 'B' ? "note 0" : "");
  }
}

TEST_F(UpgradePage, RequestedListsShowThreeRowsFromTheFirstRow) {
  struct Case {
    int request, count, firstRow;
    std::vector<float> rowYs;  // row pictures
    std::vector<std::string> rowTexts;
    bool arrows, openAfter;
  } cases[] = {
      {1, 5, 2, {447, 477, 507}, {"1.02", "1.03", "1.04"}, true, true},
      {1, 2, 0, {447, 477}, {"1.00", "1.01"}, false, true},
      {1, 0, 0, {448}, {"1.05"}, false, false},  // nothing offered: the ESC's own version
      {2, 4, 1, {447, 477, 507}, {"1.01", "1.02", "1.03"}, true, true},
      {2, 0, 0, {448}, {"1.00"}, false, false},
      {1, 5, 7, {}, {}, true, true},  // a first row past the entries shows none of them
  };
  SetIdentity(dlg.m_escId, "ESC", 0x0105, 0x10);
  SetIdentity(dlg.m_boxId, "BOX01", 0x0100, 0x10);
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "request " << c.request << " count " << c.count);
    const bool esc = c.request == 1;
    SetOffers(esc ? dlg.m_escOffers : dlg.m_boxOffers, c.count);
    SetOffers(esc ? dlg.m_boxOffers : dlg.m_escOffers, 9);
    dlg.m_nEscFirstRow = dlg.m_nBoxFirstRow = static_cast<std::uint8_t>(c.firstRow);
    dlg.m_nListRequest = static_cast<std::uint8_t>(c.request);
    dlg.m_bFwListOpen = 0;
    Draw(&CCorvaneDlg::DrawUpgradePage);
    const float rowX = esc ? 285 : 742;
    const float textX = esc ? 293 : 749;
    std::vector<Box> rows;
    for (float y : c.rowYs)
      rows.push_back({rowX, y, 80, 30});
    EXPECT_EQ(Pictures("UI-62.PNG"), rows);
    for (std::size_t k = 0; k < c.rowTexts.size(); ++k)
      EXPECT_EQ(TextAt(textX, c.rowYs[k] + 2), c.rowTexts[k]);
    const std::vector<Box> arrows{{esc ? 364.0f : 823.0f, 446, 30, 90}};
    EXPECT_EQ(Pictures("UI-UpDown.png"), c.arrows ? arrows : std::vector<Box>{});
    EXPECT_EQ(dlg.m_bFwListOpen, c.openAfter ? 1 : 0);
    EXPECT_EQ(dlg.m_nListRequest, 0);
    // The list is drawn once; the next draw shows the page with it closed.
    Draw(&CCorvaneDlg::DrawUpgradePage);
    EXPECT_TRUE(Pictures("UI-62.PNG").empty());
  }
}

TEST_F(UpgradePage, TheChosenEntrysVersionAndNote) {
  SetIdentity(dlg.m_escId, "ESC", 0x0105, 0x10);
  SetIdentity(dlg.m_boxId, "BOX01", 0x0100, 0x10);
  SetOffers(dlg.m_escOffers, 3);
  SetOffers(dlg.m_boxOffers, 3);
  dlg.m_escOffers.versionText[2] = "10.05";  // four characters at most
  dlg.m_boxOffers.memo[1] = "no key";
  struct Case {
    int escSel, boxSel;
    const char *escVersion, *boxVersion, *escNote, *boxNote;
  } cases[] = {
      {0, 1, "1.00", "1.01", "note 0", ""},
      {2, 0, "10.0", "1.00", "note 2", "note 0"},
      {3, 200, "", "", "", ""},  // outside the lists: no entry chosen
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.escSel);
    dlg.m_nEscFwSel = static_cast<std::uint8_t>(c.escSel);
    dlg.m_nBoxFwSel = static_cast<std::uint8_t>(c.boxSel);
    Draw(&CCorvaneDlg::DrawUpgradePage);
    EXPECT_EQ(TextAt(293, 415), c.escVersion);
    EXPECT_EQ(TextAt(751, 415), c.boxVersion);
    EXPECT_EQ(LeftNote(), c.escNote);
    EXPECT_EQ(RightNote(), c.boxNote);
  }
  // Nothing offered: neither a version nor a note.
  dlg.m_escOffers.count = 0;
  dlg.m_nEscFwSel = 0;
  Draw(&CCorvaneDlg::DrawUpgradePage);
  EXPECT_EQ(TextAt(293, 415), "");
  EXPECT_EQ(LeftNote(), "");
}

}  // namespace
