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
  m_nPressCountdown = kUpgradePressedLook;
  const int count = Offers(esc ? m_escOffers : m_boxOffers).count;
  const int selection = esc ? m_nEscFwSel : m_nBoxFwSel;
  m_bPageUpgradeLoading = true;
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
  m_bPageUpgradeLoading = false;
  // A load that handed nothing to the link (refused, failed or cancelled)
  // leaves both buttons free again; an upgrade on the link holds them until
  // it ends.
  if (!m_bUpgradeOnLink) m_bUpgradeStarted = 0;
}

void CCorvaneDlg::FreeUpgradePage() {
  // Only the upgrade the page handed over holds the page here: the failure
  // of a job before its hand-off (a presence poll, a read) leaves a press
  // that is still loading its image alone. Taken in one step, so that the
  // page is freed once, on whichever thread the upgrade ended.
  if (!m_bUpgradeOnLink.exchange(0)) return;
  m_bUpgradeStarted = 0;
  // The poll's countdown belongs to the UI thread's ticks.
  const auto resumePoll = [this] {
    if (!m_bUpgradeStarted)
      m_nReadBackCountdown = m_bEscConnected ? kReadBackConnected : kReadBackDisconnected;
  };
  if (m_host.isUiThread()) {
    resumePoll();
  } else {
    m_host.post(resumePoll);
  }
}
