// The program's real window, offscreen, with the main dialog on it and the
// simulated box behind the HID library.
#pragma once

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QMouseEvent>
#include <QPoint>
#include <QWindow>
#include <memory>

#include "app/corvane_dlg.h"
#include "app/main_dialog_template.h"
#include "platform/application.h"
#include "platform/qt_test_support.h"
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

  // Mouse events on the window, as the system delivers them.
  void Send(QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons held) {
    QWindow* handle = MainWidget()->windowHandle();
    QMouseEvent event(type, QPointF(at), handle->mapToGlobal(QPointF(at)), button, held, Qt::NoModifier);
    QCoreApplication::sendEvent(handle, &event);
    platform::Application::ProcessEvents();
  }
  // Clicks are taken once the mouse is no longer blocked.
  void Press(QPoint at) {
    ASSERT_TRUE(WaitUntil([&] { return dlg->m_nClickBlock == 0; }));
    Send(QEvent::MouseMove, at, Qt::NoButton, Qt::NoButton);
    Send(QEvent::MouseButtonPress, at, Qt::LeftButton, Qt::LeftButton);
  }
  void Release(QPoint at) { Send(QEvent::MouseButtonRelease, at, Qt::LeftButton, Qt::NoButton); }
  void Click(QPoint at) {
    Press(at);
    Release(at);
  }

  SimSession m_session;  // first: the library outlives the dialog
  corvane::sim::SimClient& sim = m_session.sim;
  std::unique_ptr<platform::MainWindow> window;
  std::unique_ptr<CCorvaneDlg> dlg;
};
