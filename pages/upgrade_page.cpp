// Page 6, the firmware page: per device (the ESC on the left, the program box
// on the right) its name, firmware and hardware versions, the server version
// chosen for an upgrade with its release note, and on request the drop-down
// list of the server's versions, three rows at a time.
#include <algorithm>
#include <cstring>
#include <string>

#include "app/corvane_dlg.h"
#include "dialogs/page_seting.h"
#include "link/profile_name.h"
#include "pages/page_drawing.h"

namespace {

const platform::Font kFont = page::ArialFont(0.26f);
constexpr const char* kListRow = "UI-62.PNG";
constexpr const char* kScrollArrows = "UI-UpDown.png";
constexpr int kVisibleRows = 3;

struct FirmwareColumn {
  float textX;      // name, versions and the chosen server version
  float listX;      // list rows
  float listTextX;  // their texts
  float arrowsX;    // scroll arrows beside the rows
  std::uint8_t request;
  bool escNameRule;  // a name starting "ESC" is shown as just that
};

constexpr FirmwareColumn kEscColumn{293, 285, 293, 364, 1, true};
constexpr FirmwareColumn kBoxColumn{751, 742, 749, 823, 2, false};

constexpr float kNameY = 316, kFirmwareY = 349, kHardwareY = 382, kServerVersionY = 415;

// A device that has not answered holds zeros; some report a filled pattern.
bool Blank(const DeviceIdentity& id) {
  const auto first = id.bytes()[0];
  return first == 0xFF || first == 0xCC || first == 0x00;
}

// The character of code point code (below 0x800) as UTF-8.
std::string Character(unsigned code) {
  if (code < 0x80) return std::string(1, static_cast<char>(code));
  return {static_cast<char>(0xC0 | (code >> 6)), static_cast<char>(0x80 | (code & 0x3F))};
}

// The name bytes up to a NUL, at most six; each byte is one character.
std::string NameText(const DeviceIdentity& id, bool escNameRule) {
  if (escNameRule && std::memcmp(id.modelName, "ESC", 3) == 0) return "ESC";
  std::uint8_t name[kProfileNameSize] = {};
  std::memcpy(name, id.modelName, sizeof id.modelName);
  return ProfileNameText(name);
}

// Major, a point and the two BCD digits of the minor: 0x0105 is "1.05".
std::string FirmwareText(const DeviceIdentity& id) {
  const std::uint8_t minor = id.bytes()[11];
  const std::uint8_t major = id.bytes()[12];
  return Character('0' + major) + '.' + Character('0' + (minor >> 4)) + Character('0' + (minor & 0x0F));
}

// The two BCD digits of the hardware byte around a point: 0x21 is "2.1".
std::string HardwareText(const DeviceIdentity& id) {
  const std::uint8_t hardware = id.bytes()[13];
  return Character('0' + (hardware >> 4)) + '.' + Character('0' + (hardware & 0x0F));
}

// The chosen entry's version: at most the first four characters of its text
// (the list rows show the whole text).
std::string ServerVersionText(const std::string& versionText) {
  return versionText.substr(0, 4);
}

// Draws one device's column and returns the release note of its chosen entry
// (empty when there is none). A selection or first row outside the entries
// stands for no entry.
std::string DrawColumn(CCorvaneDlg& dlg, page::PageDrawing& drawing, const FirmwareColumn& column,
                       const DeviceIdentity& id, const UpgradeList& offers, int firstRow, int selection) {
  drawing.Text(NameText(id, column.escNameRule), kFont, page::kOrange, column.textX, kNameY);
  drawing.Text(FirmwareText(id), kFont, page::kOrange, column.textX, kFirmwareY);
  drawing.Text(HardwareText(id), kFont, page::kOrange, column.textX, kHardwareY);

  const int count = std::min<int>(offers.count, kMaxUpgradeEntries);
  const bool chosen = selection < count;
  const std::string memo = chosen ? ExtractCnText(offers.memo[selection]) : std::string();

  if (dlg.m_nListRequest == column.request) {
    if (count > 0) {
      for (int k = 0; k < kVisibleRows && firstRow + k < count; ++k) {
        const float y = 447.0f + 30.0f * static_cast<float>(k);
        drawing.Picture(kListRow, column.listX, y, 80, 30);
        drawing.Text(offers.versionText[firstRow + k], kFont, page::kOrange, column.listTextX, y + 2);
      }
      if (count > kVisibleRows) drawing.Picture(kScrollArrows, column.arrowsX, 446, 30, 90);
      dlg.m_bFwListOpen = 1;
    } else {
      // Nothing on the server: the list shows what the device runs.
      drawing.Picture(kListRow, column.listX, 448, 80, 30);
      drawing.Text(FirmwareText(id), kFont, page::kOrange, column.listTextX, 450);
    }
  }
  if (chosen)
    drawing.Text(ServerVersionText(offers.versionText[selection]), kFont, page::kOrange, column.textX,
                 kServerVersionY);
  return memo;
}

// "?" in the four rows of a device that has not answered.
void DrawUnknown(page::PageDrawing& drawing, float x) {
  for (float y : {kNameY, kFirmwareY, kHardwareY, kServerVersionY})
    drawing.Text("?", kFont, page::kOrange, x, y);
}

}  // namespace

void CCorvaneDlg::DrawUpgradePage() {
  DeviceIdentity escId, boxId;
  {
    std::lock_guard lock(m_settingsMutex);
    escId = m_escId;
    boxId = m_boxId;
  }
  const UpgradeList escOffers = Offers(m_escOffers);
  const UpgradeList boxOffers = Offers(m_boxOffers);

  page::PageDrawing drawing(*this, 6);
  // A list request waits while its device has not answered.
  std::string escMemo, boxMemo;
  if (Blank(escId)) {
    DrawUnknown(drawing, kEscColumn.textX);
  } else {
    escMemo = DrawColumn(*this, drawing, kEscColumn, escId, escOffers, m_nEscFirstRow, m_nEscFwSel);
    // A request for the box list is left for the box column.
    if (m_nListRequest == kEscColumn.request) m_nListRequest = 0;
  }
  if (Blank(boxId)) {
    DrawUnknown(drawing, kBoxColumn.textX);
  } else {
    boxMemo = DrawColumn(*this, drawing, kBoxColumn, boxId, boxOffers, m_nBoxFirstRow, m_nBoxFwSel);
    m_nListRequest = 0;
  }
  drawing.Show();

  m_host.setControlText(IDC_FIRMWARE_NOTE_RIGHT, boxMemo);
  m_host.setControlText(IDC_FIRMWARE_NOTE_LEFT, escMemo);
}
