#include "install/host/userdirs.h"

#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <sys/stat.h>

namespace host {

static std::string EnvOr(const char* name, const std::string& fallback) {
    const char* value = std::getenv(name);
    return value && *value ? std::string(value) : fallback;
}

std::string HomeFolder() {
    return EnvOr("HOME", "/tmp");
}
std::string ConfigHome() {
    return EnvOr("XDG_CONFIG_HOME", HomeFolder() + "/.config");
}
std::string DataHome() {
    return EnvOr("XDG_DATA_HOME", HomeFolder() + "/.local/share");
}

std::string UserDir(const std::string& name, const std::string& fallback) {
    // Lines look like: XDG_DESKTOP_DIR="$HOME/Desktop"
    std::ifstream in(ConfigHome() + "/user-dirs.dirs");
    const std::string wanted = "XDG_" + name + "_DIR=";
    std::string line;
    while (std::getline(in, line)) {
        if (line.compare(0, wanted.size(), wanted) != 0) continue;
        std::string value = line.substr(wanted.size());
        if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
            value = value.substr(1, value.size() - 2);
        if (value.compare(0, 5, "$HOME") == 0) value = HomeFolder() + value.substr(5);
        if (!value.empty() && value[0] == '/') return value;
    }
    return HomeFolder() + "/" + fallback;
}

std::vector<std::string> DesktopFolders() {
    const std::string home = HomeFolder();
    std::vector<std::string> folders = {home,
                                        ConfigHome(),
                                        DataHome(),
                                        home + "/.local",
                                        home + "/.local/bin",
                                        EnvOr("XDG_CACHE_HOME", home + "/.cache"),
                                        EnvOr("XDG_STATE_HOME", home + "/.local/state")};
    const struct {
        const char* name;
        const char* fallback;
    } userFolders[] = {{"DESKTOP", "Desktop"},     {"DOCUMENTS", "Documents"},
                       {"DOWNLOAD", "Downloads"},  {"MUSIC", "Music"},
                       {"PICTURES", "Pictures"},   {"PUBLICSHARE", "Public"},
                       {"TEMPLATES", "Templates"}, {"VIDEOS", "Videos"}};
    for (const auto& folder : userFolders) folders.push_back(UserDir(folder.name, folder.fallback));
    return folders;
}

std::string InstallerStateFolder() {
    return ConfigHome() + "/reefpop-install";
}

bool MakeFolders(const std::string& hostPath) {
    for (size_t pos = 1; pos <= hostPath.size(); ++pos) {
        if (pos != hostPath.size() && hostPath[pos] != '/') continue;
        const std::string prefix = hostPath.substr(0, pos);
        if (::mkdir(prefix.c_str(), 0755) != 0 && errno != EEXIST) return false;
    }
    struct stat st;
    return ::stat(hostPath.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

} // namespace host
