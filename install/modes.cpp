#include "install/modes.h"

#include "SYS/files.h"
#include "install/cmdline.h"
#include "install/host/session.h"
#include "install/package/packagemode.h"
#include "install/script.h"
#include "install/uninstall.h"
#include "install/unattended.h"

#include <cstdio>

namespace inst {

int RunScriptInstall(InstallerApp& app, const Arguments& arguments, int) {
    std::vector<unsigned char> bytes;
    if (!sys::ReadWholeFile(arguments[0], bytes)) {
        std::fprintf(stderr, "install: cannot read script %s\n", arguments[0].c_str());
        return kExitScriptFailed;
    }
    const std::string text(bytes.begin(), bytes.end());
    const std::string log = arguments.size() > 1 ? arguments[1] : std::string();
    return RunCompleteScript(app, text, log, false) ? kExitOk : kExitScriptFailed;
}

int RunScriptUninstall(InstallerApp& app, const Arguments& arguments, int) {
    return UninstallOne(app, arguments[0]);
}

int RunUninstallAll(InstallerApp& app, const Arguments&, int) {
    return UninstallAll(app);
}

bool CheckNamedPackage(InstallerApp& app, const Arguments& arguments, int value) {
    return pkg::CheckModePackages(app, value, arguments[0]);
}
bool CheckDownloadedLobbyPackages(InstallerApp& app, const Arguments&, int value) {
    return pkg::CheckModePackages(app, value, "");
}
bool CheckAppendedPackages(InstallerApp& app, const Arguments&, int value) {
    return pkg::CheckModePackages(app, value, "");
}
int RunPackageInstall(InstallerApp& app, const Arguments&, int value) {
    if (host::Unattended()) return RunUnattendedInstall(app, value);
    return pkg::WizardInstallModePackages(app, value);
}

} // namespace inst
