// The dialog on the headless stand-in layer: one RecomputeEvents, and one
// timer tick in system-time mode with an injected clock (status-bar clock,
// phase picture, the zone and date field writes and the recomputations they
// notify).
#include <benchmark/benchmark.h>

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>

#include <unistd.h>

#include "main_dialog.h"
#include "orbel_test_api.h"
#include "resource.h"
#include "dialog_settings.h"
#include "standin_resources.h"

namespace {

// 12:00:00 UTC on 15 January 2024.
const time_t kWinterNoon = 1705320000;

// The main dialog as the program opens it with an empty profile: the built-in
// place in system-time mode. The profile lives in a fresh temporary folder.
class BenchDialog {
 public:
  BenchDialog() {
    standin::Reset();
    RegisterResources();
    std::string base = "/tmp";
    if (const char* tmp = std::getenv("TMPDIR")) base = tmp;
    folder_ = base + "/orbel-bench-XXXXXX";
    if (mkdtemp(&folder_[0]) == nullptr) folder_.clear();
    standin::SetProfilePath(folder_ + "/win.ini");
    standin::SetTimeZone("CET-1CEST,M3.5.0,M10.5.0/3");
    standin::SetClock(kWinterNoon);
    LoadSettings();
    dialog_ = CreateDialogParamA(nullptr, "RunDialog", nullptr, DialogProc, 0);
  }
  ~BenchDialog() {
    if (dialog_ != nullptr && IsWindow(dialog_)) DestroyWindow(dialog_);
    standin::Reset();
    if (!folder_.empty()) {
      std::remove((folder_ + "/win.ini").c_str());
      rmdir(folder_.c_str());
    }
  }
  BenchDialog(const BenchDialog&) = delete;
  BenchDialog& operator=(const BenchDialog&) = delete;

  HWND dialog() const { return dialog_; }

 private:
  std::string folder_;
  HWND dialog_ = nullptr;
};

void BM_RecomputeEvents(benchmark::State& state) {
  BenchDialog bench;
  if (bench.dialog() == nullptr) {
    state.SkipWithError("the dialog did not open");
    return;
  }
  for (auto _ : state) RecomputeEvents(bench.dialog());
}
BENCHMARK(BM_RecomputeEvents);

void BM_TimerTick(benchmark::State& state) {
  BenchDialog bench;
  if (bench.dialog() == nullptr) {
    state.SkipWithError("the dialog did not open");
    return;
  }
  time_t now = kWinterNoon;
  for (auto _ : state) {
    standin::SetClock(++now);  // each tick a second after the one before
    if (!standin::Perform(bench.dialog(), standin::Input::FireTimer(IDT_CLOCK))) {
      state.SkipWithError("the dialog's clock timer is not set");
      break;
    }
  }
}
BENCHMARK(BM_TimerTick);

}  // namespace
