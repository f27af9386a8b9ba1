#include "install/host/activex.h"

#include "install/host/library.h"

namespace host {

bool CallRegistrationEntry(const std::string& library, const char* entryName) {
    Library loaded;
    if (!loaded.Load(library)) return false;
    using Entry = long (*)();
    auto entry = reinterpret_cast<Entry>(loaded.Entry(entryName));
    bool ok = false;
    if (entry) {
        try {
            ok = entry() >= 0;
        } catch (...) {
            ok = false; // a library that throws has not registered
        }
    }
    return ok;
}

} // namespace host
