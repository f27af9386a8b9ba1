// A run without a person at the screen: no windows and no questions. Every message goes to
// stderr and to the run's log; a question takes its default answer, except that an error
// offering Abort, Retry and Ignore is aborted, since retrying unattended would repeat the
// failure for ever.
#pragma once
#include <string>

#include "install/app.h"

namespace inst {

// Before start-up. False with the reason when the log cannot be opened for appending.
bool BeginUnattendedRun(const std::string& logPath, std::string* error);
// The answer an unattended run gives to a message box of this type.
int UnattendedAnswer(unsigned type);
// A line for stderr and for the log of an unattended run.
void ReportLine(const std::string& line);
// A line for the log only.
void LogLine(const std::string& line);
// The install's total progress, logged when it reaches a further whole per cent.
void LogProgress(int percent);
// The package install of an unattended run: the windowless install, and a note when the
// machine must be restarted to complete it (the run never restarts it).
int RunUnattendedInstall(InstallerApp& app, int value);

} // namespace inst
