// The home page's hover bar: a translucent black bar over the tile or button
// under the pointer, drawn over a fresh home picture.
#include "app/corvane_dlg.h"

void CCorvaneDlg::DrawHomeHover() {
  auto layer = m_host.createLayer(kClientWidth, kClientHeight);
  platform::Canvas& page = layer->canvas();
  DrawUiImageTo(true, page, m_tiles[0].name, 0, 60, 965, 477);
  const std::uint8_t row = m_nHoverTile;
  if (row >= 1 && row <= 11) {
    const UiRect& r = m_tiles[row].rect;
    const bool tile = row <= 6;
    const float middle = static_cast<float>(r.top + (tile ? 105 : 20));
    page.drawLine({static_cast<float>(r.left), middle}, {static_cast<float>(r.right), middle},
                  tile ? 0x32000000 : 0x96000000, tile ? 210.0f : 36.0f);
  }
  m_host.paint([&](platform::Canvas& canvas) { canvas.drawLayer(*layer, {0, 0}); });
}
