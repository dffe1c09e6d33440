// The yardstick for Veltrane's costs: the least a program of its kind does.
// One 453 x 111 popup window with one button, one tray icon, one short
// embedded sound played asynchronously (so that it loads the sound driver as
// Veltrane does), and then nothing but its message loop.
#include <windows.h>
#include <mmsystem.h>
#include <shellapi.h>

namespace {

constexpr UINT kTrayMessage = WM_APP + 1;
constexpr int kSoundId = 105;

NOTIFYICONDATAW g_icon{};

LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_CLOSE:
            Shell_NotifyIconW(NIM_DELETE, &g_icon);
            DestroyWindow(hwnd);
            return 0;
        case WM_DESTROY: PostQuitMessage(0); return 0;
        default: return DefWindowProcW(hwnd, msg, wp, lp);
    }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    WNDCLASSEXW wc{sizeof wc};
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = L"VeltraneBaseline";
    RegisterClassExW(&wc);
    HWND hwnd = CreateWindowExW(WS_EX_TOOLWINDOW, wc.lpszClassName, L"Baseline", WS_POPUP, 100, 100, 453, 111,
                                nullptr, nullptr, instance, nullptr);
    CreateWindowExW(0, L"BUTTON", L"Update", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 10, 10, 80, 24, hwnd,
                    reinterpret_cast<HMENU>(1), instance, nullptr);

    // The same identity as Veltrane's icon: the window and the low half of
    // the instance handle.
    g_icon.cbSize = NOTIFYICONDATAW_V1_SIZE;
    g_icon.hWnd = hwnd;
    g_icon.uID = static_cast<UINT>(reinterpret_cast<UINT_PTR>(instance));
    g_icon.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    g_icon.uCallbackMessage = kTrayMessage;
    g_icon.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(1));
    lstrcpynW(g_icon.szTip, L"Baseline", 64);
    Shell_NotifyIconW(NIM_ADD, &g_icon);

    if (HRSRC res = FindResourceW(instance, MAKEINTRESOURCEW(kSoundId), L"CUSTOM")) {
        const void* wave = LockResource(LoadResource(instance, res));
        sndPlaySoundA(static_cast<LPCSTR>(wave), SND_ASYNC | SND_NODEFAULT | SND_MEMORY);
    }
    ShowWindow(hwnd, SW_SHOWNORMAL);

    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return 0;
}
