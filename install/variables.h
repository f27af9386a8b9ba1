// Variables filled at start-up from the machine: shell folders, the maker's registry key,
// program paths and the built-in distribution mark.
#pragma once
#include <string>

#include "install/app.h"

namespace inst {

extern const char kMakerKey[]; // under HKLM

// The folder of a path: up to and including its last '\' or '/' (empty when there is none).
std::string FolderOf(const std::string& path);
// The text after the first ':' of the built-in 128-byte distribution-mark field.
std::string BuiltInDistributionMark();
// Fills app.variables and empties app.scriptParams.
void FillVariables(InstallerApp& app);

} // namespace inst
