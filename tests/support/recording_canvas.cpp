#include "support/recording_canvas.h"

bool RecordingCanvas::drawImage(const std::filesystem::path& file, platform::RectF rect) {
  DrawOp op;
  op.kind = DrawOp::Kind::Image;
  op.file = file.string();
  op.rect = rect;
  Add(op);
  return std::filesystem::exists(file);
}

void RecordingCanvas::drawText(std::string_view text, const platform::Font& font, platform::Argb color,
                               platform::PointF origin) {
  DrawOp op;
  op.kind = DrawOp::Kind::Text;
  op.text = std::string(text);
  op.font = font;
  op.color = color;
  op.from = origin;
  Add(op);
}

void RecordingCanvas::drawTextInBox(std::string_view text, const platform::Font& font, platform::Argb color,
                                    const platform::TextBox& box) {
  DrawOp op;
  op.kind = DrawOp::Kind::Text;
  op.text = std::string(text);
  op.font = font;
  op.color = color;
  op.from = {box.rect.x, box.rect.y};
  op.rect = box.rect;
  op.box = box;
  Add(op);
}

void RecordingCanvas::drawLine(platform::PointF from, platform::PointF to, platform::Argb color,
                               float width) {
  DrawOp op;
  op.kind = DrawOp::Kind::Line;
  op.from = from;
  op.to = to;
  op.color = color;
  op.width = width;
  Add(op);
}

void RecordingCanvas::drawArc(platform::RectF ellipse, float startDegrees, float sweepDegrees,
                              platform::Argb color, float width) {
  DrawOp op;
  op.kind = DrawOp::Kind::Arc;
  op.rect = ellipse;
  op.start = startDegrees;
  op.sweep = sweepDegrees;
  op.color = color;
  op.width = width;
  Add(op);
}

void RecordingCanvas::drawEllipse(platform::RectF ellipse, platform::Argb color, float width) {
  DrawOp op;
  op.kind = DrawOp::Kind::Ellipse;
  op.rect = ellipse;
  op.color = color;
  op.width = width;
  Add(op);
}

void RecordingCanvas::fillEllipse(platform::RectF ellipse, platform::Argb color) {
  DrawOp op;
  op.kind = DrawOp::Kind::FillEllipse;
  op.rect = ellipse;
  op.color = color;
  Add(op);
}

void RecordingCanvas::fillRect(platform::RectF rect, platform::Argb color) {
  DrawOp op;
  op.kind = DrawOp::Kind::FillRect;
  op.rect = rect;
  op.color = color;
  Add(op);
}

void RecordingCanvas::rotateTransform(float degrees) {
  DrawOp op;
  op.kind = DrawOp::Kind::Rotate;
  op.start = degrees;
  Add(op);
}

void RecordingCanvas::translateTransform(float dx, float dy) {
  DrawOp op;
  op.kind = DrawOp::Kind::Translate;
  op.from = {dx, dy};
  Add(op);
}

void RecordingCanvas::resetTransform() {
  DrawOp op;
  op.kind = DrawOp::Kind::Reset;
  Add(op);
}

void RecordingCanvas::drawLayer(const platform::Layer& layer, platform::PointF at) {
  DrawOp op;
  op.kind = DrawOp::Kind::Layer;
  op.from = at;
  Add(op);
  if (const auto* recorded = dynamic_cast<const RecordingLayer*>(&layer)) Append(recorded->recording().Ops());
}

std::vector<DrawOp> RecordingCanvas::Ops() const {
  std::lock_guard lock(m_mutex);
  return m_ops;
}

void RecordingCanvas::Clear() {
  std::lock_guard lock(m_mutex);
  m_ops.clear();
}

void RecordingCanvas::Append(const std::vector<DrawOp>& ops) {
  std::lock_guard lock(m_mutex);
  m_ops.insert(m_ops.end(), ops.begin(), ops.end());
}

std::vector<std::string> RecordingCanvas::ImageNames() const {
  std::vector<std::string> names;
  for (const DrawOp& op : Ops()) {
    if (op.kind == DrawOp::Kind::Image) names.push_back(std::filesystem::path(op.file).filename().string());
  }
  return names;
}

std::vector<std::string> RecordingCanvas::Texts() const {
  std::vector<std::string> texts;
  for (const DrawOp& op : Ops()) {
    if (op.kind == DrawOp::Kind::Text) texts.push_back(op.text);
  }
  return texts;
}

void RecordingCanvas::Add(DrawOp op) {
  std::lock_guard lock(m_mutex);
  m_ops.push_back(std::move(op));
}
