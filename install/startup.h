// The installer's start-up and the run of one launch mode.
#pragma once
#include <string>
#include <vector>

#include "install/app.h"

namespace inst {

// Carries out delayed operations, seeds the shell folders, fills Variables and loads the string
// table and the skin. False when a resource is missing or damaged.
bool StartInstaller(InstallerApp& app, const std::string& exePath);
// Start-up, then the launch mode chosen by the tokens; returns the exit code.
int InstallerMain(const std::string& exePath, const std::vector<std::string>& tokens);

} // namespace inst
