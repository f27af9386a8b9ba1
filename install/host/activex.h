// Registration of ActiveX libraries: the library is loaded with dlopen and its exported
// DllRegisterServer or DllUnregisterServer entry is called.
#pragma once
#include <string>

namespace host {

// True when the library loads, exports the entry, and the entry returns a non-negative result.
bool CallRegistrationEntry(const std::string& library, const char* entryName);

} // namespace host
