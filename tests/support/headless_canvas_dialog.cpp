#include "support/headless_canvas_dialog.h"

#include <cmath>

namespace {

int Pixels(int units, double scale) {
  return static_cast<int>(std::lround(units * scale));
}

}  // namespace

HeadlessCanvasDialog::HeadlessCanvasDialog(const platform::DialogTemplate& dialog, int canvasItemId,
                                           platform::CanvasDialogEvents& events)
    : m_events(events), m_caption(dialog.caption) {
  for (const platform::DialogItem& item : dialog.items) {
    if (item.id == canvasItemId) {
      // The same scale as the window's dialogs.
      m_width = Pixels(item.width, platform::kDialogUnitX);
      m_height = Pixels(item.height, platform::kDialogUnitY);
    } else {
      m_texts[item.id] = item.text;
      m_enabled[item.id] = true;
    }
  }
}

void HeadlessCanvasDialog::paintCanvas(const std::function<void(platform::Canvas&)>& draw) {
  draw(m_drawn);
}

std::unique_ptr<platform::Layer> HeadlessCanvasDialog::createLayer(int width, int height) {
  return std::make_unique<RecordingLayer>(width, height);
}

void HeadlessCanvasDialog::endDialog(int result) {
  if (!m_result) m_result = result;
  m_timers.clear();
}

void HeadlessCanvasDialog::PutCursor(int x, int y) {
  m_cursor = {x, y};
  m_cursorOver = x >= 0 && x < m_width && y >= 0 && y < m_height;
}

void HeadlessCanvasDialog::Move(int x, int y, bool leftButtonDown) {
  PutCursor(x, y);
  if (!Ended()) m_events.OnMouseMove(x, y, leftButtonDown);
}

void HeadlessCanvasDialog::Press(int x, int y) {
  PutCursor(x, y);
  if (!Ended()) m_events.OnLButtonDown(x, y);
}

void HeadlessCanvasDialog::Release(int x, int y) {
  PutCursor(x, y);
  if (!Ended()) m_events.OnLButtonUp(x, y);
}

void HeadlessCanvasDialog::RightPress(int x, int y) {
  PutCursor(x, y);
  if (!Ended()) m_events.OnRButtonDown(x, y);
}

void HeadlessCanvasDialog::Drag(int fromX, int fromY, int toX, int toY) {
  Move(fromX, fromY);
  Press(fromX, fromY);
  for (int step = 1; step <= 4; ++step)
    Move(fromX + (toX - fromX) * step / 4, fromY + (toY - fromY) * step / 4, true);
  Release(toX, toY);
}

void HeadlessCanvasDialog::Click(int buttonId) {
  if (!Ended() && ItemEnabled(buttonId)) m_events.OnCommand(buttonId);
}

void HeadlessCanvasDialog::CloseBox() {
  if (!Ended() && m_closeEnabled) m_events.OnClose();
}

void HeadlessCanvasDialog::Escape() {
  if (!Ended()) m_events.OnClose();
}

bool HeadlessCanvasDialog::Tick(int timerId) {
  if (Ended() || !m_timers.contains(timerId)) return false;
  m_events.OnTimer(timerId);
  return true;
}

void HeadlessCanvasDialog::Pump() {
  while (m_postedCloses > 0) {
    --m_postedCloses;
    if (!Ended()) m_events.OnClose();
  }
}

std::string HeadlessCanvasDialog::ItemText(int itemId) const {
  auto found = m_texts.find(itemId);
  return found == m_texts.end() ? std::string() : found->second;
}

bool HeadlessCanvasDialog::ItemEnabled(int itemId) const {
  auto found = m_enabled.find(itemId);
  return found != m_enabled.end() && found->second;
}
