// The shell-folder registry values through which installers find the desktop's folders, seeded
// from the freedesktop folders: Programs and Start Menu are the applications menu, StartUp the
// autostart folder, the program-files folder the user's data folder. The "Common" twins name the
// same folders, since a user's desktop has no machine-wide ones it may write to.
#pragma once
#include <string>

namespace host {

extern const char kShellFoldersKey[];   // under HKCU (user folders) and HKLM ("Common ..." names)
extern const char kCurrentVersionKey[]; // under HKLM: ProgramFilesDir, CommonFilesDir

// Writes every value that is missing; values already there (set by the user) are kept.
bool SeedShellFolders();

} // namespace host
