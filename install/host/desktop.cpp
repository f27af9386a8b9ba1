#include "install/host/desktop.h"

#include <cstdlib>
#include <initializer_list>

namespace host {

bool DesktopPresent() {
    for (const char* name : {"SDL_VIDEODRIVER", "DISPLAY", "WAYLAND_DISPLAY"}) {
        const char* value = std::getenv(name);
        if (value && *value) return true;
    }
    return false;
}

} // namespace host
