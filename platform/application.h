// The desktop application and the main window that hosts the main dialog,
// on Qt. Nothing outside platform/ sees Qt.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "platform/dialog_events.h"
#include "platform/dialog_host.h"

namespace platform {

// The application object; one per process, made before any window. Uses the
// offscreen platform when there is no display.
class Application {
 public:
  Application(int& argc, char** argv);
  ~Application();
  Application(const Application&) = delete;
  Application& operator=(const Application&) = delete;
  // Runs the pending events of the UI thread once (tests).
  static void ProcessEvents();
  // True when windows are shown on no screen.
  static bool Offscreen();

 private:
  struct Impl;
  std::unique_ptr<Impl> m_impl;
};

// A frameless, fixed-size window whose client area is the template's size
// scaled to 965 x 578 pixels, drawn entirely by the dialog, with the
// template's visible controls (progress bar, statics) placed on it.
class MainWindow : public DialogHost {
 public:
  // Shows the window, calls OnInitDialog and runs the window until the
  // dialog ends; calls OnDestroy before the window goes. The result of
  // endDialog.
  virtual int doModal(DialogEvents& dialog) = 0;
  // For tests: shows the window and calls OnInitDialog, without a loop of
  // its own; the test runs Application::ProcessEvents. close() ends it as
  // the end of doModal does.
  virtual void show(DialogEvents& dialog) = 0;
  virtual void close() = 0;
  // Whether endDialog has been called, and its result.
  virtual bool ended() const = 0;
  virtual int result() const = 0;

  // What the client area shows now: the surface with the visible controls.
  virtual bool saveScreenshot(const std::string& pngPath) = 0;
  virtual Argb pixelAt(int x, int y) = 0;
};

std::unique_ptr<MainWindow> CreateMainWindow(const DialogTemplate& clientTemplate);

}  // namespace platform
