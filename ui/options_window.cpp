#include "ui/options_window.h"

#include <vector>

#include "platform/convert.h"

namespace vt {
namespace {

using namespace frm_options;

constexpr Color kYellow = 0x0000FFFF;
constexpr Color kLightGrey = 0x00E0E0E0;
constexpr FontDef kArial{"Arial", 8.25};

// Positions in pixels, 15 twips to the pixel; on a tab page they count from
// the tab control's corner, in the frame from the frame's.
const std::vector<ControlDef>& Controls() {
    static const std::vector<ControlDef> controls = {
        {.kind = ControlKind::Button, .id = Command3, .rect = {292, 224, 69, 25},
         .caption = "Close"},
        {.kind = ControlKind::Tab, .id = SSTab1, .rect = {8, 4, 387, 205},
         .back = kColorButtonFace, .items = {"Systray Icon Tema", "Set Warning", "About/Help", "History"}},
        // Systray Icon Tema
        {.kind = ControlKind::Frame, .id = Frame1, .container = SSTab1,
         .rect = {32, 48, 325, 141}, .caption = "Choose Icon Type ", .back = SysColor(4), .tab = 0},
        {.kind = ControlKind::OptionButton, .id = Option1, .container = Frame1,
         .rect = {16, 20, 145, 21}, .caption = "1. Slime Depth", .style = kChecked, .back = SysColor(4)},
        {.kind = ControlKind::OptionButton, .id = Option2, .container = Frame1,
         .rect = {16, 43, 145, 21}, .caption = "2. Horizon meter", .back = SysColor(4)},
        {.kind = ControlKind::OptionButton, .id = Option3, .container = Frame1,
         .rect = {16, 66, 145, 21}, .caption = "3. Gradient meter", .back = SysColor(4)},
        {.kind = ControlKind::OptionButton, .id = Option4, .container = Frame1,
         .rect = {16, 89, 145, 21}, .caption = "4. Tired at 20", .back = SysColor(4)},
        {.kind = ControlKind::OptionButton, .id = Option5, .container = Frame1,
         .rect = {16, 112, 145, 21}, .caption = "5. Percent", .back = SysColor(4)},
        {.kind = ControlKind::Button, .id = Command1, .container = Frame1,
         .rect = {180, 108, 73, 21}, .caption = "Deafult icon", .style = kGraphical, .back = kLightGrey},
        {.kind = ControlKind::Button, .id = Command2, .container = Frame1,
         .rect = {256, 108, 57, 21}, .caption = "Pick", .style = kGraphical, .back = kGreen},
        {.kind = ControlKind::Image, .id = Image1, .container = Frame1, .rect = {168, 44, 41, 41}},
        {.kind = ControlKind::Label, .id = Label1, .container = Frame1, .rect = {220, 68, 45, 17},
         .back = kYellow},
        {.kind = ControlKind::Timer, .id = Timer1, .interval = 200},
        // Set Warning
        {.kind = ControlKind::Label, .id = Label2, .container = SSTab1, .rect = {28, 48, 341, 29},
         .caption = "Set Warning when your computer reach desired amount of memory. ", .font = kArial, .tab = 1},
        {.kind = ControlKind::Line, .id = Line1, .container = SSTab1, .rect = {0, 84, 384, 84},
         .tab = 1},
        {.kind = ControlKind::Label, .id = Label6, .container = SSTab1, .rect = {36, 100, 37, 13},
         .caption = "Status:", .tab = 1},
        {.kind = ControlKind::Label, .id = Label7, .container = SSTab1, .rect = {76, 100, 33, 13},
         .caption = "Off", .style = kCentered, .back = SysColor(9), .tab = 1},
        {.kind = ControlKind::Label, .id = Label8, .container = SSTab1,
         .rect = {120, 100, 109, 13}, .caption = "The warning is set on:", .back = SysColor(18), .fore = kWhite,
         .tab = 1},
        {.kind = ControlKind::Label, .id = Label9, .container = SSTab1, .rect = {232, 100, 45, 13},
         .back = SysColor(14), .tab = 1},
        {.kind = ControlKind::Button, .id = Command5, .container = SSTab1,
         .rect = {284, 96, 89, 17}, .caption = "Turn off warning", .style = kDisabled, .tabIndex = 2, .tab = 1},
        {.kind = ControlKind::Label, .id = Label5, .container = SSTab1, .rect = {36, 128, 200, 13},
         .caption = "You have  Mb free now", .tab = 1},
        {.kind = ControlKind::CheckBox, .id = Check1, .container = SSTab1, .rect = {248, 126, 120, 17},
         .caption = "Keep watching", .tabIndex = 3, .tab = 1},
        {.kind = ControlKind::Label, .id = Label4, .container = SSTab1, .rect = {32, 152, 217, 17},
         .caption = "I want a warning when the computer reach", .style = kRightAligned, .tab = 1},
        {.kind = ControlKind::TextBox, .id = Text1, .container = SSTab1, .rect = {252, 148, 41, 19},
         .tabIndex = 0, .tab = 1},
        {.kind = ControlKind::Label, .id = Label3, .container = SSTab1, .rect = {296, 152, 37, 13},
         .caption = "Mb", .tab = 1},
        {.kind = ControlKind::Button, .id = Command4, .container = SSTab1,
         .rect = {316, 149, 41, 17}, .caption = "Set", .tabIndex = 1, .tab = 1},
        {.kind = ControlKind::Label, .id = Label10, .container = SSTab1,
         .rect = {8, 184, 369, 13},
         .caption = "Notice the small button that turns red on the main screen when warning is on", .back = kYellow,
         .tab = 1},
        // About/Help
        {.kind = ControlKind::Image, .id = Image3, .container = SSTab1, .rect = {32, 28, 303, 36},
         .picture = kBannerPicture, .tab = 2},
        {.kind = ControlKind::Image, .id = Image2, .container = SSTab1, .rect = {32, 68, 80, 121},
         .picture = kAboutPicture, .tab = 2},
        {.kind = ControlKind::Label, .id = Label11, .container = SSTab1,
         .rect = {120, 72, 245, 73},
         .caption = "Veltrane version 1.2\r\n\r\nVeltrane is freeware. All rights to the program are reserved by "
                    "its maker.\r\nYou may pass the freeware version on to others, unchanged.",
         .tab = 2},
        {.kind = ControlKind::Label, .id = Label12, .container = SSTab1,
         .rect = {120, 148, 233, 33},
         .caption = "Veltrane has no help file. Questions and ideas are welcome through the project's README.",
         .tab = 2},
        // History: the graph's caption is the sentence a screen reader reads.
        {.kind = ControlKind::Graph, .id = Graph1, .container = SSTab1, .rect = {16, 32, 230, 150},
         .caption = "Free memory, last hour", .tab = 3},
        {.kind = ControlKind::Label, .id = Label13, .container = SSTab1, .rect = {256, 32, 124, 13},
         .caption = "Available", .tab = 3},
        {.kind = ControlKind::Label, .id = Label14, .container = SSTab1, .rect = {256, 46, 124, 13}, .tab = 3},
        {.kind = ControlKind::Label, .id = Label15, .container = SSTab1, .rect = {256, 68, 124, 13},
         .caption = "Lowest this hour", .tab = 3},
        {.kind = ControlKind::Label, .id = Label16, .container = SSTab1, .rect = {256, 82, 124, 13}, .tab = 3},
        {.kind = ControlKind::Label, .id = Label17, .container = SSTab1, .rect = {256, 104, 124, 13},
         .caption = "Committed", .tab = 3},
        {.kind = ControlKind::Label, .id = Label18, .container = SSTab1, .rect = {256, 118, 124, 13}, .tab = 3},
        {.kind = ControlKind::Label, .id = Label19, .container = SSTab1, .rect = {256, 140, 124, 13},
         .caption = "Cached", .tab = 3},
        {.kind = ControlKind::Label, .id = Label20, .container = SSTab1, .rect = {256, 154, 124, 13}, .tab = 3},
    };
    return controls;
}

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
        .controls = Controls(),
        .cancelControl = Command3,
    };
    return def;
}

frmOptions::frmOptions(Platform& platform, Form& main, Areas areas)
    : platform_(platform), main_(main), a_(areas) {}
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
    form_->SetLeft(main_.Left());
    form_->SetTop(AddLong(main_.Top(), main_.Height()));

    ShowPreviewIcon(108);
    intPreviewFrame = 4;
    intPreviewPercent = 100;

    form_->SetCaption(Label5, "You have " + StrLong(FreeMbFigure(a_.memory.lngFreeKb())) + " Mb free now");
    if (a_.warning.blnWarnSet()) {
        form_->SetCaption(Label7, "On");
        form_->SetEnabled(Command5, true);
        form_->SetEnabled(Command4, false);
        form_->SetCaption(Label9, StrLong(a_.warning.intWarnMb()) + " Mb");
    }
    form_->SetChecked(Check1, a_.warning.KeepWatching());
    ShowHistory();
}

void frmOptions::Unload(int16_t&) { Form_Unload(); }

void frmOptions::Form_Unload() {
    intPreviewFrame = intPreviewTema = intPreviewPercent = 0;
    form_->SetPictureIcon(Image1, 0);
}

void frmOptions::Command3_Click() { form_->Unload(); }

void frmOptions::ShowPreviewIcon(int id) { form_->SetPictureIcon(Image1, id); }

void frmOptions::Click(int id) {
    switch (id) {
        case Command3: Command3_Click(); break;
        case Command4: Command4_Click(); break;
        case Command5: Command5_Click(); break;
        case Check1: Check1_Click(); break;
        case Option1: OptionClick(1); break;
        case Option2: OptionClick(2); break;
        case Option3: OptionClick(3); break;
        case Option4: OptionClick(4); break;
        case Option5: OptionClick(5); break;
        case Command1: Command1_Click(); break;
        case Command2: Command2_Click(); break;
        case Image1: Image1_Click(); break;
        default: break;
    }
}

void frmOptions::Timer(int id) {
    if (id == Timer1) Timer1_Timer();
}

}  // namespace vt
