// The benchmark's hands and eyes under Wine: starts a program and times its
// start-up, sets Veltrane up for the idle measurement, reads a process's
// memory figures and ends it again. One sub-command a call; each prints one
// line of "name=value" figures for bench/run.sh.
//
//   probe start <exe> <window class> [<switch>...]
//                                       start, wait until shown with its icon
//   probe arm <pid> [<n> <unit> [nowarn]]  Veltrane: check every n units (1 sec;
//                                       "0 Off" for no check), warning armed unless nowarn
//   probe memory <pid> [ended]          private bytes and working set in KB, threads;
//                                       "ended": once the sound driver's thread has ended
//   probe regions <pid>                 committed regions, for bench/memory_map.py
//   probe close <pid> <window class>    WM_CLOSE, wait for the end
#include <windows.h>
#include <psapi.h>
#include <shellapi.h>
#include <tlhelp32.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "tests/e2e/driver.h"
#include "ui/control_ids.h"

namespace {

using namespace e2e;

double Seconds(LONGLONG ticks) {
    static const LONGLONG frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f.QuadPart;
    }();
    return static_cast<double>(ticks) / static_cast<double>(frequency);
}

LONGLONG Now() {
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return t.QuadPart;
}

// 100-ns units since 1601, as GetProcessTimes gives them.
ULONGLONG FileTimeNow() {
    FILETIME ft;
    GetSystemTimePreciseAsFileTime(&ft);
    return (static_cast<ULONGLONG>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime;
}

ULONGLONG Value(const FILETIME& ft) { return (static_cast<ULONGLONG>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime; }

HWND ShownWindow(DWORD pid, const wchar_t* windowClass) {
    HWND hwnd = nullptr;
    while ((hwnd = FindWindowExW(nullptr, hwnd, windowClass, nullptr)) != nullptr) {
        DWORD owner = 0;
        GetWindowThreadProcessId(hwnd, &owner);
        if (owner == pid && IsWindowVisible(hwnd)) return hwnd;
    }
    return nullptr;
}

// The shell answers a modify that changes nothing only for an icon it holds.
// Both programs give their icon the low half of their instance handle as id.
bool IconAdded(HWND hwnd) {
    NOTIFYICONDATAW nid{};
    nid.cbSize = NOTIFYICONDATAW_V1_SIZE;
    nid.hWnd = hwnd;
    nid.uID = static_cast<UINT>(GetWindowLongPtrW(hwnd, GWLP_HINSTANCE));
    return Shell_NotifyIconW(NIM_MODIFY, &nid) != FALSE;
}

int Start(const wchar_t* exe, const wchar_t* windowClass, const std::wstring& switches) {
    PROCESS_INFORMATION pi{};
    const ULONGLONG calledAt = FileTimeNow();
    const LONGLONG t0 = Now();
    if (!StartQuietly(exe, pi, switches)) {
        std::fprintf(stderr, "cannot start %ls: error %lu\n", exe, GetLastError());
        return 1;
    }
    // The window first (cheap to look for), then the icon (a call into the shell).
    HWND hwnd = nullptr;
    while (!(hwnd = ShownWindow(pi.dwProcessId, windowClass))) {
        if (WaitForSingleObject(pi.hProcess, 0) == WAIT_OBJECT_0 || Seconds(Now() - t0) > 30) {
            std::fprintf(stderr, "no window\n");
            return 1;
        }
        Sleep(1);
    }
    while (!IconAdded(hwnd)) {
        if (Seconds(Now() - t0) > 30) {
            std::fprintf(stderr, "no icon\n");
            return 1;
        }
        Sleep(1);
    }
    const LONGLONG t1 = Now();
    const ULONGLONG readyAt = FileTimeNow();
    FILETIME created, exited, kernel, user;
    GetProcessTimes(pi.hProcess, &created, &exited, &kernel, &user);
    const double fromCreation = static_cast<double>(readyAt - Value(created)) / 1e4;
    std::printf("pid=%lu whole_ms=%.1f inprocess_ms=%.1f cpu_ms=%.1f create_lag_ms=%.1f\n", pi.dwProcessId,
                Seconds(t1 - t0) * 1000, fromCreation, static_cast<double>(Value(kernel) + Value(user)) / 1e4,
                static_cast<double>(Value(created) - calledAt) / 1e4);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return 0;
}

HWND MainWindowOf(DWORD pid) { return ShownWindow(pid, L"Veltrane.Form1"); }

bool Answer(DWORD pid, const wchar_t* title) {
    HWND box = WaitMessageBox(pid, title);
    if (!box) return false;
    AnswerMessageBox(box, IDOK);
    return WaitFor([&] { return !IsWindow(box); });
}

// The main window's check row ("Check every 1 sec" unless told otherwise),
// then a low-memory warning at 1 Mb, which the machine never reaches: both
// timers run, nothing fires.
int Arm(DWORD pid, const wchar_t* amount, const wchar_t* unit, bool warn) {
    using namespace vt::form1;
    namespace opt = vt::frm_options;
    constexpr int oCommand3 = opt::Command3, oText1 = opt::Text1, oSet = opt::Command4;
    HWND main = MainWindowOf(pid);
    if (!main) return 1;
    SendMessageW(Child(main, Text1), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(amount));
    SendMessageW(Child(main, Combo1), CB_SELECTSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(unit));
    PostClick(Child(main, Command2));
    // Set answers a refused value with a box; none may come.
    if (WaitMessageBox(pid, L"Bad value", 500) || WaitMessageBox(pid, L"Wrong value", 10)) return 1;
    if (!warn) {
        std::printf("armed=0\n");
        return 0;
    }

    PostClick(Child(main, Command4));
    HWND options = nullptr;
    if (!WaitFor([&] {
            options = FindWindowW(L"Veltrane.frmOptions", nullptr);
            return options && IsWindowVisible(options);
        })) {
        return 1;
    }
    SendMessageW(Child(options, oText1), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"1"));
    PostClick(Child(options, oSet));
    if (!Answer(pid, L"Message 1/2") || !Answer(pid, L"Message 2/2")) return 1;
    PostClick(Child(options, oCommand3));
    if (!WaitFor([&] { return !IsWindow(options); })) return 1;
    std::printf("armed=1\n");
    return 0;
}

// Wine's winmm plays sounds through a thread of its own, which ends only
// when it wakes with no sound open: after the last sound it lives on for
// the rest of the run or not, by a race, and holds about a megabyte of
// private memory while it does. A message to its window (message-only, of
// the class "Message") wakes it. False if it is still there after that.
bool EndSoundThread(DWORD pid) {
    std::vector<HANDLE> threads;
    HWND window = nullptr;
    while ((window = FindWindowExW(HWND_MESSAGE, window, L"Message", nullptr)) != nullptr) {
        DWORD owner = 0;
        const DWORD thread = GetWindowThreadProcessId(window, &owner);
        if (owner != pid) continue;
        if (HANDLE h = OpenThread(SYNCHRONIZE, FALSE, thread)) threads.push_back(h);
        PostMessageW(window, WM_NULL, 0, 0);
    }
    bool ended = true;
    for (HANDLE h : threads) {
        ended = WaitForSingleObject(h, 5000) == WAIT_OBJECT_0 && ended;
        CloseHandle(h);
    }
    return ended;
}

int Memory(DWORD pid, bool soundEnded) {
    const bool ended = soundEnded && EndSoundThread(pid);
    HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid);
    if (!process) return 1;
    PROCESS_MEMORY_COUNTERS_EX pmc{sizeof pmc};
    GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&pmc), sizeof pmc);
    CloseHandle(process);
    // The sound driver's threads come and go with what was last played, and
    // move the private bytes by about a megabyte: counted beside them.
    int threads = 0;
    if (HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0); snapshot != INVALID_HANDLE_VALUE) {
        THREADENTRY32 te{sizeof te};
        for (BOOL more = Thread32First(snapshot, &te); more; more = Thread32Next(snapshot, &te)) {
            if (te.th32OwnerProcessID == pid) ++threads;
        }
        CloseHandle(snapshot);
    }
    // Wine leaves PrivateUsage at 0; PagefileUsage is the same commit figure.
    const char* prefix = soundEnded ? "ended_" : "";
    std::printf("%sprivate_kb=%zu %sworkingset_kb=%zu %sthreads=%d", prefix, pmc.PagefileUsage / 1024, prefix,
                pmc.WorkingSetSize / 1024, prefix, threads);
    if (soundEnded) std::printf(" sound_thread_ended=%d", ended ? 1 : 0);
    std::printf("\n");
    return 0;
}

// Every committed region of the process with its kind and, for images, the
// module: bench/memory_map.py puts the resident anonymous pages of each
// (from Linux's smaps) beside it, to see where private bytes go under Wine.
int Regions(DWORD pid) {
    HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid);
    if (!process) return 1;
    MEMORY_BASIC_INFORMATION mbi;
    for (char* at = nullptr; VirtualQueryEx(process, at, &mbi, sizeof mbi) == sizeof mbi;
         at = static_cast<char*>(mbi.BaseAddress) + mbi.RegionSize) {
        if (mbi.State != MEM_COMMIT) continue;
        wchar_t name[MAX_PATH] = L"-";
        if (mbi.Type == MEM_IMAGE || mbi.Type == MEM_MAPPED) {
            GetMappedFileNameW(process, mbi.BaseAddress, name, MAX_PATH);
        }
        std::printf("%p %zx %s %p %ls\n", mbi.BaseAddress, mbi.RegionSize,
                    mbi.Type == MEM_IMAGE ? "image" : mbi.Type == MEM_MAPPED ? "mapped" : "private",
                    mbi.AllocationBase, name);
    }
    CloseHandle(process);
    return 0;
}

int Close(DWORD pid, const wchar_t* windowClass) {
    HANDLE process = OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE, pid);
    if (!process) return 1;
    if (HWND hwnd = ShownWindow(pid, windowClass)) PostMessageW(hwnd, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(process, 10000) != WAIT_OBJECT_0) {
        TerminateProcess(process, 1);
        WaitForSingleObject(process, 5000);
    }
    CloseHandle(process);
    return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    const std::wstring command = argc > 1 ? argv[1] : L"";
    const DWORD pid = argc > 2 ? static_cast<DWORD>(std::wcstoul(argv[2], nullptr, 10)) : 0;
    if (command == L"start" && argc >= 4) {
        std::wstring switches;
        for (int i = 4; i < argc; ++i) switches += (i > 4 ? L" " : L"") + std::wstring(argv[i]);
        return Start(argv[2], argv[3], switches);
    }
    if (command == L"arm" && argc == 3) return Arm(pid, L"1", L"sec", true);
    if (command == L"arm" && (argc == 5 || argc == 6)) {
        return Arm(pid, argv[3], argv[4], argc == 5 || std::wstring(argv[5]) != L"nowarn");
    }
    if (command == L"memory" && (argc == 3 || (argc == 4 && std::wstring(argv[3]) == L"ended"))) {
        return Memory(pid, argc == 4);
    }
    if (command == L"regions" && argc == 3) return Regions(pid);
    if (command == L"close" && argc == 4) return Close(pid, argv[3]);
    std::fprintf(stderr, "usage: probe start <exe> <class> [<switch>...] | arm <pid> [<n> <unit> [nowarn]] |\n"
                         "       memory <pid> [ended] | regions <pid> | close <pid> <class>\n");
    return 2;
}
