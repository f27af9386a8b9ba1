// The installer's view of file names: Windows-style names resolved by the platform layer, with
// a shell link "X.lnk" kept on disk as the freedesktop launcher "X.desktop". Scripts and undo
// lines keep naming the link; every operation goes to the launcher.
#pragma once
#include <string>

namespace host {

// "X.lnk" (any case) becomes "X.desktop"; other names are returned unchanged.
std::string LinkDiskName(const std::string& windowsName);
// The host path for a Windows-style name, after the link mapping.
std::string HostPath(const std::string& windowsName);

bool PathExists(const std::string& windowsName);
// A folder itself; a link to one is not.
bool IsFolder(const std::string& windowsName);

} // namespace host
