// The options window: shown modally just below the main window, unloaded
// (not hidden) when closed, so every opening starts from its design state.
#pragma once

#include <memory>

#include "app/program_state.h"
#include "platform/platform.h"

namespace vt {

class Form1;

namespace frm_options {
enum Id : int { kForm = 0, Command3 = 1 };
}  // namespace frm_options

const FormDef& OptionsWindowDef();

class frmOptions : public FormEvents {
public:
    frmOptions(Platform& platform, ProgramState& globals, Form1& main);
    ~frmOptions() override;

    // Loads the window and shows it modally; returns once it is unloaded.
    void ShowModal();
    // Unloads the window if it is open.
    void Close();
    bool Loaded() const { return form_ && form_->Loaded(); }
    Form& form() { return *form_; }

    void Form_Load();
    void Command3_Click();

    void Click(int id) override;

private:
    Platform& platform_;
    ProgramState& g_;
    Form1& main_;
    std::unique_ptr<Form> form_;
};

}  // namespace vt
