#include "app/corvane_dlg.h"
#include "pages/page_drawing.h"

void CCorvaneDlg::DrawThrottlePage() {
  page::PageDrawing drawing(*this, 2);
}
