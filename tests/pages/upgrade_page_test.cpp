// Page 6, the firmware page: the devices' rows, the server lists with their
// scroll arrows, and the chosen entry's version and release note.
#include <algorithm>
#include <cstring>

#include "page_drawer_fixture.h"

namespace {

class UpgradePage : public PageDrawerTest {
 protected:
  UpgradePage() {
    Identity(dlg.m_escId, "ESC08", 0x0105, 0x10);
    Identity(dlg.m_boxId, "PW5M ", 0x0210, 0x21);
  }
  static void Identity(DeviceIdentity& id, const char* name, std::uint16_t firmware, std::uint8_t hardware) {
    std::memcpy(id.modelName, name, std::min(std::strlen(name) + 1, sizeof id.modelName));
    id.firmwareVersion = firmware;
    id.hardwareVersion = hardware;
  }
  static void Offer(UpgradeList& list, int count) {
    list.count = static_cast<std::uint8_t>(count);
    for (int i = 0; i < count; ++i) {
      list.versionText[i] = "1.0" + std::to_string(i);
      list.memo[i] = "\"en\":\"-\",\"cn\":\"note " + std::to_string(i) + "\",\"jp\":\"-\"";
    }
  }
  std::vector<std::string> Texts() { return host.Window().Texts(); }
};

TEST_F(UpgradePage, IdentityRows) {
  struct Case {
    const char* name;
    std::uint16_t firmware;
    std::uint8_t hardware;
    const char *escName, *boxName, *firmwareText, *hardwareText;
  } cases[] = {
      {"ESC08", 0x0105, 0x10, "ESC", "ESC08", "1.05", "1.0"},  // the short name on the ESC side only
      {"PW5M ", 0x0210, 0x21, "PW5M ", "PW5M ", "2.10", "2.1"},
      {"ABCDEF", 0x0A00, 0xFF, "ABCDEF", "ABCDEF", ":.00", "?.?"},       // six bytes without a NUL
      {"\xE9X", 0x0001, 0x00, "\xC3\xA9X", "\xC3\xA9X", "0.01", "0.0"},  // 8-bit characters
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Identity(dlg.m_escId, c.name, c.firmware, c.hardware);
    Identity(dlg.m_boxId, c.name, c.firmware, c.hardware);
    Draw(&CCorvaneDlg::DrawUpgradePage);
    EXPECT_EQ(TextAt(293, 316), c.escName);
    EXPECT_EQ(TextAt(751, 316), c.boxName);
    EXPECT_EQ(TextAt(751, 349) + TextAt(293, 349), std::string(c.firmwareText) + c.firmwareText);
    EXPECT_EQ(TextAt(751, 382) + TextAt(293, 382), std::string(c.hardwareText) + c.hardwareText);
  }
}

TEST_F(UpgradePage, ListsAndDevicesThatHaveNotAnswered) {
  struct Case {
    std::uint8_t escFirst, boxFirst;  // byte 0 of the identities
    int request, escCount, firstRow;
    std::vector<std::string> texts;  // all texts drawn
    std::vector<float> rowYs;        // list row pictures
    bool arrows;
    int requestAfter, openAfter;
  } cases[] = {
      {'E',
       'P',
       1,
       5,
       2,
       {"ESC", "1.05", "1.0", "1.02", "1.03", "1.04", "1.00", "PW5M ", "2.10", "2.1", "1.00"},
       {447, 477, 507},
       true,
       0,
       1},
      {'E',
       'P',
       1,
       2,
       0,
       {"ESC", "1.05", "1.0", "1.00", "1.01", "1.00", "PW5M ", "2.10", "2.1", "1.00"},
       {447, 477},
       false,
       0,
       1},
      // Nothing offered: the ESC's own version, and no chosen version.
      {'E', 'P', 1, 0, 0, {"ESC", "1.05", "1.0", "1.05", "PW5M ", "2.10", "2.1", "1.00"}, {448}, false, 0, 0},
      {'E', 'P', 1, 5, 7, {"ESC", "1.05", "1.0", "1.00", "PW5M ", "2.10", "2.1", "1.00"}, {}, true, 0, 1},
      // The ESC leaves the box's request to the box column.
      {'E',
       'P',
       2,
       5,
       0,
       {"ESC", "1.05", "1.0", "1.00", "PW5M ", "2.10", "2.1", "1.00", "1.01", "1.00"},
       {447, 477},
       false,
       0,
       1},
      // No list where the device has not answered; the box column clears the request.
      {0xCC, 'P', 1, 5, 0, {"?", "?", "?", "?", "PW5M ", "2.10", "2.1", "1.00"}, {}, false, 0, 0},
      {0x00, 0xFF, 1, 5, 0, {"?", "?", "?", "?", "?", "?", "?", "?"}, {}, false, 1, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "request " << c.request << " count " << c.escCount);
    Identity(dlg.m_escId, "ESC08", 0x0105, 0x10);
    Identity(dlg.m_boxId, "PW5M ", 0x0210, 0x21);
    dlg.m_escId.modelName[0] = static_cast<char>(c.escFirst);
    dlg.m_boxId.modelName[0] = static_cast<char>(c.boxFirst);
    Offer(dlg.m_escOffers, c.escCount);
    Offer(dlg.m_boxOffers, 2);
    dlg.m_nEscFirstRow = static_cast<std::uint8_t>(c.firstRow);
    dlg.m_nListRequest = static_cast<std::uint8_t>(c.request);
    dlg.m_bFwListOpen = 0;
    Draw(&CCorvaneDlg::DrawUpgradePage);
    EXPECT_EQ(Texts(), c.texts);
    std::vector<Box> rows;
    for (float y : c.rowYs)
      rows.push_back({c.request == 1 ? 285.0f : 742.0f, y, 80, 30});
    EXPECT_EQ(Pictures("UI-62.PNG"), rows);
    EXPECT_EQ(Pictures("UI-UpDown.png").size(), c.arrows ? 1u : 0u);
    EXPECT_EQ(dlg.m_nListRequest, c.requestAfter);
    EXPECT_EQ(dlg.m_bFwListOpen, c.openAfter);
  }
}

TEST_F(UpgradePage, TheChosenEntrysVersionAndNote) {
  Offer(dlg.m_escOffers, 4);  // an entry past the count stays unseen
  dlg.m_escOffers.count = 3;
  Offer(dlg.m_boxOffers, 3);
  dlg.m_escOffers.versionText[2] = "10.05";  // four characters at most, but whole in the list
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
    EXPECT_EQ(host.ControlText(IDC_FIRMWARE_NOTE_LEFT), c.escNote);
    EXPECT_EQ(host.ControlText(IDC_FIRMWARE_NOTE_RIGHT), c.boxNote);
  }
  dlg.m_nListRequest = 1;
  Draw(&CCorvaneDlg::DrawUpgradePage);
  EXPECT_EQ(TextAt(293, 509), "10.05");
}

}  // namespace
