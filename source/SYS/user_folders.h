// The user's own folders as the freedesktop conventions name them.
#pragma once
#include <string>

namespace sys {

// $XDG_CONFIG_HOME when it is an absolute path, otherwise $HOME/.config.
std::string ConfigHome();

} // namespace sys
