// A canvas dialog without a window: the test drives it as a user would
// (mouse on the canvas, buttons, close box, timer ticks) and reads back what
// the dialog set and drew.
#pragma once

#include <functional>
#include <map>
#include <optional>
#include <string>

#include "platform/canvas_dialog.h"
#include "platform/modal_dialog.h"
#include "support/recording_canvas.h"

class HeadlessCanvasDialog : public platform::CanvasDialog {
 public:
  HeadlessCanvasDialog(const platform::DialogTemplate& dialog, int canvasItemId,
                       platform::CanvasDialogEvents& events);

  int canvasWidth() const override { return m_width; }
  int canvasHeight() const override { return m_height; }
  platform::Point cursorPos() const override { return m_cursor; }
  bool cursorOver() const override { return m_cursorOver; }
  void paintCanvas(const std::function<void(platform::Canvas&)>& draw) override;
  std::unique_ptr<platform::Layer> createLayer(int width, int height) override;
  void setCaption(const std::string& text) override { m_caption = text; }
  void setItemText(int itemId, const std::string& text) override { m_texts[itemId] = text; }
  void enableItem(int itemId, bool enabled) override { m_enabled[itemId] = enabled; }
  void enableClose(bool enabled) override { m_closeEnabled = enabled; }
  void setTimer(int timerId, int intervalMs) override { m_timers[timerId] = intervalMs; }
  void killTimer(int timerId) override { m_timers.erase(timerId); }
  void postClose() override { ++m_postedCloses; }
  void endDialog(int result) override;

  // --- the user and the window, for tests; nothing reaches an ended dialog ---
  // The pointer starts away from the canvas; the mouse actions put it at
  // their position, over the canvas when that lies on it.
  void Move(int x, int y, bool leftButtonDown = false);
  void Press(int x, int y);
  void Release(int x, int y);
  void RightPress(int x, int y);
  // Press, move there in steps with the button held, release.
  void Drag(int fromX, int fromY, int toX, int toY);
  // The pointer leaves the canvas.
  void Leave() { m_cursorOver = false; }
  // A button as the user clicks it: a disabled one does nothing.
  void Click(int buttonId);
  // The close box (while enabled), and Escape and Enter, which ask the
  // dialog to close even while it is disabled.
  void CloseBox();
  void Escape();
  void Enter() { Escape(); }
  // One tick of a running timer; false when it is not running.
  bool Tick(int timerId);
  // Runs the closes posted so far.
  void Pump();

  bool Ended() const { return m_result.has_value(); }
  int Result() const { return m_result.value_or(-1); }
  const std::string& Caption() const { return m_caption; }
  std::string ItemText(int itemId) const;
  bool ItemEnabled(int itemId) const;
  bool CloseEnabled() const { return m_closeEnabled; }
  const std::map<int, int>& Timers() const { return m_timers; }
  // Everything drawn on the canvas, in order (layers appended where drawn).
  RecordingCanvas& Drawn() { return m_drawn; }

 private:
  void PutCursor(int x, int y);

  platform::CanvasDialogEvents& m_events;
  int m_width = 0, m_height = 0;
  platform::Point m_cursor;
  bool m_cursorOver = false;
  std::string m_caption;
  std::map<int, std::string> m_texts;
  std::map<int, bool> m_enabled;
  bool m_closeEnabled = true;
  std::map<int, int> m_timers;
  int m_postedCloses = 0;
  std::optional<int> m_result;
  RecordingCanvas m_drawn;
};
