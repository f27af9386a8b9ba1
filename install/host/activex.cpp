#include "install/host/activex.h"

#include "install/host/hostfile.h"

#include <dlfcn.h>

namespace host {

bool CallRegistrationEntry(const std::string& library, const char* entryName) {
    void* handle = ::dlopen(HostPath(library).c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) return false;
    using Entry = long (*)();
    auto entry = reinterpret_cast<Entry>(::dlsym(handle, entryName));
    bool ok = false;
    if (entry) {
        try {
            ok = entry() >= 0;
        } catch (...) {
            ok = false;  // a library that throws has not registered
        }
    }
    ::dlclose(handle);
    return ok;
}

} // namespace host
