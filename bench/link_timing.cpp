// End-to-end timings of the device link against the simulated box paced like
// a full-speed USB interrupt endpoint (1 ms per report): ESC Read and both
// kinds of Save To ESC, each as a ratio to its floor (the reports the
// operation exchanges x 1 ms), and the communication thread's CPU use while
// connected and idle.
#include <pthread.h>

#include <dlfcn.h>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <memory>
#include <string>
#include <thread>

#include "app/corvane_dlg.h"
#include "sim/sim_client.h"
#include "support/headless_host.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr std::uint32_t kReportIntervalUs = 1000;

struct Bench {
  HeadlessHost host;
  std::unique_ptr<CCorvaneDlg> dlg;
  corvane::sim::SimClient sim;
  void* library = nullptr;

  bool Start() {
    ::setenv("CORVANE_DRIVE_C", CORVANE_SIM_DRIVE_C, 1);
    // The upgrade check after each read asks a port on loopback that refuses.
    ::setenv("CORVANE_UPGRADE_SERVER", "http://127.0.0.1:9", 0);
    library = ::dlopen((std::string(CORVANE_SIM_DRIVE_C) + "/Windows/Corvane.dll").c_str(), RTLD_NOW);
    if (library == nullptr || !sim.load(library)) return false;
    sim.CorvaneSim_Reset();
    sim.CorvaneSim_SetReportInterval(kReportIntervalUs);
    dlg = std::make_unique<CCorvaneDlg>(host);
    if (!dlg->LoadHidLibrary()) return false;
    dlg->LoadDefaultSettings();
    dlg->RegisterHidNotification();
    dlg->ConnectDevice();
    return WaitFor([&] { return dlg->m_nStatusTextId == 20 && dlg->LinkIdle(); });
  }

  ~Bench() {
    if (dlg) dlg->OnDestroy();
    dlg.reset();
    if (library != nullptr) ::dlclose(library);
  }

  template <class Condition>
  bool WaitFor(Condition condition) {
    const auto end = Clock::now() + std::chrono::seconds(60);
    while (!condition()) {
      host.Pump();
      if (Clock::now() > end) return false;
      std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
    return true;
  }

  std::uint64_t Reports() {
    return sim.CorvaneSim_GetCounter(0, CORVANE_SIM_COUNT_OUTPUT_REPORTS) +
           sim.CorvaneSim_GetCounter(0, CORVANE_SIM_COUNT_INPUT_READ);
  }

  // Runs one operation to its success text; prints its time against its floor.
  void Measure(const char* name, int successText, void (CCorvaneDlg::*start)()) {
    dlg->m_nStatusTextId = 8;
    const std::uint64_t reportsBefore = Reports();
    const auto t0 = Clock::now();
    (dlg.get()->*start)();
    if (!WaitFor([&] { return dlg->m_nStatusTextId == successText && dlg->LinkIdle(); })) {
      std::printf("%-34s did not finish\n", name);
      return;
    }
    const double ms = std::chrono::duration<double, std::milli>(Clock::now() - t0).count();
    const std::uint64_t reports = Reports() - reportsBefore;
    const double floorMs = reports * kReportIntervalUs / 1000.0;
    std::printf("%-34s %8.1f ms  floor %8.1f ms (%5llu reports)  ratio %.2f\n", name, ms, floorMs,
                static_cast<unsigned long long>(reports), ms / floorMs);
  }

  // CPU time of the communication thread over a few idle seconds.
  void IdleCpu() {
    clockid_t clock;
    if (pthread_getcpuclockid(dlg->m_hCommThread.native_handle(), &clock) != 0) return;
    timespec c0{}, c1{};
    clock_gettime(clock, &c0);
    const auto t0 = Clock::now();
    std::this_thread::sleep_for(std::chrono::seconds(3));
    clock_gettime(clock, &c1);
    const double cpu = (c1.tv_sec - c0.tv_sec) + (c1.tv_nsec - c0.tv_nsec) / 1e9;
    const double wall = std::chrono::duration<double>(Clock::now() - t0).count();
    std::printf("%-34s %7.2f %% of one core\n", "communication thread, idle", 100.0 * cpu / wall);
  }
};

}  // namespace

int main() {
  Bench bench;
  if (!bench.Start()) {
    std::fprintf(stderr, "could not connect to the simulated box\n");
    return 1;
  }
  std::printf("goals: ratio <= 1.1 for the read and the writes; idle CPU < 2 %%\n");
  bench.Measure("ESC Read", 20, &CCorvaneDlg::OnBnClickedEscRead);
  bench.dlg->m_bProfileChanged = 1;
  bench.Measure("Save To ESC (whole image)", 19, &CCorvaneDlg::OnBnClickedApply);
  bench.Measure("Save To ESC (profile and tail)", 19, &CCorvaneDlg::OnBnClickedApply);
  bench.IdleCpu();
  return 0;
}
