// The installer's built-in resources (string table, skin pictures, frame tables), compiled
// into the executable and found by identifier and type as the Windows resource section was.
#pragma once
#include <cstddef>
#include <string>

namespace inst {

struct ResourceEntry {
    int id;
    const char* type;
    const unsigned char* data;
    size_t size;
};

struct ResourceData {
    const unsigned char* data = nullptr;
    size_t size = 0;
};

// The type compares ignoring case ("BIN", "PNG", "anim").
bool FindResource(int id, const std::string& type, ResourceData* out);

extern const ResourceEntry kResources[];
extern const size_t kResourceCount;

} // namespace inst
