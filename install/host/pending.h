// Delayed file operations: what cannot be deleted or replaced now is recorded in the pending
// file and carried out when the installer next starts (the host's "at restart").
#pragma once
#include <string>

namespace host {

// Records "move source to target" (target empty: delete source); host paths are recorded, so
// the later run does not depend on the current folder. False when it cannot be recorded.
bool ScheduleDelayedMove(const std::string& source, const std::string& target);
// Carries out and forgets every recorded operation, in the order recorded. Returns the count of
// operations that failed (reported on stderr).
int RunPendingOperations();
std::string PendingFilePath();

// The installer's restart request: recorded for the desktop session, never acted on here.
bool RecordRestartRequest();
bool RestartRequested();

} // namespace host
