// An in-memory platform for the unit tests: forms keep their properties in
// maps, message boxes are answered from a script, the memory status, clock
// and settings are set by the test. Event helpers run handlers the way the
// real dispatch does: an untrapped error is reported and ends the program.
// Timers run on a virtual clock, and posted events wait in a queue for the
// next pass over pending events, as window messages do.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/fake/fake_services.h"
#include "platform/fake/fake_tray.h"
#include "platform/platform.h"

namespace vt::fake {

// Thrown by End(): the program has ended.
struct ProgramEnded {};

struct ControlState {
    std::string caption;
    bool enabled = true;
    Color back = kDefaultColor, fore = kDefaultColor;
    std::string toolTip;
    Rect rect;
    int x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    int selStart = 0, selLength = 0;
    bool checked = false;
};

struct MessageBoxShown {
    std::string text;
    unsigned style;
    std::string title;
};

class FakePlatform;

// The main window's face as the fake draws it: one colour with key pixels
// and a few others; outside its size a pixel reads as no colour at all.
struct Face {
    static constexpr uint32_t kNoColor = 0xFFFFFFFFu;
    std::set<std::pair<int, int>> keyPixels;
    std::map<std::pair<int, int>, uint32_t> otherPixels;
    uint32_t keyColor = 0x00FF00FF, faceColor = 0x00402010;
    int width = 457, height = 111;
    int reads = 0;
    uint32_t Pixel(int x, int y);
};

class FakeForm : public Form {
public:
    FakeForm(FakePlatform& platform, const FormDef& def, FormEvents& events);
    FormEvents& events() { return events_; }
    ~FakeForm() override;

    void SetCaption(int id, std::string_view text) override { At(id).caption = text; }
    std::string Caption(int id) const override { return At(id).caption; }
    void SetEnabled(int id, bool enabled) override;
    bool Enabled(int id) const override { return At(id).enabled; }
    void SetBackColor(int id, Color color) override { At(id).back = color; }
    Color BackColor(int id) const override { return At(id).back; }
    void SetForeColor(int id, Color color) override { At(id).fore = color; }
    Color ForeColor(int id) const override { return At(id).fore; }
    void SetToolTip(int id, std::string_view text) override { At(id).toolTip = text; }
    std::string ToolTip(int id) const override { return At(id).toolTip; }
    void SetBounds(int id, Rect rect) override { At(id).rect = rect; }
    Rect Bounds(int id) const override { return At(id).rect; }
    void SetLine(int id, int x1, int y1, int x2, int y2) override;
    void SetSelection(int id, int start, int length) override;
    void SetFocus(int id) override {
        (void)At(id);
        focus = id;
    }
    void SetChecked(int id, bool checked) override;
    bool Checked(int id) const override { return At(id).checked; }
    // What a click does to a choice: an option is chosen, a check box turns over.
    void Choose(int id);
    // Recorded in graphs; a graph's caption is kept as any control's.
    void SetGraph(int id, const GraphData& data) override;

    // Held in whole pixels, as a real window's position is.
    void SetLeft(int32_t twips) override { left_ = ToPixels(twips); }
    void SetTop(int32_t twips) override { top_ = ToPixels(twips); }
    int32_t Left() const override { return left_ * kTwipsPerPixel; }
    int32_t Top() const override { return top_ * kTwipsPerPixel; }
    int32_t Width() const override { return width_ * kTwipsPerPixel; }
    int32_t Height() const override { return height_ * kTwipsPerPixel; }
    int ScaleWidth() const override { return width_; }
    int ScaleHeight() const override { return height_; }

    void Show() override { visible_ = true; }
    // Runs the test's script for the modal window (FakePlatform::onModal),
    // then returns as the real one does once the window is unloaded.
    void ShowModal() override;
    void Hide() override { visible_ = false; }
    bool Visible() const override { return visible_; }
    void Refresh() override {}
    void Unload() override;
    bool Loaded() const override { return loaded_; }
    // Records the menu and where it opened; answers as popupChosen says.
    bool PopupMenu(int menuId, std::optional<Point> at = {}) override {
        popups.push_back(menuId);
        popupPoints.push_back(at);
        return popupChosen;
    }
    void SetIcon(int group) override { icon_ = group; }
    int Icon() const override { return icon_; }
    void SetPictureIcon(int id, int icon) override {
        (void)At(id);
        pictureIcons[id] = icon;
    }
    void CutOutline(Color key) override;
    void Drag() override { ++drags; }
    void AnimateToTray() override { ++trayAnimations; }

    // The form (0), a control or a menu item; any other id raises error 5.
    const ControlState& At(int id) const;
    ControlState& At(int id);
    uint64_t serial() const { return serial_; }
    std::vector<int> popups;
    std::vector<std::optional<Point>> popupPoints;
    bool popupChosen = false;
    std::map<int, int> pictureIcons;
    std::map<int, GraphData> graphs;  // the last data each graph was given
    int focus = -1;
    int modalShows = 0;
    // The outline: the runs of key pixels cut out of the window's rectangle
    // by the last cut, each one pixel high.
    std::vector<Rect> outline;
    int outlineCuts = 0, drags = 0, trayAnimations = 0;

private:
    friend class FakePlatform;
    struct TimerState {
        int interval;
        int64_t due = 0;  // on the platform's clock, while enabled
    };
    static int32_t ToPixels(int32_t twips);

    FakePlatform& platform_;
    FormEvents& events_;
    std::map<int, ControlState> controls_;
    std::set<int> optionButtons_;
    std::set<int> checkBoxes_;
    std::set<int> graphIds_;
    std::map<int, TimerState> timers_;
    uint64_t serial_;
    int32_t left_ = 0, top_ = 0;
    int width_, height_;
    bool visible_ = false, loaded_ = true;
    bool hasFace_;
    int icon_ = 0;
};

class FakePlatform : public Platform {
public:
    std::unique_ptr<Form> CreateForm(const FormDef& def, FormEvents& events) override;
    void Run() override {}
    // Runs what is pending, re-entrantly: posted events in their order, then
    // the ticks that came due.
    void DoEvents() override;
    int MsgBox(std::string_view text, unsigned style, std::string_view title) override;
    [[noreturn]] void End() override { ended = true; throw ProgramEnded{}; }

    std::string AppTitle() const override { return "Veltrane"; }
    bool PrevInstance() override { return prevInstance; }
    std::span<const uint8_t> CustomResource(int id) override;
    // Icons 1 and 101 to 145 exist.
    bool IconExists(int group) override { return group == 1 || (group >= 101 && group <= 145); }

    std::string GetSetting(std::string_view app, std::string_view section, std::string_view key,
                           std::string_view fallback) override;
    void SaveSetting(std::string_view app, std::string_view section, std::string_view key,
                     std::string_view value) override;
    void DeleteSetting(std::string_view app, std::string_view section, std::string_view key) override;

    int Hour() override { return hour; }
    // The virtual clock's seconds from clockStart; local time is UTC here.
    ClockTime Now() override;
    uint64_t SystemCacheBytes() override { return cacheBytes; }
    bool UserWantsQuiet() override { return quiet; }
    void Randomize() override { ++reseeds; }
    double Rnd() override;

    bool RectOnAnyMonitor(Rect r) override;
    Rect PrimaryWorkArea() override { return workArea; }
    bool QueryMemoryStatus(MemoryStatus& status) override {
        ++samples;
        if (memoryStatusFails) return false;
        status = memory;
        return true;
    }
    bool VisitProcesses(ProcessVisitor& visitor) override;
    void ReserveProcessTable() override { ++reservations; }
    uint32_t CurrentProcessId() override { return currentPid; }
    SoundOutput& Sound() override { return audio; }
    RunValue& Autorun() override { return run; }
    std::unique_ptr<TrayHost> CreateTrayHost(Form& window, TrayEvents& events) override {
        return std::make_unique<FakeTrayHost>(*this, static_cast<FakeForm&>(window), events);
    }
    // The host of the program's icon (the last one made).
    FakeTrayHost& tray() { return *trayHosts.back(); }

    // Runs an event handler as the real dispatch does: an error nothing traps
    // shows its report and ends the program.
    void Dispatch(const std::function<void()>& handler);

    // The virtual clock, in milliseconds. Advance lets the message loop run
    // for that long: posted events run, and due ticks fire in time order.
    // PassTime is time spent busy (a sound played to its end): what comes due
    // waits for the next pass over pending events.
    int64_t Millis() const { return now_; }
    void Advance(int64_t ms);
    void PassTime(int64_t ms) { now_ += ms; }
    // Queued for the next pass over pending events. A click on a button
    // posted to a form is dropped if the form is unloaded before it comes up.
    void Post(std::function<void()> handler);
    void PostClick(FakeForm& form, int id);

    // Script and record.
    FakeShell shell;
    std::vector<FakeTrayHost*> trayHosts;  // alive, in creation order
    FakeSound audio;
    Face face;
    FakeRunValue run;
    MemoryStatus memory{37, 512ull << 20, 128ull << 20};
    bool memoryStatusFails = false;
    int samples = 0;
    std::vector<ProcessMemory> processes;
    uint32_t currentPid = 4711;
    int processTables = 0, reservations = 0;
    bool processTableFails = false;
    std::deque<int> answers;  // next message box answers; OK when empty
    std::function<void(FakeForm&)> onModal;  // what the user does in a modal window
    std::function<void()> onMsgBox;          // runs while each box is up
    std::vector<FakeForm*> forms;            // live forms, in creation order
    std::vector<MessageBoxShown> boxes;
    std::map<std::string, std::string> settings;  // lower-case key -> text
    std::vector<std::pair<std::string, std::string>> writes;  // in order
    std::vector<std::string> deletions;                       // keys, in order
    std::map<int, std::vector<uint8_t>> resources;
    std::deque<double> randoms;
    int hour = 9;
    int64_t clockStart = 1'796'000'000;  // 2026-11-30 00:53:20 on the clock at the start
    uint64_t cacheBytes = 0;
    bool quiet = false;
    int reseeds = 0;
    int doEventsPasses = 0;
    bool prevInstance = false;
    bool ended = false;
    bool timersStopped = false;  // by the report of an untrapped error
    std::vector<Rect> monitors{{0, 0, 1920, 1080}};
    Rect workArea{0, 0, 1920, 1040};

private:
    friend class FakeForm;
    // Runs one pending event; false when nothing was pending.
    bool RunPending(int64_t until);
    // The form of that serial when it is still alive and loaded.
    FakeForm* LiveForm(uint64_t serial) const;
    void ReportUntrapped(int number, std::string_view description);

    int64_t now_ = 0;
    std::deque<std::function<void()>> posted_;
    uint64_t nextSerial_ = 1;
    int dispatchDepth_ = 0;
    bool reporting_ = false;
};

}  // namespace vt::fake
