// Runs a fuzz target once over every file of its corpus folder, so seeds and crash inputs
// found by libFuzzer are replayed by the ordinary test suite.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s corpus-folder\n", argv[0]);
        return 2;
    }
    namespace fs = std::filesystem;
    size_t count = 0;
    std::error_code ec;
    if (fs::is_directory(argv[1], ec)) {
        for (const auto& entry : fs::recursive_directory_iterator(argv[1])) {
            if (!entry.is_regular_file()) continue;
            std::ifstream in(entry.path(), std::ios::binary);
            std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)),
                                       std::istreambuf_iterator<char>());
            LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
            ++count;
        }
    }
    LLVMFuzzerTestOneInput(nullptr, 0);
    std::printf("replayed %zu inputs from %s\n", count, argv[1]);
    return 0;
}
