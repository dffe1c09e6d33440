// Forms over real windows: a form's life from its window class to its
// destruction, showing it (modelessly or in a modal loop of its own), its
// popup menus, and its new layout when it lands on a display of another DPI.
// Controls are made in win32_controls.cpp, painted in win32_paint.cpp, and
// the messages are dispatched in win32_messages.cpp.
#include "platform/win32/win32_internal.h"

#include "platform/form_rules.h"

#include <commctrl.h>

#include <algorithm>

#include "platform/dpi.h"

namespace vt::win32 {

HINSTANCE Module() { return GetModuleHandleW(nullptr); }

namespace {

void RegisterClasses() {
    static bool done = false;
    if (done) return;
    done = true;
    WNDCLASSEXW wc{sizeof wc};
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = Win32Form::PictureProc;
    wc.hInstance = Module();
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = kPictureClass;
    RegisterClassExW(&wc);
    wc.style = 0;
    wc.lpfnWndProc = Win32Form::GraphProc;
    wc.lpszClassName = kGraphClass;
    RegisterClassExW(&wc);
    // The common controls are no KnownDLL: loaded from the system folder
    // (the manifest still picks their version 6), not imported.
    static const unique_hmodule comctl32 = LoadSystemLibrary(L"comctl32.dll");
    if (const auto init = ProcAddress<decltype(&InitCommonControlsEx)>(comctl32, "InitCommonControlsEx")) {
        INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES};
        init(&icc);
    }
}

std::vector<Win32Form*> g_forms;  // alive, in creation order

std::wstring FormClass(const FormDef& def) { return L"Veltrane." + Widen(def.name); }

// The program's other windows, shown or hidden: a hidden main window that
// comes back while a modal window is open must come back disabled.
BOOL CALLBACK CollectEnabledWindow(HWND w, LPARAM list) {
    wchar_t name[64] = L"";
    GetClassNameW(w, name, 64);
    if (IsWindowEnabled(w) && std::wstring_view(name).starts_with(L"Veltrane.")) {
        reinterpret_cast<std::vector<HWND>*>(list)->push_back(w);
    }
    return TRUE;
}

// Of two sibling windows, the first lies above the second.
bool Above(HWND first, HWND second) {
    for (HWND w = GetWindow(first, GW_HWNDNEXT); w; w = GetWindow(w, GW_HWNDNEXT)) {
        if (w == second) return true;
    }
    return false;
}

}  // namespace

Win32Form::Win32Form(Win32Platform& platform, const FormDef& def, FormEvents& events)
    : platform_(platform), def_(def), events_(events), dpi_(dpi::kBaseDpi), clientWidth_(def.clientWidth),
      clientHeight_(def.clientHeight), caption_(def.caption) {
    RegisterClasses();
    const std::wstring className = FormClass(def);
    WNDCLASSEXW wc{sizeof wc};
    if (!GetClassInfoExW(Module(), className.c_str(), &wc)) {
        wc = WNDCLASSEXW{sizeof wc};
        wc.style = CS_DBLCLKS;
        wc.lpfnWndProc = FormProc;
        wc.hInstance = Module();
        wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        wc.hIcon = def.icon ? LoadIconW(Module(), MAKEINTRESOURCEW(def.icon)) : nullptr;
        wc.hIconSm = def.icon ? static_cast<HICON>(LoadImageW(Module(), MAKEINTRESOURCEW(def.icon), IMAGE_ICON,
                                                               GetSystemMetrics(SM_CXSMICON),
                                                               GetSystemMetrics(SM_CYSMICON), LR_SHARED))
                              : nullptr;
        wc.lpszClassName = className.c_str();
        RegisterClassExW(&wc);
    }

    style_ = def.borderless ? WS_POPUP | WS_CLIPCHILDREN : WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
    exStyle_ = def.borderless ? WS_EX_TOOLWINDOW : WS_EX_DLGMODALFRAME;
    // Made without a size: only the window can tell the DPI of the display
    // it is on, and everything in it is sized from that.
    hwnd_ = CreateWindowExW(exStyle_, className.c_str(), Widen(def.caption).c_str(), style_, 0, 0, 0, 0, nullptr,
                            nullptr, Module(), this);
    dpi_ = WindowDpi(hwnd_);
    platform_.FormDpi(this, dpi_);
    clientWidth_ = dpi::Scale(def.clientWidth, dpi_);
    clientHeight_ = dpi::Scale(def.clientHeight, dpi_);
    LoadFace();
    PlaceAtDpi(0, 0, false);
    // The design-time icon is also the first one the shell shows: the
    // group's own picture at the notification area's size.
    iconGroup_ = def.icon;
    icon_ = def.icon ? platform_.IconAt(def.icon, SmallIconSizeAt(dpi_)) : nullptr;
    if (!icon_) icon_ = wc.hIcon;
    toolTips_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                                0, 0, 0, 0, hwnd_, nullptr, Module(), nullptr);
    if (dpi_ != SystemDpi()) SetTipFont();
    for (const ControlDef& c : def.controls) CreateControl(c);
    // Frames, then tab controls, lie behind the controls they hold.
    for (ControlKind kind : {ControlKind::Frame, ControlKind::Tab}) {
        for (auto& [id, c] : controls_) {
            if (c.def.kind == kind) SetWindowPos(c.hwnd, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        }
    }
    // Labels lie beneath the buttons, text and combo boxes they overlap; one
    // made before its button would otherwise cover it.
    for (const auto& [label, control] : LabelsBeneath(def)) {
        HWND l = At(label).hwnd, over = At(control).hwnd;
        if (l && over && Above(l, over)) SetWindowPos(l, over, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
    tabOrder_ = TabOrder(def.controls);
    HideFocusCuesUntilKeyboard();

    for (const MenuDef& m : def.menus) {
        Menu menu{m, nullptr, {}, m.caption, true};
        if (m.parent == 0) {
            menu.popup.reset(CreatePopupMenu());
        } else {
            for (Menu& p : menus_) {
                if (p.def.id == m.parent) menu.parent = p.popup.get();
            }
            if (std::string_view(m.caption) == "-") {
                AppendMenuW(menu.parent, MF_SEPARATOR, static_cast<UINT_PTR>(m.id), nullptr);
            } else {
                AppendMenuW(menu.parent, MF_STRING, static_cast<UINT_PTR>(m.id), Widen(m.caption).c_str());
            }
        }
        menus_.push_back(std::move(menu));
    }
    platform_.FormLoaded();
    g_forms.push_back(this);
}

Win32Form::~Win32Form() {
    Destroy();
    std::erase(g_forms, this);
}

void Win32Form::StopAllTimers() {
    for (Win32Form* form : g_forms) {
        if (!form->hwnd_) continue;
        for (auto& [id, c] : form->controls_) {
            if (c.def.kind == ControlKind::Timer) KillTimer(form->hwnd_, static_cast<UINT_PTR>(id));
        }
    }
}

void Win32Form::Destroy() {
    if (!hwnd_) return;
    ReenableOthers();
    HWND hwnd = std::exchange(hwnd_, nullptr);
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    DestroyWindow(hwnd);
    for (auto& [id, c] : controls_) {
        if (c.pictureDc) SelectObject(c.pictureDc.get(), c.oldPictureBitmap);
    }
    if (faceDc_) SelectObject(faceDc_.get(), oldFaceBitmap_);
    platform_.FormUnloaded(this);
}

Win32Form::Menu* Win32Form::MenuOf(int id) {
    for (Menu& m : menus_) {
        if (m.def.id == id) return &m;
    }
    return nullptr;
}
const Win32Form::Menu* Win32Form::MenuOf(int id) const { return const_cast<Win32Form*>(this)->MenuOf(id); }

// --- showing -------------------------------------------------------------

void Win32Form::Show() {
    ShowWindow(hwnd_, SW_SHOW);
    UpdateWindow(hwnd_);
}

void Win32Form::ShowModal() {
    // The other windows of the thread take no input until this one unloads.
    std::vector<HWND> disabled;
    EnumThreadWindows(GetCurrentThreadId(), CollectEnabledWindow, reinterpret_cast<LPARAM>(&disabled));
    std::erase(disabled, hwnd_);
    for (HWND w : disabled) EnableWindow(w, FALSE);
    modalDisabled_ = disabled;
    Show();
    MSG msg;
    while (hwnd_ && GetMessageW(&msg, nullptr, 0, 0) > 0) Pump(msg);
    if (msg.message == WM_QUIT) PostQuitMessage(static_cast<int>(msg.wParam));
    ReenableOthers();
}

// Before the modal window goes: otherwise the system would activate some
// other program's window, as none of ours could take the activation.
void Win32Form::ReenableOthers() {
    for (HWND w : std::exchange(modalDisabled_, {})) {
        if (IsWindow(w)) EnableWindow(w, TRUE);
    }
}

void Win32Form::Hide() { ShowWindow(hwnd_, SW_HIDE); }
bool Win32Form::Visible() const { return hwnd_ && IsWindowVisible(hwnd_); }
void Win32Form::Refresh() { RedrawWindow(hwnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW); }

void Win32Form::Unload() {
    if (!hwnd_) return;
    int16_t cancel = 0;
    events_.Unload(cancel);
    if (cancel == 0) Destroy();
}

bool Win32Form::PopupMenu(int menuId, std::optional<Point> where) {
    Menu* m = MenuOf(menuId);
    if (!m || !m->popup) return false;
    POINT at{};
    if (where) {
        at = {where->x, where->y};
    } else {
        GetCursorPos(&at);
    }
    // Without the foreground the menu would not close when clicked away.
    SetForegroundWindow(hwnd_);
    const auto chosen = static_cast<UINT>(TrackPopupMenu(
        m->popup.get(), TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON | TPM_RETURNCMD, at.x, at.y, 0, hwnd_, nullptr));
    // Posted, as the menu itself would post it: the choice is handled once
    // the menu has closed and whoever opened it has returned.
    if (chosen) PostMessageW(hwnd_, WM_COMMAND, MAKEWPARAM(chosen, 0), 0);
    PostMessageW(hwnd_, WM_NULL, 0, 0);
    return chosen != 0;
}

// The face at the window's DPI, in the device context it lives in for the
// whole run, so its pixels can be read before the window is ever on screen.
// Held as loaded (8 bits a pixel above 100 %): the window, its labels and
// its images each copy their own part of it.
void Win32Form::LoadFace() {
    if (!def_.picture) return;
    if (!faceDc_) {
        HDC screen = GetDC(nullptr);
        faceDc_.reset(CreateCompatibleDC(screen));
        ReleaseDC(nullptr, screen);
    } else {
        SelectObject(faceDc_.get(), oldFaceBitmap_);
    }
    face_ = LoadPicture(def_.picture, dpi_);
    oldFaceBitmap_ = SelectObject(faceDc_.get(), face_.get());
}

// The frame the system would give the client area at this DPI; and where it
// draws its frame at another one (a system that scales only its own DPI),
// whatever the client area needs on top of that.
void Win32Form::PlaceAtDpi(int screenLeft, int screenTop, bool move) {
    RECT frame{0, 0, clientWidth_, clientHeight_};
    AdjustFrameForDpi(frame, style_, exStyle_, dpi_);
    const UINT flags = SWP_NOZORDER | SWP_NOACTIVATE | (move ? 0 : SWP_NOMOVE);
    int width = frame.right - frame.left, height = frame.bottom - frame.top;
    SetWindowPos(hwnd_, nullptr, screenLeft, screenTop, width, height, flags);
    RECT client;
    GetClientRect(hwnd_, &client);
    if (client.right == clientWidth_ && client.bottom == clientHeight_) return;
    width += clientWidth_ - client.right;
    height += clientHeight_ - client.bottom;
    SetWindowPos(hwnd_, nullptr, screenLeft, screenTop, width, height, flags);
}

void Win32Form::ApplyDpi(int dpi, int screenLeft, int screenTop) {
    dpi_ = dpi;
    platform_.FormDpi(this, dpi);
    clientWidth_ = dpi::Scale(def_.clientWidth, dpi);
    clientHeight_ = dpi::Scale(def_.clientHeight, dpi);
    LoadFace();
    // The suggested corner keeps the window where the user put it; the size
    // is the window's own at the new DPI, to the pixel.
    PlaceAtDpi(screenLeft, screenTop, true);
    // The controls let go of the old fonts before those are deleted.
    const GdiCache::Fonts oldFonts = gdi_.TakeFonts();
    for (auto& [id, c] : controls_) {
        if (!c.hwnd) continue;
        MoveControl(c);
        SendMessageW(c.hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(FontFor(c.def.font)), FALSE);
        FitText(c);
        if (c.picture) LoadControlPicture(c);
        if (c.iconGroup) c.icon = platform_.IconAt(c.iconGroup, dpi::Scale(32, dpi_));
    }
    SetTipFont();
    // The form's icon is the one the program hands the shell: Icon() now
    // answers the same picture at the new size.
    ShowIcon(platform_.IconAt(iconGroup_, SmallIconSizeAt(dpi_)));
    RedrawWindow(hwnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_FRAME);
    Guard([&] { events_.DpiChanged(); });
}

void Win32Form::SetIcon(int group) {
    iconGroup_ = group;
    ShowIcon(platform_.IconAt(group, SmallIconSizeAt(dpi_)));
}

void Win32Form::ShowIcon(HICON h) {
    if (!h || h == icon_) return;
    icon_ = h;
    SendMessageW(hwnd_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(h));
    SendMessageW(hwnd_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(h));
}

}  // namespace vt::win32
