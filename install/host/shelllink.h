// Shell links written as freedesktop launchers (.desktop files).
#pragma once
#include <cstdio>
#include <string>
#include <vector>

namespace host {

struct ShellLink {
    std::string target;                 // Windows-style name of the program
    std::vector<std::string> arguments; // passed after it, each as it stands
    std::string workingFolder;          // Windows-style name, may be empty
    std::string iconFile;               // Windows-style name, may be empty
    int iconIndex = 0; // a launcher has one icon per file; kept for the caller's sake
    std::string description;
};

// The launcher text for a link whose file is named linkName (its stem is the menu name): a
// game's launcher in the menu's games category, every argument quoted as the format wants.
std::string DesktopEntryText(const std::string& linkName, const ShellLink& link);
// Writes the launcher for linkName into the open file (the caller moves it into place as
// "X.desktop" for "X.lnk"), executable as desktops require for trusted launchers.
bool WriteShellLink(FILE* file, const std::string& linkName, const ShellLink& link);

} // namespace host
