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

// The specified message on success; a refusal says what could not be done
// and why, and changes neither the caption nor the state.
void Autostart::Toggle() {
    RunValue& run = platform_.Autorun();
    const std::string name = platform_.AppTitle();
    const bool registering = !blnAutostart_;
    const RunChange change = registering ? run.Register(name) : run.Unregister(name);
    if (change.outcome != RunChange::Done) {
        const std::string what = registering ? "Autostart could not be fixed: " : "Autostart could not be removed: ";
        const std::string why =
            change.outcome == RunChange::NoProgramFile
                ? "the program's own file name could not be read."
                : "the value \"" + name + "\" under " + run.Where() + " could not be " +
                      (registering ? "written" : "deleted") + ", because " + Reason(change);
        platform_.MsgBox(what + why, kOkOnly | kExclamation, name);
        return;
    }
    Show(registering);
    platform_.MsgBox(registering ? "Autostart fixed!" : "Autostart removed!", kOkOnly, name);
}

}  // namespace vt
