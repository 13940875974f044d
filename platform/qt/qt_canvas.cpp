#include "platform/qt/qt_canvas.h"

#include <QPainterPath>
#include <QTransform>
#include <algorithm>

#include "platform/qt/fonts.h"

namespace platform::qt {

namespace {

QRectF ToRect(RectF r) {
  return QRectF(r.x, r.y, r.width, r.height);
}

QColor ToColor(Argb argb) {
  return QColor::fromRgba(argb);
}

// Lines and outlines end flat at their end points.
QPen Pen(Argb color, float width) {
  return QPen(ToColor(color), width, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin);
}

// Text laid out from a point is given a box far larger than any text, so that
// nothing wraps or clips.
constexpr qreal kUnbounded = 1.0e5;

}  // namespace

QtCanvas::QtCanvas(QImage& target, PictureCache& pictures) : m_painter(&target), m_pictures(pictures) {
  m_painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing |
                           QPainter::SmoothPixmapTransform);
}

QtCanvas::~QtCanvas() = default;

bool QtCanvas::drawImage(const std::filesystem::path& file, RectF rect) {
  // The cache follows the file on disk: a changed file is read again.
  const QImage picture = m_pictures.picture(file);
  if (picture.isNull()) return false;
  m_painter.drawImage(ToRect(rect), picture);
  return true;
}

void QtCanvas::drawText(std::string_view text, const Font& font, Argb color, PointF origin) {
  const QFont qfont = CanvasFont(font);
  m_painter.setFont(qfont);
  m_painter.setPen(ToColor(color));
  // A sixth of an em of room before the first glyph, as the program's layout
  // expects of text drawn from a point.
  const qreal padding = qfont.pixelSize() / 6.0;
  const QRectF box(origin.x + padding, origin.y, kUnbounded, kUnbounded);
  m_painter.drawText(box, Qt::AlignLeft | Qt::AlignTop | Qt::TextDontClip | Qt::TextExpandTabs,
                     FromUtf8(text));
}

void QtCanvas::drawTextInBox(std::string_view text, const Font& font, Argb color, const TextBox& box) {
  m_painter.setFont(CanvasFont(font));
  const int flags = (box.alignRight ? Qt::AlignRight : Qt::AlignLeft) |
                    (box.alignBottom ? Qt::AlignBottom : Qt::AlignTop) | Qt::TextDontClip |
                    Qt::TextSingleLine;
  const QRectF rect = ToRect(box.rect);
  const QString line = FromUtf8(text);
  if (box.background) {
    const QRectF used = m_painter.boundingRect(rect, flags, line);
    m_painter.fillRect(used, ToColor(*box.background));
  }
  m_painter.setPen(ToColor(color));
  m_painter.drawText(rect, flags, line);
}

void QtCanvas::drawLine(PointF from, PointF to, Argb color, float width) {
  m_painter.setPen(Pen(color, width));
  m_painter.drawLine(QPointF(from.x, from.y), QPointF(to.x, to.y));
}

void QtCanvas::drawArc(RectF ellipse, float startDegrees, float sweepDegrees, Argb color, float width) {
  // Our angles turn clockwise on the screen, Qt's counter-clockwise; a sweep
  // of a full turn or more is the whole ellipse.
  const qreal sweep = std::clamp<qreal>(sweepDegrees, -360.0, 360.0);
  const QRectF rect = ToRect(ellipse);
  QPainterPath path;
  path.arcMoveTo(rect, -startDegrees);
  path.arcTo(rect, -startDegrees, -sweep);
  m_painter.setBrush(Qt::NoBrush);
  m_painter.strokePath(path, Pen(color, width));
}

void QtCanvas::drawEllipse(RectF ellipse, Argb color, float width) {
  m_painter.setPen(Pen(color, width));
  m_painter.setBrush(Qt::NoBrush);
  m_painter.drawEllipse(ToRect(ellipse));
}

void QtCanvas::fillEllipse(RectF ellipse, Argb color) {
  m_painter.setPen(Qt::NoPen);
  m_painter.setBrush(ToColor(color));
  m_painter.drawEllipse(ToRect(ellipse));
  m_painter.setBrush(Qt::NoBrush);
}

void QtCanvas::fillRect(RectF rect, Argb color) {
  m_painter.fillRect(ToRect(rect), ToColor(color));
}

// Each step is applied after the transform so far.
void QtCanvas::rotateTransform(float degrees) {
  m_painter.setWorldTransform(m_painter.worldTransform() * QTransform().rotate(degrees));
}

void QtCanvas::translateTransform(float dx, float dy) {
  m_painter.setWorldTransform(m_painter.worldTransform() * QTransform::fromTranslate(dx, dy));
}

void QtCanvas::resetTransform() {
  m_painter.resetTransform();
}

void QtCanvas::drawLayer(const Layer& layer, PointF at) {
  const auto* qtLayer = dynamic_cast<const QtLayer*>(&layer);
  if (qtLayer == nullptr) return;
  m_painter.drawImage(QPointF(at.x, at.y), qtLayer->image());
}

QImage TransparentImage(int width, int height) {
  QImage image(std::max(width, 1), std::max(height, 1), QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  return image;
}

QtLayer::QtLayer(int width, int height, PictureCache& pictures)
    : m_width(width),
      m_height(height),
      m_image(TransparentImage(width, height)),
      m_canvas(m_image, pictures) {}

}  // namespace platform::qt
