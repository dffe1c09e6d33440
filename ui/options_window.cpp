#include "ui/options_window.h"

#include <array>

#include "platform/convert.h"
#include "ui/form1.h"

namespace vt {
namespace {

using namespace frm_options;

// Positions in pixels (the window's design is in twips, 15 to the pixel).
const std::array<ControlDef, 1> kControls = {{
    {.kind = ControlKind::Button, .id = Command3, .name = "Command3", .rect = {292, 224, 69, 25},
     .caption = "Close", .tabIndex = 0},
}};

}  // namespace

const FormDef& OptionsWindowDef() {
    static const FormDef def = {
        .name = "frmOptions",
        .caption = "Options",
        .clientWidth = 399,
        .clientHeight = 263,
        .borderless = false,
        .back = kColorButtonFace,
        .icon = 1,
        .font = {"MS Sans Serif", 8.25},
        .controls = kControls,
    };
    return def;
}

frmOptions::frmOptions(Platform& platform, ProgramState& globals, Form1& main)
    : platform_(platform), g_(globals), main_(main) {}
frmOptions::~frmOptions() = default;

void frmOptions::ShowModal() {
    form_ = platform_.CreateForm(OptionsWindowDef(), *this);
    Form_Load();
    form_->ShowModal();
}

void frmOptions::Close() {
    if (Loaded()) form_->Unload();
}

void frmOptions::Form_Load() {
    // Directly below the main window, even where that is partly off-screen.
    Form& main = main_.form();
    form_->SetLeft(main.Left());
    form_->SetTop(AddLong(main.Top(), main.Height()));
}

void frmOptions::Command3_Click() { form_->Unload(); }

void frmOptions::Click(int id) {
    switch (id) {
        case Command3: Command3_Click(); break;
        default: break;
    }
}

}  // namespace vt
