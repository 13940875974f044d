// The main dialog on a headless host, started as the program starts it, with
// the simulated box behind the HID library.
#pragma once

#include <dlfcn.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>

#include "app/corvane_dlg.h"
#include "sim/sim_client.h"
#include "support/headless_host.h"
#include "support/link_fixture.h"

class AppTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ::setenv("CORVANE_DRIVE_C", CORVANE_SIM_DRIVE_C, 1);
    ::setenv("LANG", "en_US.UTF-8", 1);
    ::unsetenv("LC_ALL");
    m_sim = ::dlopen((std::string(CORVANE_SIM_DRIVE_C) + "/Windows/Corvane.dll").c_str(), RTLD_NOW);
    ASSERT_NE(m_sim, nullptr);
    ASSERT_TRUE(sim.load(m_sim));
    sim.CorvaneSim_Reset();
    sim.CorvaneSim_SetReportInterval(0);
    dlg = std::make_unique<CCorvaneDlg>(host);
  }
  void TearDown() override {
    dlg->OnDestroy();
    dlg.reset();
    ::dlclose(m_sim);
  }
  // Runs n ticks of the 200 ms timer.
  void Ticks(int n) {
    for (int i = 0; i < n; ++i)
      dlg->OnTimer(TIMER_UI_TICK);
  }

  HeadlessHost host;
  corvane::sim::SimClient sim;
  std::unique_ptr<CCorvaneDlg> dlg;

 private:
  void* m_sim = nullptr;
};
