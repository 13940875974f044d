// Press-and-drag editing: the value under the pointer, the clamp that keeps a
// dragged control at its end, the redraw rule, and moves that must not reach
// another control.
#include <cstring>

#include "app/texts/ui_text_table.h"
#include "page_fixture.h"

namespace {

constexpr unsigned kByte = 0xFF;
constexpr unsigned kWord = 0xFFFF;

// The masked bits of the profile's byte (or, for kWord, word) at offset.
unsigned Read(const SettingProfile& p, std::size_t offset, unsigned mask) {
  unsigned v = 0;
  std::memcpy(&v, reinterpret_cast<const std::uint8_t*>(&p) + offset, mask > kByte ? 2 : 1);
  return v & mask;
}

void Write(SettingProfile& p, std::size_t offset, unsigned mask, unsigned value) {
  const unsigned v = (Read(p, offset, mask > kByte ? kWord : kByte) & ~mask) | value;
  std::memcpy(reinterpret_cast<std::uint8_t*>(&p) + offset, &v, mask > kByte ? 2 : 1);
}

class PanelPress : public PageTest {
 protected:
  // A blank profile, with the turbo RPM slider free.
  void Blank(const char* model = "") {
    dlg->m_strModelName = model;
    dlg->m_bCutoffOff = 0;
    Edit([](SettingProfile& p) {
      p = SettingProfile{};
      p.turboActivation = 1;
    });
  }
};

TEST_F(PanelPress, EachControlComputesItsValueAtItsEnds) {
  // Page 1: running mode, the bit-7 and bit-5 choices, the overheat rows (the
  // last pixels stay at the third choice), reverse speed, cut-off voltage and
  // its lock. Page 2: switch point and level bars. Page 3: the four sliders
  // and the level bars. Page 4: each slider at the bottom (y 390) and the top
  // (y 240), and the turbo activation's three bands.
  struct Case {
    int page, x, y;
    std::size_t offset;
    unsigned mask, value;
    bool esc08;
  } cases[] = {
      {1, 50, 204, 0x00, kByte, 0, false},      {1, 50, 350, 0x00, kByte, 2, false},
      {1, 230, 264, 0x08, 0x80, 0, false},      {1, 230, 265, 0x08, 0x80, 0x80, false},
      {1, 850, 280, 0x08, 0x20, 0x20, false},   {1, 850, 281, 0x08, 0x20, 0, false},
      {1, 415, 200, 0x03, kByte, 0, false},     {1, 415, 320, 0x03, kByte, 2, false},
      {1, 415, 360, 0x03, kByte, 2, false},     {1, 620, 360, 0x04, kByte, 2, false},
      {1, 165, 390, 0x01, kByte, 64, false},    {1, 710, 390, 0x01, kByte, 254, false},
      {1, 711, 390, 0x01, kByte, 255, false},   {1, 715, 390, 0x01, kByte, 255, false},
      {1, 165, 450, 0x02, kByte, 30, false},    {1, 715, 450, 0x02, kByte, 110, false},
      {1, 715, 450, 0x02, kByte, 250, true},    {1, 849, 450, 0x08, 0x40, 0, false},
      {1, 850, 450, 0x08, 0x40, 0x40, false},   {2, 160, 230, 0x05, kByte, 0, false},
      {2, 640, 230, 0x05, kByte, 255, false},   {2, 200, 300, 0x06, kByte, 6, false},
      {2, 200, 435, 0x06, kByte, 24, false},    {2, 200, 436, 0x06, kByte, 30, false},
      {2, 500, 460, 0x07, kByte, 30, false},    {3, 155, 230, 0x09, kByte, 0, false},
      {3, 635, 230, 0x09, kByte, 50, false},    {3, 635, 290, 0x0a, kByte, 100, false},
      {3, 155, 420, 0x0c, kByte, 1, false},     {3, 635, 420, 0x0c, kByte, 100, false},
      {3, 155, 350, 0x0b, kByte, 0, false},     {3, 635, 350, 0x0b, kByte, 50, false},
      {3, 800, 138, 0x0d, kByte, 4, false},     {3, 800, 298, 0x0d, kByte, 20, false},
      {3, 800, 515, 0x0e, kByte, 20, false},    {4, 80, 390, 0x10, kByte, 0, false},
      {4, 80, 240, 0x10, kByte, 64, false},     {4, 170, 390, 0x11, kWord, 1000, false},
      {4, 170, 240, 0x11, kWord, 35000, false}, {4, 270, 390, 0x13, kWord, 3000, false},
      {4, 270, 240, 0x13, kWord, 60000, false}, {4, 445, 390, 0x17, kByte, 0, false},
      {4, 445, 240, 0x17, kByte, 64, false},    {4, 620, 390, 0x19, kByte, 0, false},
      {4, 620, 240, 0x19, kByte, 100, false},   {4, 715, 390, 0x1a, kWord, 9000, false},
      {4, 715, 240, 0x1a, kWord, 50000, false}, {4, 800, 390, 0x1c, kByte, 1, false},
      {4, 800, 240, 0x1c, kByte, 64, false},    {4, 900, 390, 0x1d, kByte, 0, false},
      {4, 900, 240, 0x1d, kByte, 64, false},    {4, 530, 279, 0x18, kByte, 0, false},
      {4, 530, 280, 0x18, kByte, 1, false},     {4, 530, 349, 0x18, kByte, 1, false},
      {4, 530, 350, 0x18, kByte, 2, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "page " << c.page << " at " << c.x << ", " << c.y);
    // The value the press should compute is there already: a press that
    // computes it is a drag that changes and draws nothing.
    Blank(c.esc08 ? "ESC08" : "");
    Edit([&](SettingProfile& p) { Write(p, c.offset, c.mask, c.value); });
    OnPage(c.page);
    dlg->OnLButtonDown(c.x, c.y);
    EXPECT_EQ(dlg->m_nDragState, 2);
    EXPECT_EQ(Read(Profile(), c.offset, c.mask), c.value);
    EXPECT_FALSE(Drawn());
    dlg->OnLButtonUp(c.x, c.y);
  }
}

TEST_F(PanelPress, ChangesDrawThePageAndLockedControlsStayPut) {
  Blank();
  OnPage(3);
  Click(395, 230);
  EXPECT_EQ(Profile().dragBrake, 25);
  EXPECT_TRUE(Drawn());
  // Left of its scale the initial brake takes the "=Drag" mark, its low bits kept.
  Edit([](SettingProfile& p) { p.initialBrake = 0x05; });
  Click(153, 350);
  EXPECT_EQ(Profile().initialBrake, 0x85);

  // The cut-off switch: on at the model's voltage, off at 0, which leaves the
  // voltage slider and its lock switch out; the temperature unit always draws.
  OnPage(1);
  for (auto [model, volts] : {std::pair{"ESC08", 96}, {"ESC12", 64}}) {
    Blank(model);
    Click(840, 485);
    EXPECT_EQ(Profile().cutoffVoltage, volts);
  }
  Click(860, 485);
  EXPECT_EQ(dlg->m_bCutoffOff, 1);
  for (auto [x, y] : {std::pair{400, 450}, {860, 450}}) {
    dlg->OnLButtonDown(x, y);
    EXPECT_EQ(dlg->m_nDragState, 0);
  }
  EXPECT_EQ(Profile().cutoffVoltage, 0);
  host.Window().Clear();
  Click(490, 220);
  EXPECT_TRUE(Drawn());
  Click(515, 220);
  EXPECT_EQ(dlg->m_nTempUnit, 1);

  // The boost sliders of one model are no controls: the release is a click.
  Blank("ESC08");
  OnPage(4);
  for (int x : {80, 170, 270}) {
    dlg->OnLButtonDown(x, 300);
    EXPECT_EQ(dlg->m_nDragState, 0);
  }
  EXPECT_EQ(int{Profile().boostStartRpm}, 0);
}

TEST_F(PanelPress, DeadBandHandleAndLanguagePick) {
  dlg->EditSettings([](SettingsImage& image) {
    image.throttleLow = 2041;
    image.throttleNeutral = 3062;
    image.throttleHigh = 4083;
  });
  OnPage(2);
  dlg->m_fDeadBandHandleY = 300;
  dlg->OnLButtonDown(858, 300);
  // 2041 - 58 + 2158 * 106 / 236 = 2952, 110 from the neutral point.
  EXPECT_EQ(int{dlg->SettingsSnapshot().deadBand}, 110);
  EXPECT_EQ(dlg->m_rcDrag.top, 200);
  // Above the handle's zone, which follows the marker the page drew.
  dlg->OnLButtonDown(858, static_cast<int>(dlg->m_fDeadBandHandleY) - 101);
  EXPECT_EQ(dlg->m_nDragState, 0);

  OnPage(1);
  dlg->m_nStatusTextId = 20;
  for (int y : {215, 270}) {  // Japanese, then below the list: it only closes
    dlg->m_nOpenList = 2;
    Click(800, y);
    EXPECT_EQ(dlg->m_nLanguage, kLanguageJapanese);
    EXPECT_EQ(dlg->m_nOpenList, 0);
  }
  EXPECT_EQ(host.ControlText(IDC_STATUS_LINE), UiText(20, kLanguageJapanese));
}

TEST_F(PanelPress, DraggedOutOfItsRegionAControlStaysAtItsNearestEnd) {
  // untouched: what the pointer itself would have edited, or a neighbour.
  struct Case {
    int page, pressX, pressY, moveX, moveY;
    std::size_t offset;
    unsigned mask, value;
    std::size_t untouched;
  } cases[] = {
      {3, 395, 230, 300, 295, 0x09, kByte, 15, 0x0a},   {3, 395, 230, 900, 230, 0x09, kByte, 50, 0x0a},
      {1, 400, 390, 415, 300, 0x01, kByte, 151, 0x03},  {1, 400, 390, 900, 390, 0x01, kByte, 255, 0x03},
      {4, 170, 300, 80, 300, 0x11, kWord, 21000, 0x10}, {4, 170, 300, 170, 0, 0x11, kWord, 35000, 0x10},
      {2, 200, 320, 500, 400, 0x06, kByte, 18, 0x07},   {2, 200, 320, 200, 600, 0x06, kByte, 30, 0x07},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "page " << c.page << " to " << c.moveX << ", " << c.moveY);
    Edit([](SettingProfile& p) { p = DefaultProfileTable[0]; });
    OnPage(c.page);
    dlg->OnLButtonDown(c.pressX, c.pressY);
    dlg->OnMouseMove(c.moveX, c.moveY);
    EXPECT_EQ(Read(Profile(), c.offset, c.mask), c.value);
    EXPECT_EQ(Read(Profile(), c.untouched, kByte), Read(DefaultProfileTable[0], c.untouched, kByte));
    dlg->OnLButtonUp(c.moveX, c.moveY);
  }
}

TEST_F(PanelPress, MovesOfAPressOnNoSliderOrAfterTheReleaseEditNothing) {
  struct Case {
    const char* what;
    std::uint8_t openList, flags;
    int x, y;
    bool stillPressed;
  } cases[] = {
      {"temperature unit", 0, 0, 490, 220, true},
      {"language list", 2, 0, 800, 160, true},
      {"locked cut-off slider", 0, 0x40, 400, 450, true},
      {"cut-off switch", 0, 0, 840, 485, true},
      {"profile list", 1, 0, 200, 300, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Blank();
    Edit([&](SettingProfile& p) {
      p.profileFlags = c.flags;
      p.cutoffVoltage = 64;
    });
    OnPage(1);
    dlg->m_nOpenList = c.openList;
    dlg->OnLButtonDown(c.x, c.y);
    dlg->OnMouseMove(620, 300);  // over the motor overheat rows
    dlg->OnMouseMove(100, 500);  // off every control
    EXPECT_EQ(Profile().motorOverheat, 0);
    EXPECT_EQ(dlg->m_nDragState == 2, c.stillPressed);
    dlg->OnLButtonUp(c.x, c.y);
  }

  // A release ends the drag even while clicks are blocked.
  dlg->OnLButtonDown(620, 250);
  dlg->m_nClickBlock = 3;
  dlg->OnLButtonUp(620, 250);
  dlg->OnMouseMove(620, 330);
  EXPECT_EQ(Profile().motorOverheat, 1);
}

}  // namespace
