// The canvas over a QPainter on an ARGB image, and the off-screen layer.
#pragma once

#include <QImage>
#include <QPainter>
#include <QString>
#include <string_view>

#include "platform/canvas.h"
#include "platform/qt/picture_cache.h"

namespace platform::qt {

inline QString FromUtf8(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// Paints on the image for as long as it lives; the image and the picture
// cache must outlive it.
class QtCanvas : public Canvas {
 public:
  explicit QtCanvas(QImage& target, PictureCache& pictures = PictureCache::Shared());
  ~QtCanvas() override;
  QtCanvas(const QtCanvas&) = delete;
  QtCanvas& operator=(const QtCanvas&) = delete;

  bool drawImage(const std::filesystem::path& file, RectF rect) override;
  void drawText(std::string_view text, const Font& font, Argb color, PointF origin) override;
  void drawTextInBox(std::string_view text, const Font& font, Argb color, const TextBox& box) override;
  void drawLine(PointF from, PointF to, Argb color, float width) override;
  void drawArc(RectF ellipse, float startDegrees, float sweepDegrees, Argb color, float width) override;
  void drawEllipse(RectF ellipse, Argb color, float width) override;
  void fillEllipse(RectF ellipse, Argb color) override;
  void fillRect(RectF rect, Argb color) override;
  void rotateTransform(float degrees) override;
  void translateTransform(float dx, float dy) override;
  void resetTransform() override;
  void drawLayer(const Layer& layer, PointF at) override;

  QPainter& painter() { return m_painter; }

 private:
  QPainter m_painter;
  PictureCache& m_pictures;
};

// A fully transparent premultiplied ARGB image (at least 1 x 1).
QImage TransparentImage(int width, int height);

// A transparent ARGB image with a canvas of its own.
class QtLayer : public Layer {
 public:
  QtLayer(int width, int height, PictureCache& pictures = PictureCache::Shared());
  int width() const override { return m_width; }
  int height() const override { return m_height; }
  Canvas& canvas() override { return m_canvas; }
  const QImage& image() const { return m_image; }

 private:
  int m_width, m_height;
  QImage m_image;  // before m_canvas, which paints on it
  QtCanvas m_canvas;
};

}  // namespace platform::qt
