// The program's real window, offscreen, with the main dialog on it and the
// simulated box behind the HID library.
#pragma once

#include <gtest/gtest.h>

#include <memory>

#include "app/corvane_dlg.h"
#include "app/main_dialog_template.h"
#include "platform/application.h"
#include "support/sim_session.h"

class WindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NO_FATAL_FAILURE(m_session.Open(CORVANE_SIM_DRIVE_C));
    window = platform::CreateMainWindow(MainDialogTemplate());
    dlg = std::make_unique<CCorvaneDlg>(*window);
  }
  void TearDown() override {
    window->close();
    dlg.reset();
    window.reset();
  }

  SimSession m_session;  // first: the library outlives the dialog
  corvane::sim::SimClient& sim = m_session.sim;
  std::unique_ptr<platform::MainWindow> window;
  std::unique_ptr<CCorvaneDlg> dlg;
};
