// What the main dialog needs of the window that hosts it: its controls, the
// UI thread, message boxes, file pickers and modal dialogs. The Qt window
// implements it; tests use a headless one.
#pragma once

#include <atomic>
#include <functional>
#include <optional>
#include <string>

#include "platform/canvas.h"
#include "platform/canvas_dialog.h"
#include "platform/modal_dialog.h"

namespace platform {

enum class MessageBoxKind {
  Plain,        // OK button, the application's caption
  Information,  // OK button with an information icon and the given caption
};

struct FileDialogOptions {
  std::string defaultExtension;   // without the dot, e.g. "esc"
  std::string filterLabel;        // e.g. "*.esc"
  std::string filterPattern;      // e.g. "*.esc"
  bool confirmOverwrite = false;  // save: ask before replacing an existing file
};

// The items that a window's system menu holds from the start, in this order:
// Move and Close, whose commands reach the dialog's OnSysCommand like those
// of the items it adds.
inline constexpr unsigned kSysCommandMove = 0xF010;
inline constexpr unsigned kSysCommandClose = 0xF060;
struct SystemMenuItem {
  unsigned commandId;
  const char* text;
};
inline constexpr SystemMenuItem kStandardSystemMenu[] = {
    {kSysCommandMove, "Move"},
    {kSysCommandClose, "Close   Alt+F4"},
};

class DialogHost {
 public:
  virtual ~DialogHost() = default;

  // --- callable from any thread; never blocks on the UI thread ---

  // True on the thread that runs the window.
  virtual bool isUiThread() const = 0;
  // Runs the task on the UI thread later. Tasks posted after the window has
  // gone are dropped.
  virtual void post(std::function<void()> task) = 0;
  // Text of a control of the window (static, button).
  virtual void setControlText(int controlId, const std::string& text) = 0;
  virtual void enableControl(int controlId, bool enabled) = 0;
  // The progress bar (control 1000).
  virtual void setProgressRange(int low, int high) = 0;
  virtual void setProgressPos(int pos) = 0;

  // --- UI thread only ---

  // Draws onto the window's client area (965 x 578) and schedules it to be
  // shown. What is drawn stays until drawn over: uncovering the window shows it.
  virtual void paint(const std::function<void(Canvas&)>& draw) = 0;
  // A transparent off-screen bitmap.
  virtual std::unique_ptr<Layer> createLayer(int width, int height) = 0;
  virtual void setTitle(const std::string& title) = 0;
  // Timers call the dialog's OnTimer with their id until killed.
  virtual void setTimer(int timerId, int intervalMs) = 0;
  virtual void killTimer(int timerId) = 0;
  // Ends the main dialog with a result; the window closes.
  virtual void endDialog(int result) = 0;
  // Moves the window with the pointer while the left button is held.
  virtual void beginWindowMove() = 0;
  // The window's system menu, which the user opens with Alt+Space or a right
  // click on the title banner; it starts with kStandardSystemMenu. Adds an
  // item that sends commandId to OnSysCommand, or renames the item of that
  // command; items keep the order of their first addition. "&" marks the
  // mnemonic letter, "&&" is an "&".
  virtual void setSystemMenuItem(unsigned commandId, const std::string& text) = 0;
  // While busy the window shows the busy cursor and does not open its system
  // menu; the dialog refuses the rest of the user's input itself. Painting,
  // timers and posted tasks go on.
  virtual void showBusy(bool busy) = 0;

  // These run a modal loop.

  virtual void messageBox(const std::string& text, MessageBoxKind kind, const std::string& caption = {}) = 0;
  // The chosen path, or nothing when the user cancelled.
  virtual std::optional<std::string> chooseFileToOpen(const FileDialogOptions& options) = 0;
  virtual std::optional<std::string> chooseFileToSave(const FileDialogOptions& options) = 0;
  virtual ModalResult runModal(const DialogTemplate& dialog, const ModalButtonHandler& onButton) = 0;
  // Runs a dialog whose item canvasItemId is a canvas (its kind and text are
  // not used); returns the result of CanvasDialog::endDialog.
  virtual int runCanvasDialog(const DialogTemplate& dialog, int canvasItemId, CanvasDialogEvents& events) = 0;
  // Runs work on a worker thread while this thread keeps the window live
  // (painting, timers, input, posted tasks) until work has returned.
  // closing turns true once the window begins to close (endDialog, the close
  // box); work should then end promptly, and the window goes only after it
  // has. False when the window is closing: the caller should leave things
  // as they are. work reaches the window only through the calls any thread
  // may make.
  virtual bool runWhileLive(const std::function<void(const std::atomic<bool>& closing)>& work) = 0;
};

}  // namespace platform
