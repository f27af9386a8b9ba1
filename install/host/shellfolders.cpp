#include "install/host/shellfolders.h"

#include "install/host/registry.h"
#include "install/host/userdirs.h"

namespace host {

const char kShellFoldersKey[] =
    "software\\microsoft\\windows\\currentversion\\explorer\\shell folders";
const char kCurrentVersionKey[] = "software\\microsoft\\windows\\currentversion";

static bool SeedValue(RegRoot root, const char* key, const char* name, const std::string& folder) {
    RegValue existing;
    if (RegGetValue(root, key, name, &existing)) return true;
    RegValue value;
    value.text = folder;
    return RegCreateKey(root, key, nullptr) && RegSetValue(root, key, name, value);
}

bool SeedShellFolders() {
    const std::string desktop = UserDir("DESKTOP", "Desktop");
    const std::string menu = DataHome() + "/applications";
    const std::string autostart = ConfigHome() + "/autostart";
    const std::string appData = DataHome();
    struct Row {
        const char* user;
        const char* common;
        std::string folder;
    };
    const Row rows[] = {
        {"Desktop", "Common Desktop", desktop},    {"Programs", "Common Programs", menu},
        {"Start Menu", "Common Start Menu", menu}, {"StartUp", "Common Startup", autostart},
        {"AppData", "Common AppData", appData},
    };
    bool ok = true;
    for (const Row& row : rows) {
        ok = SeedValue(RegRoot::CurrentUser, kShellFoldersKey, row.user, row.folder) && ok;
        ok = SeedValue(RegRoot::LocalMachine, kShellFoldersKey, row.common, row.folder) && ok;
    }
    ok = SeedValue(RegRoot::LocalMachine, kCurrentVersionKey, "ProgramFilesDir", DataHome()) && ok;
    ok = SeedValue(RegRoot::LocalMachine, kCurrentVersionKey, "CommonFilesDir",
                   DataHome() + "/Common Files") &&
         ok;
    return ok;
}

} // namespace host
