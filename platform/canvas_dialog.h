// A modal dialog built from a template whose one custom item is a canvas:
// a child surface that the dialog draws on and that reports the mouse. The
// template's buttons are reported as commands; no key presses one: Enter,
// like Escape, asks the dialog to close.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "platform/canvas.h"

namespace platform {

struct Point {
  int x = 0, y = 0;
};

// What the dialog can ask of its window while it runs. UI thread only.
class CanvasDialog {
 public:
  virtual ~CanvasDialog() = default;

  // The canvas's client size in pixels; its client coordinates start at its
  // top-left corner.
  virtual int canvasWidth() const = 0;
  virtual int canvasHeight() const = 0;
  // Where the pointer is over the canvas, in its client coordinates (its
  // last position there when it has left).
  virtual Point cursorPos() const = 0;
  // Whether the pointer is over the canvas now; not before it first comes.
  virtual bool cursorOver() const = 0;
  // Draws on the canvas; what is drawn stays until drawn over.
  virtual void paintCanvas(const std::function<void(Canvas&)>& draw) = 0;
  // A transparent off-screen bitmap.
  virtual std::unique_ptr<Layer> createLayer(int width, int height) = 0;
  virtual void setCaption(const std::string& text) = 0;
  virtual void setItemText(int itemId, const std::string& text) = 0;
  virtual void enableItem(int itemId, bool enabled) = 0;
  // The close box and the window menu's Close; Escape and Enter still reach
  // OnClose.
  virtual void enableClose(bool enabled) = 0;
  // Timers call OnTimer with their id until killed.
  virtual void setTimer(int timerId, int intervalMs) = 0;
  virtual void killTimer(int timerId) = 0;
  // OnClose runs later, from the dialog's loop.
  virtual void postClose() = 0;
  // Ends the run with the result; no handler is called after it but OnDestroy.
  virtual void endDialog(int result) = 0;
};

// The dialog's side: what its window tells it. Coordinates are the canvas's
// client coordinates.
class CanvasDialogEvents {
 public:
  virtual ~CanvasDialogEvents() = default;

  // The window, its items and the canvas exist. The control object stays
  // valid until OnDestroy has returned.
  virtual bool OnInitDialog(CanvasDialog& dialog) = 0;
  // The window was shown; the canvas shows what was last drawn on it.
  virtual void OnPaint() = 0;
  virtual void OnTimer(int timerId) = 0;
  virtual void OnMouseMove(int x, int y, bool leftButtonDown) = 0;
  virtual void OnLButtonDown(int x, int y) = 0;
  virtual void OnLButtonUp(int x, int y) = 0;
  virtual void OnRButtonDown(int x, int y) = 0;
  // A button of the template was pressed.
  virtual void OnCommand(int buttonId) = 0;
  // The close box, Escape, Enter or postClose: the dialog decides whether it
  // ends.
  virtual void OnClose() = 0;
  // The window is going away; runs once.
  virtual void OnDestroy() = 0;
};

}  // namespace platform
