// What naming the largest processes costs when the warning fires, under
// Wine: the whole step (one snapshot of the process list read through the
// keeper of the three largest, then the balloon's text) timed with the
// processes present, then again with more started (idle copies of this
// program, detached so that no console process comes with each), and the
// handle counts before and after a run of 1,000 steps. Stops adding
// processes while free memory is under 6 GB.
//
//   top_users_bench.exe [extra counts, rising (50 150 300)]
//   top_users_bench.exe show     the balloon with this machine's figures, 8 s
#include <windows.h>
#include <psapi.h>
#include <shellapi.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <iterator>
#include <string>
#include <vector>

#include "memory/top_users.h"
#include "platform/win32/handle.h"
#include "platform/win32/win32_process_snapshot.h"

namespace {

using namespace vt;

constexpr uint64_t kMemoryFloor = 6ull << 30;

uint64_t FreeBytes() {
    MEMORYSTATUSEX m{sizeof m};
    GlobalMemoryStatusEx(&m);
    return m.ullAvailPhys;
}

uint64_t OwnPrivateKb() {
    PROCESS_MEMORY_COUNTERS pmc{sizeof pmc};
    GetProcessMemoryInfo(GetCurrentProcess(), &pmc, sizeof pmc);
    return pmc.PagefileUsage / 1024;  // PrivateUsage is 0 under Wine
}

int32_t FreeMb() { return static_cast<int32_t>(FreeBytes() / 1024 / 1000); }

// Counts the rows on their way to the keeper.
struct Step final : ProcessVisitor {
    top_users::LargestKeeper keeper{GetCurrentProcessId()};
    size_t rows = 0;
    void Visit(const ProcessRow& row) override {
        ++rows;
        keeper.Visit(row);
    }
};

// The balloon's text is part of the cost; its length keeps it from being
// optimised away.
size_t TakeAndPick(win32::ProcessSnapshot& snapshot, std::string& text) {
    Step step;
    if (!snapshot.Read(step)) return 0;
    text = top_users::BalloonText(512, step.keeper.Kept());
    return step.rows;
}

int ShowBalloon(win32::ProcessSnapshot& snapshot) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"VeltraneTopUsersBench";
    RegisterClassW(&wc);
    HWND hwnd = CreateWindowExW(0, wc.lpszClassName, L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, wc.hInstance,
                                nullptr);
    NOTIFYICONDATAW nid{sizeof nid};
    nid.hWnd = hwnd;
    nid.uID = 1;
    nid.uFlags = NIF_ICON | NIF_TIP;
    nid.hIcon = LoadIconW(nullptr, IDI_WARNING);  // the system's own: not destroyed
    wcscpy(nid.szTip, L"Veltrane");
    Shell_NotifyIconW(NIM_ADD, &nid);
    nid.uVersion = NOTIFYICON_VERSION;
    Shell_NotifyIconW(NIM_SETVERSION, &nid);
    Step step;
    snapshot.Read(step);
    const std::wstring title = win32::Widen(top_users::BalloonTitle("Veltrane"));
    const std::string text = top_users::BalloonText(FreeMb(), step.keeper.Kept());
    const std::wstring wideText = win32::Widen(text);
    nid.uFlags = NIF_INFO;
    wcsncpy(nid.szInfoTitle, title.c_str(), std::size(nid.szInfoTitle) - 1);
    wcsncpy(nid.szInfo, wideText.c_str(), std::size(nid.szInfo) - 1);
    nid.dwInfoFlags = NIIF_WARNING;
    std::printf("balloon=%d text=%s\n", Shell_NotifyIconW(NIM_MODIFY, &nid), text.c_str());
    std::fflush(stdout);
    const DWORD end = GetTickCount() + 8000;
    MSG msg;
    while (GetTickCount() < end) {
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
    }
    Shell_NotifyIconW(NIM_DELETE, &nid);
    DestroyWindow(hwnd);
    return 0;
}

void Measure(win32::ProcessSnapshot& snapshot) {
    constexpr int kCalls = 60;
    std::vector<double> us;
    size_t processes = 0, length = 0;
    std::string text;
    for (int i = 0; i < kCalls; ++i) {
        const auto t0 = std::chrono::steady_clock::now();
        processes = TakeAndPick(snapshot, text);
        length += text.size();
        us.push_back(std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - t0).count());
    }
    std::sort(us.begin(), us.end());
    std::printf("processes=%zu per_call_us=%.0f p90_us=%.0f free_mb=%llu text_chars=%zu buffer_kb=%zu\n",
                processes, us[us.size() / 2], us[us.size() * 9 / 10],
                static_cast<unsigned long long>(FreeBytes() >> 20), length / kCalls, snapshot.Buffer().size() / 1024);
    std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc > 1 && std::strcmp(argv[1], "idle") == 0) {
        Sleep(INFINITE);
        return 0;
    }
    win32::ProcessSnapshot snapshot;
    if (argc > 1 && std::strcmp(argv[1], "show") == 0) return ShowBalloon(snapshot);
    std::string text;
    TakeAndPick(snapshot, text);  // the first call loads what the later ones reuse

    const int kernel0 = win32::LiveHandles(win32::HandleKind::Kernel);
    DWORD system0 = 0, system1 = 0;
    GetProcessHandleCount(GetCurrentProcess(), &system0);
    const uint64_t private0 = OwnPrivateKb();
    for (int i = 0; i < 1000; ++i) TakeAndPick(snapshot, text);
    GetProcessHandleCount(GetCurrentProcess(), &system1);
    std::printf("leak calls=1000 kernel_before=%d kernel_after=%d process_handles_before=%lu "
                "process_handles_after=%lu private_kb_before=%llu private_kb_after=%llu\n",
                kernel0, win32::LiveHandles(win32::HandleKind::Kernel), system0, system1,
                static_cast<unsigned long long>(private0), static_cast<unsigned long long>(OwnPrivateKb()));
    Measure(snapshot);

    wchar_t self[MAX_PATH];
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring command = L"\"" + std::wstring(self) + L"\" idle";
    std::vector<win32::unique_handle> children;
    bool floorReached = false;
    for (int arg = 1; arg < argc && !floorReached; ++arg) {
        const size_t want = static_cast<size_t>(std::atoi(argv[arg]));
        while (children.size() < want) {
            if (FreeBytes() < kMemoryFloor) {
                std::printf("stopped extra=%zu free memory under 6 GB\n", children.size());
                floorReached = true;
                break;
            }
            STARTUPINFOW si{sizeof si};
            PROCESS_INFORMATION pi{};
            std::wstring line = command;
            // Wine now and then refuses a start while the previous ones are
            // still coming up; a moment later it goes.
            bool started = false;
            for (int attempt = 0; attempt < 50 && !started; ++attempt) {
                started = CreateProcessW(self, line.data(), nullptr, nullptr, FALSE, DETACHED_PROCESS, nullptr,
                                         nullptr, &si, &pi) != FALSE;
                if (!started) Sleep(200);
            }
            if (!started) {
                std::printf("stopped extra=%zu CreateProcess error %lu\n", children.size(), GetLastError());
                floorReached = true;
                break;
            }
            win32::unique_handle thread(pi.hThread);
            children.emplace_back(pi.hProcess);
        }
        Sleep(2000);  // the last ones settle into their sleep
        std::printf("extra=%zu ", children.size());
        Measure(snapshot);
    }
    for (auto& child : children) TerminateProcess(child.get(), 0);
    for (auto& child : children) WaitForSingleObject(child.get(), 10000);
    return 0;
}
