#include "app/corvane_app.h"

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "app/corvane_dlg.h"
#include "app/main_dialog_template.h"
#include "app/unattended_host.h"
#include "platform/application.h"

CCorvaneApp theApp;

namespace {

// With CORVANE_SCREENSHOT set (the run script does so on a machine without a
// display), the window is saved to that PNG once the first settings read has
// been shown and the upgrade check it started is over, or after a minute
// without that, and the program ends. Nobody answers questions in such a run
// (UnattendedHost).
class ScreenshotAfterFirstRead : public platform::DialogEvents {
 public:
  ScreenshotAfterFirstRead(CCorvaneDlg& dlg, platform::MainWindow& window, std::string path)
      : m_dlg(dlg), m_window(window), m_path(std::move(path)) {}

  bool OnInitDialog() override { return m_dlg.OnInitDialog(); }
  void OnPaint() override { m_dlg.OnPaint(); }
  void OnTimer(int timerId) override {
    m_dlg.OnTimer(timerId);
    if (timerId != TIMER_UI_TICK || m_done) return;
    ++m_ticks;
    // The read is shown once its page redraw, a second after it, has run.
    const bool shown = m_dlg.m_bRedrawPage && m_dlg.m_nPressCountdown == 0 &&
                       !(m_dlg.m_nUpgradeFlags & kUpgradeCheckRunning);
    if (!shown && m_ticks < kTickLimit) return;
    m_done = true;
    if (m_window.saveScreenshot(m_path)) {
      std::printf("%s: %s\n",
                  shown ? "screenshot after the first settings read" : "screenshot (no read completed)",
                  m_path.c_str());
    } else {
      std::fprintf(stderr, "could not save the screenshot to %s\n", m_path.c_str());
    }
    std::fflush(stdout);
    m_dlg.OnOK();
  }
  void OnMouseMove(int x, int y) override { m_dlg.OnMouseMove(x, y); }
  void OnLButtonDown(int x, int y) override { m_dlg.OnLButtonDown(x, y); }
  void OnLButtonUp(int x, int y) override { m_dlg.OnLButtonUp(x, y); }
  void OnSysCommand(unsigned commandId) override { m_dlg.OnSysCommand(commandId); }
  platform::ControlColors OnCtlColor(int controlId) override { return m_dlg.OnCtlColor(controlId); }
  void OnCancel() override { m_dlg.OnCancel(); }
  void OnDestroy() override { m_dlg.OnDestroy(); }

 private:
  static constexpr int kTickLimit = 300;  // one minute of 200 ms ticks
  CCorvaneDlg& m_dlg;
  platform::MainWindow& m_window;
  std::string m_path;
  int m_ticks = 0;
  bool m_done = false;
};

}  // namespace

int CCorvaneApp::Run(int& argc, char** argv) {
  platform::Application application(argc, argv);
  InitInstance();
  return 0;
}

bool CCorvaneApp::InitInstance() {
  auto window = platform::CreateMainWindow(MainDialogTemplate());
  const char* screenshot = std::getenv("CORVANE_SCREENSHOT");
  const bool unattended = screenshot != nullptr && *screenshot != '\0';
  UnattendedHost unattendedHost(*window);
  auto dlg = std::make_unique<CCorvaneDlg>(unattended ? static_cast<platform::DialogHost&>(unattendedHost)
                                                      : *window);
  m_pMainWnd = dlg.get();
  if (unattended) {
    ScreenshotAfterFirstRead probe(*dlg, *window, screenshot);
    window->doModal(probe);
  } else {
    window->doModal(*dlg);
  }
  m_pMainWnd = nullptr;
  dlg.reset();
  window.reset();
  return false;
}
