// Shared between the Win32 platform and its forms: not for use elsewhere.
#pragma once

#include <windows.h>

#include <array>
#include <map>
#include <new>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/errors.h"
#include "platform/platform.h"
#include "platform/win32/handle.h"
#include "platform/win32/win32_gdi_cache.h"
#include "platform/win32/win32_run_value.h"

namespace vt::win32 {

class Win32Platform;
class Win32TrayHost;
class ProcessSnapshot;

COLORREF ToColorRef(Color color);

// The program's module, the window class of picture boxes and images and
// that of graphs.
HINSTANCE Module();
inline constexpr wchar_t kPictureClass[] = L"Veltrane.Picture";
inline constexpr wchar_t kGraphClass[] = L"Veltrane.Graph";

// The dotted rectangle of the keyboard focus, in a colour that shows on any
// face: DrawFocusRect inverts, and the inverse of a grey is the same grey.
void DrawFocusDots(HDC dc, RECT r, COLORREF ink);

// A library of the system loaded by name from the system folder alone, never
// from the program's own folder; null where it cannot be had.
unique_hmodule LoadSystemLibrary(const wchar_t* name);

// A function of a library by name; null where either is missing.
template <typename F>
F ProcAddress(HMODULE module, const char* name) {
    return module ? reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(module, name))) : nullptr;
}
template <typename F>
F ProcAddress(const unique_hmodule& module, const char* name) {
    return ProcAddress<F>(module.get(), name);
}

// A window's text through WM_GETTEXT: what text and combo boxes hold.
std::string WindowText(HWND hwnd);

// Display scaling as the system answers it (see win32_dpi.cpp).
int SystemDpi();
int WindowDpi(HWND hwnd);
int SmallIconSizeAt(int dpi);
void AdjustFrameForDpi(RECT& frame, DWORD style, DWORD exStyle, int dpi);
// A picture at a DPI: the version of bitmap resource `base` for it, scaled
// to the size the picture has there when that version is missing.
unique_hbitmap LoadPicture(int base, int dpi);

// The platform's services, each in a file of its own.
std::unique_ptr<SoundOutput> CreateSoundOutput();

// Runs an event handler; an error that nothing trapped is reported and ends
// the program.
template <typename F>
void Guard(F&& handler);
[[noreturn]] void ReportUntrapped(std::string_view what, int number) noexcept;
// The body of a window procedure: nothing it throws unwinds through the
// system's code, which cannot pass an exception on.
template <typename F>
LRESULT GuardedProc(F&& body) noexcept;

// A text for the system in UTF-16, held in a buffer of its own when it is
// short, so that a message box needs no memory when memory has run out.
class WideText {
public:
    explicit WideText(std::string_view utf8);
    WideText(const WideText&) = delete;
    WideText& operator=(const WideText&) = delete;
    const wchar_t* c_str() const { return text_; }

private:
    std::array<wchar_t, 1024> small_;
    std::wstring large_;
    const wchar_t* text_;
};

class Win32Form final : public Form {
public:
    Win32Form(Win32Platform& platform, const FormDef& def, FormEvents& events);
    ~Win32Form() override;

    void SetCaption(int id, std::string_view text) override;
    std::string Caption(int id) const override;
    void SetEnabled(int id, bool enabled) override;
    bool Enabled(int id) const override;
    void SetBackColor(int id, Color color) override;
    Color BackColor(int id) const override;
    void SetForeColor(int id, Color color) override;
    Color ForeColor(int id) const override;
    void SetToolTip(int id, std::string_view text) override;
    std::string ToolTip(int id) const override;
    void SetBounds(int id, Rect rect) override;
    Rect Bounds(int id) const override;
    void SetLine(int id, int x1, int y1, int x2, int y2) override;
    void SetSelection(int id, int start, int length) override;
    void SetFocus(int id) override;
    void SetChecked(int id, bool checked) override;
    bool Checked(int id) const override;
    void SetGraph(int id, const GraphData& data) override;

    void SetLeft(int32_t twips) override;
    void SetTop(int32_t twips) override;
    int32_t Left() const override;
    int32_t Top() const override;
    int32_t Width() const override;
    int32_t Height() const override;
    int ScaleWidth() const override { return clientWidth_; }
    int ScaleHeight() const override { return clientHeight_; }

    void Show() override;
    void ShowModal() override;
    void Hide() override;
    bool Visible() const override;
    void Refresh() override;
    void Unload() override;
    bool Loaded() const override { return hwnd_ != nullptr; }
    bool PopupMenu(int menuId, std::optional<Point> at = {}) override;
    void SetIcon(int group) override;
    int Icon() const override { return iconGroup_; }
    void SetPictureIcon(int id, int group) override;
    void CutOutline(Color key) override;
    void Drag() override;
    void AnimateToTray() override;
    HWND hwnd() const { return hwnd_; }
    HDC faceDc() const { return faceDc_.get(); }
    HICON windowIcon() const { return icon_; }
    // The host of the icon in the notification area while it hooks this window.
    Win32TrayHost* trayHost() const { return trayHost_; }
    void SetTrayHost(Win32TrayHost* host) { trayHost_ = host; }

    // Every timer of every form stopped: the report of an untrapped error
    // comes once.
    static void StopAllTimers();

    // Keyboard navigation for a key message on its way to one of our forms'
    // windows: true when the form took it (Tab, Enter, Escape, arrows among
    // option buttons), so it must not be dispatched.
    static bool PreTranslate(const MSG& msg);
    // The name a screen reader is given for a control window, read when it
    // asks; empty where the system's own name (the caption) stands.
    static std::string AccessibleNameOf(HWND control);

    static LRESULT CALLBACK FormProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    static LRESULT CALLBACK PictureProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    static LRESULT CALLBACK GraphProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    static LRESULT FormMessage(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    static LRESULT PictureMessage(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    static LRESULT GraphMessage(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    // Every control window runs through ControlProc before its class's own
    // procedure; the window's user data points at its Control.
    static LRESULT CALLBACK ControlProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    static LRESULT ControlMessage(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);

private:
    struct Control {
        ControlDef def;
        Win32Form* form = nullptr;
        HWND hwnd = nullptr;  // null for lines and timers
        WNDPROC classProc = nullptr;  // what ControlProc hands messages on to
        std::string caption;
        std::string toolTip;
        Color back, fore;
        bool enabled = true;
        Rect rect;
        unique_hbitmap picture;
        unique_hdc pictureDc;
        HGDIOBJ oldPictureBitmap = nullptr;
        HICON icon = nullptr;  // shown instead of the bitmap; owned by the platform
        int iconGroup = 0;     // what the program handed over (icon is the group at this DPI)
        std::wstring fittedShape;   // FitText's last caption, digits as 0, and the font it took
        HFONT fittedFont = nullptr;
        GraphData graph;  // what a graph shows
    };
    static const Control* OwnClassControl(HWND hwnd, UINT msg, LPARAM lp);
    struct Menu {
        MenuDef def;
        HMENU parent = nullptr;
        unique_hmenu popup;  // top-level menus only
        std::string caption;
        bool enabled = true;
    };

    bool HandleMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result);
    bool HandleChildNotify(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result);
    void CreateControl(const ControlDef& def);
    void LoadFace();
    void LoadControlPicture(Control& c);
    void ApplyDpi(int dpi, int screenLeft, int screenTop);
    void PlaceAtDpi(int screenLeft, int screenTop, bool move);
    Rect Physical(const Control& c) const;
    void MoveControl(Control& c);
    int DropHeight(const Control& c) const;
    void SetTipFont();
    void ShowIcon(HICON icon);
    void PaintFace(const Control& c, HDC dc);
    void PaintPicture(const Control& c, HDC dc);
    void DrawButton(const DRAWITEMSTRUCT& item);
    // win32_graph.cpp
    void PaintGraph(const Control& graph, HDC dc);
    HBRUSH BrushFor(Color color) { return gdi_.Brush(color); }
    HFONT FontFor(const FontDef& font);
    void FitText(Control& c);
    Control* ControlOf(HWND hwnd);
    Control& At(int id);
    static std::string ShownText(const Control& c);
    const Control& At(int id) const;
    Menu* MenuOf(int id);
    const Menu* MenuOf(int id) const;
    HWND ContainerHwnd(int container) const;
    std::pair<int, int> PageOf(const ControlDef& def) const;
    void ShowPage(int tabId);
    void ReenableOthers();
    void Destroy();
    // win32_keyboard.cpp
    bool HandleKey(const MSG& msg);
    bool CanTakeFocus(int id) const;
    void MoveFocus(int id);
    void ShowFocusCues();
    void HideFocusCuesUntilKeyboard();
    void UpdateFocusCues(WPARAM wp);
    bool HandleActivate(WPARAM wp);
    void ClickButton(const Control& c);
    // win32_accessible.cpp
    LRESULT AccessibleObject(HWND hwnd, WPARAM wp, LPARAM lp) noexcept;

    Win32Platform& platform_;
    FormDef def_;
    FormEvents& events_;
    HWND hwnd_ = nullptr;
    HWND toolTips_ = nullptr;
    int dpi_;
    int clientWidth_, clientHeight_;  // physical pixels
    DWORD style_ = 0, exStyle_ = 0;
    unique_hbitmap face_;
    unique_hdc faceDc_;
    HGDIOBJ oldFaceBitmap_ = nullptr;
    std::map<int, Control> controls_;
    std::vector<Menu> menus_;
    GdiCache gdi_;  // fonts at dpi_
    unique_hfont tipFont_;
    unique_hdc measureDc_;  // FitText's, with the screen's metrics
    std::string caption_;
    int iconGroup_ = 0;
    HICON icon_ = nullptr;  // the group at the window's DPI; owned by the platform or the module
    Win32TrayHost* trayHost_ = nullptr;
    ControlKind lastKind_ = ControlKind::Timer;
    std::vector<HWND> modalDisabled_;  // while this window runs modally
    std::vector<int> tabOrder_;
    unique_hmodule themeLibrary_;  // loaded for a tab control only
    HWND lastFocus_ = nullptr;  // given back when the window is active again
    bool focusCuesHidden_ = false;
};

// Hands one message to keyboard navigation or to its window: every message
// loop of the program runs through it.
void Pump(MSG& msg);

class Win32Platform final : public Platform {
public:
    Win32Platform();
    ~Win32Platform() override;

    std::unique_ptr<Form> CreateForm(const FormDef& def, FormEvents& events) override;
    void Run() override;
    void DoEvents() override;
    int MsgBox(std::string_view text, unsigned style, std::string_view title) override;
    [[noreturn]] void End() override;

    std::string AppTitle() const override { return "Veltrane"; }
    bool PrevInstance() override;
    std::span<const uint8_t> CustomResource(int id) override;
    bool IconExists(int group) override { return IconResource(group) != nullptr; }
    std::unique_ptr<TrayHost> CreateTrayHost(Form& window, TrayEvents& events) override;
    std::string GetSetting(std::string_view app, std::string_view section, std::string_view key,
                           std::string_view fallback) override;
    void SaveSetting(std::string_view app, std::string_view section, std::string_view key,
                     std::string_view value) override;
    void DeleteSetting(std::string_view app, std::string_view section, std::string_view key) override;
    int Hour() override;
    ClockTime Now() override;
    uint64_t SystemCacheBytes() override;
    bool UserWantsQuiet() override;
    void Randomize() override;
    double Rnd() override;
    bool RectOnAnyMonitor(Rect r) override;
    Rect PrimaryWorkArea() override;
    bool QueryMemoryStatus(MemoryStatus& status) override;
    bool VisitProcesses(ProcessVisitor& visitor) override;
    void ReserveProcessTable() override;
    uint32_t CurrentProcessId() override;
    SoundOutput& Sound() override { return *sound_; }
    RunValue& Autorun() override { return *run_; }

    void FormLoaded() { ++loadedForms_; }
    // COM for this thread and the accessibility libraries, loaded and
    // started the first time a screen reader asks for a control: a program
    // nobody reads maps none of them. Null where they cannot be had.
    struct ComApartment;
    const ComApartment* EnsureCom();
    void FormUnloaded(const Win32Form* form);
    // Icons follow the DPI of the first form loaded (the main window) while
    // it lives, else the system's.
    void FormDpi(const Win32Form* form, int dpi) {
        if (dpiForm_ && dpiForm_ != form) return;
        dpiForm_ = form;
        dpi_ = dpi;
    }
    int Dpi() const { return dpiForm_ ? dpi_ : SystemDpi(); }
    // An icon group at a size in pixels, loaded once and held for the whole
    // run (so it can be shown as often as wanted without leaking); null when
    // the program has no such icon. IconResource is the notification area's
    // size at the current DPI (the main window's, else the system's).
    HICON IconAt(int group, int size);
    HICON IconResource(int group) { return IconAt(group, SmallIconSizeAt(Dpi())); }

private:
    int loadedForms_ = 0;
    unique_handle instanceMutex_;
    std::unique_ptr<SoundOutput> sound_ = CreateSoundOutput();
    std::unique_ptr<RunValue> run_ = CreateRunValue();
    std::unique_ptr<ProcessSnapshot> snapshot_;
    const Win32Form* dpiForm_ = nullptr;
    int dpi_ = 0;
    std::map<std::pair<int, int>, unique_hicon> icons_;  // (group, size)
    uint32_t seed_ = 1;
    uint64_t randomState_ = 0;
    struct EndComApartment {
        void operator()(ComApartment* com) const;
    };
    std::unique_ptr<ComApartment, EndComApartment> com_;
    bool comTried_ = false;
};


template <typename F>
void Guard(F&& handler) {
    try {
        handler();
    } catch (const RuntimeError& error) {
        ReportUntrapped(error.description(), error.number());
    } catch (const std::bad_alloc&) {
        ReportUntrapped("Out of memory", kOutOfMemory);
    } catch (const std::exception& error) {
        ReportUntrapped(error.what(), 0);
    } catch (...) {
        ReportUntrapped("Unknown error", 0);
    }
}

template <typename F>
LRESULT GuardedProc(F&& body) noexcept {
    LRESULT result = 0;
    Guard([&] { result = body(); });
    return result;
}

}  // namespace vt::win32
