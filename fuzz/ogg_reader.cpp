// Ogg Vorbis files from the game folder: any bytes must open or fail cleanly, and reading,
// looping and rewinding must end without stepping outside the buffer.
#include <cstdint>
#include <cstdio>
#include <unistd.h>
#include <vector>

#include "SOUND/ogg_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    char name[] = "/tmp/fuzz_ogg_XXXXXX";
    int fd = mkstemp(name);
    if (fd < 0) return 0;
    if (size && write(fd, data, size) != ssize_t(size)) {
        close(fd);
        unlink(name);
        return 0;
    }
    close(fd);
    OggReader reader;
    if (reader.Open(name) == 0) {
        std::vector<char> buffer(16384);
        for (int i = 0; i < 32; ++i) reader.Read(buffer.data(), int(buffer.size()), i >= 16);
        reader.Rewind();
        reader.Read(buffer.data(), int(buffer.size()), false);
    }
    reader.Close();
    unlink(name);
    return 0;
}
