// The check operation of the package launch modes: which package files are loaded, and what
// happens when one is corrupt.
#pragma once
#include <string>

#include "install/app.h"
#include "install/package/storage.h"

namespace pkg {

enum class PackageMode { kAppended = 0, kNamed = 1, kDownloadedGame = 2, kDownloadedLobby = 3 };

// Loads the mode's files (namedFile for kNamed and kDownloadedGame); a corrupt one shows the
// corrupt-files message and fails the check. Downloaded files are deleted when corrupt.
bool CheckPackages(inst::InstallerApp& app, PackageStorage& storage, PackageMode mode,
                   const std::string& namedFile);

} // namespace pkg
