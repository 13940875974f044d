// The firmware page's Upgrade buttons. The loaders run to their end on the UI
// thread: when they return, a program job is on its way or nothing will come
// of the press.
#include "app/corvane_dlg.h"

namespace {

// Ticks that the pressed Upgrade button keeps its look.
constexpr std::uint8_t kUpgradePressedLook = 50;

}  // namespace

void CCorvaneDlg::StartPageUpgrade(bool esc) {
  m_bUpgradeStarted = 1;
  m_bProgramHandedOver = false;
  m_nPressCountdown = kUpgradePressedLook;
  const int count = Offers(esc ? m_escOffers : m_boxOffers).count;
  const int selection = esc ? m_nEscFwSel : m_nBoxFwSel;
  if (count == 0) {
    // Nothing on the server: the user picks an image file instead.
    if (esc) {
      m_pageUp.OnBnClickedLocalEsc();
    } else {
      m_pageUp.OnBnClickedLocalBox();
    }
  } else if (selection < count) {
    if (esc) {
      LoadEscFirmware(selection, 0);
    } else {
      LoadBoxFirmware(selection, 0);
    }
  }
  // A load that queued nothing (refused, failed or cancelled) leaves both
  // buttons free again; a program job holds them until the device is read.
  if (!m_bProgramHandedOver) m_bUpgradeStarted = 0;
}

void CCorvaneDlg::FreeUpgradePage() {
  // The page's state and the poll's countdown belong to the UI thread's
  // clicks and ticks.
  if (!m_host.isUiThread()) {
    m_host.post([this] { FreeUpgradePage(); });
    return;
  }
  if (!m_bUpgradeStarted) return;
  m_bUpgradeStarted = 0;
  m_nReadBackCountdown = m_bEscConnected ? kReadBackConnected : kReadBackDisconnected;
}
