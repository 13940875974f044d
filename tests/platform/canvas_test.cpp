// Pixel probes of the canvas: pictures, lines, arcs, transforms, text and
// layers, drawn on an image of our own.
#include <gtest/gtest.h>

#include <QFontInfo>
#include <QImage>
#include <fstream>

#include "platform/qt/fonts.h"
#include "platform/qt/qt_canvas.h"
#include "qt_test_support.h"

namespace {

using platform::Argb;
using platform::qt::QtCanvas;
using platform::qt::QtLayer;

// The bounding box of the pixels that are not the background.
QRect Ink(const QImage& image, Argb background) {
  QRect box;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      if (At(image, x, y) != background) box |= QRect(x, y, 1, 1);
    }
  }
  return box;
}

// A picture of four solid quadrants: red, green / blue, white.
QImage Quadrants() {
  QImage picture(8, 8, QImage::Format_ARGB32);
  for (int y = 0; y < 8; ++y) {
    for (int x = 0; x < 8; ++x) {
      picture.setPixel(x, y, y < 4 ? (x < 4 ? kRed : kGreen) : (x < 4 ? kBlue : kWhite));
    }
  }
  return picture;
}

TEST(CanvasPictures, PictureIsScaledIntoTheRectangle) {
  TempDir dir;
  const auto file = WritePng(dir.path() / "UI-01.PNG", Quadrants());
  QImage target = Image(100, 60, Qt::black);
  {
    QtCanvas canvas(target);
    EXPECT_TRUE(canvas.drawImage(file, {10.0f, 10.0f, 40.0f, 20.0f}));
  }
  EXPECT_TRUE(Near(At(target, 13, 12), kRed));
  EXPECT_TRUE(Near(At(target, 46, 12), kGreen));
  EXPECT_TRUE(Near(At(target, 13, 27), kBlue));
  EXPECT_TRUE(Near(At(target, 46, 27), kWhite));
  // Nothing outside the rectangle.
  EXPECT_EQ(At(target, 8, 20), 0xFF000000u);
  EXPECT_EQ(At(target, 52, 20), 0xFF000000u);
  EXPECT_EQ(At(target, 30, 32), 0xFF000000u);
}

TEST(CanvasPictures, MissingOrUnreadableFileDrawsNothing) {
  TempDir dir;
  const auto notPng = dir.path() / "UI-02.PNG";
  std::ofstream(notPng) << "not a picture";
  QImage target = Image(40, 40, Qt::darkCyan);
  const QImage before = target.copy();
  {
    QtCanvas canvas(target);
    EXPECT_FALSE(canvas.drawImage(dir.path() / "missing.PNG", {0, 0, 40, 40}));
    EXPECT_FALSE(canvas.drawImage(notPng, {0, 0, 40, 40}));
  }
  EXPECT_EQ(target, before);
}

TEST(CanvasPictures, PictureIsReadAgainOnEveryDraw) {
  TempDir dir;
  const auto file = dir.path() / "UI-G.PNG";
  QImage target = Image(20, 10, Qt::black);
  QtCanvas canvas(target);
  WritePng(file, Image(4, 4, Qt::red));
  canvas.drawImage(file, {0, 0, 10, 10});
  WritePng(file, Image(4, 4, Qt::green));
  canvas.drawImage(file, {10, 0, 10, 10});
  EXPECT_TRUE(Near(At(target, 5, 5), kRed));
  EXPECT_TRUE(Near(At(target, 15, 5), kGreen));
}

TEST(CanvasShapes, ThickLineHasFlatEndsAndCentredWidth) {
  QImage target = Image(100, 100, Qt::black);
  {
    QtCanvas canvas(target);
    canvas.drawLine({20, 50}, {80, 50}, kRed, 10);
  }
  EXPECT_TRUE(Near(At(target, 50, 50), kRed));
  EXPECT_TRUE(Near(At(target, 50, 46), kRed));
  EXPECT_TRUE(Near(At(target, 50, 53), kRed));
  EXPECT_EQ(At(target, 50, 57), 0xFF000000u);
  EXPECT_EQ(At(target, 50, 42), 0xFF000000u);
  EXPECT_TRUE(Near(At(target, 21, 50), kRed));
  EXPECT_TRUE(Near(At(target, 78, 50), kRed));
  // A square or round cap would reach 5 pixels past each end.
  EXPECT_EQ(At(target, 17, 50), 0xFF000000u);
  EXPECT_EQ(At(target, 82, 50), 0xFF000000u);
}

TEST(CanvasShapes, ArcTurnsClockwiseFromItsStartAngle) {
  // From 90 degrees (straight down) a sweep of 90 turns clockwise on the
  // screen to 180 (left): the quarter below and left of the centre.
  QImage target = Image(120, 120, Qt::black);
  {
    QtCanvas canvas(target);
    canvas.drawArc({10, 10, 100, 100}, 90, 90, kGreen, 6);
  }
  EXPECT_TRUE(Near(At(target, 56, 109), kGreen));  // just after the start, at the bottom
  EXPECT_EQ(At(target, 64, 109), 0xFF000000u);     // just before it
  EXPECT_TRUE(Near(At(target, 11, 64), kGreen));   // just before the end, at the left
  EXPECT_EQ(At(target, 11, 56), 0xFF000000u);
  EXPECT_TRUE(Near(At(target, 25, 95), kGreen));  // 135 degrees
  EXPECT_EQ(At(target, 95, 95), 0xFF000000u);
  EXPECT_EQ(At(target, 25, 25), 0xFF000000u);
  EXPECT_EQ(At(target, 95, 25), 0xFF000000u);
  EXPECT_EQ(At(target, 60, 11), 0xFF000000u);
}

TEST(CanvasShapes, EllipsesAndRectangles) {
  QImage target = Image(100, 100, Qt::black);
  {
    QtCanvas canvas(target);
    canvas.fillRect({0, 0, 50, 50}, 0x800000FF);  // half transparent over black
    canvas.fillEllipse({50, 50, 40, 40}, kRed);
    canvas.drawEllipse({0, 50, 40, 40}, kWhite, 2);
  }
  EXPECT_TRUE(Near(At(target, 25, 25), 0xFF000080));
  EXPECT_TRUE(Near(At(target, 70, 70), kRed));
  EXPECT_EQ(At(target, 52, 52), 0xFF000000u);  // outside the filled circle
  EXPECT_TRUE(Near(At(target, 20, 50), kWhite, 90));
  EXPECT_EQ(At(target, 20, 70), 0xFF000000u);  // an outline leaves the inside
}

TEST(CanvasTransform, RotateThenTranslateTurnsAboutThePivot) {
  TempDir dir;
  const auto needle = WritePng(dir.path() / "UI-Po.png", Image(20, 4, Qt::red));
  QImage target = Image(100, 100, Qt::black);
  {
    QtCanvas canvas(target);
    // A needle pointing right from the origin, turned a quarter clockwise
    // and then moved to its pivot at (50, 50): it points down.
    canvas.rotateTransform(90);
    canvas.translateTransform(50, 50);
    canvas.drawImage(needle, {0, -2, 20, 4});
    canvas.resetTransform();
    canvas.fillRect({0, 0, 5, 5}, kBlue);
  }
  EXPECT_TRUE(Near(At(target, 50, 55), kRed));
  EXPECT_TRUE(Near(At(target, 50, 67), kRed));
  EXPECT_EQ(At(target, 60, 50), 0xFF000000u);  // where it would be unturned
  EXPECT_EQ(At(target, 50, 45), 0xFF000000u);  // turned the other way
  EXPECT_EQ(At(target, 50, 75), 0xFF000000u);
  // After the reset, drawing is untransformed again.
  EXPECT_TRUE(Near(At(target, 2, 2), kBlue));
}

TEST(CanvasText, TextIsDrawnInItsColourFromItsTopLeft) {
  QImage target = Image(300, 80, Qt::transparent);
  {
    QtCanvas canvas(target);
    canvas.drawText("USB Connected", {"Arial", 0.24f}, kGreen, {20, 10});
  }
  const QRect ink = Ink(target, 0);
  ASSERT_FALSE(ink.isEmpty());
  // Starts just right of the origin and below its top, one line high.
  EXPECT_GE(ink.left(), 20);
  EXPECT_LE(ink.left(), 30);
  EXPECT_GE(ink.top(), 10);
  EXPECT_LE(ink.top(), 20);
  EXPECT_LE(ink.bottom(), 10 + 30);
  EXPECT_GT(ink.width(), 100);
  // Solid strokes are the text colour.
  bool solid = false;
  for (int y = ink.top(); y <= ink.bottom(); ++y) {
    for (int x = ink.left(); x <= ink.right(); ++x)
      solid = solid || At(target, x, y) == kGreen;
  }
  EXPECT_TRUE(solid);
}

TEST(CanvasText, TabMovesTheTextToTheNextStop) {
  QImage plain = Image(400, 60, Qt::transparent);
  QImage tabbed = Image(400, 60, Qt::transparent);
  const platform::Font font{"Arial", 0.24f};
  {
    QtCanvas canvas(plain);
    canvas.drawText("V2.10", font, kWhite, {0, 0});
  }
  {
    QtCanvas canvas(tabbed);
    canvas.drawText("Version\tV2.10", font, kWhite, {0, 0});
    canvas.drawText("Ver\tV2.10", font, kWhite, {0, 30});
  }
  const QRect first = Ink(tabbed.copy(0, 0, 400, 30), 0);
  const QRect second = Ink(tabbed.copy(0, 30, 400, 30), 0);
  // Texts of different lengths before the tab go on at the same stop.
  EXPECT_EQ(first.right(), second.right());
  EXPECT_GT(first.right(), Ink(plain, 0).right() + 40);
}

TEST(CanvasText, ProgramFacesMapToInstalledFonts) {
  EXPECT_EQ(QFontInfo(platform::qt::CanvasFont({"Arial", 0.24f})).family(), "Liberation Sans");
  EXPECT_EQ(QFontInfo(platform::qt::CanvasFont({"MS Shell Dlg", 0.18f})).pixelSize(), 17);
  // Chinese and Japanese text finds glyphs through the fallbacks.
  QImage target = Image(200, 40, Qt::transparent);
  {
    QtCanvas canvas(target);
    canvas.drawText("中文 日本語", {"Arial", 0.24f}, kWhite, {0, 0});
  }
  EXPECT_GT(Ink(target, 0).width(), 80);
}

TEST(CanvasLayers, LayerCompositesOverWhatIsThere) {
  QtLayer layer(40, 40);
  EXPECT_EQ(layer.width(), 40);
  EXPECT_EQ(Ink(layer.image(), 0), QRect());  // transparent when made
  layer.canvas().fillRect({0, 0, 20, 20}, kRed);
  layer.canvas().fillRect({20, 0, 20, 20}, 0x80FFFFFF);

  QImage target = Image(100, 100, Qt::blue);
  {
    QtCanvas canvas(target);
    canvas.drawLayer(layer, {30, 30});
  }
  EXPECT_TRUE(Near(At(target, 35, 35), kRed));
  EXPECT_TRUE(Near(At(target, 60, 35), 0xFF8080FF));  // half white over blue
  EXPECT_EQ(At(target, 35, 60), kBlue);               // transparent part
  EXPECT_EQ(At(target, 25, 25), kBlue);
  EXPECT_EQ(At(target, 75, 35), kBlue);
}

}  // namespace
