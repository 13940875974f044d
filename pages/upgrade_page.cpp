#include "app/corvane_dlg.h"
#include "pages/page_drawing.h"

void CCorvaneDlg::DrawUpgradePage() {
  page::PageDrawing drawing(*this, 6);
}
