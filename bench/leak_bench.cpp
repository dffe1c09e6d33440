// The leak run under Wine: Veltrane's main window on the real backend, driven
// in-process through 100,000 Updates (the theme changing every 50) and 10,000
// hover refreshes of the tray tip. Prints the program's own live counts of
// each kind of handle (GetGuiResources answers 0 under Wine) and the private
// bytes, after start, after a warm-up that shows every picture once, and at
// the end. Flat means the last two rows agree. Also times ShapeWindow, the
// start-up's one costly step.
//
//   leak_bench [updates [hovers]]   the run above
//   leak_bench soak <seconds>       the program left to itself, checking every
//                                   second with a warning armed: the same
//                                   counts at start, after 10 min and at the end
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "bench/batch_clock.h"
#include "platform/win32/handle.h"
#include "platform/win32/win32_native.h"
#include "platform/win32/win32_platform.h"
#include "platform/tray_protocol.h"
#include "memory/memory_history.h"
#include "ui/form1.h"

namespace {

using namespace vt;
using win32::HandleKind;

size_t PrivateKb() {
    PROCESS_MEMORY_COUNTERS pmc{sizeof pmc};
    GetProcessMemoryInfo(GetCurrentProcess(), &pmc, sizeof pmc);
    return pmc.PagefileUsage / 1024;  // PrivateUsage is 0 under Wine
}

void Row(const char* when) {
    auto n = [](HandleKind k) { return win32::LiveHandles(k); };
    std::printf("%-10s icons=%d regions=%d brushes=%d bitmaps=%d dcs=%d pens=%d fonts=%d menus=%d private_kb=%zu\n",
                when, n(HandleKind::Icon), n(HandleKind::Region), n(HandleKind::Brush), n(HandleKind::Bitmap),
                n(HandleKind::Dc), n(HandleKind::Pen), n(HandleKind::Font), n(HandleKind::Menu), PrivateKb());
    std::fflush(stdout);
}

int Soak(int seconds) {
    auto platform = CreateWin32Platform();
    Form1 f(*platform);
    f.Start();
    f.form().SetCaption(form1::Text1, "1");
    f.form().SetCaption(form1::Combo1, "sec");
    f.Command2_Click();
    f.warning().Arm(1);  // never reached: the watch runs, nothing fires
    f.warning().StartWatching();
    const auto t0 = std::chrono::steady_clock::now();
    auto runUntil = [&](int second) {
        for (;;) {
            const auto left = t0 + std::chrono::seconds(second) - std::chrono::steady_clock::now();
            const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(left).count();
            if (ms <= 0) return;
            MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(ms), QS_ALLINPUT);
            platform->DoEvents();
        }
    };
    char when[16];
    for (const int at : {5, 600, seconds}) {
        if (at > seconds) continue;
        runUntil(at);
        std::snprintf(when, sizeof when, "%ds", at);
        Row(when);
    }
    f.RemoveTrayIcon();
    f.form().Unload();
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc > 1 && std::string_view(argv[1]) == "soak") return Soak(argc > 2 ? std::atoi(argv[2]) : 3600);
    const int updates = argc > 1 ? std::atoi(argv[1]) : 100000;
    const int hovers = argc > 2 ? std::atoi(argv[2]) : 10000;
    auto platform = CreateWin32Platform();
    Form1 f(*platform);
    f.Start();
    platform->DoEvents();
    Row("started");

    // The start-up's ShapeWindow again, on the window as it is shown.
    double shape[7];
    for (double& ms : shape) {
        const auto s0 = std::chrono::steady_clock::now();
        f.form().CutOutline(kMagenta);
        ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - s0).count();
    }
    std::sort(std::begin(shape), std::end(shape));
    std::printf("shapewindow_ms=%.2f\n", shape[3]);

    const HWND main = win32::HwndOf(f.form());
    const WPARAM trayId = static_cast<UINT>(reinterpret_cast<uintptr_t>(GetModuleHandleW(nullptr)));
    auto update = [&](int i) {
        f.tray().SetTema(static_cast<int16_t>(1 + (i / 50) % 5));
        f.Command1_Click();
        if (i % 100 == 0) platform->DoEvents();  // paint, run the timers that came due
    };
    auto hover = [&] {
        SendMessageW(main, tray_protocol::kCallbackMessage, trayId, tray_protocol::kMouseMove);
        f.Timer4_Timer();
    };
    for (int i = 0; i < 1000; ++i) update(i);
    for (int i = 0; i < 100; ++i) hover();
    f.cmdChangeIcon_Click();
    platform->DoEvents();
    Row("warmed-up");

    bench::TimeUpdatesAndHovers(updates, hovers, update, hover, [&] { platform->DoEvents(); });
    f.cmdChangeIcon_Click();
    platform->DoEvents();
    Row("end");

    // The last hour's sampler, as its timer runs it every 10 s with the
    // options window closed; and what its ring takes.
    const int samples = std::max(hovers, 1);
    const auto s0 = std::chrono::steady_clock::now();
    for (int i = 0; i < samples; ++i) f.Timer5_Timer();
    const double perSample =
        std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - s0).count() / samples;
    std::printf("samples=%d us_per_sample=%.1f history_bytes=%zu\n", samples, perSample, sizeof(MemoryHistory));
    f.RemoveTrayIcon();
    f.form().Unload();
    return 0;
}
