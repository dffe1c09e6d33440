// The services the program needs from the window system, in the program's
// own terms: forms built from control tables (with the window's outline, its
// drag and its animation into the tray), message boxes, one pass over pending
// events, resources, the settings store, the clock and the random generator,
// the icon in the notification area, the memory status, the process table,
// sound output and the Run value that starts the program with Windows.
// Events flow the other way, through FormEvents and TrayEvents: the platform
// reports what happened, the program decides, the platform acts.
// Two implementations: platform/win32 (the real one) and platform/fake (tests).
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/process_memory.h"

namespace vt {

// &H00BBGGRR; values &H800000nn name system colours (nn = COLOR_* index).
using Color = uint32_t;
constexpr Color kBlack = 0x00000000;
constexpr Color kRed = 0x000000FF;
constexpr Color kGreen = 0x0000FF00;
constexpr Color kWhite = 0x00FFFFFF;
constexpr Color kMagenta = 0x00FF00FF;
constexpr Color SysColor(int index) { return 0x80000000u | static_cast<uint32_t>(index); }
constexpr Color kColorWindow = SysColor(5);
constexpr Color kColorHighlightText = SysColor(14);
constexpr Color kColorAppWorkspace = SysColor(12);
constexpr Color kColorButtonFace = SysColor(15);
constexpr Color kDefaultColor = 0xFFFFFFFFu;  // "whatever the control kind uses"

// A form's position and size are told in twips, 15 to the screen pixel.
inline constexpr int kTwipsPerPixel = 15;

struct Rect {
    int left = 0, top = 0, width = 0, height = 0;
    friend bool operator==(const Rect&, const Rect&) = default;
};

struct Point {
    int x = 0, y = 0;
};

// Tab: a row of tabs (items are their captions) whose pages hold the controls
// naming it as container with their page in ControlDef::tab. Frame: a
// captioned group box holding controls. OptionButton: one of a group of
// mutually exclusive choices (a group is a run of them in creation order).
// CheckBox: a choice on its own, turned on and off by a click.
// Graph: values over time (Form::SetGraph), drawn without any text; it takes
// the focus, and its caption is what a screen reader reads of it. Its fore
// colour is the values' (by default a clear blue), its back colour the
// window colour unless set.
enum class ControlKind { Button, Label, PictureBox, Image, Line, TextBox, ComboBox, Timer, Tab, Frame, OptionButton,
                         CheckBox, Graph };

// What a graph shows: values over a span of time, drawn left (from) to right
// (to), low at the bottom, high at the top. Values beyond low and high stand
// at the edge; points outside the span and values that are not numbers are
// left out (the latter break the line). An empty span or range shows nothing
// but the frame.
struct GraphData {
    int64_t from = 0, to = 0;  // seconds
    double low = 0, high = 1;
    std::vector<std::pair<int64_t, double>> points;  // (time, value), in time order
    int64_t gapAfter = 0;         // two points further apart than this are not joined (0: always joined)
    std::optional<double> level;  // a level drawn across the graph (a threshold); none: no level
    std::vector<int64_t> marks;   // moments marked on the time axis
    friend bool operator==(const GraphData&, const GraphData&) = default;
};

enum ControlStyle : unsigned {
    kGraphical = 1u << 0,    // button painted in its back colour
    kTransparent = 1u << 1,  // label shows its container's face through
    kCentered = 1u << 2,
    kRightAligned = 1u << 3,
    kDisabled = 1u << 4,
    kFlat = 1u << 5,
    kChecked = 1u << 6,  // option buttons: selected at design
};

struct FontDef {
    const char* face = nullptr;  // nullptr: the form's font
    double points = 0;
};

// One row of a form's control table. Rectangles are in the form's scale unit
// (pixels at 96 DPI; the platform scales them to the window's DPI) relative
// to the container.
struct ControlDef {
    ControlKind kind;
    int id;
    int container = 0;  // 0: the form itself, else a picture box's id
    Rect rect{};
    const char* caption = "";
    unsigned style = 0;
    Color back = kDefaultColor;
    Color fore = kDefaultColor;
    FontDef font{};
    const char* toolTip = nullptr;
    int tabIndex = -1;
    int picture = 0;   // bitmap resource id
    int interval = 0;  // timers: milliseconds
    std::vector<const char*> items{};  // combo list, tab captions
    int tab = -1;                      // page of the containing tab control
    // What a screen reader calls a control whose caption does not say it;
    // nullptr: its caption, or, without one, its tooltip.
    const char* accessibleName = nullptr;
};

// A popup menu item; parent 0 makes a top-level (popup) menu.
struct MenuDef {
    int id;
    int parent;
    const char* caption;  // "-" for a separator
};

struct FormDef {
    const char* name;
    const char* caption = "";
    int clientWidth = 0, clientHeight = 0;  // pixels
    bool borderless = true;
    Color back = kColorButtonFace;
    int picture = 0;  // face bitmap resource id, drawn at the client origin
    int icon = 0;     // icon group id
    FontDef font{"Arial", 8.25};
    std::span<const ControlDef> controls{};
    std::span<const MenuDef> menus{};
    int cancelControl = 0;  // the button that Escape clicks; 0: Escape does nothing
};

enum class MouseButton { Left = 1, Right = 2, Middle = 4 };

// What a form hears from the platform. Control id 0 is the form itself.
class FormEvents {
public:
    virtual ~FormEvents() = default;
    virtual void Load() {}
    virtual void Unload(int16_t& cancel) { (void)cancel; }
    virtual void Click(int id) { (void)id; }
    virtual void DblClick(int id) { (void)id; }
    virtual void MouseDown(int id, MouseButton button) { (void)id, (void)button; }
    virtual void MouseUp(int id, MouseButton button) { (void)id, (void)button; }
    virtual void GotFocus(int id) { (void)id; }
    virtual void Timer(int id) { (void)id; }
    virtual void MenuClick(int id) { (void)id; }
    // The window moved to a display of another scale and has been laid out
    // anew there: its face, controls, fonts and icons are at the new DPI, so
    // its outline and the picture handed to the shell are the program's to
    // renew.
    virtual void DpiChanged() {}
};

// A loaded window with its controls. Control id 0 is the form itself;
// Left/Top/Width/Height of the form are in twips (kTwipsPerPixel to the
// screen pixel), those of controls in the form's scale unit (pixels at 96
// DPI, whatever the window's DPI). ScaleWidth/ScaleHeight are the client size
// in the window's own pixels, the ones its face is drawn in.
class Form {
public:
    virtual ~Form() = default;

    virtual void SetCaption(int id, std::string_view text) = 0;  // also a text box's text
    virtual std::string Caption(int id) const = 0;
    virtual void SetEnabled(int id, bool enabled) = 0;
    virtual bool Enabled(int id) const = 0;
    virtual void SetBackColor(int id, Color color) = 0;
    virtual Color BackColor(int id) const = 0;
    virtual void SetForeColor(int id, Color color) = 0;
    virtual Color ForeColor(int id) const = 0;
    virtual void SetToolTip(int id, std::string_view text) = 0;
    virtual std::string ToolTip(int id) const = 0;
    virtual void SetBounds(int id, Rect rect) = 0;
    virtual Rect Bounds(int id) const = 0;
    virtual void SetLine(int id, int x1, int y1, int x2, int y2) = 0;
    virtual void SetSelection(int id, int start, int length) = 0;
    virtual void SetFocus(int id) = 0;
    virtual void SetChecked(int id, bool checked) = 0;  // option buttons
    virtual bool Checked(int id) const = 0;
    // What a graph shows from now on (drawn when it next shows); error 5 for
    // an id that names no graph.
    virtual void SetGraph(int id, const GraphData& data) = 0;

    virtual void SetLeft(int32_t twips) = 0;
    virtual void SetTop(int32_t twips) = 0;
    virtual int32_t Left() const = 0;
    virtual int32_t Top() const = 0;
    virtual int32_t Width() const = 0;
    virtual int32_t Height() const = 0;
    virtual int ScaleWidth() const = 0;  // client size in physical pixels
    virtual int ScaleHeight() const = 0;

    virtual void Show() = 0;       // modeless
    virtual void ShowModal() = 0;  // returns when the form is unloaded
    virtual void Hide() = 0;
    virtual bool Visible() const = 0;
    virtual void Refresh() = 0;
    virtual void Unload() = 0;  // raises Unload; a set cancel keeps the form
    virtual bool Loaded() const = 0;

    // Opens a popup menu at the mouse pointer, or at a point of the screen
    // (pixels) for a menu asked for from the keyboard. True when an item was
    // chosen: its MenuClick follows once the menu has closed. False when the
    // menu was dismissed.
    virtual bool PopupMenu(int menuId, std::optional<Point> at = {}) = 0;

    // The form's own icon (title bar, task switcher), and the icon an image
    // control shows (0 clears it), as icon group ids of the program's
    // resources. The platform draws each at the size its place needs at the
    // window's DPI (an image control: 32 x 32 at 96 DPI, scaled).
    virtual void SetIcon(int group) = 0;
    virtual int Icon() const = 0;
    virtual void SetPictureIcon(int id, int group) = 0;

    // The window takes the outline of its face picture: every pixel of the
    // key colour is cut away.
    virtual void CutOutline(Color key) = 0;
    // Moves the window with the mouse as if its caption were held; returns
    // when the button is released.
    virtual void Drag() = 0;
    // The system's animation from the window's rectangle into the
    // notification area, for a window just hidden there.
    virtual void AnimateToTray() = 0;
};

// What the icon in the notification area reports.
struct TrayMenuRequest {
    std::optional<Point> at;  // where the icon is (screen pixels); none: at the mouse pointer
    bool keyboard = false;    // Shift+F10 or the menu key: the focus goes back if it is dismissed
};

class TrayEvents {
public:
    virtual ~TrayEvents() = default;
    virtual void TrayHover() {}     // the pointer moves over the icon
    // A left press or double click, Space or Enter on the icon, a click on
    // its balloon: each is reported once.
    virtual void TrayActivate() {}
    virtual void TrayMenu(const TrayMenuRequest& request) { (void)request; }
};

// The program's one icon in the notification area, attached to a form whose
// window hears the shell's reports. When the shell makes its notification
// area anew, the host adds the icon back as it last showed. Destroying the
// host removes the icon; so does the report of an error nothing trapped.
class TrayHost {
public:
    virtual ~TrayHost() = default;
    // Adds the icon with its first tip and picture (an icon group id); false
    // when the shell refused it.
    virtual bool Add(std::string_view tip, int icon) = 0;
    // Shows this tip and picture, handing the shell only what differs from
    // what it shows (nothing when nothing does).
    virtual void Modify(std::string_view tip, int icon) = 0;
    // A notification balloon with the warning sign, on the icon as it is.
    virtual void Balloon(std::string_view title, std::string_view text) = 0;
    // The icon out of the notification area, and the window's own message
    // handling back.
    virtual void Remove() = 0;
    // The keyboard focus back to the notification area.
    virtual void ReturnFocus() = 0;
    // The shell holds the icon: added, and not removed since.
    virtual bool Shown() const = 0;
};

// The machine's memory as the system counts it, in bytes.
struct MemoryStatus {
    uint32_t load = 0;  // percent in use
    uint64_t totalPhys = 0, availPhys = 0;
    uint64_t totalPageFile = 0, availPageFile = 0;  // the commit limit and what is left of it
};

// Plays the program's embedded sounds: whole RIFF WAVE images held in
// memory, whose bytes must stay valid until the next call (the system reads
// them while a sound in the background plays). Every call first ends the
// sound that plays; an empty image plays nothing. A sound that cannot be
// played (no device, bad data) is silent: the answer says so, and nothing
// else happens.
class SoundOutput {
public:
    virtual ~SoundOutput() = default;
    virtual bool Play(std::span<const uint8_t> wave) = 0;         // once, in the background
    virtual bool Loop(std::span<const uint8_t> wave) = 0;         // again and again until the next call
    virtual bool PlayAndWait(std::span<const uint8_t> wave) = 0;  // once; returns when it has ended
    virtual void Stop() = 0;
};

// How a change of the Run value went.
struct RunChange {
    enum Outcome { Done, NoProgramFile, Refused } outcome = Done;
    long error = 0;             // the system's error number, when refused
    bool accessDenied = false;  // refused for lack of rights
};

// The value that starts the program with Windows.
class RunValue {
public:
    virtual ~RunValue() = default;
    // A value of this name holds non-empty text.
    virtual bool Registered(std::string_view name) = 0;
    // The value names the running program.
    virtual RunChange Register(std::string_view name) = 0;
    // The value is gone (one that is not there already is).
    virtual RunChange Unregister(std::string_view name) = 0;
    // Where the value lives, as a user finds it ("HKEY_...\...\Run").
    virtual std::string Where() const = 0;
};

// The time now: seconds on the system's clock, and the local hour and minute.
struct ClockTime {
    int64_t seconds = 0;
    int hour = 0, minute = 0;
};

enum MsgBoxStyle : unsigned {
    kOkOnly = 0,
    kYesNo = 4,
    kCritical = 16,
    kExclamation = 48,
    kInformation = 64,
    kMsgBoxRight = 0x80000,
};
enum MsgBoxResult : int { kOk = 1, kYes = 6, kNo = 7 };

class Platform {
public:
    virtual ~Platform() = default;

    // Creates the window and its controls (hidden), then raises Load; the
    // caller shows it.
    virtual std::unique_ptr<Form> CreateForm(const FormDef& def, FormEvents& events) = 0;
    // The notification-area icon of a form's window; the host does not
    // outlive the form.
    virtual std::unique_ptr<TrayHost> CreateTrayHost(Form& window, TrayEvents& events) = 0;
    // Runs events until no form is left loaded.
    virtual void Run() = 0;
    virtual void DoEvents() = 0;
    virtual int MsgBox(std::string_view text, unsigned style, std::string_view title) = 0;
    // Ends the program at once: no unload events run.
    [[noreturn]] virtual void End() = 0;

    virtual std::string AppTitle() const = 0;
    virtual bool PrevInstance() = 0;

    virtual std::span<const uint8_t> CustomResource(int id) = 0;
    virtual bool IconExists(int group) = 0;

    virtual std::string GetSetting(std::string_view app, std::string_view section,
                                   std::string_view key, std::string_view fallback) = 0;
    virtual void SaveSetting(std::string_view app, std::string_view section,
                             std::string_view key, std::string_view value) = 0;
    // The key gone, so that its fallback is read again; one not there already is.
    virtual void DeleteSetting(std::string_view app, std::string_view section, std::string_view key) = 0;

    virtual int Hour() = 0;  // local time, 0 to 23
    virtual ClockTime Now() = 0;
    virtual void Randomize() = 0;  // reseed from the clock
    virtual double Rnd() = 0;      // 0 <= r < 1

    // Screen geometry in pixels, for keeping the window where it can be seen.
    virtual bool RectOnAnyMonitor(Rect screenRect) = 0;
    virtual Rect PrimaryWorkArea() = 0;

    // The memory status now; false when the system would not say.
    virtual bool QueryMemoryStatus(MemoryStatus& status) = 0;
    // The memory the system keeps as its file cache, in bytes; 0 where it
    // does not say.
    virtual uint64_t SystemCacheBytes() = 0;
    // The user does not want to be disturbed now: presenting, running a
    // program full screen, or in quiet hours.
    virtual bool UserWantsQuiet() = 0;
    // Every process of the machine with its private bytes, from one reading
    // of the system's list, handed to the visitor; false when the list could
    // not be read. Nothing is allocated on the way once the table has been
    // reserved.
    virtual bool VisitProcesses(ProcessVisitor& visitor) = 0;
    // Takes now what a reading of the process table needs, so that a reading
    // when memory runs short needs nothing more.
    virtual void ReserveProcessTable() = 0;
    virtual uint32_t CurrentProcessId() = 0;

    virtual SoundOutput& Sound() = 0;
    virtual RunValue& Autorun() = 0;
};

}  // namespace vt
