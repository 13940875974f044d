// Drawing on the window's surface or on an off-screen layer: pictures from
// PNG files scaled into rectangles, text at a top-left point, lines, arcs,
// ellipses and rectangles, with a world transform. Coordinates are pixels.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace platform {

// 0xAARRGGBB.
using Argb = std::uint32_t;

struct PointF {
  float x = 0, y = 0;
};

struct RectF {
  float x = 0, y = 0, width = 0, height = 0;
};

// A regular font by face name, sized in inches at 96 dots per inch. The faces
// the program names ("Arial", "MS Shell Dlg") map to installed fonts that also
// cover Chinese and Japanese.
struct Font {
  std::string face;
  float sizeInches = 0;
};

// Where text stands in a rectangle, for Canvas::drawTextInBox.
struct TextBox {
  RectF rect;                      // a zero size: the text's top-left point
  bool alignRight = false;         // against the right edge, else the left
  bool alignBottom = false;        // against the bottom edge, else the top
  std::optional<Argb> background;  // fills the text's own box first (opaque text)
};

class Layer;

class Canvas {
 public:
  virtual ~Canvas() = default;

  // Draws the PNG file scaled into the rectangle. A file that cannot be read
  // draws nothing and gives false.
  virtual bool drawImage(const std::filesystem::path& file, RectF rect) = 0;
  // Draws UTF-8 text with its top-left at the origin: no wrapping, no
  // clipping; a tab moves on to the next tab stop.
  virtual void drawText(std::string_view text, const Font& font, Argb color, PointF origin) = 0;
  // UTF-8 text aligned in a rectangle, one line, not clipped to it.
  virtual void drawTextInBox(std::string_view text, const Font& font, Argb color, const TextBox& box) = 0;
  // A straight line with flat ends, the given width centred on it.
  virtual void drawLine(PointF from, PointF to, Argb color, float width) = 0;
  // An arc of the ellipse in the rectangle, angles in degrees measured from
  // the positive x axis, a positive sweep turning clockwise on the screen.
  virtual void drawArc(RectF ellipse, float startDegrees, float sweepDegrees, Argb color, float width) = 0;
  virtual void drawEllipse(RectF ellipse, Argb color, float width) = 0;
  virtual void fillEllipse(RectF ellipse, Argb color) = 0;
  virtual void fillRect(RectF rect, Argb color) = 0;
  // The world transform. Each call is applied after the transform so far
  // (so rotate, then translate, turns a picture about the origin and then
  // moves it); reset returns to the identity.
  virtual void rotateTransform(float degrees) = 0;
  virtual void translateTransform(float dx, float dy) = 0;
  virtual void resetTransform() = 0;
  // Composites a layer (source over) with its top-left at the point.
  virtual void drawLayer(const Layer& layer, PointF at) = 0;
};

// An off-screen ARGB bitmap, fully transparent when made.
class Layer {
 public:
  virtual ~Layer() = default;
  virtual int width() const = 0;
  virtual int height() const = 0;
  virtual Canvas& canvas() = 0;
};

}  // namespace platform
