// INI files come from outside (settings, screen descriptions, install scripts): any bytes must
// read without overruns, and a write must store its value while leaving every other value as it
// was.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "SYS/files.h"
#include "SYS/profile.h"
#include "SYS/textcodec.h"

namespace {

constexpr size_t kMostNames = 8;
constexpr size_t kListSize = 4096;
constexpr size_t kValueSize = 256;

const std::string& FuzzFile();

void RemoveFuzzFile() {
    std::remove(FuzzFile().c_str());
    std::remove(FuzzFile().substr(0, FuzzFile().rfind('/')).c_str());
}

const std::string& FuzzFile() {
    static const std::string path = [] {
        // A memory file system keeps the atomic writes' fsync cheap.
        std::string pattern =
            access("/dev/shm", W_OK) == 0 ? "/dev/shm/ini_fuzz_XXXXXX" : "/tmp/ini_fuzz_XXXXXX";
        if (!mkdtemp(&pattern[0])) std::abort();
        return pattern + "/fuzz.ini";
    }();
    static const bool cleanUpAtExit = std::atexit(RemoveFuzzFile) == 0;
    (void)cleanUpAtExit;
    return path;
}

void Check(bool condition, const char* what) {
    if (condition) return;
    std::fprintf(stderr, "invariant broken: %s\n", what);
    std::abort();
}

// A '\0'-separated list as the profile functions return it, at most kMostNames names.
std::vector<std::string> ReadList(const char* section) {
    std::vector<char> buffer(kListSize + 1, '#');
    size_t length = sys::GetPrivateProfileString(section, nullptr, "", buffer.data(), kListSize,
                                                 FuzzFile().c_str());
    Check(buffer[kListSize] == '#', "list written past its buffer");
    // Each name ends in '\0' and the list in a second one; an empty list is two '\0'.
    Check(length + 1 < kListSize && buffer[length] == '\0' &&
              buffer[length == 0 ? 1 : length - 1] == '\0',
          "list not ended by two '\\0'");
    std::vector<std::string> names;
    for (size_t at = 0; at < length && names.size() < kMostNames;) {
        names.emplace_back(&buffer[at]);
        at += names.back().size() + 1;
    }
    return names;
}

std::string ReadValue(const std::string& section, const std::string& key, size_t size) {
    std::vector<char> buffer(size + 1, '#');
    size_t length = sys::GetPrivateProfileString(section.c_str(), key.c_str(), "(none)",
                                                 buffer.data(), size, FuzzFile().c_str());
    Check(buffer[size] == '#', "value written past its buffer");
    Check(length < size && buffer[length] == '\0', "value not ended by '\\0'");
    sys::GetPrivateProfileInt(section.c_str(), key.c_str(), 5, FuzzFile().c_str());
    return std::string(buffer.data(), length);
}

struct Entry {
    std::string section, key, value;
};

std::vector<Entry> ReadEverything() {
    std::vector<Entry> entries;
    for (const std::string& section : ReadList(nullptr))
        for (const std::string& key : ReadList(section.c_str()))
            entries.push_back({section, key, ReadValue(section, key, kValueSize)});
    return entries;
}

bool SameName(const std::string& a, const std::string& b) {
    return sys::EqualIgnoringCase(a, b);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string bytes(reinterpret_cast<const char*>(data), size);
    if (!sys::ReplaceFileAtomically(FuzzFile(), bytes)) std::abort();

    std::vector<Entry> before = ReadEverything();
    for (size_t tiny : {1, 2, 3}) ReadValue("a", "b", tiny);
    std::vector<char> small(3);
    sys::GetPrivateProfileString(nullptr, nullptr, "", small.data(), small.size(),
                                 FuzzFile().c_str());

    const std::string section = before.empty() ? std::string("fuzz") : before[0].section;
    const std::string key = "FuzzKey";
    if (sys::WritePrivateProfileString(section.c_str(), key.c_str(), "written",
                                       FuzzFile().c_str())) {
        Check(ReadValue(section, key, kValueSize) == "written", "written value not read back");
        for (const Entry& entry : before) {
            if (SameName(entry.section, section) && SameName(entry.key, key)) continue;
            Check(ReadValue(entry.section, entry.key, kValueSize) == entry.value,
                  "a write changed another value");
        }
        Check(sys::WritePrivateProfileString(section.c_str(), key.c_str(), nullptr,
                                             FuzzFile().c_str()),
              "key deletion failed");
        Check(ReadValue(section, key, kValueSize) == "(none)", "deleted key still read");
        Check(sys::WritePrivateProfileString(section.c_str(), nullptr, nullptr, FuzzFile().c_str()),
              "section deletion failed");
        Check(ReadList(section.c_str()).empty(), "deleted section still has keys");
    }
    return 0;
}
