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
using ModeCheck = bool (*)(InstallerApp& app, const std::vector<std::string>& arguments, int value);

struct LaunchMode {
    ModeOperation run;
    ModeCheck check;  // or null
    const char* name; // or null for the default row
    const char* help;
    int value;
    int argumentCount;
    bool exact;
};

const std::vector<LaunchMode>& LaunchModes();
// The first row that matches the tokens (name included), or null.
const LaunchMode* ChooseLaunchMode(const std::vector<std::string>& tokens);
std::string UsageText();
// The four rows that install packages through the wizard (values 0 to 3).
bool IsPackageMode(const LaunchMode& mode);
// What an exit code tells, for --help and for the message a failed run ends with.
const char* ExitCodeMeaning(int code);

// The options beyond the launch modes, for installs without a person at the screen.
struct CommandOptions {
    bool help = false;
    bool unattended = false;
    bool acceptLicence = false;
    std::string destination; // empty: the stored or default games folder
    std::string group;       // empty: the stored or default start-menu group
    std::string logFile;
};
// Takes the options ("--name" or "--name value") out of the tokens wherever they stand, up to
// a "--" token; what is left, and everything after "--", are the launch mode's tokens. False
// with the reason when an option is unknown or lacks its value.
bool ParseCommandOptions(const std::vector<std::string>& tokens, CommandOptions* options,
                         std::vector<std::string>* modeTokens, std::string* error);
// False with the reason when the options do not fit the chosen mode (null when none matched):
// the folder and group are settings of the package modes, --accept-licence and --log belong
// to --unattended, a group stays inside the start menu.
bool OptionsFitMode(const CommandOptions& options, const LaunchMode* mode, std::string* error);
// Every option, launch mode and exit code, for --help.
std::string HelpText(const std::string& programName);

// Picks the mode, runs its check and its operation; shows the usage box when no row matches
// and tokens were given. A package mode stores the folder and group the options name (see
// StoreGameFolders) once its check has passed. Returns the exit code.
int RunLaunchMode(InstallerApp& app, const std::vector<std::string>& tokens,
                  const CommandOptions& options = CommandOptions());

} // namespace inst
