// Redrawing each page and the frame as the window does, offscreen, with the
// program's own pictures and the picture cache: the main dialog on the real
// window on the simulated box, page by page, the redraw a click or the
// pressed-look countdown asks for. Prints the median and the worst time per
// redraw.
#include <dlfcn.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "app/corvane_dlg.h"
#include "app/main_dialog_template.h"
#include "platform/application.h"
#include "sim/sim_client.h"

namespace {

constexpr int kRounds = 200;
constexpr double kGoalMs = 4.0;

struct Timing {
  double median = 0, worst = 0;
};

template <class Draw>
Timing Measure(Draw draw) {
  draw();  // the first draw reads the pictures into the cache
  std::vector<double> ms;
  for (int i = 0; i < kRounds; ++i) {
    const auto start = std::chrono::steady_clock::now();
    draw();
    platform::Application::ProcessEvents();
    ms.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
  }
  std::sort(ms.begin(), ms.end());
  return {ms[ms.size() / 2], ms.back()};
}

}  // namespace

int main(int argc, char** argv) {
  ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
  ::setenv("CORVANE_DRIVE_C", CORVANE_SIM_DRIVE_C, 0);
  ::setenv("CORVANE_UPGRADE_SERVER", "http://127.0.0.1:9", 0);
  platform::Application application(argc, argv);

  void* library =
      ::dlopen((std::string(std::getenv("CORVANE_DRIVE_C")) + "/Windows/Corvane.dll").c_str(), RTLD_NOW);
  corvane::sim::SimClient sim;
  if (library != nullptr && sim.load(library)) sim.CorvaneSim_SetReportInterval(0);

  auto window = platform::CreateMainWindow(MainDialogTemplate());
  auto dlg = std::make_unique<CCorvaneDlg>(*window);
  window->show(*dlg);
  // Clicks are not blocked and no press countdown redraws meanwhile.
  dlg->m_nClickBlock = 0;
  dlg->m_nPressCountdown = 0;

  static const char* const kNames[] = {"home",   "general",   "throttle", "brake",
                                       "timing", "dashboard", "firmware"};
  std::printf("page redraws, offscreen, %d rounds; goal: median <= %.1f ms\n", kRounds, kGoalMs);
  bool met = true;
  for (int page = 0; page <= 6; ++page) {
    dlg->m_nPage = static_cast<std::uint8_t>(page);
    const Timing t = Measure([&] { dlg->DispatchClick(0, 520); });
    met = met && t.median <= kGoalMs;
    std::printf("%-10s median %6.2f ms  worst %6.2f ms\n", kNames[page], t.median, t.worst);
  }
  const Timing frame = Measure([&] { dlg->DrawFrame(); });
  std::printf("%-10s median %6.2f ms  worst %6.2f ms\n", "frame", frame.median, frame.worst);
  const Timing hover = Measure([&] {
    dlg->m_nPage = 0;
    dlg->m_nHoverTile = dlg->m_nHoverTile == 1 ? 2 : 1;
    dlg->DrawHomeHover();
  });
  std::printf("%-10s median %6.2f ms  worst %6.2f ms\n", "hover", hover.median, hover.worst);
  std::printf("%s\n", met && frame.median <= kGoalMs ? "goal met" : "goal missed");

  window->close();
  dlg.reset();
  window.reset();
  if (library != nullptr) ::dlclose(library);
  return 0;
}
