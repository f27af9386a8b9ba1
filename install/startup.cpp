#include "install/startup.h"

#include "install/cmdline.h"
#include "SYS/msgbox.h"
#include "install/host/guard.h"
#include "install/host/hostfile.h"
#include "install/host/pending.h"
#include "install/host/session.h"
#include "install/host/shellfolders.h"
#include "install/host/userdirs.h"
#include "install/resources.h"
#include "install/skin.h"
#include "install/unattended.h"
#include "install/variables.h"

#include <clocale>
#include <vector>
#include <cstdio>

namespace inst {

static const int kStringTableId = 121;

// The shell folders are the desktop's: they exist before any script runs, so no undo line
// names them, and with HOME, the XDG folders and the installer's own folders the host never
// removes them. Changes are allowed below them and below the program and games folders.
static void GuardMachineFolders(InstallerApp& app) {
    std::vector<std::string> protectedFolders = host::DesktopFolders();
    std::vector<std::string> touchable;
    for (const char* name : {"GRP_STARTUP", "GRP_DESKTOP", "GRP_START_MENU", "GRP_PROG",
                             "GRP_ALL_STARTUP", "GRP_ALL_DESKTOP", "GRP_ALL_START_MENU",
                             "GRP_ALL_PROG", "DIR_APP_DATA", "DIR_ALL_APP_DATA"}) {
        const std::string folder = host::HostPath(app.variables[name]);
        host::MakeFolders(folder);
        protectedFolders.push_back(folder);
        touchable.push_back(folder);
    }
    for (const char* name :
         {"DIR_PROG", "DIR_PROG_COMM", "DIR_WIN", "DIR_SYS", "DIR_LB", "DIR_INST"}) {
        protectedFolders.push_back(host::HostPath(app.variables[name]));
        touchable.push_back(host::HostPath(app.variables[name]));
    }
    touchable.push_back(host::HostPath(app.variables["DIR_GAMES"]));
    host::SetGuardedFolders(protectedFolders, touchable);
}

bool StartInstaller(InstallerApp& app, const std::string& exePath) {
    // Numbers in the files the installer writes stay in the C locale's form.
    std::setlocale(LC_NUMERIC, "C");
    // Without a display a question that deletes or overwrites is answered No, Cancel or Abort,
    // unless the run was asked to be unattended.
    sys::SetHeadlessSafeAnswers(!host::Unattended());
    host::SeedShellFolders();
    app.exePath = exePath;
    app.flags |= kDelayedOpsAllowed;
    FillVariables(app);
    // Every value taken from the machine expands to itself, whatever characters it holds.
    app.machineValues = app.variables;
    GuardMachineFolders(app);
    host::RunPendingOperations();
    if (!LoadSkin(&app.skin)) {
        std::fprintf(stderr, "install: the skin resources are missing or damaged\n");
        return false;
    }
    ResourceData table;
    if (!FindResource(kStringTableId, "BIN", &table) || !app.strings.Load(table.data, table.size)) {
        std::fprintf(stderr, "install: the string table resource is missing or damaged\n");
        return false;
    }
    return true;
}

static std::string ProgramName(const std::string& exePath) {
    const size_t slash = exePath.find_last_of('/');
    return slash == std::string::npos ? exePath : exePath.substr(slash + 1);
}

// A failed run always ends with a message on stderr, whatever the mode showed before.
static int Finish(int code) {
    const std::string line =
        "install: exit code " + std::to_string(code) + ": " + ExitCodeMeaning(code);
    if (code != kExitOk)
        ReportLine(line);
    else if (host::Unattended())
        LogLine(line);
    return code;
}

int InstallerMain(const std::string& exePath, const std::vector<std::string>& tokens) {
    CommandOptions options;
    std::vector<std::string> modeTokens;
    std::string error;
    if (!ParseCommandOptions(tokens, &options, &modeTokens, &error)) {
        std::fprintf(stderr, "install: %s (see --help)\n", error.c_str());
        return kExitStartupFailed;
    }
    if (options.help) {
        std::fputs(HelpText(ProgramName(exePath)).c_str(), stdout);
        return kExitOk;
    }
    const LaunchMode* mode = ChooseLaunchMode(modeTokens);
    if (!OptionsFitMode(options, mode, &error)) {
        std::fprintf(stderr, "install: %s (see --help)\n", error.c_str());
        return kExitStartupFailed;
    }
    if (options.unattended) {
        if (!BeginUnattendedRun(options.logFile, &error)) {
            std::fprintf(stderr, "install: %s\n", error.c_str());
            return kExitStartupFailed;
        }
        // Refused before start-up, which already creates folders and registry values.
        if (mode && IsPackageMode(*mode) && !options.acceptLicence) {
            ReportLine("install: an unattended install needs --accept-licence: the packages' "
                       "licence must be accepted; nothing was changed");
            return kExitInstallFailed;
        }
    }
    InstallerApp app;
    if (!StartInstaller(app, exePath)) return Finish(kExitStartupFailed);
    return Finish(RunLaunchMode(app, modeTokens, options));
}

} // namespace inst
