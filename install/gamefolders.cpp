#include "install/gamefolders.h"

#include "install/host/guard.h"
#include "install/host/hostfile.h"
#include "install/host/registry.h"
#include "install/variables.h"

#include <cstdio>
#include <filesystem>

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
    // A folder the user chose is a name, not a text with references: "100% Fun" stays.
    for (NameMap* map : {&app.variables, &app.scriptParams, &app.machineValues}) {
        (*map)["DIR_GAMES"] = folder;
        (*map)["GRP_GAMES"] = group;
    }
    return folderWritten && groupWritten;
}

bool UseChosenFolders(InstallerApp& app, const std::string& destination, const std::string& group) {
    if (destination.empty() && group.empty()) return true;
    std::string folder = app.variables["DIR_GAMES"];
    if (!destination.empty()) {
        std::error_code ec;
        const std::filesystem::path absolute = std::filesystem::absolute(destination, ec);
        folder = (ec ? std::filesystem::path(destination) : absolute).lexically_normal().string();
        while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
    }
    if (!StoreGameFolders(app, folder, group.empty() ? app.variables["GRP_GAMES"] : group)) {
        std::fprintf(stderr,
                     "install: the games folder and group cannot be stored in the registry\n");
        return false;
    }
    host::AddTouchableFolder(host::HostPath(folder));
    return true;
}

} // namespace inst
