#include "SYS/user_folders.h"

#include <cstdlib>

namespace sys {

std::string ConfigHome() {
    // A relative value is invalid by the convention and would depend on the current folder.
    const char* config = std::getenv("XDG_CONFIG_HOME");
    if (config && config[0] == '/') return config;
    const char* home = std::getenv("HOME");
    return std::string(home ? home : "") + "/.config";
}

} // namespace sys
