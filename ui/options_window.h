// The options window: four tabs (the tray icon theme with its preview, the
// low-memory warning, about and help, the last hour's history), shown modally just below the main
// window and unloaded (not hidden) when closed, so every opening starts from
// its design state and reads the warning's state afresh.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "memory/memory_display.h"
#include "memory/memory_history.h"
#include "monitor/warning.h"
#include "platform/platform.h"
#include "settings/settings.h"
#include "sound/sound.h"
#include "tray/tray_icon.h"
#include "ui/control_ids.h"

namespace vt {

const FormDef& OptionsWindowDef();

// What a screen reader reads of the History tab's graph: "Free memory, last
// hour: now 3.4 GB, lowest 1.2 GB at 14:32".
std::string HistoryName(const std::optional<MemoryHistory::Sample>& now,
                        const std::optional<MemoryHistory::Sample>& lowest);

class frmOptions : public FormEvents {
public:
    // The areas it works on, and the main window it opens below.
    struct Areas {
        LowMemoryWarning& warning;
        TrayIcon& tray;
        MemoryDisplay& memory;
        Sound& sound;
        Settings& settings;
        const MemoryHistory& history;
    };
    frmOptions(Platform& platform, Form& main, Areas areas);
    ~frmOptions() override;

    // Loads the window and shows it modally; returns once it is unloaded.
    void ShowModal();
    // Unloads the window if it is open.
    void Close();
    // A new sample of the last hour: the History tab follows it.
    void HistoryChanged();
    bool Loaded() const { return form_ && form_->Loaded(); }
    Form& form() { return *form_; }

    void Form_Load();
    void Form_Unload();
    void Command3_Click();  // Close

    // Warning tab
    void Command4_Click();  // Set
    void Command5_Click();  // Turn off warning
    void Check1_Click();    // Keep watching

    // Theme tab and its preview
    void OptionClick(int16_t tema);  // Option1_Click .. Option5_Click
    void Command1_Click();           // Deafult icon
    void Command2_Click();           // Pick
    void Image1_Click();
    void Timer1_Timer();

    void Unload(int16_t& cancel) override;
    void Click(int id) override;
    void Timer(int id) override;

    int16_t intPreviewFrame = 0, intPreviewTema = 0, intPreviewPercent = 0;

private:
    void ShowPreviewIcon(int id);
    // The History tab from the samples of the hour and the figures now.
    void ShowHistory();
    void Refuse(const Refusal& refusal);

    Platform& platform_;
    Form& main_;
    Areas a_;
    std::unique_ptr<Form> form_;
};

}  // namespace vt
