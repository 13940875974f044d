// The window's host for a run that nobody watches (the screenshot run of a
// machine without a display): everything reaches the window, but no question
// is put up, since nobody would answer it and the run would never end. A modal
// dialog ends at once as if closed (IDCANCEL, the "No" of an offer), a message
// box is passed over and a file picker cancelled; each is printed, so that the
// run's output tells what it would have asked.
#pragma once

#include "platform/dialog_host.h"

class UnattendedHost : public platform::DialogHost {
 public:
  explicit UnattendedHost(platform::DialogHost& window) : m_window(window) {}

  bool isUiThread() const override { return m_window.isUiThread(); }
  void post(std::function<void()> task) override { m_window.post(std::move(task)); }
  void setControlText(int controlId, const std::string& text) override {
    m_window.setControlText(controlId, text);
  }
  void enableControl(int controlId, bool enabled) override { m_window.enableControl(controlId, enabled); }
  void setProgressRange(int low, int high) override { m_window.setProgressRange(low, high); }
  void setProgressPos(int pos) override { m_window.setProgressPos(pos); }
  void paint(const std::function<void(platform::Canvas&)>& draw) override { m_window.paint(draw); }
  std::unique_ptr<platform::Layer> createLayer(int width, int height) override {
    return m_window.createLayer(width, height);
  }
  void setTitle(const std::string& title) override { m_window.setTitle(title); }
  void setTimer(int timerId, int intervalMs) override { m_window.setTimer(timerId, intervalMs); }
  void killTimer(int timerId) override { m_window.killTimer(timerId); }
  void endDialog(int result) override { m_window.endDialog(result); }
  void beginWindowMove() override { m_window.beginWindowMove(); }
  void setSystemMenuItem(unsigned commandId, const std::string& text) override {
    m_window.setSystemMenuItem(commandId, text);
  }
  void showBusy(bool busy) override { m_window.showBusy(busy); }

  void messageBox(const std::string& text, platform::MessageBoxKind kind,
                  const std::string& caption) override;
  std::optional<std::string> chooseFileToOpen(const platform::FileDialogOptions& options) override;
  std::optional<std::string> chooseFileToSave(const platform::FileDialogOptions& options) override;
  platform::ModalResult runModal(const platform::DialogTemplate& dialog,
                                 const platform::ModalButtonHandler& onButton) override;
  bool runWhileLive(const std::function<void(const std::atomic<bool>& closing)>& work) override {
    return m_window.runWhileLive(work);
  }
  int runCanvasDialog(const platform::DialogTemplate& dialog, int canvasItemId,
                      platform::CanvasDialogEvents& events) override;

 private:
  platform::DialogHost& m_window;
};
