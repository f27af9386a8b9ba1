// What the last pages do when they are left: start the installed game (or the game player),
// restart the machine.
#pragma once
#include <optional>
#include <string>

#include "install/app.h"

namespace wiz {

// GEXE when the start box is ticked, else LB_EXE; script parameters only, since only what the
// install script set or used names a program it installed.
std::optional<std::string> ProgramToStart(const inst::NameMap& scriptParams, bool startTicked);

// Opens the program through the shell with its own folder as working folder.
bool StartInstalledProgram(const std::string& program);

} // namespace wiz
