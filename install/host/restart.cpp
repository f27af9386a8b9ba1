#include "install/host/restart.h"

#include "install/host/exec.h"
#include "install/host/session.h"

namespace host {
namespace {

std::function<bool()>& Replacement() {
    static std::function<bool()> restart;
    return restart;
}

} // namespace

bool RestartMachine() {
    if (Unattended()) return false;
    if (Replacement()) return Replacement()();
    // The login manager lets the user of a local session restart without a password.
    return StartProgram("systemctl", {"reboot"}, "", true);
}

void SetRestartFunction(std::function<bool()> restart) {
    Replacement() = std::move(restart);
}

} // namespace host
