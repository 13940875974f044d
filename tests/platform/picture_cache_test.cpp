// The picture cache against the files it follows: changes on disk, removal,
// its memory bound and drawing from several threads, probed through the
// canvas.
#include <gtest/gtest.h>

#include <QPainter>
#include <atomic>
#include <chrono>
#include <fstream>
#include <functional>
#include <optional>
#include <thread>
#include <vector>

#include "platform/qt/picture_cache.h"
#include "platform/qt/qt_canvas.h"
#include "qt_test_support.h"

namespace {

namespace fs = std::filesystem;
using platform::Argb;
using platform::qt::PictureCache;
using platform::qt::QtCanvas;

constexpr Argb kBlack = 0xFF000000;

const fs::file_time_type kNow = fs::file_time_type::clock::now();
// Well before any draw, as the program's own pictures are.
const fs::file_time_type kEarlier = kNow - std::chrono::hours(2);
const fs::file_time_type kLater = kNow - std::chrono::hours(1);

// A solid square picture with the given modification time.
void WriteSolid(const fs::path& file, int size, Argb colour, fs::file_time_type modified) {
  WritePng(file, Image(size, size, QColor::fromRgba(colour)));
  fs::last_write_time(file, modified);
}

// The colour drawn from the file over black, or nothing when drawImage
// failed (and then left the target as it was).
std::optional<Argb> Drawn(PictureCache& cache, const fs::path& file) {
  QImage target = Image(8, 8, Qt::black);
  bool drawn = false;
  {
    QtCanvas canvas(target, cache);
    drawn = canvas.drawImage(file, {0, 0, 8, 8});
  }
  if (!drawn) {
    EXPECT_EQ(At(target, 4, 4), kBlack);
    return std::nullopt;
  }
  return At(target, 4, 4);
}

TEST(PictureCache, FollowsTheFileOnDisk) {
  TempDir dir;
  const fs::path file = dir.path() / "UI-01.PNG";
  PictureCache cache(1 << 20);
  struct Step {
    const char* what;
    std::function<void()> change;
    std::optional<Argb> drawn;
    std::uint64_t reads;  // in all, after the step's draw
  };
  const Step steps[] = {
      {"first draw", [&] { WriteSolid(file, 4, kRed, kEarlier); }, kRed, 1},
      {"unchanged", [] {}, kRed, 1},
      {"same size, new time", [&] { WriteSolid(file, 4, kBlue, kLater); }, kBlue, 2},
      {"new size, same time", [&] { WriteSolid(file, 6, kGreen, kLater); }, kGreen, 3},
      {"removed", [&] { fs::remove(file); }, std::nullopt, 3},
      {"still removed", [] {}, std::nullopt, 3},
      {"created again", [&] { WriteSolid(file, 4, kWhite, kLater); }, kWhite, 4},
      {"not a picture", [&] { std::ofstream(file) << "not a picture"; }, std::nullopt, 5},
      {"a picture again", [&] { WriteSolid(file, 4, kRed, kEarlier); }, kRed, 6},
      // Modified too recently to trust its stamp: every draw reads it.
      {"modified just now", [&] { fs::last_write_time(file, fs::file_time_type::clock::now()); }, kRed, 7},
      {"modified just now, again", [] {}, kRed, 8},
      {"settled", [&] { fs::last_write_time(file, kEarlier); }, kRed, 9},
      {"settled, again", [] {}, kRed, 9},
  };
  std::uintmax_t redSize = 0;
  for (const Step& step : steps) {
    SCOPED_TRACE(step.what);
    step.change();
    EXPECT_EQ(Drawn(cache, file), step.drawn);
    EXPECT_EQ(cache.reads(), step.reads);
    if (step.drawn == kRed && redSize == 0) redSize = fs::file_size(file);
    if (step.drawn == kBlue) {
      ASSERT_EQ(fs::file_size(file), redSize) << "the step needs pictures of one size";
    }
  }
  EXPECT_EQ(cache.entries(), 1u);
}

TEST(PictureCache, DrawsWhatReadingTheFileDraws) {
  // Straight alpha that varies over the picture, drawn at its size, scaled
  // and turned.
  QImage picture(24, 16, QImage::Format_ARGB32);
  for (int y = 0; y < picture.height(); ++y) {
    for (int x = 0; x < picture.width(); ++x)
      picture.setPixel(x, y, qRgba(x * 10, 255 - y * 15, 77, x * y + 3));
  }
  TempDir dir;
  const fs::path file = WritePng(dir.path() / "UI-Timing.png", picture);
  fs::last_write_time(file, kEarlier);
  const QImage read(QString::fromStdString(file.string()));
  PictureCache cache(1 << 20);

  struct Case {
    platform::RectF rect;
    float degrees;
  };
  const Case cases[] = {
      {{5, 5, 24, 16}, 0}, {{3.5f, 2.25f, 61, 37}, 0}, {{10, 4, 13, 9}, 0}, {{40, 6, 30, 20}, 30}};
  for (const Case& c : cases) {
    for (int pass = 0; pass < 2; ++pass) {  // the second from the cache
      SCOPED_TRACE(testing::Message() << c.rect.x << "," << c.rect.y << " turned " << c.degrees);
      QImage cached = Image(80, 60, Qt::darkGray);
      QImage direct = cached.copy();
      {
        QtCanvas canvas(cached, cache);
        canvas.rotateTransform(c.degrees);
        ASSERT_TRUE(canvas.drawImage(file, c.rect));
      }
      {
        QPainter painter(&direct);
        painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing |
                               QPainter::SmoothPixmapTransform);
        painter.rotate(c.degrees);
        painter.drawImage(QRectF(c.rect.x, c.rect.y, c.rect.width, c.rect.height), read);
      }
      EXPECT_EQ(cached, direct);
    }
  }
  EXPECT_EQ(cache.reads(), 1u);
}

TEST(PictureCache, KeepsToItsBoundDroppingTheLeastRecentlyDrawn) {
  TempDir dir;
  // 8 x 8 pictures take 256 bytes: the cache has room for two.
  constexpr std::size_t kBudget = 600;
  const fs::path a = dir.path() / "a.png", b = dir.path() / "b.png", c = dir.path() / "c.png";
  const fs::path big = dir.path() / "big.png";
  WriteSolid(a, 8, kRed, kEarlier);
  WriteSolid(b, 8, kGreen, kEarlier);
  WriteSolid(c, 8, kBlue, kEarlier);
  WriteSolid(big, 16, kWhite, kEarlier);  // larger than the whole bound
  PictureCache cache(kBudget);
  struct Draw {
    const fs::path& file;
    Argb colour;
    std::uint64_t reads;
  };
  const Draw draws[] = {
      {a, kRed, 1},     {b, kGreen, 2},   {a, kRed, 2},  {c, kBlue, 3},  // c drops b, not a
      {a, kRed, 3},     {b, kGreen, 4},                                  // b drops c
      {big, kWhite, 5}, {big, kWhite, 6},                                // drawn but never kept
      {a, kRed, 6},     {b, kGreen, 6},   {c, kBlue, 7},
  };
  for (const Draw& draw : draws) {
    SCOPED_TRACE(draw.file.filename().string() + " after " + std::to_string(cache.reads()) + " reads");
    EXPECT_EQ(Drawn(cache, draw.file), draw.colour);
    EXPECT_EQ(cache.reads(), draw.reads);
    EXPECT_LE(cache.bytes(), kBudget);
  }
  EXPECT_EQ(cache.entries(), 2u);

  PictureCache keepsNothing(0);
  EXPECT_EQ(Drawn(keepsNothing, a), kRed);
  EXPECT_EQ(keepsNothing.entries(), 0u);
}

TEST(PictureCache, ThreadsDrawWhileAFileIsReplaced) {
  TempDir dir;
  const fs::path files[] = {dir.path() / "UI-G.PNG", dir.path() / "UI-R.PNG", dir.path() / "UI-Po.png"};
  WriteSolid(files[0], 8, kRed, kEarlier);
  WriteSolid(files[1], 8, kGreen, kEarlier);
  WriteSolid(files[2], 8, kBlue, kEarlier);
  PictureCache cache(600);  // less than the three: evictions while drawing
  std::atomic<int> wrong{0};
  std::atomic<bool> done{false};
  std::vector<std::thread> drawers;
  for (int t = 0; t < 4; ++t) {
    drawers.emplace_back([&, t] {
      for (int i = 0; !done || i < 200; ++i) {
        const int which = (i + t) % 3;
        const std::optional<Argb> drawn = Drawn(cache, files[which]);
        // The replaced file is either of its versions, never missing.
        const bool right =
            which == 0 ? drawn == kRed || drawn == kWhite : drawn == (which == 1 ? kGreen : kBlue);
        if (!right) ++wrong;
      }
    });
  }
  // Each version is written beside the file and moved over it, so that
  // every read sees a whole file.
  const fs::path next = dir.path() / "next.png";
  for (int version = 1; version <= 50; ++version) {
    WriteSolid(next, 8 + version % 2, version % 2 ? kWhite : kRed, kEarlier + std::chrono::seconds(version));
    fs::rename(next, files[0]);
  }
  done = true;
  for (std::thread& drawer : drawers)
    drawer.join();
  EXPECT_EQ(wrong, 0);
  EXPECT_EQ(Drawn(cache, files[0]), kRed);  // the last version
  EXPECT_LE(cache.bytes(), 600u);
}

}  // namespace
