#include "app/corvane_dlg.h"

void CCorvaneDlg::TrackPanelPress(int, int) {
  m_nDragState = 0;
}
