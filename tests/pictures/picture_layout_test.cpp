// Pixel probes of the pictures at the places the program draws over, hit-tests
// or reads them from: they catch a layout that no longer fits the program.
#include <gtest/gtest.h>

#include <QPoint>
#include <QRect>
#include <algorithm>

#include "app/ui_tile.h"
#include "tests/pictures/picture_files.h"
#include "tools/painters.h"

namespace {

using picture_test::ColourDistance;
using picture_test::Load;
using picture_test::Luma;

constexpr int kPageTop = 60;  // backgrounds and the home picture are drawn at y 60

bool Transparent(QRgb c) {
  return qAlpha(c) == 0;
}
bool Opaque(QRgb c) {
  return qAlpha(c) == 255;
}

// Pixels of the window rectangle (edges included) that pass the test.
template <typename Test>
int CountPixels(const QImage& image, QRect windowRect, int top, Test test) {
  int count = 0;
  for (int y = windowRect.top(); y <= windowRect.bottom(); ++y) {
    for (int x = windowRect.left(); x <= windowRect.right(); ++x) {
      if (test(image.pixel(x, y - top))) ++count;
    }
  }
  return count;
}

QRect Edges(const UiRect& r) {
  return QRect(QPoint(r.left, r.top), QPoint(r.right, r.bottom));
}

TEST(FramePictures, StatusDotsAreRoundGreenAndRed) {
  const QImage green = Load("UI-G.PNG");
  const QImage red = Load("UI-R.PNG");
  const QRgb g = green.pixel(10, 10);
  const QRgb r = red.pixel(10, 10);
  EXPECT_TRUE(Opaque(g));
  EXPECT_GT(qGreen(g), qRed(g) + 60);
  EXPECT_GT(qGreen(g), qBlue(g) + 30);
  EXPECT_TRUE(Opaque(r));
  EXPECT_GT(qRed(r), qGreen(r) + 60);
  EXPECT_GT(qRed(r), qBlue(r) + 60);
  for (const QPoint corner : {QPoint(0, 0), QPoint(19, 0), QPoint(0, 19), QPoint(19, 19), QPoint(2, 2)}) {
    EXPECT_TRUE(Transparent(green.pixel(corner)));
    EXPECT_TRUE(Transparent(red.pixel(corner)));
  }
}

TEST(FramePictures, BannerShowsHomeIconAndCloseBoxWhereTheyAreHitTested) {
  const QImage banner = Load("UI-ORB-File.PNG");
  const auto light = [](QRgb c) { return Luma(c) > 170; };
  EXPECT_EQ(CountPixels(banner, banner.rect(), 0, Opaque), banner.width() * banner.height());
  // The home icon inside (7..53, 10..56), the close cross inside (922..962, 2..42).
  EXPECT_GT(CountPixels(banner, QRect(QPoint(7, 10), QPoint(53, 56)), 0, light), 40);
  EXPECT_EQ(CountPixels(banner, QRect(QPoint(0, 0), QPoint(5, 59)), 0, light), 0);
  EXPECT_GT(CountPixels(banner, QRect(QPoint(922, 2), QPoint(962, 42)), 0, light), 40);
  EXPECT_TRUE(light(banner.pixel(942, 22)));  // where the two strokes of the cross meet
  EXPECT_EQ(CountPixels(banner, QRect(QPoint(880, 0), QPoint(918, 59)), 0, light), 0);
}

TEST(FramePictures, StatusBarKeepsTheLabelPlacesDarkForWhiteText) {
  const QImage bar = Load("UI-61.PNG");
  const auto dark = [](QRgb c) { return Opaque(c) && Luma(c) < 60; };
  // Dots at x 30 and 380, labels from x 60, 400 and 750 (window y 537 is row 0).
  for (const QRect place : {QRect(QPoint(28, 2), QPoint(52, 28)), QRect(QPoint(60, 2), QPoint(350, 30)),
                            QRect(QPoint(378, 2), QPoint(720, 30)), QRect(QPoint(750, 2), QPoint(969, 30))}) {
    EXPECT_EQ(CountPixels(bar, place, 0, dark), place.width() * place.height());
  }
}

// The application's icon beside the drive-C roots: a dark tile whose mark
// still stands out from it when the desktop shows it at 32 and 16 pixels.
TEST(AppIcon, IsADarkSquareWithAMarkLegibleWhenSmall) {
  const QImage icon = QImage(QString(CORVANE_APP_ICON)).convertToFormat(QImage::Format_ARGB32);
  ASSERT_EQ(icon.size(), QSize(pictures::kAppIconSize, pictures::kAppIconSize));
  for (const int size : {pictures::kAppIconSize, 32, 16}) {
    const QImage shown = icon.scaled(size, size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    int lumaSum = 0, lumaMin = 255, lumaMax = 0;
    const int opaque = CountPixels(shown, shown.rect(), 0, [&](QRgb c) {
      if (!Opaque(c)) return false;
      lumaSum += Luma(c);
      lumaMin = std::min(lumaMin, Luma(c));
      lumaMax = std::max(lumaMax, Luma(c));
      return true;
    });
    EXPECT_GT(opaque, size * size * 2 / 3) << size;
    EXPECT_LT(lumaSum / std::max(opaque, 1), 90) << size;
    EXPECT_GT(lumaMax - lumaMin, 100) << size;
  }
}

TEST(HomePicture, TilesAndButtonsStandOutFromTheGapsBetweenThem) {
  for (int language = 0; language < 4; ++language) {
    const QImage home = Load("UI-01.PNG", language);
    for (int row = 1; row <= 11; ++row) {
      const QRect hit = Edges(kPictureTable[row].rect);
      SCOPED_TRACE(testing::Message() << "row " << row << " language " << language);
      // Neighbours share edges, so the gaps lie on the edges themselves; the
      // faces stand lighter over them.
      const auto raised = [&](QRgb face, QPoint gap) { return Luma(face) > Luma(home.pixel(gap)) + 10; };
      if (row <= 6) {
        const QRgb face = home.pixel(hit.left() + 14, hit.top() + 14 - kPageTop);
        EXPECT_TRUE(raised(face, {hit.right(), hit.center().y() - kPageTop}));
        EXPECT_TRUE(raised(face, {hit.center().x(), hit.bottom() - kPageTop}));
        // Its page name and icon.
        EXPECT_GT(CountPixels(home, hit, kPageTop, [](QRgb c) { return Luma(c) > 170; }), 300);
      } else {
        const QRgb face = home.pixel(hit.left() + 8, hit.top() + 18 - kPageTop);
        EXPECT_TRUE(raised(face, {hit.left(), hit.top() + 18 - kPageTop}));
        EXPECT_TRUE(raised(face, {hit.right(), hit.top() + 18 - kPageTop}));
        EXPECT_TRUE(raised(face, {hit.center().x(), hit.bottom() + 6 - kPageTop}));
        EXPECT_GT(CountPixels(home, hit, kPageTop, [](QRgb c) { return Luma(c) > 170; }), 60);
      }
    }
  }
}

TEST(HomePicture, PressedButtonsCoverTheirButtonAndLookPressed) {
  const QImage home = Load("UI-01.PNG");
  for (int row = 7; row <= 11; ++row) {
    const UiRect r = kPictureTable[row].rect;
    const QImage pressed = Load(kPictureTable[row].name);
    SCOPED_TRACE(kPictureTable[row].name);
    // Drawn at (left, top - 2): picture row 2 is the button's top.
    EXPECT_TRUE(Opaque(pressed.pixel(8, 20)));
    EXPECT_TRUE(Opaque(pressed.pixel(pressed.width() - 8, 20)));
    EXPECT_TRUE(Transparent(pressed.pixel(0, 0)));
    EXPECT_TRUE(Transparent(pressed.pixel(pressed.width() / 2, pressed.height() - 2)));
    EXPECT_GT(ColourDistance(pressed.pixel(8, 20), home.pixel(r.left + 8, r.top - 2 + 20 - kPageTop)), 40);
  }
}

TEST(PageBackgrounds, TheCurrentPagesTabIsLit) {
  const char* const backgrounds[6] = {"UI-02.PNG", "UI-03.PNG", "UI-04.PNG",
                                      "UI-05.PNG", "UI-06.PNG", "UI-07.PNG"};
  const auto teal = [](QRgb c) { return qGreen(c) > qRed(c) + 60 && qBlue(c) > qRed(c) + 60; };
  for (int page = 1; page <= 6; ++page) {
    const QImage background = Load(backgrounds[page - 1]);
    for (int tab = 1; tab <= 6; ++tab) {
      // The tab strip is y 61..99; the lit tab carries a bar along its foot.
      EXPECT_EQ(teal(background.pixel(160 * (tab - 1) + 80, 97 - kPageTop)), tab == page)
          << "page " << page << " tab " << tab;
    }
  }
}

TEST(PageBackgrounds, ReadAndWriteButtonsLieUnderTheirPressedPictures) {
  struct Place {
    const char* background;
    QPoint read, write;  // where the pressed pictures are drawn
  };
  const Place places[] = {{"UI-02.PNG", {25, 476}, {170, 476}},
                          {"UI-03.PNG", {25, 476}, {170, 476}},
                          {"UI-04.PNG", {25, 476}, {170, 476}},
                          {"UI-05.PNG", {460, 480}, {605, 480}}};
  const QImage read = Load("UI-Read.png");
  const QImage write = Load("UI-Save.png");
  for (const Place& place : places) {
    const QImage background = Load(place.background);
    for (const auto& [at, pressed] : {std::pair{place.read, read}, std::pair{place.write, write}}) {
      SCOPED_TRACE(testing::Message() << place.background << " at " << at.x());
      // The click region spans y 481..515; probe inside it, near its left end.
      const QPoint probe = at + QPoint(12, 20);
      ASSERT_TRUE(Opaque(pressed.pixel(12, 20)));
      const QRgb button = background.pixel(probe.x(), probe.y() - kPageTop);
      const QRgb beside = background.pixel(at.x() + 2, 532 - kPageTop);
      EXPECT_GT(ColourDistance(button, beside), 30);
      EXPECT_GT(ColourDistance(button, pressed.pixel(12, 20)), 40);
    }
  }
}

TEST(PageBackgrounds, GeneralPageRingsEveryPlaceItsDrawerMarksAndNoOther) {
  // Centres of the 30 x 30 marker the drawer puts at each value: running mode,
  // motor direction, the two overheat columns (values 0..2) and the extra
  // option. An empty ring is dark inside; the panel around it is lighter.
  const QPoint marked[] = {{51, 218},  {51, 278},  {51, 338},  {231, 230}, {231, 325}, {415, 218}, {415, 255},
                           {415, 292}, {625, 218}, {625, 255}, {625, 292}, {850, 240}, {850, 330}};
  const QPoint unmarked[] = {{415, 329}, {625, 329}};  // no fourth overheat value
  for (int language = 0; language < 4; ++language) {
    const QImage general = Load("UI-02.PNG", language);
    const auto ring = [&](QPoint at) {
      return ColourDistance(general.pixel(at.x(), at.y() - kPageTop), 0xFF17171B) <= 6;
    };
    for (const QPoint at : marked)
      EXPECT_TRUE(ring(at)) << at.x() << "," << at.y() << " language " << language;
    for (const QPoint at : unmarked)
      EXPECT_FALSE(ring(at)) << at.x() << "," << at.y() << " language " << language;
  }
}

TEST(PageBackgrounds, PlacesThatTheProgramPaintsOverHaveItsColours) {
  // General page: for another voltage range the program lays a 0xFF2B2A32 bar
  // over the printed scale (x 160..720, y 425..439).
  const QImage general = Load("UI-02.PNG");
  for (const int x : {240, 375, 510, 645}) {
    EXPECT_LE(ColourDistance(general.pixel(x, 432 - kPageTop), 0xFF2B2A32), 6) << x;
  }
  // Timing page: the turbo activation places are cleared with 0xFF1F1E24 and
  // the units of a delay or slope of 0 blanked with 0xFF1F1F24.
  const QImage timing = Load("UI-05.PNG");
  for (const QPoint at : {QPoint(538, 250), QPoint(538, 315), QPoint(541, 388)}) {
    EXPECT_LE(ColourDistance(timing.pixel(at.x(), at.y() - kPageTop), 0xFF1F1E24), 6) << at.y();
  }
  for (const QPoint at : {QPoint(659, 399), QPoint(928, 399), QPoint(928, 411)}) {
    EXPECT_LE(ColourDistance(timing.pixel(at.x(), at.y() - kPageTop), 0xFF1F1F24), 6) << at.x();
  }
  // Firmware page: the release notes are orange text over the page at
  // (70, 196) and (527, 196); their places stay dark.
  const QImage firmware = Load("UI-07.PNG");
  const auto dark = [](QRgb c) { return Luma(c) < 45; };
  EXPECT_EQ(CountPixels(firmware, QRect(70, 196, 329, 96), kPageTop, dark), 329 * 96);
  EXPECT_EQ(CountPixels(firmware, QRect(527, 196, 329, 96), kPageTop, dark), 329 * 96);
}

TEST(Needles, PointDownFromTheirPivots) {
  // The small needle is drawn into (-10, -10, 20, 80) around its pivot, the
  // large one into (-63, -63, 126, 126); at angle 0 both point down.
  const QImage small = Load("UI-Po.png");
  EXPECT_TRUE(Opaque(small.pixel(10, 10)));
  EXPECT_TRUE(Opaque(small.pixel(10, 60)));
  EXPECT_TRUE(Transparent(small.pixel(10, 0)));
  EXPECT_TRUE(Transparent(small.pixel(2, 60)));
  EXPECT_TRUE(Transparent(small.pixel(18, 60)));
  const QImage large = Load("UI-Timing.png");
  EXPECT_TRUE(Opaque(large.pixel(63, 63)));
  EXPECT_TRUE(Opaque(large.pixel(63, 105)));
  for (const QPoint away : {QPoint(63, 20), QPoint(20, 63), QPoint(106, 63), QPoint(0, 0)}) {
    EXPECT_TRUE(Transparent(large.pixel(away)));
  }
}

}  // namespace
