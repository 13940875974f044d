#include "app/corvane_dlg.h"
#include "pages/page_drawing.h"

void CCorvaneDlg::DrawGeneralPage() {
  page::PageDrawing drawing(*this, 1);
}
