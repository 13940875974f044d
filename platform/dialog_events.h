// What a window tells the dialog it hosts: the messages the dialog handles.
#pragma once

#include <optional>

#include "platform/canvas.h"

namespace platform {

// The colour of a static control's text, when the dialog wants its own.
// Statics on the main window have no background of their own: their text
// stands on what the dialog has drawn.
struct ControlColors {
  std::optional<Argb> text;
};

class DialogEvents {
 public:
  virtual ~DialogEvents() = default;

  // The window and its controls exist; false when the dialog could not set
  // itself up (the window still runs).
  virtual bool OnInitDialog() = 0;
  // The window was shown or uncovered.
  virtual void OnPaint() = 0;
  virtual void OnTimer(int timerId) = 0;
  virtual void OnMouseMove(int x, int y) = 0;
  virtual void OnLButtonDown(int x, int y) = 0;
  virtual void OnLButtonUp(int x, int y) = 0;
  virtual void OnSysCommand(unsigned commandId) = 0;
  virtual ControlColors OnCtlColor(int controlId) = 0;
  // Escape or the window manager's close: the dialog decides whether it ends.
  virtual void OnCancel() = 0;
  // The window is going away; runs once, before the window is destroyed.
  virtual void OnDestroy() = 0;
};

}  // namespace platform
