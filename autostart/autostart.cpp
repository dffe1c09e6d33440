#include "autostart/autostart.h"

#include <string>

namespace vt {
namespace {

std::string Reason(const RunChange& change) {
    if (change.accessDenied) return "access was denied.";
    return "Windows error " + std::to_string(change.error) + ".";
}

}  // namespace

void Autostart::Show(bool registered) {
    form_.SetCaption(menuItem_, registered ? "Remove Autostart" : "Make Autostart");
    blnAutostart_ = registered;
}

void Autostart::ReadState() { Show(platform_.Autorun().Registered(platform_.AppTitle())); }

void Autostart::Toggle() {
    RunValue& run = platform_.Autorun();
    const std::string name = platform_.AppTitle();
    const std::string value = "the value \"" + name + "\" under " + run.Where();
    if (blnAutostart_) {
        const RunChange change = run.Unregister(name);
        if (change.outcome != RunChange::Done) {
            platform_.MsgBox("Autostart could not be removed: " + value + " could not be deleted, because " +
                                 Reason(change),
                             kOkOnly | kExclamation, name);
            return;
        }
        Show(false);
        platform_.MsgBox("Autostart removed!", kOkOnly, name);
        return;
    }
    const RunChange change = run.Register(name);
    if (change.outcome == RunChange::NoProgramFile) {
        platform_.MsgBox("Autostart could not be fixed: the program's own file name could not be read.",
                         kOkOnly | kExclamation, name);
        return;
    }
    if (change.outcome != RunChange::Done) {
        platform_.MsgBox("Autostart could not be fixed: " + value + " could not be written, because " +
                             Reason(change),
                         kOkOnly | kExclamation, name);
        return;
    }
    Show(true);
    platform_.MsgBox("Autostart fixed!", kOkOnly, name);
}

}  // namespace vt
