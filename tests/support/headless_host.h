// A window host without a window: it records what the program shows, answers
// dialogs from a script and keeps posted tasks until the test pumps them on
// the thread that made it (the test's UI thread).
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "platform/dialog_host.h"
#include "support/headless_canvas_dialog.h"
#include "support/recording_canvas.h"

class HeadlessHost : public platform::DialogHost {
 public:
  HeadlessHost();

  bool isUiThread() const override;
  void post(std::function<void()> task) override;
  void setControlText(int controlId, const std::string& text) override;
  void enableControl(int controlId, bool enabled) override;
  void setProgressRange(int low, int high) override;
  void setProgressPos(int pos) override;
  void messageBox(const std::string& text, platform::MessageBoxKind kind,
                  const std::string& caption) override;
  std::optional<std::string> chooseFileToOpen(const platform::FileDialogOptions& options) override;
  std::optional<std::string> chooseFileToSave(const platform::FileDialogOptions& options) override;
  platform::ModalResult runModal(const platform::DialogTemplate& dialog,
                                 const platform::ModalButtonHandler& onButton) override;
  // Runs the script of WhileCanvasDialogOpen, then closes the dialog as the
  // close box does if it has not ended; one that refuses is ended anyway.
  int runCanvasDialog(const platform::DialogTemplate& dialog, int canvasItemId,
                      platform::CanvasDialogEvents& events) override;
  // Runs the work on a thread of its own and the posted tasks meanwhile, on
  // the calling thread, as the window's loop would.
  bool runWhileLive(const std::function<void(const std::atomic<bool>& closing)>& work) override;
  void paint(const std::function<void(platform::Canvas&)>& draw) override;
  std::unique_ptr<platform::Layer> createLayer(int width, int height) override;
  void setTitle(const std::string& title) override;
  void setTimer(int timerId, int intervalMs) override;
  void killTimer(int timerId) override;
  void endDialog(int result) override;
  void beginWindowMove() override;
  void setSystemMenuItem(unsigned commandId, const std::string& text) override;
  void showBusy(bool busy) override;

  // Everything painted on the window, in order.
  RecordingCanvas& Window() { return m_window; }
  std::string Title() const;
  // Running timers: id -> interval.
  std::map<int, int> Timers() const;
  std::optional<int> EndResult() const;
  int WindowMoves() const;
  // The system menu's items (command, text) in order.
  std::vector<std::pair<unsigned, std::string>> SystemMenu() const;
  // Whether the busy cursor shows.
  bool Busy() const;

  // Runs the posted tasks; returns how many ran.
  int Pump();
  // Waits, without running any, until a posted task is pending; false when
  // none is within the limit.
  bool WaitForTask(std::chrono::milliseconds limit = std::chrono::minutes(2));

  // What was shown.
  std::string ControlText(int controlId) const;
  std::optional<bool> ControlEnabled(int controlId) const;
  std::vector<std::string> MessageBoxes() const;
  std::vector<platform::DialogTemplate> Dialogs() const;
  std::vector<platform::FileDialogOptions> FileDialogs() const;
  // Every text the status line (1027) was given, in order.
  std::vector<std::string> StatusHistory() const;
  struct Progress {
    int low = 0, high = 100, pos = 0, maxPos = 0, posCalls = 0;
  };
  Progress ProgressBar() const;

  // Script: the next file dialogs return these (nothing = the user cancels).
  void QueueFileChoice(std::optional<std::string> path);
  // Script: the next modal dialogs press these buttons in turn; with none
  // queued a dialog is closed (IDCANCEL).
  void QueueButton(int buttonId, std::map<int, std::string> edits = {});
  // Script: runs while the next modal dialog or file picker is open, before
  // its button is pressed or its file chosen.
  void WhileNextDialogOpen(std::function<void()> action);
  // Script: drives every canvas dialog from its OnInitDialog to its end.
  void WhileCanvasDialogOpen(std::function<void(HeadlessCanvasDialog&)> script);
  // The last canvas dialog run, after its end; null before the first.
  HeadlessCanvasDialog* LastCanvasDialog() { return m_canvasDialog.get(); }
  // Canvas dialogs that did not end when closed.
  int RefusedCanvasCloses() const { return m_refusedCanvasCloses; }

 private:
  // Records a modal dialog or file picker, takes its scripted answer
  // (`answer` when none is queued) and runs the script for while it is open.
  template <typename Shown, typename Answer>
  Answer OpenModal(std::vector<Shown>& shown, const Shown& what, std::deque<Answer>& answers, Answer answer);

  std::thread::id m_uiThread;
  mutable std::mutex m_mutex;
  std::condition_variable m_taskPosted;
  std::deque<std::function<void()>> m_tasks;
  std::atomic<bool> m_closing{false};
  std::map<int, std::string> m_texts;
  std::map<int, bool> m_enabled;
  std::vector<std::string> m_statusHistory;
  std::vector<std::string> m_messageBoxes;
  std::vector<platform::DialogTemplate> m_dialogs;
  std::vector<platform::FileDialogOptions> m_fileDialogs;
  std::deque<std::optional<std::string>> m_fileChoices;
  std::deque<std::pair<int, std::map<int, std::string>>> m_buttons;
  std::function<void()> m_whileOpen;
  std::function<void(HeadlessCanvasDialog&)> m_canvasScript;
  std::unique_ptr<HeadlessCanvasDialog> m_canvasDialog;
  int m_refusedCanvasCloses = 0;
  Progress m_progress;
  RecordingCanvas m_window;
  std::string m_title;
  std::map<int, int> m_timers;
  std::optional<int> m_endResult;
  int m_windowMoves = 0;
  bool m_busy = false;
  std::vector<std::pair<unsigned, std::string>> m_systemMenu;
};
