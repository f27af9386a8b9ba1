// Hostile .tva files must be refused or read within their bounds.
#include "picture_harness.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    return fuzzpicture::FuzzReader(".tva", data, size);
}
