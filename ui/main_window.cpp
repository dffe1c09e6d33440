// The main window's layout: one row per control, in creation order, and its
// two popup menus. The window is 453 x 111 pixels, borderless, its face a
// picture whose magenta surroundings are cut away at start-up.
#include <array>
#include <vector>

#include "ui/form1.h"

namespace vt {
namespace {

using namespace form1;
constexpr FontDef kSansSerif{"MS Sans Serif", 8.25};

const std::vector<ControlDef>& Controls() {
    static const std::vector<ControlDef> controls = {
        {.kind = ControlKind::Button, .id = Command5, .rect = {32, 32, 9, 14},
         .style = kGraphical, .back = kColorButtonFace,
         .toolTip = "Show Kb or Bytes. If this button is red you have Ram Warning on", .tabIndex = 13,
         .accessibleName = "Units"},
        {.kind = ControlKind::Button, .id = Command4, .rect = {40, 56, 49, 21},
         .caption = "Options", .style = kGraphical, .back = kColorAppWorkspace, .tabIndex = 12},
        {.kind = ControlKind::Button, .id = Command3, .rect = {92, 56, 61, 21},
         .caption = "Hide", .style = kGraphical, .back = kColorAppWorkspace,
         .toolTip = "Remove me from screen", .tabIndex = 11},
        {.kind = ControlKind::Timer, .id = Timer4, .interval = 500},
        {.kind = ControlKind::Timer, .id = Timer3, .interval = 5000},
        {.kind = ControlKind::Timer, .id = Timer2, .interval = 100},
        {.kind = ControlKind::Timer, .id = Timer1, .interval = 1000},
        {.kind = ControlKind::Timer, .id = Timer5, .interval = 10000},  // a sample of the last hour
        {.kind = ControlKind::ComboBox, .id = Combo1, .rect = {152, 80, 57, 22},
         .caption = "min", .back = kRed, .tabIndex = 8, .items = {"hour", "min", "sec", "Off"}},
        {.kind = ControlKind::TextBox, .id = Text1, .rect = {124, 80, 25, 22},
         .caption = "1", .back = kRed, .toolTip = "Max 60", .tabIndex = 7},
        {.kind = ControlKind::PictureBox, .id = Picture1, .rect = {256, 50, 196, 17},
         .style = kFlat, .tabIndex = 5, .picture = kBarPicture},
        {.kind = ControlKind::PictureBox, .id = Picture2, .rect = {256, 50, 195, 17},
         .style = kFlat, .back = kColorWindow, .font = kSansSerif, .tabIndex = 4},
        {.kind = ControlKind::Line, .id = Line1, .container = Picture2,
         .rect = {88, 0, 88, 16}, .fore = kGreen},
        {.kind = ControlKind::Label, .id = Label3, .container = Picture2,
         .rect = {104, 0, 141, 13}, .caption = "Free Memory", .style = kTransparent, .font = kSansSerif,
         .tabIndex = 9},
        {.kind = ControlKind::PictureBox, .id = pictray, .rect = {516, 312, 33, 61},
         .tabIndex = 3},
        {.kind = ControlKind::Button, .id = Command2, .rect = {212, 80, 25, 21},
         .caption = "Set", .style = kGraphical, .back = kColorAppWorkspace, .font = {"Garamond", 8.25},
         .toolTip = "Works only when this form is visible", .tabIndex = 2},
        {.kind = ControlKind::Button, .id = Command1, .rect = {156, 56, 77, 21},
         .caption = "Update", .style = kGraphical, .back = kColorAppWorkspace,
         .toolTip = "Click on me to check your RAM (Random Access Memory) ", .tabIndex = 0},
        {.kind = ControlKind::Label, .id = Label5, .rect = {172, 4, 53, 13},
         .caption = "Freeware", .style = kTransparent, .fore = kColorHighlightText, .tabIndex = 14},
        {.kind = ControlKind::Image, .id = Image3, .rect = {236, 4, 11, 13},
         .picture = kHidePicture, .accessibleName = "Hide"},
        {.kind = ControlKind::Image, .id = Image2, .rect = {56, 1, 199, 19},
         .picture = kTitlePicture},
        {.kind = ControlKind::Image, .id = Image1, .rect = {492, 120, 32, 32}},
        {.kind = ControlKind::Label, .id = Label4, .rect = {48, 36, 205, 13},
         .style = kTransparent | kCentered, .fore = kColorHighlightText, .tabIndex = 10},
        {.kind = ControlKind::Label, .id = Label2, .rect = {60, 84, 65, 13},
         .caption = "Check every", .style = kTransparent, .fore = kColorHighlightText, .tabIndex = 6},
        {.kind = ControlKind::Label, .id = Label1, .rect = {44, 24, 209, 13},
         .caption = "Not Updated", .style = kTransparent | kCentered, .fore = kColorHighlightText,
         .tabIndex = 1},
    };
    return controls;
}

constexpr std::array<MenuDef, 13> kMenus = {{
    {mnufile, 0, "mnufile"},
    {mnuCancel, mnufile, "Cancel"},
    {stupid, mnufile, "Open Veltrane"},
    {sdgf, mnufile, "-"},
    {sucker, mnufile, "Get Status"},
    {fgh, mnufile, "-"},
    {mnuSoff, mnufile, "Turn on Sound"},
    {mnuSetWarning, mnufile, "Set Warning sound"},
    {Malackca, mnufile, "-"},
    {autoItem, mnufile, "Make AutoStart"},
    {goner, mnufile, "Exit"},
    {mnuIconTema, 0, "mnuIconTema"},
    {IconTemaChange2, mnuIconTema, "Change Icon Tema"},
}};

}  // namespace

const FormDef& MainWindowDef() {
    static const FormDef def = {
        .name = "Form1",
        .caption = "Veltrane",
        .clientWidth = 453,
        .clientHeight = 111,
        .borderless = true,
        .back = kMagenta,
        .picture = kFacePicture,
        .icon = 1,
        .font = {"Arial", 8.25},
        .controls = Controls(),
        .menus = kMenus,
    };
    return def;
}

void Form1::Click(int id) {
    switch (id) {
        case Command1: Command1_Click(); break;
        case Command5: Command5_Click(); break;
        case Command3: Command3_Click(); break;
        case Command4: Command4_Click(); break;
        case Image3: Image3_Click(); break;
        case Command2: Command2_Click(); break;
        case kForm: Form_Click(); break;
        default: break;
    }
}

void Form1::GotFocus(int id) {
    if (id == Text1) Text1_GotFocus();
}

void Form1::Timer(int id) {
    switch (id) {
        case Timer1: Timer1_Timer(); break;
        case Timer3: Timer3_Timer(); break;
        case Timer2: Timer2_Timer(); break;
        case Timer4: Timer4_Timer(); break;
        case Timer5: Timer5_Timer(); break;
        default: break;
    }
}

}  // namespace vt
