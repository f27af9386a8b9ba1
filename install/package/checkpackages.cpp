#include "install/package/checkpackages.h"

#include "SYS/files.h"
#include "SYS/msgbox.h"
#include "install/messages.h"
#include "install/package/integritywnd.h"

namespace pkg {

// Every load goes through the integrity-check window, which appears only for slow checks.
static bool LoadChecked(inst::InstallerApp& app, PackageStorage& storage, const std::string& path,
                        bool deleteIfCorrupt) {
    IntegrityCheckWindow window(app);
    return !LoadPackageFile(storage, path, deleteIfCorrupt, true, window.Progress()).corrupt;
}

// Names matching "<folder>\<type>_*.stg" (the current folder for an empty one).
static std::vector<std::string> PackageFiles(const std::string& folder, const std::string& type) {
    const std::string prefix = folder.empty() ? std::string() : folder + "\\";
    std::vector<std::string> paths;
    for (const std::string& name : sys::FindFiles(prefix + type + "_*.stg")) {
        if (name != "." && name != "..") paths.push_back(prefix + name);
    }
    return paths;
}

// Every "lb" and then every "catalog" package of the installer folder, or of the current
// folder when the installer folder holds none of that type; stops at the first corrupt one.
static bool LoadLobbyPackages(inst::InstallerApp& app, PackageStorage& storage) {
    for (const char* type : {"lb", "catalog"}) {
        std::vector<std::string> paths = PackageFiles(app.variables["DIR_INST"], type);
        if (paths.empty()) paths = PackageFiles("", type);
        for (const std::string& path : paths) {
            if (!LoadChecked(app, storage, path, true)) return false;
        }
    }
    return true;
}

bool CheckPackages(inst::InstallerApp& app, PackageStorage& storage, PackageMode mode,
                   const std::string& namedFile) {
    bool ok = true;
    switch (mode) {
    case PackageMode::kAppended: ok = LoadChecked(app, storage, app.exePath, false); break;
    case PackageMode::kNamed: ok = LoadChecked(app, storage, namedFile, false); break;
    case PackageMode::kDownloadedGame:
        ok = LoadChecked(app, storage, namedFile, true) && LoadLobbyPackages(app, storage);
        break;
    case PackageMode::kDownloadedLobby: ok = LoadLobbyPackages(app, storage); break;
    }
    if (!ok) {
        inst::ShowMessage(app, "MsgUserErrFileCorrupt", "MsgUserErrTitlePackage",
                          sys::MB_OK | sys::MB_ICONERROR);
        return false;
    }
    // After loading game-player packages the running game-player program would be asked to
    // close; it has no window on this platform, so there is nothing to ask or wait for.
    return true;
}

} // namespace pkg
