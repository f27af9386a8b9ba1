// The "str2" string table: loading checks every offset, so lookups stay inside the data.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "install/stringtable.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // A copy of exactly size bytes, so a read past the end is caught.
    const std::vector<unsigned char> bytes(data, data + size);
    inst::StringTable table;
    if (!table.Load(bytes.data(), bytes.size())) return 0;
    std::string text;
    for (const char* key : {"BtnNext", "btnback", "", "MsgIntErrCmdNotFound", "x"})
        table.Lookup(key, &text);
    return 0;
}
