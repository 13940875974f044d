// The mouse on the window: every control is a drawn picture, so a point's
// meaning comes from fixed pixel rectangles alone.
#include <cstdio>

#include "app/corvane_dlg.h"

namespace {

constexpr UiRect kCloseBox{922, 2, 962, 42};
constexpr UiRect kHomeIconArea{10, 5, 57, 52};
constexpr int kBannerBottom = 60;
constexpr int kStatusBarTop = 537;
constexpr std::uint8_t kNoHoverTile = 12;

}  // namespace

void CCorvaneDlg::OnMouseMove(int x, int y) {
  // While an ESC Default waits for the link the window takes no input.
  if (WindowHeld()) return;
  // The button is down on a control: it follows the pointer.
  if (m_nDragState == 2) TrackPanelPress(x, y);

  char readout[48];
  std::snprintf(readout, sizeof readout, "X = %d ,Y = %d", x, y);
  m_host.setControlText(IDC_POINTER_READOUT, readout);

  if (m_nClickBlock != 0 || m_nPage != 0) return;
  std::uint8_t hovered = kNoHoverTile;
  for (std::uint8_t row = 1; row <= 11; ++row) {
    if (m_tiles[row].rect.Contains(x, y)) {
      hovered = row;
      break;
    }
  }
  if (hovered != m_nHoverTile) {
    m_nHoverTile = hovered;
    DrawHomeHover();
  }
}

void CCorvaneDlg::OnLButtonDown(int x, int y) {
  if (m_nClickBlock != 0 || WindowHeld()) return;
  // The banner and the status bar move the window, but for the close box
  // and the home icon.
  if ((y < kBannerBottom || y > kStatusBarTop) && !kCloseBox.Contains(x, y) &&
      !kHomeIconArea.Contains(x, y)) {
    m_host.beginWindowMove();
  }
  // A press starts afresh: nothing of an earlier press holds the pointer.
  m_nDragState = 0;
  m_rcDrag = {};
  TrackPanelPress(x, y);
}

void CCorvaneDlg::OnLButtonUp(int x, int y) {
  // A release ends the press whatever blocks the mouse, so that no control
  // follows the pointer once the button is up.
  const bool dragged = m_nDragState == 2;
  m_nDragState = 0;
  m_rcDrag = {};
  if (WindowHeld()) return;
  // The close box works whatever else blocks the mouse.
  if (kCloseBox.Contains(x, y)) {
    OnOK();
    return;
  }
  if (m_nClickBlock != 0) return;
  // A release that ends a drag is no click, but on the firmware page.
  if (!dragged || m_nPage == 6) DispatchClick(x, y);
}
