// The simulated box for tests of the whole program: the simulator's drive-C
// root chosen, its Corvane.dll loaded beside the program's own binding (the
// same library, so both see one box) and reset, with reports unpaced, and the
// window starting in English.
#pragma once

#include <dlfcn.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "sim/sim_client.h"

class SimSession {
 public:
  // Call from SetUp, through ASSERT_NO_FATAL_FAILURE.
  void Open(const char* driveRoot) {
    ::setenv("CORVANE_DRIVE_C", driveRoot, 1);
    ::setenv("LANG", "en_US.UTF-8", 1);
    ::unsetenv("LC_ALL");
    m_library = ::dlopen((std::string(driveRoot) + "/Windows/Corvane.dll").c_str(), RTLD_NOW);
    ASSERT_NE(m_library, nullptr) << ::dlerror();
    ASSERT_TRUE(sim.load(m_library));
    sim.CorvaneSim_Reset();
    sim.CorvaneSim_SetReportInterval(0);
  }
  ~SimSession() {
    if (m_library != nullptr) ::dlclose(m_library);
  }

  corvane::sim::SimClient sim;

 private:
  void* m_library = nullptr;
};
