#include "install/variables.h"

#include "install/host/hostfile.h"
#include "install/host/registry.h"
#include "install/host/shellfolders.h"
#include "install/host/userdirs.h"

namespace inst {

const char kMakerKey[] = "software\\tarnwick\\ZorvaneLobbyist";

// The field a packaging tool patches in the executable: the text, zero-filled to 128 bytes.
extern "C" __attribute__((used)) const char kDistributionMarkField[128] = "DMark_replace:Brellum";

static const size_t kMaxRegistryText = 520;
using host::RegRoot;

std::string FolderOf(const std::string& path) {
    const size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string BuiltInDistributionMark() {
    const char* field = kDistributionMarkField;
    size_t length = 0;
    while (length < sizeof kDistributionMarkField && field[length]) ++length;
    const std::string text(field, length);
    const size_t colon = text.find(':');
    return colon == std::string::npos ? std::string() : text.substr(colon + 1);
}

static std::string ReadText(RegRoot root, const char* key, const char* name,
                            const std::string& fallback) {
    std::string text;
    if (!host::RegGetText(root, key, name, &text)) return fallback;
    if (text.size() >= kMaxRegistryText) text.resize(kMaxRegistryText - 1);
    return text;
}

static void WriteMakerValue(const char* name, const std::string& text) {
    host::RegValue value;
    value.text = text;
    host::RegSetValue(RegRoot::LocalMachine, kMakerKey, name, value);
}

void FillVariables(InstallerApp& app) {
    NameMap& v = app.variables;
    const std::string windowsFolder = host::InstallerStateFolder();
    v["DIR_WIN"] = windowsFolder;
    v["DIR_SYS"] = windowsFolder + "/system";
    const char* currentVersion = host::kCurrentVersionKey;
    v["DIR_PROG"] =
        ReadText(RegRoot::LocalMachine, currentVersion, "ProgramFilesDir", "C:\\Program Files");
    v["DIR_PROG_COMM"] = ReadText(RegRoot::LocalMachine, currentVersion, "CommonFilesDir",
                                  v["DIR_PROG"] + "\\Common Files");
    const char* folders = host::kShellFoldersKey;
    const std::string win = v["DIR_WIN"];
    v["GRP_STARTUP"] =
        ReadText(RegRoot::CurrentUser, folders, "StartUp", win + "\\Start Menu\\Programs\\StartUp");
    v["GRP_DESKTOP"] = ReadText(RegRoot::CurrentUser, folders, "Desktop", win + "\\Desktop");
    v["GRP_START_MENU"] =
        ReadText(RegRoot::CurrentUser, folders, "Start Menu", win + "\\Start Menu");
    v["GRP_PROG"] =
        ReadText(RegRoot::CurrentUser, folders, "Programs", win + "\\Start Menu\\Programs");
    v["DIR_APP_DATA"] =
        ReadText(RegRoot::CurrentUser, folders, "AppData", win + "\\Application Data");
    v["GRP_ALL_STARTUP"] =
        ReadText(RegRoot::LocalMachine, folders, "Common Startup", v["GRP_STARTUP"]);
    v["GRP_ALL_DESKTOP"] =
        ReadText(RegRoot::LocalMachine, folders, "Common Desktop", v["GRP_DESKTOP"]);
    v["GRP_ALL_START_MENU"] =
        ReadText(RegRoot::LocalMachine, folders, "Common Start Menu", v["GRP_START_MENU"]);
    v["GRP_ALL_PROG"] = ReadText(RegRoot::LocalMachine, folders, "Common Programs", v["GRP_PROG"]);
    v["DIR_ALL_APP_DATA"] =
        ReadText(RegRoot::LocalMachine, folders, "Common AppData", v["DIR_APP_DATA"]);

    // Values of the maker key take their defaults, and nothing is written, when it is missing.
    const bool makerKey = host::RegKeyExists(RegRoot::LocalMachine, kMakerKey);
    auto maker = [&](const char* name, const std::string& fallback) {
        return makerKey ? ReadText(RegRoot::LocalMachine, kMakerKey, name, fallback) : fallback;
    };
    v["GRP_GAMES"] = maker("GGamesGroup", "Zorvane");
    v["DIR_GAMES"] = maker("GGamesDir", v["DIR_PROG"] + "\\Zorvane");
    v["GGamesRegPath"] = "software\\tarnwick\\ZorvaneLobbyist\\lbpaths";
    v["INST_EXE_PATH"] = FolderOf(app.exePath);
    const std::string builtInMark = BuiltInDistributionMark();
    v["DMARK_LOC"] = builtInMark;
    std::string mark;
    if (makerKey && !host::RegGetText(RegRoot::LocalMachine, kMakerKey, "DMark", &mark))
        WriteMakerValue("DMark", builtInMark);
    v["DMARK"] = maker("DMark", builtInMark);

    std::string lobbyExe = maker("LobbyistExe", "");
    if (lobbyExe.empty() || !host::PathExists(lobbyExe)) {
        lobbyExe = v["DIR_PROG"] + "\\Tarnwick\\ZorvaneLobbyist\\Lobbyist.exe";
        if (makerKey) WriteMakerValue("LobbyistExe", lobbyExe);
    }
    v["LB_EXE"] = lobbyExe;
    v["DIR_LB"] = FolderOf(lobbyExe);
    host::MakeFolders(host::HostPath(v["DIR_LB"]));
    v["DIR_INST"] = v["DIR_LB"] + "Install\\";
    host::MakeFolders(host::HostPath(v["DIR_INST"]));
    std::string kitset = maker("KitsetExe", "");
    if (kitset.empty() || !host::PathExists(kitset)) {
        kitset = v["DIR_LB"] + "\\Kitset.exe";
        if (makerKey) WriteMakerValue("KitsetExe", kitset);
    }
    v["KITSET_EXE"] = kitset;
    v["INST_PRM_CHECK_SYS_REQ"] = "1";
    app.scriptParams.clear();
}

} // namespace inst
