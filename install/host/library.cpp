#include "install/host/library.h"

#include "install/host/hostfile.h"

#include <dlfcn.h>

namespace host {

bool Library::Load(const std::string& windowsName) {
    Unload();
    handle_ = ::dlopen(HostPath(windowsName).c_str(), RTLD_NOW | RTLD_LOCAL);
    return handle_ != nullptr;
}

void Library::Unload() {
    if (handle_) ::dlclose(handle_);
    handle_ = nullptr;
}

void* Library::Entry(const char* name) const {
    return handle_ ? ::dlsym(handle_, name) : nullptr;
}

} // namespace host
