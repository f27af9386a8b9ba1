#include "install/startup.h"

#include "install/cmdline.h"
#include "install/host/pending.h"
#include "install/host/shellfolders.h"
#include "install/resources.h"
#include "install/skin.h"
#include "install/variables.h"

#include <clocale>
#include <cstdio>

namespace inst {

static const int kStringTableId = 121;

bool StartInstaller(InstallerApp& app, const std::string& exePath) {
    // Numbers in the files the installer writes stay in the C locale's form.
    std::setlocale(LC_NUMERIC, "C");
    host::RunPendingOperations();
    host::SeedShellFolders();
    app.exePath = exePath;
    app.flags |= kDelayedOpsAllowed;
    FillVariables(app);
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

int InstallerMain(const std::string& exePath, const std::vector<std::string>& tokens) {
    InstallerApp app;
    if (!StartInstaller(app, exePath)) return kExitStartupFailed;
    return RunLaunchMode(app, tokens);
}

} // namespace inst
