// A package's information file (8-bit or UTF-16 with a code-page line).
#include <cstddef>
#include <cstdint>

#include "install/gameinfo.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    inst::NameMap values;
    inst::ParseGameInfo(data, size, values);
    return 0;
}
