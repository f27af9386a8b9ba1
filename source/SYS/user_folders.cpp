#include "SYS/user_folders.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

namespace sys {

std::string ConfigHome() {
    // A relative value is invalid by the convention and would depend on the current folder.
    const char* config = std::getenv("XDG_CONFIG_HOME");
    if (config && config[0] == '/') return config;
    const char* home = std::getenv("HOME");
    return std::string(home ? home : "") + "/.config";
}

bool FolderIsWritable(const std::string& hostPath) {
    struct stat info;
    if (stat(hostPath.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) return false;
    return (info.st_mode & 0222) != 0 && access(hostPath.c_str(), W_OK) == 0;
}

bool MakeFolders(const std::string& hostPath) {
    for (size_t cut = hostPath.find('/', 1);; cut = hostPath.find('/', cut + 1)) {
        const std::string prefix = hostPath.substr(0, cut);
        if (!prefix.empty() && mkdir(prefix.c_str(), 0700) != 0 && errno != EEXIST) return false;
        if (cut == std::string::npos) break;
    }
    struct stat info;
    return stat(hostPath.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

} // namespace sys
