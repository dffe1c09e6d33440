// Drives the real Veltrane.exe from a second process, the way a user or an
// accessibility tool would: find its windows, read their texts, post clicks,
// answer its message boxes, read and write its settings. Every wait has a
// timeout.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace e2e {

constexpr wchar_t kMainClass[] = L"Veltrane.Form1";
constexpr DWORD kTimeoutMs = 20000;

class Program {
public:
    Program();  // starts Veltrane.exe beside this test program
    explicit Program(const std::wstring& exe);
    ~Program();  // ends it if it is still running
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    HWND WaitMainWindow(DWORD timeoutMs = kTimeoutMs);  // visible main window, or null
    bool WaitExit(DWORD timeoutMs = kTimeoutMs);
    DWORD Pid() const { return info_.dwProcessId; }

private:
    PROCESS_INFORMATION info_{};
};

// Starts a program with its standard handles on NUL (a shell reading ours
// would otherwise wait for the program to end); the caller owns the handles.
// False when it could not start.
bool StartQuietly(const std::wstring& exe, PROCESS_INFORMATION& info, const std::wstring& switches = {});
// A file in this test program's folder.
std::wstring BesideThisProgram(const wchar_t* file);

std::string Narrow(const std::wstring& text);  // UTF-8
std::string Text(HWND hwnd);
HWND Child(HWND parent, int id);
std::string ChildText(HWND parent, int id);
void PostClick(HWND button);
// Waits until the child's text satisfies pred; returns the last text read.
template <typename Pred>
std::string WaitText(HWND parent, int id, Pred pred, DWORD timeoutMs = kTimeoutMs) {
    const DWORD start = GetTickCount();
    std::string text;
    do {
        text = ChildText(parent, id);
        if (pred(text)) break;
        Sleep(20);
    } while (GetTickCount() - start < timeoutMs);
    return text;
}

// Waits until pred() holds; false after the timeout.
template <typename Pred>
bool WaitFor(Pred pred, DWORD timeoutMs = kTimeoutMs) {
    const DWORD start = GetTickCount();
    while (!pred()) {
        if (GetTickCount() - start > timeoutMs) return false;
        Sleep(20);
    }
    return true;
}

// A message box of the given process with this title, or null after the timeout.
HWND WaitMessageBox(DWORD pid, const std::wstring& title, DWORD timeoutMs = kTimeoutMs);
std::string MessageBoxText(HWND box);
void AnswerMessageBox(HWND box, int buttonId);

// The tray icon: its callback message and its id, the low 32 bits of the
// program's instance handle.
constexpr UINT kTrayCallback = 1039;
UINT TrayId(HWND main);
// Asked of the shell itself: NIM_MODIFY with no flags changes nothing and
// succeeds only for an icon that exists under that window and id, whichever
// process asks.
bool TrayIconExists(HWND main, UINT id);
// The text of the notification balloon the shell shows (a tooltip window of
// the shell's process, read there), or "" when none is up.
std::string BalloonText();

// The program's settings under HKEY_CURRENT_USER\Software\Veltrane\Startup.
void ClearSettings();
void SetSetting(const std::wstring& name, const std::wstring& value);
std::wstring GetSetting(const std::wstring& name);  // "<absent>" when missing
// The program's value under HKEY_CURRENT_USER\...\CurrentVersion\Run, "<absent>" when missing.
std::wstring RunValue();

// What a screen reader hears as the control's name, asked across the
// process through the accessibility library; "<none>" when it gets no object
// or no name. The calling thread has COM started.
std::string AccessibleName(HWND control);

}  // namespace e2e

namespace e2e {

struct MenuItem {
    std::string caption;  // "-" for a separator
    bool enabled;
};

// Opens a popup menu of the program by posting a mouse message to one of its
// windows, reads the menu from inside the program, then closes it again.
// Empty when no menu opened.
std::vector<MenuItem> ReadPopupMenu(DWORD pid, HWND target, UINT mouseMessage);
// The caption of the item, "<none>" when absent.
std::string CaptionOf(const std::vector<MenuItem>& items, size_t index);

}  // namespace e2e
