// The main window's own commands and mouse gestures: hide to the tray, the
// options window, show again, exit, the popup menus and dragging the
// captionless window by its surface.
#include "ui/form1.h"
#include "ui/options_window.h"

namespace vt {

using namespace form1;

void Form1::HideToTray() {
    intHideToTray_ = 1;
    form_->Unload();  // the unload handler hides instead of closing
}

void Form1::ShowOptions() {
    if (options_) return;  // open already (a command reached us through the tray menu)
    options_ = std::make_unique<frmOptions>(
        platform_, *form_, frmOptions::Areas{warning(), tray(), memory(), sound(), settings_, history()});
    struct Closed {
        std::unique_ptr<frmOptions>& window;
        ~Closed() { window.reset(); }
    } closed{options_};
    options_->ShowModal();
}

void Form1::ShowFromTray() {
    form_->Show();
    form_->SetEnabled(stupid, false);
    form_->Refresh();
}

void Form1::Exit() {
    intHideToTray_ = 0;
    RemoveTrayIcon();
    if (options_) options_->Close();
    form_->Unload();
}

void Form1::MouseDown(int id, MouseButton button) {
    switch (id) {
        case kForm:
            if (button == MouseButton::Left) {
                // The system's move ends with the release; a window that did
                // not move was clicked, which acknowledges an alarm.
                const int32_t left = form_->Left(), top = form_->Top();
                form_->Drag();
                if (form_->Left() == left && form_->Top() == top) Form_Click();
            }
            if (button == MouseButton::Right) form_->PopupMenu(mnufile);
            break;
        case Picture1:
        case Picture2:
        case Label3:
            if (button == MouseButton::Left) form_->Drag();
            if (button == MouseButton::Right) form_->PopupMenu(mnufile);
            break;
        case Image2:
        case Label5:
            if (button == MouseButton::Left) form_->Drag();
            if (button == MouseButton::Right) form_->PopupMenu(mnuIconTema);
            break;
        case Label1:
        case Label4:
            form_->Drag();  // any button; the menu comes with the right release
            break;
        case Command1:
            if (button == MouseButton::Right) form_->PopupMenu(mnufile);
            break;
        case Command2:
            if (button == MouseButton::Right) form_->PopupMenu(mnuIconTema);
            break;
        default:
            break;
    }
}

void Form1::MouseUp(int id, MouseButton button) {
    switch (id) {
        case Command1:
            Command1_MouseUp();  // any button: the click sound
            break;
        case Label1:
        case Label4:
        case Label2:
            if (button == MouseButton::Right) form_->PopupMenu(mnufile);
            break;
        default:
            break;
    }
}

void Form1::DblClick(int id) {
    if (id == kForm) Form_DblClick();
}

void Form1::MenuClick(int id) {
    switch (id) {
        case mnuCancel: mnuCancel_Click(); break;
        case stupid: stupid_Click(); break;
        case sucker: sucker_Click(); break;
        case mnuSoff: mnuSoff_Click(); break;
        case mnuSetWarning: mnuSetWarning_Click(); break;
        case autoItem: auto_Click(); break;
        case goner: goner_Click(); break;
        case IconTemaChange2: IconTemaChange2_Click(); break;
        default: break;
    }
}

}  // namespace vt
