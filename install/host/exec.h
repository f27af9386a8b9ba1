// Starting programs the way the shell's execute operation does for the installer.
#pragma once
#include <string>
#include <vector>

namespace host {

// Starts the program (Windows-style name) with the arguments, in the working folder when one
// is given; with waitExit true returns only after it has ended. False when it could not start.
bool StartProgram(const std::string& program, const std::vector<std::string>& arguments,
                  const std::string& workingFolder, bool waitExit);

} // namespace host
