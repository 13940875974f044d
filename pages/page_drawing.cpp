#include "pages/page_drawing.h"

#include <algorithm>

#include "app/corvane_dlg.h"

namespace page {

PageDrawing::PageDrawing(CCorvaneDlg& dlg, int page)
    : m_dlg(dlg), m_layer(dlg.m_host.createLayer(kClientWidth, kClientHeight)) {
  if (page >= 1 && page <= 6) {
    m_dlg.DrawUiImageTo(true, m_layer->canvas(), m_dlg.m_tiles[page].name, 0, 60, 965, 477);
  }
}

PageDrawing::~PageDrawing() {
  Show();
}

void PageDrawing::Picture(const char* name, float x, float y, float width, float height) {
  m_dlg.DrawUiImageTo(false, m_layer->canvas(), name, x, y, width, height);
}

void PageDrawing::Text(std::string_view text, const platform::Font& font, platform::Argb color, float x,
                       float y) {
  m_layer->canvas().drawText(text, font, color, {x, y});
}

void PageDrawing::Bar(float x1, float y1, float x2, float y2, platform::Argb color, float width) {
  m_layer->canvas().drawLine({x1, y1}, {x2, y2}, color, width);
}

void PageDrawing::LevelBar(float x, float y, int level) {
  const float length = 34.0f * static_cast<float>(std::clamp(level, 0, kTopLevel));
  Picture("UI-Height.png", x, y, 10, length + 10);
  Picture("UI-UpDown.png", x - 10, y - 10 + length, 30, 30);
}

platform::Canvas& PageDrawing::canvas() {
  return m_layer->canvas();
}

void PageDrawing::Show() {
  if (m_shown) return;
  m_shown = true;
  m_dlg.m_host.paint([&](platform::Canvas& window) { window.drawLayer(*m_layer, {0, 0}); });
}

char Digit(long long value, long long unit) {
  if (value < 0) value = -value;
  return static_cast<char>('0' + (value / unit) % 10);
}

std::string Digits(long long value, int count) {
  std::string text;
  long long unit = 1;
  for (int i = 1; i < count; ++i)
    unit *= 10;
  for (; unit >= 1; unit /= 10)
    text += Digit(value, unit);
  return text;
}

}  // namespace page
