// A container block's folder tables: the input is the block after its header (a valid header
// and checksum are put in front), read by path and extracted below a scratch folder.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <string>
#include <unistd.h>
#include <vector>

#include "install/app.h"
#include "install/package/builder.h"
#include "install/package/entries.h"
#include "install/package/extract.h"
#include "install/script.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > (1u << 20)) return 0;
    std::vector<uint8_t> block = pkg::BuildContainer({}, {});
    block.resize(pkg::kContainerHeaderSize);
    block.insert(block.end(), data, data + size);
    pkg::PutWord(block, 16, uint32_t(block.size()));
    pkg::SealBlock(block);
    pkg::PackageStorage storage;
    storage.blocks.push_back({pkg::BlockKind::kContainer, block.data(), uint32_t(block.size()), 0});

    std::vector<uint8_t> out;
    for (const char* path : {"a", "~Info\\gameinfo.inf", "a/b", "A\\B\\C"})
        pkg::ReadPackageFile(storage, 0, path, 1, &out);

    static const std::string scratch = [] {
        char pattern[] = "/tmp/fuzz_pkg_tree_XXXXXX";
        return std::string(::mkdtemp(pattern));
    }();
    inst::InstallerApp app;
    app.scriptParams["DMARK_LOC"] = "x";
    {
        inst::ScriptRunner runner(app);
        pkg::ExtractFiles(runner, storage.blocks[0], "", scratch + "/out", false, nullptr);
    }
    std::error_code ec;
    std::filesystem::remove_all(scratch + "/out", ec);
    return 0;
}
