// The Update (the main window's "Update" button, also every check period and
// every tray click) on the fake platform: the program's own cost per refresh,
// without the window system's.
#include <benchmark/benchmark.h>

#include "platform/fake/fake_platform.h"
#include "ui/form1.h"

namespace {

using namespace vt;

void Update(benchmark::State& state, int16_t tema, bool memoryMoves) {
    fake::FakePlatform platform;
    Form1 f(platform);
    platform.Dispatch([&] { f.Start(); });
    f.tray().SetTema(tema);
    uint64_t freeKb = 6'000'000;
    for (auto _ : state) {
        if (memoryMoves) {
            freeKb = freeKb == 6'000'000 ? 2'500'000 : 6'000'000;
            platform.memory = {0, 16'000'000ull * 1024, freeKb * 1024};
        }
        f.Command1_Click();
        // The fake records every call; keep its logs from growing without end.
        platform.shell.notifications.clear();
        platform.samples = 0;
    }
}

}  // namespace

BENCHMARK_CAPTURE(Update, same_figures, int16_t{0}, false);
BENCHMARK_CAPTURE(Update, same_figures_theme5, int16_t{5}, false);
BENCHMARK_CAPTURE(Update, figures_change_theme5, int16_t{5}, true);
BENCHMARK_MAIN();
