// The window's timers: the first paint of the home page, and the 200 ms tick
// that counts down the mouse block and the pressed look, grows the timing
// test's progress ring and keeps the ESC in touch.
#include "app/corvane_dlg.h"

namespace {

constexpr std::uint8_t kProgressDone = 101;
constexpr platform::Argb kProgressRingColor = 0xFF00FF00;

}  // namespace

void CCorvaneDlg::OnTimer(int timerId) {
  if (timerId == TIMER_FIRST_PAINT) {
    if (!m_bHomeDrawn) {
      m_bHomeDrawn = true;
      DrawUiImage("UI-01.PNG", 0, 60, 965, 477);
    }
    // It has done its one job: it would only wake the UI thread from now on.
    m_host.killTimer(TIMER_FIRST_PAINT);
    return;
  }
  if (timerId != TIMER_UI_TICK) return;

  if (m_nClickBlock != 0) --m_nClickBlock;

  // The pressed look ends, and newly arrived data shows, with a page redraw.
  if (m_nPressCountdown != 0 && --m_nPressCountdown == 0) DispatchClick(0, 520);

  if (m_nProgress < kProgressDone) ++m_nProgress;
  if (m_nPage == 5 && m_nProgress < kProgressDone) {
    const float sweep = m_nProgress * 3.6f;
    m_host.paint([&](platform::Canvas& canvas) {
      canvas.drawArc({750, 134, 120, 120}, 90, sweep, kProgressRingColor, 8);
    });
  }

  // An ESC Default that waits for the link to become idle.
  RetryEscDefault();

  // The presence identify: 15 s after the link was last busy while the ESC
  // answers, 1 s while it does not.
  if (m_bUpgradeStarted) {
    m_nReadBackCountdown = 1000;
    return;
  }
  if (m_nReadBackCountdown == 0) return;
  if (JobCommand() == kCmdTest) {
    // A timing test runs: its reply may take long.
    m_nWaitTicks = 0;
    m_nReadBackCountdown = 500;
    return;
  }
  if (--m_nReadBackCountdown == 0) {
    // No link: nothing to ask, and nothing left for the next one.
    if (!m_bLinkRunning) return;
    const std::uint8_t channel = m_bEscPresent && !m_bBoxPresent ? kChannelEsc : kChannelBox;
    // Only an idle link takes it; otherwise it is tried again at the next tick.
    if (!QueueIdentifyIfIdle(channel, kCmdRead, true)) m_nReadBackCountdown = 1;
  }
}
