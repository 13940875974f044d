// Drawing the program's own pictures off screen, as the window does: the
// home picture alone, the home page's hover (a fresh 965 x 578 layer with the
// home picture and the bar, composited on the surface) and a frame redraw
// (the page and the frame's layer of banner, status bar, dots and labels).
// Each runs with the picture cache and with a cache that keeps nothing, so
// that every draw reads and decodes its files. Times are medians per draw.
//
// The pictures are those the build drew: under $CORVANE_DRIVE_C, or else the
// build's simulated drive-C root.
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QImage>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "platform/qt/picture_cache.h"
#include "platform/qt/qt_canvas.h"

namespace {

namespace fs = std::filesystem;
using platform::qt::PictureCache;
using platform::qt::QtCanvas;
using platform::qt::QtLayer;

constexpr int kWidth = 965;
constexpr int kHeight = 578;
constexpr std::size_t kCacheBytes = std::size_t{64} << 20;
const platform::Font kFrameFont{"Arial", 0.24f};

fs::path g_english, g_common;  // the language folder and the common one

bool FindPictures() {
  const char* root = std::getenv("CORVANE_DRIVE_C");
  const fs::path rec = fs::path(root != nullptr ? root : CORVANE_SIM_DRIVE_C) / "CORVANE" / "REC";
  g_english = rec / "LANGUAGE_EN";
  g_common = rec / "LANGUAGE_PN";
  return fs::exists(g_english / "UI-01.PNG") && fs::exists(g_common / "UI-ORB-File.PNG");
}

void HomePicture(platform::Canvas& canvas) {
  canvas.drawImage(g_english / "UI-01.PNG", {0, 60, 965, 477});
}

void HomeHover(QImage& surface, PictureCache& pictures) {
  QtLayer page(kWidth, kHeight, pictures);
  HomePicture(page.canvas());
  page.canvas().drawLine({322, 165}, {642, 165}, 0x32000000, 210);
  QtCanvas(surface, pictures).drawLayer(page, {0, 0});
}

void Frame(QImage& surface, PictureCache& pictures) {
  HomeHover(surface, pictures);
  QtLayer frame(kWidth, kHeight, pictures);
  platform::Canvas& canvas = frame.canvas();
  canvas.drawImage(g_common / "UI-61.PNG", {0, 537, 970, 32});
  canvas.drawImage(g_common / "UI-ORB-File.PNG", {0, 0, 965, 60});
  canvas.drawText("Version V2.10", kFrameFont, 0xFFFFFFFF, {750, 539});
  canvas.drawImage(g_common / "UI-G.PNG", {30, 541, 20, 20});
  canvas.drawText("USB Connected", kFrameFont, 0xFFFFFFFF, {60, 539});
  canvas.drawImage(g_common / "UI-R.PNG", {380, 541, 20, 20});
  canvas.drawText("ESC Disconnected", kFrameFont, 0xFFFFFFFF, {400, 539});
  QtCanvas(surface, pictures).drawLayer(frame, {0, 0});
}

using Draw = void (*)(QImage& surface, PictureCache& pictures);

void Run(benchmark::State& state, std::size_t cacheBytes, Draw draw) {
  PictureCache pictures(cacheBytes);
  QImage surface = platform::qt::TransparentImage(kWidth, kHeight);
  draw(surface, pictures);  // fills the cache before timing
  const std::uint64_t readsBefore = pictures.reads();
  for (auto _ : state) {
    draw(surface, pictures);
    benchmark::DoNotOptimize(surface.constBits());
  }
  // Files read and decoded per draw: none once the cache holds them.
  state.counters["reads"] = benchmark::Counter(static_cast<double>(pictures.reads() - readsBefore),
                                               benchmark::Counter::kAvgIterations);
}

void Register(const std::string& name, Draw draw) {
  for (const bool cached : {false, true}) {
    benchmark::RegisterBenchmark((name + (cached ? "/cached" : "/uncached")).c_str(),
                                 [=](benchmark::State& state) { Run(state, cached ? kCacheBytes : 0, draw); })
        ->Unit(benchmark::kMicrosecond)
        ->Repetitions(9)
        ->ReportAggregatesOnly(true)
        ->DisplayAggregatesOnly(true);
  }
}

}  // namespace

int main(int argc, char** argv) {
  ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
  int qtArgc = 1;
  QGuiApplication application(qtArgc, argv);
  benchmark::Initialize(&argc, argv);
  if (!FindPictures()) {
    std::fprintf(stderr, "no picture set under %s\n", g_english.parent_path().c_str());
    return 1;
  }
  Register("home picture", [](QImage& surface, PictureCache& pictures) {
    QtCanvas canvas(surface, pictures);
    HomePicture(canvas);
  });
  Register("home hover", HomeHover);
  Register("frame redraw", Frame);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
