// Page 3: the four sliders with their corrections and texts.
#include "page_drawer_fixture.h"

namespace {

TEST_F(PageDrawerTest, BrakeSlidersShowTheirCorrectedValues) {
  struct Case {
    std::size_t offset;  // in the profile
    int value, stored, row;
    float barWidth, knobX;
    const char* text;
  };
  const Case cases[] = {
      {0x09, 80, 50, 0, 473, 617, " 50%"},     {0x0a, 0, 1, 1, 14, 154, " 01%"},
      {0x0a, 150, 99, 1, 469, 617, " 99%"},    {0x0b, 0x80, 0x80, 2, 10, 154, "=Drag"},
      {0x0b, 0x85, 0x85, 2, 10, 154, "=Drag"}, {0x0b, 25, 25, 2, 241, 385, " 25%"},
      {0x0b, 120, 120, 2, 473, 617, "120%"},  // past the 0..50 scale: the knob stays at its end
      {0x0c, 200, 99, 3, 469, 617, " 99%"},
  };
  const float barYs[] = {229, 292, 354, 416}, textYs[] = {224, 286, 348, 412};
  auto* bytes = reinterpret_cast<std::uint8_t*>(&profile);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    bytes[c.offset] = static_cast<std::uint8_t>(c.value);
    Draw(&CCorvaneDlg::DrawBrakePage);
    EXPECT_EQ(bytes[c.offset], c.stored);
    const float barY = barYs[c.row];
    EXPECT_EQ(Pictures("UI-Weight.png", barY), (std::vector<Box>{{163, barY, c.barWidth, 10}}));
    EXPECT_EQ(Pictures("UI-LeftR.png", barY - 10), (std::vector<Box>{{c.knobX, barY - 10, 30, 30}}));
    EXPECT_EQ(TextAt(650, textYs[c.row]), c.text);
  }
}

}  // namespace
