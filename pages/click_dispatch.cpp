// What a click does: the page choice, the home buttons, the pages' buttons
// and regions; every click ends by redrawing the current page.
#include "app/corvane_dlg.h"

void CCorvaneDlg::DispatchClick(int x, int y) {
  // The home page's buttons; they respond once the pressed look of the last
  // press has ended.
  if (m_nPage == 0 && m_nPressCountdown == 0) {
    for (int row = 7; row <= 11; ++row) {
      const UiRect& r = m_tiles[row].rect;
      if (!r.Contains(x, y)) continue;
      DrawUiImage(m_tiles[row].name, static_cast<float>(r.left), static_cast<float>(r.top - 2),
                  static_cast<float>(r.right - r.left), (r.bottom - r.top) * 1.3f);
      switch (row) {
        case 7:
          OnBnClickedLoadFromPc();
          break;
        case 8:
          OnBnClickedSaveToPc();
          break;
        case 9:
          OnBnClickedEscDefault();
          break;
        case 10:
          OnBnClickedEscRead();
          break;
        default:
          OnBnClickedApply();
          break;
      }
      DrawUiImage(m_tiles[0].name, 0, 60, 965, 477);
      m_nPressCountdown = 5;
      return;
    }
  }
  // The setting pages come later: every other click redraws the home page.
  DrawUiImage(m_tiles[0].name, 0, 60, 965, 477);
}
