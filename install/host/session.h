// How this run of the installer meets its user.
#pragma once

namespace host {

// An unattended run (the wizard's "--unattended") takes the default answer of every question
// even without a display; otherwise such questions take the safe answer (No, Cancel, Abort).
// Set it before the installer starts.
void SetUnattended(bool unattended);
bool Unattended();
// True when a window can be shown on a display.
bool HasDisplay();

} // namespace host
