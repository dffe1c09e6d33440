// The ids of the main window's and the options window's controls and menu
// items, and of their pictures: what the program's control tables use and
// what its tests and tools send messages to. Each control's window id is its
// id here, and each menu item's command id.
#pragma once

namespace vt {

namespace form1 {
enum Id : int {
    kForm = 0,
    Command5 = 1, Command4, Command3, Timer4, Timer3, Timer2, Timer1, Combo1, Text1,
    Picture1, Picture2, Line1, Label3, pictray, Command2, Command1, Label5, Image3,
    Image2, Image1, Label4, Label2, Label1, Timer5,
    // menus
    mnufile = 100, mnuCancel, stupid, sdgf, sucker, fgh, mnuSoff, mnuSetWarning, Malackca,
    autoItem, goner,
    mnuIconTema = 120, IconTemaChange2,
};
}  // namespace form1

namespace frm_options {
// From 10: ids 1 and 2 are what the dialog keys Enter and Escape send.
enum Id : int {
    kForm = 0,
    Command3 = 10, SSTab1, Frame1, Option1, Option2, Option3, Option4, Option5, Command1, Command2, Image1,
    Label1, Timer1, Label2, Line1, Label6, Label7, Label8, Label9, Command5, Label5, Label4, Text1, Label3,
    Command4, Label10, Image3, Image2, Label11, Label12, Check1, Graph1, Label13, Label14, Label15, Label16,
    Label17, Label18, Label19, Label20,
};
}  // namespace frm_options

// Bitmap resources of the two windows.
enum PictureId : int {
    kFacePicture = 1001, kBarPicture = 1002, kTitlePicture = 1003, kHidePicture = 1004,
    kBannerPicture = 1005, kAboutPicture = 1006,
};

}  // namespace vt
