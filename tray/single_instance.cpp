#include "tray/single_instance.h"

namespace vt {

void CheckPrevInstance(Platform& platform) {
    if (!platform.PrevInstance()) return;
    platform.MsgBox("The program is already in use.", kOkOnly | kMsgBoxRight, platform.AppTitle());
    platform.End();
}

}  // namespace vt
