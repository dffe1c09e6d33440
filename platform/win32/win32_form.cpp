// Forms over real windows. Buttons, text boxes and combo boxes are the system's
// own controls; labels are STATIC windows whose background is the container's
// face (a pattern brush aligned to the label), so their captions stay readable
// with WM_GETTEXT and repaint cleanly; picture boxes and images are a small
// window class of our own that paints its bitmap and the lines it contains.
// Graphical buttons are owner-drawn in their back colour.
#include "platform/win32/win32_internal.h"

#include <commctrl.h>
#include <uxtheme.h>

#include <algorithm>
#include <cmath>

namespace vt::win32 {
namespace {

constexpr wchar_t kPictureClass[] = L"Veltrane.Picture";
constexpr UINT_PTR kSubclassId = 1;

HINSTANCE Module() { return GetModuleHandleW(nullptr); }

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
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES};
    InitCommonControlsEx(&icc);
}

std::wstring FormClass(const FormDef& def) { return L"Veltrane." + Widen(def.name); }

// The text the system keeps with a window, read without a message round:
// labels, buttons and frames hold theirs there (where DefWindowProc puts it),
// so it is what they show. A third of a millisecond quicker than WM_GETTEXT
// under Wine, and read twice in every Update.
std::string StoredText(HWND hwnd) {
    std::wstring text(128, L'\0');
    for (;;) {
        const int n = InternalGetWindowText(hwnd, text.data(), static_cast<int>(text.size()));
        if (n < static_cast<int>(text.size()) - 1) {
            text.resize(static_cast<size_t>(std::max(n, 0)));
            return Narrow(text);
        }
        text.resize(text.size() * 2);
    }
}

std::string WindowText(HWND hwnd) {
    const int n = GetWindowTextLengthW(hwnd);
    std::wstring text(static_cast<size_t>(n) + 1, L'\0');
    GetWindowTextW(hwnd, text.data(), n + 1);
    text.resize(static_cast<size_t>(n));
    return Narrow(text);
}

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

MouseButton ButtonOf(UINT msg) {
    switch (msg) {
        case WM_RBUTTONDOWN: case WM_RBUTTONUP: return MouseButton::Right;
        case WM_MBUTTONDOWN: case WM_MBUTTONUP: return MouseButton::Middle;
        default: return MouseButton::Left;
    }
}

}  // namespace

Win32Form::Win32Form(Win32Platform& platform, const FormDef& def, FormEvents& events)
    : platform_(platform), def_(def), events_(events), clientWidth_(def.clientWidth),
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

    if (def.picture) {
        face_.reset(static_cast<HBITMAP>(
            LoadImageW(Module(), MAKEINTRESOURCEW(def.picture), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
        HDC screen = GetDC(nullptr);
        faceDc_.reset(CreateCompatibleDC(screen));
        ReleaseDC(nullptr, screen);
        // The face lives in its own device context for the whole run, so its
        // pixels can be read before the window is ever on screen.
        oldFaceBitmap_ = SelectObject(faceDc_.get(), face_.get());
        faceBrush_.reset(CreatePatternBrush(face_.get()));
    }

    const DWORD style = def.borderless ? WS_POPUP | WS_CLIPCHILDREN
                                       : WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
    const DWORD exStyle = def.borderless ? WS_EX_TOOLWINDOW : WS_EX_DLGMODALFRAME;
    RECT frame{0, 0, clientWidth_, clientHeight_};
    AdjustWindowRectEx(&frame, style, FALSE, exStyle);
    hwnd_ = CreateWindowExW(exStyle, className.c_str(), Widen(def.caption).c_str(), style, 0, 0,
                            frame.right - frame.left, frame.bottom - frame.top, nullptr, nullptr, Module(), this);
    icon_ = wc.hIcon;
    toolTips_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                                0, 0, 0, 0, hwnd_, nullptr, Module(), nullptr);
    for (const ControlDef& c : def.controls) CreateControl(c);
    // Frames, then tab controls, lie behind the controls they hold.
    for (ControlKind kind : {ControlKind::Frame, ControlKind::Tab}) {
        for (auto& [id, c] : controls_) {
            if (c.def.kind == kind) SetWindowPos(c.hwnd, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        }
    }

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
}

Win32Form::~Win32Form() { Destroy(); }

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
    platform_.FormUnloaded();
}

// Tab controls and frames are drawn behind the controls they hold; the
// window that really holds those controls is the nearest picture box or the
// form, and their positions add up on the way.
HWND Win32Form::ContainerHwnd(int container) const {
    while (container != 0) {
        const Control& c = At(container);
        if (c.def.kind != ControlKind::Tab && c.def.kind != ControlKind::Frame) return c.hwnd;
        container = c.def.container;
    }
    return hwnd_;
}

POINT Win32Form::OffsetIn(int container) const {
    POINT at{0, 0};
    while (container != 0) {
        const Control& c = At(container);
        if (c.def.kind != ControlKind::Tab && c.def.kind != ControlKind::Frame) break;
        // Positions on a tab page count from the tab control's own corner,
        // the row of tabs included.
        at.x += c.def.rect.left;
        at.y += c.def.rect.top;
        container = c.def.container;
    }
    return at;
}

// The page a control lies on: (tab control id, page), or (0, -1).
std::pair<int, int> Win32Form::PageOf(const ControlDef& def) const {
    const ControlDef* d = &def;
    while (d->container != 0) {
        const Control& parent = At(d->container);
        if (parent.def.kind == ControlKind::Tab) return {parent.def.id, d->tab};
        d = &parent.def;
    }
    return {0, -1};
}

void Win32Form::ShowPage(int tabId) {
    const int page = TabCtrl_GetCurSel(At(tabId).hwnd);
    HWND focus = GetFocus();
    for (auto& [id, c] : controls_) {
        const auto [tab, onPage] = PageOf(c.def);
        if (tab == tabId && c.hwnd) ShowWindow(c.hwnd, onPage == page ? SW_SHOWNA : SW_HIDE);
    }
    // Typing must not go on into a control that was just hidden.
    if (focus && !IsWindowVisible(focus)) ::SetFocus(At(tabId).hwnd);
}

void Win32Form::CreateControl(const ControlDef& def) {
    Control c{def};
    c.caption = def.caption;
    c.toolTip = def.toolTip ? def.toolTip : "";
    c.back = def.back;
    c.fore = def.fore;
    c.rect = def.rect;
    c.enabled = def.kind != ControlKind::Timer && !(def.style & kDisabled);
    HWND parent = ContainerHwnd(def.container);
    const POINT offset = OffsetIn(def.container);
    Rect r = def.rect;
    r.left += offset.x;
    r.top += offset.y;
    const bool hidden = PageOf(def).second > 0;  // only the first page shows at first
    DWORD style = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS;
    const HMENU childId = reinterpret_cast<HMENU>(static_cast<INT_PTR>(def.id));
    switch (def.kind) {
        case ControlKind::Button:
            style |= WS_TABSTOP | ((def.style & kGraphical) ? BS_OWNERDRAW : BS_PUSHBUTTON);
            c.hwnd = CreateWindowExW(0, L"BUTTON", Widen(def.caption).c_str(), style, r.left, r.top, r.width,
                                     r.height, parent, childId, Module(), nullptr);
            break;
        case ControlKind::Label:
            style |= SS_NOTIFY | SS_NOPREFIX |
                     ((def.style & kCentered) ? SS_CENTER : (def.style & kRightAligned) ? SS_RIGHT : SS_LEFT);
            c.hwnd = CreateWindowExW(0, L"STATIC", Widen(def.caption).c_str(), style, r.left, r.top, r.width,
                                     r.height, parent, childId, Module(), nullptr);
            break;
        case ControlKind::PictureBox:
        case ControlKind::Image:
            c.hwnd = CreateWindowExW(0, kPictureClass, L"", style, r.left, r.top, r.width, r.height, parent,
                                     childId, Module(), this);
            if (def.picture) {
                c.picture.reset(static_cast<HBITMAP>(LoadImageW(Module(), MAKEINTRESOURCEW(def.picture),
                                                                IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
                c.pictureDc.reset(CreateCompatibleDC(faceDc_ ? faceDc_.get() : nullptr));
                c.oldPictureBitmap = SelectObject(c.pictureDc.get(), c.picture.get());
            }
            break;
        case ControlKind::TextBox:
            style |= WS_TABSTOP | ES_AUTOHSCROLL;
            c.hwnd = CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", Widen(def.caption).c_str(), style, r.left, r.top,
                                     r.width, r.height, parent, childId, Module(), nullptr);
            break;
        case ControlKind::ComboBox:
            style |= WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWN | CBS_AUTOHSCROLL;
            c.hwnd = CreateWindowExW(0, L"COMBOBOX", L"", style, r.left, r.top, r.width, r.height + 120, parent,
                                     childId, Module(), nullptr);
            for (const char* item : def.items) {
                SendMessageW(c.hwnd, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Widen(item).c_str()));
            }
            SetWindowTextW(c.hwnd, Widen(def.caption).c_str());
            break;
        case ControlKind::Tab: {
            c.hwnd = CreateWindowExW(0, WC_TABCONTROLW, L"", style | WS_TABSTOP, r.left, r.top, r.width, r.height,
                                     parent, childId, Module(), nullptr);
            // Drawn in the classic way, so its pages take the button face
            // that the controls on them are painted in.
            SetWindowTheme(c.hwnd, L"", L"");
            SendMessageW(c.hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(FontFor(def.font)), FALSE);
            int index = 0;
            for (const char* item : def.items) {
                std::wstring text = Widen(item);
                TCITEMW tab{TCIF_TEXT};
                tab.pszText = text.data();
                TabCtrl_InsertItem(c.hwnd, index++, &tab);
            }
            break;
        }
        case ControlKind::Frame:
            c.hwnd = CreateWindowExW(0, L"BUTTON", Widen(def.caption).c_str(), style | BS_GROUPBOX, r.left, r.top,
                                     r.width, r.height, parent, childId, Module(), nullptr);
            break;
        case ControlKind::OptionButton:
            style |= WS_TABSTOP | BS_AUTORADIOBUTTON | (lastKind_ == ControlKind::OptionButton ? 0 : WS_GROUP);
            c.hwnd = CreateWindowExW(0, L"BUTTON", Widen(def.caption).c_str(), style, r.left, r.top, r.width,
                                     r.height, parent, childId, Module(), nullptr);
            if (def.style & kChecked) SendMessageW(c.hwnd, BM_SETCHECK, BST_CHECKED, 0);
            break;
        case ControlKind::Line:
            // A rule on a plain window; lines in picture boxes are painted by the box.
            if (parent == hwnd_ && !faceDc_) {
                const bool flat = def.rect.top == def.rect.height;
                c.hwnd = CreateWindowExW(0, L"STATIC", L"", style | (flat ? SS_ETCHEDHORZ : SS_ETCHEDVERT),
                                         offset.x + def.rect.left, offset.y + def.rect.top,
                                         flat ? def.rect.width - def.rect.left : 2,
                                         flat ? 2 : def.rect.height - def.rect.top, parent, childId, Module(),
                                         nullptr);
            }
            break;
        case ControlKind::Timer:
            break;
    }
    lastKind_ = def.kind;
    if (hidden && c.hwnd) ShowWindow(c.hwnd, SW_HIDE);
    if (c.hwnd) {
        SendMessageW(c.hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(FontFor(def.font)), FALSE);
        SetWindowSubclass(c.hwnd, ControlSubclass, kSubclassId, reinterpret_cast<DWORD_PTR>(this));
        if (!c.enabled) EnableWindow(c.hwnd, FALSE);
        if (!c.toolTip.empty()) {
            std::wstring tip = Widen(c.toolTip);
            TTTOOLINFOW ti{sizeof ti};
            ti.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
            ti.hwnd = hwnd_;
            ti.uId = reinterpret_cast<UINT_PTR>(c.hwnd);
            ti.lpszText = tip.data();
            SendMessageW(toolTips_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
        }
    }
    controls_.emplace(def.id, std::move(c));
}

HFONT Win32Form::FontFor(const FontDef& font) {
    const FontDef& f = font.face ? font : def_.font;
    auto key = std::make_pair(std::string(f.face ? f.face : "Arial"), f.points);
    auto it = fonts_.find(key);
    if (it != fonts_.end()) return it->second.get();
    HDC screen = GetDC(nullptr);
    const int height = -static_cast<int>(std::lround(f.points * GetDeviceCaps(screen, LOGPIXELSY) / 72.0));
    ReleaseDC(nullptr, screen);
    unique_hfont created(CreateFontW(height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                                     OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                     DEFAULT_PITCH | FF_SWISS, Widen(key.first).c_str()));
    HFONT h = created.get();
    fonts_.emplace(key, std::move(created));
    return h;
}

HBRUSH Win32Form::BrushFor(Color color) {
    auto it = brushes_.find(color);
    if (it != brushes_.end()) return it->second.get();
    unique_hbrush brush(CreateSolidBrush(ToColorRef(color)));
    HBRUSH h = brush.get();
    brushes_.emplace(color, std::move(brush));
    return h;
}

Win32Form::Control* Win32Form::ControlOf(HWND hwnd) {
    for (auto& [id, c] : controls_) {
        if (c.hwnd == hwnd) return &c;
    }
    return nullptr;
}

Win32Form::Control& Win32Form::At(int id) { return controls_.at(id); }
const Win32Form::Control& Win32Form::At(int id) const { return controls_.at(id); }

Win32Form::Menu* Win32Form::MenuOf(int id) {
    for (Menu& m : menus_) {
        if (m.def.id == id) return &m;
    }
    return nullptr;
}
const Win32Form::Menu* Win32Form::MenuOf(int id) const { return const_cast<Win32Form*>(this)->MenuOf(id); }

// --- properties ----------------------------------------------------------
// Each setter hands the window only what changed: a caption set to the text
// it already has would still repaint.

void Win32Form::SetCaption(int id, std::string_view text) {
    if (id == 0) {
        if (caption_ == text) return;
        caption_ = text;
        SetWindowTextW(hwnd_, Widen(text).c_str());
        return;
    }
    if (Menu* m = MenuOf(id)) {
        if (m->caption == text) return;
        m->caption = text;
        ModifyMenuW(m->parent, static_cast<UINT>(id), MF_BYCOMMAND | MF_STRING | (m->enabled ? 0 : MF_GRAYED),
                    static_cast<UINT_PTR>(id), Widen(text).c_str());
        return;
    }
    Control& c = At(id);
    // Compared with what the window shows: the user may have edited a text
    // box, and another program may have set any window's text.
    if (c.hwnd ? ShownText(c) == text : c.caption == text) return;
    c.caption = text;
    if (c.hwnd) SetWindowTextW(c.hwnd, Widen(text).c_str());
}

std::string Win32Form::Caption(int id) const {
    if (id == 0) return caption_;
    if (const Menu* m = MenuOf(id)) return m->caption;
    const Control& c = At(id);
    return c.hwnd ? ShownText(c) : c.caption;
}

// Text boxes and combo boxes keep their text in a buffer of their own, which
// only WM_GETTEXT reads; every other control shows the text the system keeps.
std::string Win32Form::ShownText(const Control& c) {
    const bool ownBuffer = c.def.kind == ControlKind::TextBox || c.def.kind == ControlKind::ComboBox;
    return ownBuffer ? WindowText(c.hwnd) : StoredText(c.hwnd);
}

void Win32Form::SetEnabled(int id, bool enabled) {
    if (id == 0) {
        EnableWindow(hwnd_, enabled);
        return;
    }
    if (Menu* m = MenuOf(id)) {
        m->enabled = enabled;
        EnableMenuItem(m->parent, static_cast<UINT>(id), MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
        return;
    }
    Control& c = At(id);
    if (c.def.kind == ControlKind::Timer) {
        // Enabling a timer restarts its count, as setting a new interval does.
        c.enabled = enabled;
        if (enabled) {
            SetTimer(hwnd_, static_cast<UINT_PTR>(id), static_cast<UINT>(c.def.interval), nullptr);
        } else {
            KillTimer(hwnd_, static_cast<UINT_PTR>(id));
        }
        return;
    }
    if (c.enabled == enabled) return;
    c.enabled = enabled;
    if (c.hwnd) EnableWindow(c.hwnd, enabled);
}

bool Win32Form::Enabled(int id) const {
    if (id == 0) return IsWindowEnabled(hwnd_);
    if (const Menu* m = MenuOf(id)) return m->enabled;
    return At(id).enabled;
}

void Win32Form::SetBackColor(int id, Color color) {
    Control& c = At(id);
    if (c.back == color) return;
    c.back = color;
    if (c.hwnd) InvalidateRect(c.hwnd, nullptr, TRUE);
}
Color Win32Form::BackColor(int id) const { return At(id).back; }

void Win32Form::SetForeColor(int id, Color color) {
    Control& c = At(id);
    if (c.fore == color) return;
    c.fore = color;
    if (c.hwnd) InvalidateRect(c.hwnd, nullptr, TRUE);
    if (c.def.kind == ControlKind::Line) InvalidateRect(ContainerHwnd(c.def.container), nullptr, TRUE);
}
Color Win32Form::ForeColor(int id) const { return At(id).fore; }

void Win32Form::SetToolTip(int id, std::string_view text) {
    Control& c = At(id);
    if (c.toolTip == text || !c.hwnd) return;
    const bool added = !c.toolTip.empty();
    c.toolTip = text;
    std::wstring tip = Widen(text);
    TTTOOLINFOW ti{sizeof ti};
    ti.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    ti.hwnd = hwnd_;
    ti.uId = reinterpret_cast<UINT_PTR>(c.hwnd);
    ti.lpszText = tip.data();
    SendMessageW(toolTips_, added ? TTM_UPDATETIPTEXTW : TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
}
std::string Win32Form::ToolTip(int id) const { return At(id).toolTip; }

void Win32Form::SetBounds(int id, Rect rect) {
    Control& c = At(id);
    if (c.rect.left == rect.left && c.rect.top == rect.top && c.rect.width == rect.width &&
        c.rect.height == rect.height) {
        return;
    }
    c.rect = rect;
    if (c.hwnd) MoveWindow(c.hwnd, rect.left, rect.top, rect.width, rect.height, TRUE);
}
Rect Win32Form::Bounds(int id) const { return At(id).rect; }

void Win32Form::SetLine(int id, int x1, int y1, int x2, int y2) {
    Control& c = At(id);
    const Rect ends{x1, y1, x2, y2};
    if (c.rect.left == ends.left && c.rect.top == ends.top && c.rect.width == ends.width &&
        c.rect.height == ends.height) {
        return;
    }
    c.rect = ends;
    InvalidateRect(ContainerHwnd(c.def.container), nullptr, TRUE);
}

void Win32Form::SetSelection(int id, int start, int length) {
    SendMessageW(At(id).hwnd, EM_SETSEL, static_cast<WPARAM>(start), start + length);
}

void Win32Form::SetFocus(int id) { ::SetFocus(id == 0 ? hwnd_ : At(id).hwnd); }

void Win32Form::SetChecked(int id, bool checked) {
    // BM_SETCHECK leaves the rest of the group alone; a click would not.
    if (checked) {
        for (auto& [other, c] : controls_) {
            if (c.def.kind == ControlKind::OptionButton && other != id) SendMessageW(c.hwnd, BM_SETCHECK, BST_UNCHECKED, 0);
        }
    }
    SendMessageW(At(id).hwnd, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

bool Win32Form::Checked(int id) const { return SendMessageW(At(id).hwnd, BM_GETCHECK, 0, 0) == BST_CHECKED; }

void Win32Form::SetLeft(int32_t twips) {
    RECT r;
    GetWindowRect(hwnd_, &r);
    SetWindowPos(hwnd_, nullptr, static_cast<int>(std::lround(twips / 15.0)), r.top, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Win32Form::SetTop(int32_t twips) {
    RECT r;
    GetWindowRect(hwnd_, &r);
    SetWindowPos(hwnd_, nullptr, r.left, static_cast<int>(std::lround(twips / 15.0)), 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

int32_t Win32Form::Left() const {
    RECT r;
    GetWindowRect(hwnd_, &r);
    return r.left * 15;
}
int32_t Win32Form::Top() const {
    RECT r;
    GetWindowRect(hwnd_, &r);
    return r.top * 15;
}
int32_t Win32Form::Width() const {
    RECT r;
    GetWindowRect(hwnd_, &r);
    return (r.right - r.left) * 15;
}
int32_t Win32Form::Height() const {
    RECT r;
    GetWindowRect(hwnd_, &r);
    return (r.bottom - r.top) * 15;
}

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
    while (hwnd_ && GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (!IsDialogMessageW(hwnd_, &msg)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
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

void Win32Form::PopupMenu(int menuId) {
    Menu* m = MenuOf(menuId);
    if (!m || !m->popup) return;
    POINT at;
    GetCursorPos(&at);
    // Without the foreground the menu would not close when clicked away.
    SetForegroundWindow(hwnd_);
    TrackPopupMenu(m->popup.get(), TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON, at.x, at.y, 0, hwnd_, nullptr);
    PostMessageW(hwnd_, WM_NULL, 0, 0);
}

void Win32Form::SetIcon(uintptr_t icon) {
    HICON h = reinterpret_cast<HICON>(icon);
    if (h == icon_) return;
    icon_ = h;
    SendMessageW(hwnd_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(h));
    SendMessageW(hwnd_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(h));
}

void Win32Form::SetPictureIcon(int id, uintptr_t icon) {
    Control& c = At(id);
    HICON h = reinterpret_cast<HICON>(icon);
    if (c.icon == h) return;
    c.icon = h;
    if (c.hwnd) InvalidateRect(c.hwnd, nullptr, FALSE);
}

// --- painting ------------------------------------------------------------

void Win32Form::PaintPicture(HWND hwnd, HDC dc) {
    Control* self = ControlOf(hwnd);
    if (!self) return;
    RECT client;
    GetClientRect(hwnd, &client);
    const Color back = self->back == kDefaultColor ? kColorButtonFace : self->back;
    if (self->def.kind == ControlKind::Image && faceBrush_ && self->def.container == 0) {
        SetBrushOrgEx(dc, -self->rect.left, -self->rect.top, nullptr);
        FillRect(dc, &client, faceBrush_.get());
    } else {
        FillRect(dc, &client, BrushFor(back));
    }
    if (self->icon) {
        DrawIconEx(dc, 0, 0, self->icon, 0, 0, 0, nullptr, DI_NORMAL);
    } else if (self->pictureDc) {
        BITMAP bm;
        GetObjectW(self->picture.get(), sizeof bm, &bm);
        BitBlt(dc, 0, 0, bm.bmWidth, bm.bmHeight, self->pictureDc.get(), 0, 0, SRCCOPY);
    }
    for (auto& [id, c] : controls_) {
        if (c.def.kind != ControlKind::Line || c.def.container != self->def.id) continue;
        unique_hpen pen(CreatePen(PS_SOLID, 1, ToColorRef(c.fore)));
        ScopedSelect select(dc, pen.get());
        MoveToEx(dc, c.rect.left, c.rect.top, nullptr);
        LineTo(dc, c.rect.width, c.rect.height);
    }
}

void Win32Form::DrawButton(const DRAWITEMSTRUCT& item) {
    Control* c = ControlOf(item.hwndItem);
    if (!c) return;
    RECT r = item.rcItem;
    const bool pressed = item.itemState & ODS_SELECTED;
    FillRect(item.hDC, &r, BrushFor(c->back == kDefaultColor ? kColorButtonFace : c->back));
    DrawEdge(item.hDC, &r, pressed ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);
    if (pressed) OffsetRect(&r, 1, 1);
    SetBkMode(item.hDC, TRANSPARENT);
    SetTextColor(item.hDC, GetSysColor((item.itemState & ODS_DISABLED) ? COLOR_GRAYTEXT : COLOR_BTNTEXT));
    const std::wstring text = Widen(WindowText(item.hwndItem));
    ScopedSelect font(item.hDC, FontFor(c->def.font));
    DrawTextW(item.hDC, text.c_str(), -1, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    if (item.itemState & ODS_FOCUS) {
        RECT focus = item.rcItem;
        InflateRect(&focus, -3, -3);
        if (focus.right > focus.left && focus.bottom > focus.top) DrawFocusRect(item.hDC, &focus);
    }
}

// --- messages ------------------------------------------------------------

// Notifications that controls send to their container: the form handles them
// for controls in picture boxes too.
bool Win32Form::HandleChildNotify(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
    switch (msg) {
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORLISTBOX: {
            HDC dc = reinterpret_cast<HDC>(wp);
            HWND child = reinterpret_cast<HWND>(lp);
            Control* c = ControlOf(child);
            if (!c) c = ControlOf(GetParent(child));  // a combo box's edit part
            if (!c) return false;
            if (c->fore != kDefaultColor) SetTextColor(dc, ToColorRef(c->fore));
            if (c->def.kind == ControlKind::Label && (c->def.style & kTransparent)) {
                SetBkMode(dc, TRANSPARENT);
                if (c->def.container == 0 && faceBrush_) {
                    SetBrushOrgEx(dc, -c->rect.left, -c->rect.top, nullptr);
                    result = reinterpret_cast<LRESULT>(faceBrush_.get());
                } else {
                    const Control& box = At(c->def.container);
                    result = reinterpret_cast<LRESULT>(BrushFor(box.back == kDefaultColor ? kColorButtonFace : box.back));
                }
                return true;
            }
            const Color back = c->back == kDefaultColor
                                   ? (msg == WM_CTLCOLORSTATIC ? kColorButtonFace : kColorWindow)
                                   : c->back;
            SetBkColor(dc, ToColorRef(back));
            result = reinterpret_cast<LRESULT>(BrushFor(back));
            return true;
        }
        case WM_NOTIFY: {
            const auto* hdr = reinterpret_cast<const NMHDR*>(lp);
            if (hdr->code != static_cast<UINT>(TCN_SELCHANGE)) return false;
            Control* c = ControlOf(hdr->hwndFrom);
            if (!c || c->def.kind != ControlKind::Tab) return false;
            ShowPage(c->def.id);
            result = 0;
            return true;
        }
        case WM_DRAWITEM:
            DrawButton(*reinterpret_cast<const DRAWITEMSTRUCT*>(lp));
            result = TRUE;
            return true;
        case WM_COMMAND: {
            const int id = LOWORD(wp);
            const int code = HIWORD(wp);
            if (lp == 0 && code == 0 && MenuOf(id)) {
                Guard([&] { events_.MenuClick(id); });
                result = 0;
                return true;
            }
            if (lp == 0) return false;
            if (code == BN_CLICKED || code == STN_CLICKED) {
                Control* c = ControlOf(reinterpret_cast<HWND>(lp));
                if (c && (c->def.kind == ControlKind::Button || c->def.kind == ControlKind::Label ||
                          c->def.kind == ControlKind::OptionButton)) {
                    Guard([&] { events_.Click(id); });
                    result = 0;
                    return true;
                }
            }
            if (code == EN_SETFOCUS || code == CBN_SETFOCUS) {
                Guard([&] { events_.GotFocus(id); });
            }
            return false;
        }
        default:
            return false;
    }
}

bool Win32Form::HandleMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
    if (HandleChildNotify(msg, wp, lp, result)) return true;
    switch (msg) {
        case WM_ERASEBKGND: {
            HDC dc = reinterpret_cast<HDC>(wp);
            RECT client;
            GetClientRect(hwnd_, &client);
            FillRect(dc, &client, BrushFor(def_.back));
            if (faceDc_) BitBlt(dc, 0, 0, client.right, client.bottom, faceDc_.get(), 0, 0, SRCCOPY);
            result = 1;
            return true;
        }
        case WM_TIMER:
            if (controls_.count(static_cast<int>(wp))) {
                Guard([&] { events_.Timer(static_cast<int>(wp)); });
                result = 0;
                return true;
            }
            return false;
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN:
            Guard([&] { events_.MouseDown(0, ButtonOf(msg)); });
            return false;
        case WM_LBUTTONUP:
            Guard([&] {
                events_.Click(0);
                events_.MouseUp(0, MouseButton::Left);
            });
            return false;
        case WM_RBUTTONUP:
        case WM_MBUTTONUP:
            Guard([&] { events_.MouseUp(0, ButtonOf(msg)); });
            return false;
        case WM_LBUTTONDBLCLK:
            Guard([&] { events_.DblClick(0); });
            return false;
        case WM_CLOSE:
            Unload();
            result = 0;
            return true;
        default:
            return false;
    }
}

LRESULT CALLBACK Win32Form::FormProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_NCCREATE) {
        auto* self = static_cast<Win32Form*>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams);
        self->hwnd_ = hwnd;
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<Win32Form*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    LRESULT result = 0;
    if (self && self->HandleMessage(msg, wp, lp, result)) return result;
    if (msg == WM_NCDESTROY) SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    return DefWindowProcW(hwnd, msg, wp, lp);
}

LRESULT CALLBACK Win32Form::PictureProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_NCCREATE) {
        SetWindowLongPtrW(hwnd, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams));
    }
    auto* self = reinterpret_cast<Win32Form*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (self) {
        LRESULT result = 0;
        if (self->HandleChildNotify(msg, wp, lp, result)) return result;
        if (msg == WM_ERASEBKGND) return 1;
        if (msg == WM_PAINT) {
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(hwnd, &ps);
            self->PaintPicture(hwnd, dc);
            EndPaint(hwnd, &ps);
            return 0;
        }
    }
    return DefWindowProcW(hwnd, msg, wp, lp);
}

// Mouse presses and releases of every control, reported before the control
// acts on them; clicks come through the container's notifications.
LRESULT CALLBACK Win32Form::ControlSubclass(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR ref) {
    auto* self = reinterpret_cast<Win32Form*>(ref);
    Control* c = self->ControlOf(hwnd);
    if (c) {
        const int id = c->def.id;
        switch (msg) {
            case WM_LBUTTONDOWN: case WM_RBUTTONDOWN: case WM_MBUTTONDOWN:
                Guard([&] { self->events_.MouseDown(id, ButtonOf(msg)); });
                break;
            case WM_LBUTTONUP: case WM_RBUTTONUP: case WM_MBUTTONUP: {
                const LRESULT r = DefSubclassProc(hwnd, msg, wp, lp);
                if (c->def.kind == ControlKind::PictureBox || c->def.kind == ControlKind::Image) {
                    if (msg == WM_LBUTTONUP) Guard([&] { self->events_.Click(id); });
                }
                Guard([&] { self->events_.MouseUp(id, ButtonOf(msg)); });
                return r;
            }
            case WM_ERASEBKGND:
                if (c->def.kind == ControlKind::Frame) {
                    // A group box leaves its inside to whatever lies behind it.
                    RECT client;
                    GetClientRect(hwnd, &client);
                    FillRect(reinterpret_cast<HDC>(wp), &client,
                             self->BrushFor(c->back == kDefaultColor ? kColorButtonFace : c->back));
                    return 1;
                }
                break;
            case WM_LBUTTONDBLCLK:
                if (c->def.kind != ControlKind::Button) Guard([&] { self->events_.DblClick(id); });
                break;
            case WM_NCDESTROY:
                RemoveWindowSubclass(hwnd, ControlSubclass, kSubclassId);
                break;
            default:
                break;
        }
    }
    return DefSubclassProc(hwnd, msg, wp, lp);
}

}  // namespace vt::win32
