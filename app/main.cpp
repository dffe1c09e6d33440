// Veltrane: watches the machine's physical memory from a small shaped window
// and the notification area.
#include "platform/win32/win32_platform.h"
#include "ui/form1.h"

int main() {
    vt::UseSystemLibrariesOnly();
    auto platform = vt::CreateWin32Platform();
    vt::Form1 form1(*platform);
    form1.Start();
    platform->Run();
    return 0;
}
