// The package launch modes' two operations (default, PackInst, InstDownGame, InstDownLB):
// the check loads and verifies the mode's package files, the install reads the first block's
// information and installs every block. The packages stay loaded in between.
#pragma once
#include <string>

#include "install/app.h"
#include "install/package/storage.h"

namespace pkg {

// The packages of this run, kept until shut-down.
PackageStorage& LoadedPackages();
// value: 0 default, 1 PackInst, 2 InstDownGame, 3 InstDownLB; namedFile for 1 and 2.
bool CheckModePackages(inst::InstallerApp& app, int value, const std::string& namedFile);
// Exit code: 1 without the package information, 2 when the install fails, else 0. Downloaded
// package files (values 2 and 3) are deleted after a successful install.
// Without windows, for unattended runs.
int InstallModePackages(inst::InstallerApp& app, int value);
// The same through the wizard; its result is the exit code (4 when a page window cannot be made).
int WizardInstallModePackages(inst::InstallerApp& app, int value);

} // namespace pkg
