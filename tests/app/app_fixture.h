// The main dialog on a headless host, started as the program starts it, with
// the simulated box behind the HID library.
#pragma once

#include <gtest/gtest.h>

#include <memory>

#include "app/corvane_dlg.h"
#include "support/headless_host.h"
#include "support/link_fixture.h"
#include "support/sim_session.h"

class AppTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NO_FATAL_FAILURE(m_session.Open(CORVANE_SIM_DRIVE_C));
    dlg = std::make_unique<CCorvaneDlg>(host);
  }
  void TearDown() override {
    dlg->OnDestroy();
    dlg.reset();
  }
  // Runs n ticks of the 200 ms timer.
  void Ticks(int n) {
    for (int i = 0; i < n; ++i)
      dlg->OnTimer(TIMER_UI_TICK);
  }

  SimSession m_session;  // first: the library outlives the dialog
  corvane::sim::SimClient& sim = m_session.sim;
  HeadlessHost host;
  std::unique_ptr<CCorvaneDlg> dlg;
};
