#include "app/corvane_dlg.h"
#include "pages/page_drawing.h"

void CCorvaneDlg::DrawBrakePage() {
  page::PageDrawing drawing(*this, 3);
}
