// A canvas that records what is drawn on it, for tests of the drawing code.
#pragma once

#include <mutex>
#include <string>
#include <vector>

#include "platform/canvas.h"

struct DrawOp {
  enum class Kind { Image, Text, Line, Arc, Ellipse, FillEllipse, FillRect, Rotate, Translate, Reset, Layer };
  Kind kind = Kind::Image;
  std::string file;  // Image: the path as given
  std::string text;  // Text
  platform::Font font;
  platform::Argb color = 0;
  platform::RectF rect;        // Image, Arc, Ellipse, FillRect
  platform::PointF from, to;   // Line; Text origin in from; Layer position in from
  float width = 0;             // Line, Arc, Ellipse
  float start = 0, sweep = 0;  // Arc; Rotate degrees in start; Translate in from
  platform::TextBox box;       // Text in a box (its rect's top-left also in from)
};

class RecordingCanvas : public platform::Canvas {
 public:
  bool drawImage(const std::filesystem::path& file, platform::RectF rect) override;
  void drawText(std::string_view text, const platform::Font& font, platform::Argb color,
                platform::PointF origin) override;
  void drawTextInBox(std::string_view text, const platform::Font& font, platform::Argb color,
                     const platform::TextBox& box) override;
  void drawLine(platform::PointF from, platform::PointF to, platform::Argb color, float width) override;
  void drawArc(platform::RectF ellipse, float startDegrees, float sweepDegrees, platform::Argb color,
               float width) override;
  void drawEllipse(platform::RectF ellipse, platform::Argb color, float width) override;
  void fillEllipse(platform::RectF ellipse, platform::Argb color) override;
  void fillRect(platform::RectF rect, platform::Argb color) override;
  void rotateTransform(float degrees) override;
  void translateTransform(float dx, float dy) override;
  void resetTransform() override;
  void drawLayer(const platform::Layer& layer, platform::PointF at) override;

  std::vector<DrawOp> Ops() const;
  void Clear();
  void Append(const std::vector<DrawOp>& ops);
  // The file names (last path element) of the pictures drawn, in order.
  std::vector<std::string> ImageNames() const;
  std::vector<std::string> Texts() const;

 private:
  void Add(DrawOp op);
  mutable std::mutex m_mutex;
  std::vector<DrawOp> m_ops;
};

// An off-screen layer whose drawing is recorded; drawn onto a recording
// canvas, its operations are appended there.
class RecordingLayer : public platform::Layer {
 public:
  RecordingLayer(int width, int height) : m_width(width), m_height(height) {}
  int width() const override { return m_width; }
  int height() const override { return m_height; }
  platform::Canvas& canvas() override { return m_canvas; }
  const RecordingCanvas& recording() const { return m_canvas; }

 private:
  int m_width, m_height;
  RecordingCanvas m_canvas;
};
