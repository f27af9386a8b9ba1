// Wave files from the game folder: any bytes must open or fail cleanly and read within bounds.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>
#include <vector>

#include "BASE/errlog.h"
#include "SOUND/fwav.h"

namespace {

void ReadAll(const char* name) {
    WaveReader reader;
    if (reader.Open(name) == 0) {
        std::vector<char> buffer(4096);
        for (int i = 0; i < 64 && reader.Read(buffer.data(), int(buffer.size()), i % 2 == 1) > 0;
             ++i) {
        }
        reader.Rewind();
        reader.Read(buffer.data(), int(buffer.size()), true);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    char name[] = "/tmp/fuzz_wave_XXXXXX";
    int fd = mkstemp(name);
    if (fd < 0) return 0;
    bool written = size == 0 || write(fd, data, size) == ssize_t(size);
    close(fd);
    // Failures are logged to gerr.log in the current folder: keep that in a scratch folder.
    static std::string scratch = [] {
        char folder[] = "/tmp/fuzz_wave_log_XXXXXX";
        return std::string(mkdtemp(folder) ? folder : "");
    }();
    char home[4096];
    if (written && !scratch.empty() && getcwd(home, sizeof home) && chdir(scratch.c_str()) == 0) {
        ReadAll(name);
        CloseErrorLog();
        unlink("gerr.log");
        if (chdir(home) != 0) std::abort();
    }
    unlink(name);
    return 0;
}
