// A library that leaves a mark beside itself when a program loads it.
// Copied beside Veltrane.exe under the names of the system libraries the
// program loads, it shows whether the program ever looks for them in its own
// folder, as a copy started from a Downloads folder would.
#include <windows.h>

#include <cwchar>

BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID) {
    if (reason != DLL_PROCESS_ATTACH) return TRUE;
    wchar_t mark[MAX_PATH];
    const DWORD n = GetModuleFileNameW(self, mark, MAX_PATH - 8);
    if (n == 0 || n >= MAX_PATH - 8) return TRUE;
    wcscpy(mark + n, L".loaded");
    const HANDLE file = CreateFileW(mark, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
    return TRUE;
}
