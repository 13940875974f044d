#include "app/corvane_dlg.h"
#include "pages/page_drawing.h"

void CCorvaneDlg::DrawTimingPage() {
  page::PageDrawing drawing(*this, 4);
}
