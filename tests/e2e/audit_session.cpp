// One session that touches every command of the real Veltrane.exe, answering
// every message box on the way. tests/e2e/audit.sh snapshots the registry and
// the files around it.
//   audit_session prepare   clears the settings and the Run value, and warms
//                           Wine up (a window and a box of this program's own)
//   audit_session run       the session itself
// Prints one line per step; exits with 1 when any check failed.
#include <windows.h>

#include <commctrl.h>
#include <mmsystem.h>

#include <cstdio>
#include <cstring>
#include <regex>
#include <string>

#include "tests/e2e/driver.h"
#include "ui/control_ids.h"

namespace {

using namespace e2e;

using namespace vt::form1;
namespace opt = vt::frm_options;
// The options window's controls, prefixed to keep them apart from the main window's.
constexpr int oClose = opt::Command3, oTab = opt::SSTab1, oOption1 = opt::Option1, oDefault = opt::Command1,
              oPick = opt::Command2, oPreview = opt::Image1, oLabel7 = opt::Label7, oTurnOff = opt::Command5,
              oLabel5 = opt::Label5, oText1 = opt::Text1, oSet = opt::Command4, oLabel11 = opt::Label11,
              oKeep = opt::Check1, oGraph = opt::Graph1;
constexpr wchar_t kRunKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";

int failures = 0;

#define CHECK(cond)                                                                   \
    do {                                                                              \
        if (!(cond)) {                                                                \
            ++failures;                                                               \
            std::printf("  FAILED line %d: %s\n", __LINE__, #cond);                   \
        }                                                                             \
    } while (0)

void Step(const char* what) {
    std::printf("- %s\n", what);
    std::fflush(stdout);
}

void SetText(HWND hwnd, const wchar_t* text) {
    DWORD_PTR r;
    SendMessageTimeoutW(hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text), SMTO_NORMAL, 5000, &r);
}

bool Contains(const std::string& text, const char* part) { return text.find(part) != std::string::npos; }

class Session {
public:
    explicit Session(Program& program) : program_(program) {}

    bool Start() {
        main_ = program_.WaitMainWindow();
        if (!main_) return false;
        id_ = TrayId(main_);
        return true;
    }
    HWND Main() const { return main_; }
    UINT Id() const { return id_; }
    DWORD Pid() const { return program_.Pid(); }

    void Menu(int id) { PostMessageW(main_, WM_COMMAND, MAKEWPARAM(id, 0), 0); }
    void Tray(UINT mouse) { PostMessageW(main_, kTrayCallback, id_, mouse); }

    // Waits for the box, checks its text, answers it and waits until the
    // program is back in its own loop.
    void Answer(const wchar_t* title, const char* textPart, int button = IDOK) {
        HWND box = WaitMessageBox(Pid(), title, 10000);
        CHECK(box != nullptr);
        if (!box) {
            std::printf("  no box titled %ls\n", title);
            return;
        }
        const std::string text = MessageBoxText(box);
        if (!Contains(text, textPart)) {
            ++failures;
            std::printf("  FAILED: box %ls says \"%s\", expected \"%s\"\n", title, text.c_str(), textPart);
        }
        AnswerMessageBox(box, button);
        CHECK(WaitFor([&] { return !IsWindow(box); }, 5000));
    }
    // No box of the program is open.
    void NoBox() {
        HWND box = nullptr;
        while ((box = FindWindowExW(nullptr, box, L"#32770", nullptr)) != nullptr) {
            DWORD owner = 0;
            GetWindowThreadProcessId(box, &owner);
            if (owner == Pid() && IsWindowVisible(box)) {
                ++failures;
                std::printf("  FAILED: unexpected box \"%s\": %s\n", Text(box).c_str(), MessageBoxText(box).c_str());
                AnswerMessageBox(box, IDOK);
            }
        }
    }
    bool Visible() { return IsWindowVisible(main_) != FALSE; }
    bool WaitVisible(bool visible) {
        return WaitFor([&] { return Visible() == visible; }, 5000);
    }
    bool Responsive() {
        DWORD_PTR r;
        return SendMessageTimeoutW(main_, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 10000, &r) != 0;
    }

    HWND OpenOptions(int how) {
        if (how == 0) PostClick(Child(main_, Command4));
        if (how == 1) Menu(mnuSetWarning);
        if (how == 2) Menu(IconTemaChange2);
        HWND options = nullptr;
        WaitFor([&] {
            options = FindWindowW(L"Veltrane.frmOptions", nullptr);
            return options && IsWindowVisible(options);
        });
        return options;
    }
    bool WaitGone(HWND window) { return WaitFor([&] { return !IsWindow(window); }, 5000); }

    // A popup menu opened by the tray icon's right button, closed with Escape.
    bool TrayMenuOpens() {
        Tray(WM_RBUTTONDOWN);
        HWND popup = nullptr;
        const bool opened = WaitFor(
            [&] {
                popup = FindWindowW(L"#32768", nullptr);
                return popup && IsWindowVisible(popup);
            },
            5000);
        if (opened) {
            PostMessageW(popup, WM_KEYDOWN, VK_ESCAPE, 0);
            WaitFor([&] { return !IsWindowVisible(popup); }, 5000);
        }
        return opened;
    }

private:
    Program& program_;
    HWND main_ = nullptr;
    UINT id_ = 0;
};

void Buttons(Session& s) {
    HWND main = s.Main();
    Step("Update, with its click sound");
    SetText(Child(main, Label1), L"stale");
    PostClick(Child(main, Command1));
    CHECK(Contains(WaitText(main, Label1, [](const std::string& t) { return Contains(t, "Totalt="); }), "Totalt="));

    Step("the unit toggle: Kb, Byte, Mb");
    for (const char* unit : {" Kb  Free= ", " Byte  Free= ", " Mb  Free= "}) {
        PostClick(Child(main, Command5));
        CHECK(Contains(WaitText(main, Label1, [unit](const std::string& t) { return Contains(t, unit); }), unit));
        CHECK(Contains(ChildText(main, Label4), "Busy= "));
    }
}

void CheckRow(Session& s) {
    HWND main = s.Main();
    HWND combo = Child(main, Combo1);
    HWND amount = Child(main, Text1);
    auto set = [&](int unitIndex, const wchar_t* value) {
        SendMessageW(combo, CB_SETCURSEL, unitIndex, 0);
        SetText(amount, value);
        PostClick(Child(main, Command2));
    };
    Step("the check row with hour, min and sec, a running timer asked about, and Off");
    set(0, L"2");  // hour
    CHECK(WaitFor([&] { return Text(combo) == "hour"; }, 2000));
    Sleep(200);
    s.NoBox();
    set(1, L"3");  // min: the timer runs, so the program asks first
    s.Answer(L"No time?", "Timer is running, are you sure you want to set a new time?", IDYES);
    set(2, L"1");  // sec
    s.Answer(L"No time?", "Timer is running", IDYES);
    // A tick a second: the figures are taken anew and flash.
    SetText(Child(main, Label1), L"stale");
    CHECK(Contains(WaitText(main, Label1, [](const std::string& t) { return Contains(t, "Totalt="); }, 5000),
                   "Totalt="));
    set(2, L"5");
    s.Answer(L"No time?", "Timer is running", IDNO);  // declined: the old period stays
    set(3, L"1");                                     // Off
    Sleep(300);
    s.NoBox();

    Step("the check row's refusals: 0, 61 and letters");
    set(1, L"0");
    s.Answer(L"Wrong value", "Value can not be 0");
    set(1, L"61");
    s.Answer(L"Bad value", "Value must be lower then 61");
    set(1, L"abc");
    s.Answer(L"Bad value", "Value no good");
    set(3, L"1");
    Sleep(200);
    s.NoBox();
}

void HideAndBack(Session& s) {
    HWND main = s.Main();
    Step("Hide, and a click on the tray icon brings the window back");
    PostClick(Child(main, Command3));
    CHECK(s.WaitVisible(false));
    s.Tray(WM_LBUTTONDOWN);
    s.Tray(WM_LBUTTONUP);
    CHECK(s.WaitVisible(true));

    Step("the small hide picture, and \"Open Veltrane\" brings it back");
    PostMessageW(Child(main, Image3), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
    PostMessageW(Child(main, Image3), WM_LBUTTONUP, 0, MAKELPARAM(3, 3));
    CHECK(s.WaitVisible(false));
    s.Menu(stupid);
    CHECK(s.WaitVisible(true));

    Step("a double click on the window, and a double click on the tray icon brings it back");
    PostMessageW(main, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(5, 60));
    CHECK(s.WaitVisible(false));
    s.Tray(WM_LBUTTONDBLCLK);
    CHECK(s.WaitVisible(true));

    Step("hover over the tray icon, and its right button menu");
    for (int i = 0; i < 20; ++i) s.Tray(WM_MOUSEMOVE);
    Sleep(700);  // the refresh comes 500 ms after the first move
    CHECK(s.TrayMenuOpens());
    CHECK(TrayIconExists(main, s.Id()));
    s.NoBox();
}

void Menus(Session& s) {
    HWND main = s.Main();
    Step("both popup menus open from the window");
    const auto file = ReadPopupMenu(s.Pid(), Child(main, Label2), WM_RBUTTONUP);
    CHECK(file.size() == 10u);
    CHECK(CaptionOf(file, 9) == "Exit");
    const auto tema = ReadPopupMenu(s.Pid(), Child(main, Image2), WM_RBUTTONDOWN);
    CHECK(CaptionOf(tema, 0) == "Change Icon Tema");
    CHECK(ReadPopupMenu(s.Pid(), Child(main, Command2), WM_RBUTTONDOWN).size() == 1u);
    CHECK(ReadPopupMenu(s.Pid(), Child(main, Label1), WM_RBUTTONUP).size() == 10u);

    Step("Cancel, Open Veltrane and Get Status");
    s.Menu(mnuCancel);
    s.Menu(stupid);
    SetText(Child(main, Label4), L"stale");
    s.Menu(sucker);
    CHECK(Contains(WaitText(main, Label4, [](const std::string& t) { return Contains(t, "Busy= "); }), "Busy= "));
    CHECK(s.Visible());
    s.NoBox();

    Step("sound off and on again");
    s.Menu(mnuSoff);
    CHECK(WaitFor([] { return GetSetting(L"sound") == L"0"; }, 5000));
    CHECK(CaptionOf(ReadPopupMenu(s.Pid(), Child(main, Label2), WM_RBUTTONUP), 5) == "Turn On Sound");
    s.Menu(mnuSoff);
    CHECK(WaitFor([] { return GetSetting(L"sound") == L"1"; }, 5000));
    CHECK(CaptionOf(ReadPopupMenu(s.Pid(), Child(main, Label2), WM_RBUTTONUP), 5) == "Turn Off Sound");

    Step("Make Autostart and Remove Autostart");
    s.Menu(autoItem);
    s.Answer(L"Veltrane", "Autostart fixed!");
    CHECK(RunValue() != L"<absent>");
    CHECK(CaptionOf(ReadPopupMenu(s.Pid(), Child(main, Label2), WM_RBUTTONUP), 8) == "Remove Autostart");
    s.Menu(autoItem);
    s.Answer(L"Veltrane", "Autostart removed!");
    CHECK(RunValue() == L"<absent>");
    CHECK(CaptionOf(ReadPopupMenu(s.Pid(), Child(main, Label2), WM_RBUTTONUP), 8) == "Make Autostart");
}

void Alarm(Session& s, long freeMb) {
    HWND main = s.Main();
    HWND options = s.OpenOptions(0);
    CHECK(options != nullptr);
    if (!options) return;
    HWND tab = Child(options, oTab);
    PostMessageW(tab, WM_KEYDOWN, VK_RIGHT, 0);
    CHECK(WaitFor([&] { return SendMessageW(tab, TCM_GETCURSEL, 0, 0) == 1; }, 5000));
    SetText(Child(options, oText1), std::to_wstring(freeMb - 150).c_str());
    PostClick(Child(options, oSet));
    s.Answer(L"Message 1/2", "Warningsound");
    s.Answer(L"Message 2/2", "Now the checking will begin.");
    PostClick(Child(options, oClose));
    CHECK(s.WaitGone(options));
    PostClick(Child(main, Command3));
    CHECK(s.WaitVisible(false));
    {
        // Free memory falls well below the threshold: a few hundred MB, touched.
        const size_t bytes = 600u << 20;
        auto* block = static_cast<char*>(VirtualAlloc(nullptr, bytes, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
        CHECK(block != nullptr);
        if (block) {
            for (size_t i = 0; i < bytes; i += 4096) block[i] = 1;
            CHECK(WaitFor([&] { return s.Visible(); }, 15000));  // the monitor looks every 5 s
            s.NoBox();                                           // sound on: the alarm is a sound, not a box
            PostMessageW(main, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 60));
            PostMessageW(main, WM_LBUTTONUP, 0, MAKELPARAM(5, 60));
            s.Answer(L"RAM Mb Warning Finished", "The RAM Mb have been reached");
            VirtualFree(block, 0, MEM_RELEASE);
        }
    }
    CHECK(s.Responsive());
}

void Options(Session& s) {
    HWND main = s.Main();
    Step("options by the button: every theme's preview, a stop by the picture, the default icon");
    HWND options = s.OpenOptions(0);
    CHECK(options != nullptr);
    if (!options) return;
    CHECK(!IsWindowEnabled(main));
    for (int i = 0; i < 5; ++i) {
        PostClick(Child(options, oOption1 + i));
        Sleep(450);  // two frames of the preview
    }
    CHECK(!Text(Child(options, oPreview + 1)).empty());  // the preview's percent
    PostMessageW(Child(options, oPreview), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
    PostMessageW(Child(options, oPreview), WM_LBUTTONUP, 0, MAKELPARAM(3, 3));
    PostClick(Child(options, oDefault));
    CHECK(s.WaitGone(options));
    CHECK(WaitFor([] { return GetSetting(L"Tema") == L"0"; }, 5000));
    CHECK(WaitFor([&] { return IsWindowEnabled(main) != FALSE; }, 5000));

    Step("options by \"Change Icon Tema\": pick theme 3");
    options = s.OpenOptions(2);
    CHECK(options != nullptr);
    if (!options) return;
    PostClick(Child(options, oOption1 + 2));
    CHECK(WaitFor([&] { return SendMessageW(Child(options, oOption1 + 2), BM_GETCHECK, 0, 0) == BST_CHECKED; }));
    PostClick(Child(options, oPick));
    CHECK(s.WaitGone(options));
    CHECK(WaitFor([] { return GetSetting(L"Tema") == L"3"; }, 5000));
    CHECK(WaitFor([&] { return IsWindowEnabled(main) != FALSE; }, 5000));

    Step("options by \"Set Warning sound\": the warning's refusals, set and stop");
    options = s.OpenOptions(1);
    CHECK(options != nullptr);
    if (!options) return;
    HWND tab = Child(options, oTab);
    PostMessageW(tab, WM_KEYDOWN, VK_RIGHT, 0);
    CHECK(WaitFor([&] { return SendMessageW(tab, TCM_GETCURSEL, 0, 0) == 1; }, 5000));
    CHECK(WaitFor([&] { return IsWindowVisible(Child(options, oLabel5)) != FALSE; }, 5000));
    std::smatch m;
    const std::string line = Text(Child(options, oLabel5));
    CHECK(std::regex_match(line, m, std::regex("You have (\\d+) Mb free now")));
    const long freeMb = m.size() > 1 ? std::stol(m[1]) : 0;
    HWND entry = Child(options, oText1);
    HWND set = Child(options, oSet);
    SetText(entry, L"");
    PostClick(set);
    s.Answer(L"Veltrane", "Please insert a Megabyte value");
    SetText(entry, L"abc");
    PostClick(set);
    s.Answer(L"Veltrane", "Please use a number for amount of RAM!");
    SetText(entry, std::to_wstring(freeMb + 10).c_str());
    PostClick(set);
    // The threshold is a 16-bit figure: on a machine with more free than that
    // the entry is refused as invalid instead.
    s.Answer(L"Veltrane", freeMb + 10 <= 32767 ? "Your inserted Mb value is bigger or equal to"
                                               : "Invalid value please try again");
    SetText(entry, L"99999");
    PostClick(set);
    s.Answer(L"Veltrane", "Invalid value please try again");
    SetText(entry, L"1");
    PostClick(set);
    s.Answer(L"Message 1/2", "Warningsound");
    s.Answer(L"Message 2/2", "Now the checking will begin.");
    CHECK(Text(Child(options, oLabel7)) == "On");
    CHECK(IsWindowEnabled(Child(options, oTurnOff)));
    PostClick(Child(options, oTurnOff));
    s.Answer(L"Veltrane", "Warning stopped");
    CHECK(Text(Child(options, oLabel7)) == "Off");
    HWND keep = Child(options, oKeep);
    for (const wchar_t* stored : {L"1", L"0"}) {
        PostClick(keep);
        CHECK(WaitFor([&] { return GetSetting(L"KeepWatching") == stored; }, 5000));
    }

    Step("the About tab, the History tab, then Close");
    PostMessageW(tab, WM_KEYDOWN, VK_RIGHT, 0);
    CHECK(WaitFor([&] { return SendMessageW(tab, TCM_GETCURSEL, 0, 0) == 2; }, 5000));
    CHECK(WaitFor([&] { return IsWindowVisible(Child(options, oLabel11)) != FALSE; }, 5000));
    CHECK(Contains(Text(Child(options, oLabel11)), "Veltrane"));
    PostMessageW(tab, WM_KEYDOWN, VK_RIGHT, 0);
    CHECK(WaitFor([&] { return IsWindowVisible(Child(options, oGraph)) != FALSE; }, 5000));
    CHECK(Contains(Text(Child(options, oGraph)), "Free memory, last hour: now "));
    PostClick(Child(options, oClose));
    CHECK(s.WaitGone(options));
    CHECK(WaitFor([&] { return IsWindowEnabled(main) != FALSE; }, 5000));

    Step("a warning that fires while the window is hidden: it comes back, the alarm loops, a click ends it");
    if (freeMb - 150 > 32767 || freeMb < 400) {
        std::printf("  (left out: %ld Mb free is no figure the warning can be set just below)\n", freeMb);
    } else {
        Alarm(s, freeMb);
    }

    Step("options closed by its own close box, and by hiding the main window");
    options = s.OpenOptions(0);
    CHECK(options != nullptr);
    if (!options) return;
    PostMessageW(options, WM_CLOSE, 0, 0);
    CHECK(s.WaitGone(options));
    CHECK(WaitFor([&] { return IsWindowEnabled(main) != FALSE; }, 5000));
    // Once hidden, any close of the main window hides it again, and takes
    // the options window with it.
    options = s.OpenOptions(2);
    CHECK(options != nullptr);
    if (!options) return;
    PostMessageW(main, WM_CLOSE, 0, 0);
    CHECK(s.WaitGone(options));
    CHECK(s.WaitVisible(false));
    s.Tray(WM_LBUTTONDOWN);
    CHECK(s.WaitVisible(true));
    CHECK(WaitFor([&] { return IsWindowEnabled(main) != FALSE; }, 5000));
    s.NoBox();
}

int Prepare() {
    ClearSettings();
    for (HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) {
        HKEY key;
        if (RegOpenKeyExW(root, kRunKey, 0, KEY_SET_VALUE, &key) == ERROR_SUCCESS) {
            RegDeleteValueW(key, L"Veltrane");
            RegCloseKey(key);
        }
    }
    // The key the value goes into is there before the first snapshot, as it
    // is on any Windows: only the value is the program's.
    HKEY run;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, kRunKey, 0, nullptr, 0, KEY_READ, nullptr, &run, nullptr) == ERROR_SUCCESS) {
        RegCloseKey(run);
    }
    // Whatever Wine sets up the first time a program shows a window or a box
    // in this session happens here, before the first snapshot.
    HWND w = CreateWindowExW(0, L"STATIC", L"warm-up", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, nullptr, nullptr,
                             nullptr, nullptr);
    SetTimer(nullptr, 0, 300, [](HWND, UINT, UINT_PTR, DWORD) {
        if (HWND box = FindWindowW(L"#32770", L"warm-up")) PostMessageW(box, WM_COMMAND, IDOK, 0);
    });
    MessageBoxW(w, L"warm-up", L"warm-up", MB_OK);
    DestroyWindow(w);
    // And the first sound: a tenth of a second of silence, played to its end.
    struct {
        char riff[4];
        DWORD size;
        char wave[4], fmt[4];
        DWORD fmtSize;
        WORD format, channels;
        DWORD rate, bytesPerSec;
        WORD align, bits;
        char data[4];
        DWORD dataSize;
        BYTE samples[1103];
    } wav{{'R', 'I', 'F', 'F'}, sizeof wav - 8, {'W', 'A', 'V', 'E'}, {'f', 'm', 't', ' '}, 16, WAVE_FORMAT_PCM, 1,
          11025, 11025, 1, 8, {'d', 'a', 't', 'a'}, 1103, {}};
    std::memset(wav.samples, 0x80, sizeof wav.samples);
    sndPlaySoundW(reinterpret_cast<LPCWSTR>(&wav), SND_MEMORY | SND_NODEFAULT);
    return 0;
}

int Run() {
    Program program;
    Session s(program);
    Step("start with an empty settings store, sound on");
    if (!s.Start()) {
        std::printf("  FAILED: no main window\n");
        return 1;
    }
    CHECK(WaitFor([&] { return TrayIconExists(s.Main(), s.Id()); }));
    CHECK(!Contains(ChildText(s.Main(), Label1), "Not Updated"));
    {
        Step("a second copy says so and ends; the first goes on");
        Program second;
        HWND box = WaitMessageBox(second.Pid(), L"Veltrane");
        CHECK(box != nullptr);
        if (box) {
            CHECK(MessageBoxText(box) == "The program is already in use.");
            AnswerMessageBox(box, IDOK);
        }
        CHECK(second.WaitExit());
        CHECK(s.Visible());
        CHECK(TrayIconExists(s.Main(), s.Id()));
    }
    Buttons(s);
    CheckRow(s);
    HideAndBack(s);
    Menus(s);
    Options(s);

    Step("Hide, then Exit from the hidden window");
    CHECK(s.Responsive());
    CHECK(TrayIconExists(s.Main(), s.Id()));
    CHECK(GetSetting(L"Top") == L"<absent>");  // nothing but Exit writes the position
    PostClick(Child(s.Main(), Command3));
    CHECK(s.WaitVisible(false));
    s.Menu(goner);
    CHECK(program.WaitExit());
    CHECK(!IsWindowVisible(s.Main()));
    CHECK(!TrayIconExists(s.Main(), s.Id()));
    CHECK(GetSetting(L"Top") == L"0");
    CHECK(GetSetting(L"Left") == L"0");
    std::printf("%d failed checks\n", failures);
    return failures == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "prepare") return Prepare();
    if (mode == "run") return Run();
    std::printf("usage: audit_session prepare|run\n");
    return 2;
}
