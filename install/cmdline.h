// The installer's command line: tokens, the launch-mode table, the usage text and exit codes.
#pragma once
#include <string>
#include <vector>

#include "install/app.h"

namespace inst {

enum ExitCode : int {
    kExitOk = 0,
    kExitNoPackageInfo = 1,
    kExitInstallFailed = 2,
    kExitStartupFailed = 3,
    kExitScriptFailed = 4,
};

// Blanks (spaces only) separate tokens; a token opened by '"' runs to the next '"', in which
// '""' stands for one '"'; a missing closing quote ends the token at the end of the text.
std::vector<std::string> SplitCommandLine(const std::string& text);

using ModeOperation = int (*)(InstallerApp& app, const std::vector<std::string>& arguments,
                              int value);
using ModeCheck = bool (*)(InstallerApp& app, const std::vector<std::string>& arguments,
                           int value);

struct LaunchMode {
    ModeOperation run;
    ModeCheck check;   // or null
    const char* name;  // or null for the default row
    const char* help;
    int value;
    int argumentCount;
    bool exact;
};

const std::vector<LaunchMode>& LaunchModes();
// The first row that matches the tokens (name included), or null.
const LaunchMode* ChooseLaunchMode(const std::vector<std::string>& tokens);
std::string UsageText();
// Picks the mode, runs its check and its operation; shows the usage box when no row matches
// and tokens were given. Returns the exit code.
int RunLaunchMode(InstallerApp& app, const std::vector<std::string>& tokens);

} // namespace inst
