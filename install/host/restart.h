// Restarting the machine when an install asks for it.
#pragma once
#include <functional>

namespace host {

// Asks the system to restart (systemctl reboot); false when it refused or could not be asked.
// An unattended run never restarts.
bool RestartMachine();

// Tests put their own restart in place; an empty function restores the system's.
void SetRestartFunction(std::function<bool()> restart);

} // namespace host
