// Song texts (the music's note data) must be read or refused with a message, never crash or hang.
#include <cstddef>
#include <cstdint>
#include <string>

#include "song.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    soundtools::Song song;
    std::string error;
    soundtools::ParseSong(std::string(reinterpret_cast<const char*>(data), size), song, error);
    return 0;
}
