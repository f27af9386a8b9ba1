// Registry hive files: whatever a hive file holds, reading it and changing it must neither
// crash nor write a hive that does not read back.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "install/host/registry.h"
#include "install/host/userdirs.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const bool ready = [] {
        static char folder[] = "/tmp/inst_hive_fuzz_XXXXXX";
        if (!::mkdtemp(folder)) std::abort();
        ::setenv("XDG_CONFIG_HOME", folder, 1);
        std::atexit([] {
            std::error_code ec;
            std::filesystem::remove_all(folder, ec);
        });
        return host::MakeFolders(host::InstallerStateFolder() + "/registry");
    }();
    if (!ready) std::abort();
    const std::string path = host::HiveFilePath(host::RegRoot::CurrentUser);
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return 0;
    if (size) std::fwrite(data, 1, size, f);
    std::fclose(f);
    host::RegKeyInfo info;
    host::RegQueryKeyInfo(host::RegRoot::CurrentUser, "software", &info);
    if (host::RegCreateKey(host::RegRoot::CurrentUser, "software\\fuzz", nullptr)) {
        host::RegValue value;
        value.text = std::string(reinterpret_cast<const char*>(data), size < 64 ? size : 64);
        host::RegSetValue(host::RegRoot::CurrentUser, "software\\fuzz", value.text, value);
        if (!host::RegKeyExists(host::RegRoot::CurrentUser, "software\\fuzz")) __builtin_trap();
    }
    return 0;
}
