// The frame: banner and status bar with the connection dots.
#include "app/corvane_dlg.h"

void CCorvaneDlg::DrawFrame() {
  // Only the UI thread draws; other threads ask it to.
  if (!m_host.isUiThread()) {
    m_host.post([this] { DrawFrame(); });
    return;
  }
}
