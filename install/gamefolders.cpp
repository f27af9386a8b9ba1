#include "install/gamefolders.h"

#include "install/host/registry.h"
#include "install/variables.h"

namespace inst {

static bool SetMakerText(const char* name, const std::string& text) {
    host::RegValue value;
    value.text = text;
    return host::RegSetValue(host::RegRoot::LocalMachine, kMakerKey, name, value);
}

bool StoreGameFolders(InstallerApp& app, const std::string& folder, const std::string& group) {
    if (!host::RegCreateKey(host::RegRoot::LocalMachine, kMakerKey, nullptr)) return false;
    const bool folderWritten = SetMakerText("GGamesDir", folder);
    const bool groupWritten = SetMakerText("GGamesGroup", group);
    for (NameMap* map : {&app.variables, &app.scriptParams}) {
        (*map)["DIR_GAMES"] = folder;
        (*map)["GRP_GAMES"] = group;
    }
    return folderWritten && groupWritten;
}

} // namespace inst
