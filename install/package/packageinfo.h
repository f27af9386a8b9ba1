// The package information of the first block ("~Info"): its variables, licence and picture.
#pragma once
#include <string>

#include "install/app.h"
#include "install/package/storage.h"

namespace pkg {

// Reads "~Info\gameinfo.inf" into the variables (required), the licence (the package's own,
// else the built-in text) expanded into `licence`, and "~Info\InstallImg.png" (required) as
// the wizard's package picture over the skin colour. False at the first failure.
bool LoadPackageInfo(inst::InstallerApp& app, const PackageStorage& storage, std::string* licence);

} // namespace pkg
