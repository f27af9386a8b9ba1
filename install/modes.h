// The operations of the launch modes.
#pragma once
#include <string>
#include <vector>

#include "install/app.h"

namespace inst {

using Arguments = std::vector<std::string>;

// ScriptInst: the script runs forwards, its undo lines appended to the optional log.
int RunScriptInstall(InstallerApp& app, const Arguments& arguments, int value);
// ScriptUInst: one package from its log.
int RunScriptUninstall(InstallerApp& app, const Arguments& arguments, int value);
// UInstAllLBAndKV: every package.
int RunUninstallAll(InstallerApp& app, const Arguments& arguments, int value);

// The package modes: the check loads and verifies the mode's packages (a corrupt one ends the
// mode with code 3); the install reads the package information and installs every block.
bool CheckNamedPackage(InstallerApp& app, const Arguments& arguments, int value);
bool CheckDownloadedLobbyPackages(InstallerApp& app, const Arguments& arguments, int value);
bool CheckAppendedPackages(InstallerApp& app, const Arguments& arguments, int value);
int RunPackageInstall(InstallerApp& app, const Arguments& arguments, int value);

} // namespace inst
