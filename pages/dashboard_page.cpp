#include "app/corvane_dlg.h"
#include "pages/page_drawing.h"

void CCorvaneDlg::DrawDashboardPage() {
  page::PageDrawing drawing(*this, 5);
}
