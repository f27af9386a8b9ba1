// A shared library loaded at run time (a package's ActiveX or DirectX set-up library).
#pragma once
#include <string>

namespace host {

class Library {
public:
    Library() = default;
    ~Library() { Unload(); }
    Library(const Library&) = delete;
    Library& operator=(const Library&) = delete;

    // Loads the library (Windows-style name); false when it cannot be loaded.
    bool Load(const std::string& windowsName);
    void Unload();
    // The exported entry, or null.
    void* Entry(const char* name) const;

private:
    void* handle_ = nullptr;
};

} // namespace host
