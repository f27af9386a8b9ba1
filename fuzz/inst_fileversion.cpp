// Version resources of Windows programs and libraries: every offset in the file is checked.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "install/host/fileversion.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::vector<unsigned char> bytes(data, data + size);
    host::FileVersion version;
    host::FileVersionFromBytes(bytes.data(), bytes.size(), &version);
    return 0;
}
