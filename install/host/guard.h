// The one check before the installer deletes, moves or replaces anything on disk, whatever a
// script, a log or a package says: never the root, HOME or a folder that holds it, a shell
// folder, an XDG base folder or the installer's own folders, and nothing outside the folders
// an installation may change. A refusal is reported on stderr and recorded in the installer's
// state folder.
#pragma once
#include <string>
#include <vector>

namespace host {

// Set at start-up from the machine's values (host paths): folders that are never removed or
// replaced themselves, nor any folder above them; and folders below which an installation may
// change things.
void SetGuardedFolders(const std::vector<std::string>& protectedFolders,
                       const std::vector<std::string>& touchableFolders);
// A further folder an installation may change below (a destination the user chose).
void AddTouchableFolder(const std::string& hostFolder);
// True when the host path may be removed or replaced; otherwise reports the refusal.
bool MayChange(const std::string& hostPath);
// The file the refusals are recorded in.
std::string RefusalLogPath();

} // namespace host
