#include "install/package/storage.h"

#include <cstdio>

#include "install/host/hostfile.h"

namespace pkg {

uint64_t PackageStorage::TotalSize() const {
    if (blocks.empty()) return 1;
    const uint64_t total = blocks.back().start + blocks.back().size;
    return total ? total : 1;
}

// Verifies the blocks from `first` on; false at the first bad header, checksum or CRC.
static bool VerifyChain(PackageStorage& storage, const host::MappedFile& image, size_t first,
                        const LoadProgress& progress) {
    const uint8_t* data = image.data();
    const size_t size = image.size();
    const double span = double(size - first);
    for (size_t pos = first; pos < size;) {
        uint32_t blockSize = 0;
        const BlockKind kind = BlockAt(data, size, pos, &blockSize);
        if (kind == BlockKind::kNone) return false;
        const double fileFraction = double(pos - first) / span;
        VerifyProgress blockProgress;
        if (progress) {
            blockProgress = [&](size_t done, size_t total) {
                progress(fileFraction, double(done) / double(total));
            };
        }
        if (!VerifyBlock(kind, data + pos, blockSize, blockProgress)) return false;
        PackageBlock block;
        block.kind = kind;
        block.data = data + pos;
        block.size = blockSize;
        block.start =
            storage.blocks.empty() ? 0 : storage.blocks.back().start + storage.blocks.back().size;
        storage.blocks.push_back(block);
        pos += blockSize;
    }
    return true;
}

LoadResult LoadPackageFile(PackageStorage& storage, const std::string& path, bool deleteIfCorrupt,
                           bool mustContain, const LoadProgress& progress) {
    auto file = std::make_unique<PackageFile>();
    file->path = path;
    const std::string hostPath = host::HostPath(path);
    // A file that cannot be mapped holds no block.
    const bool mapped = file->image.Open(hostPath);
    const size_t blocksBefore = storage.blocks.size();
    bool corrupt = false;
    const size_t first = FindFirstBlock(file->image.data(), file->image.size());
    if (first == file->image.size()) {
        corrupt = mustContain;
    } else {
        corrupt = !VerifyChain(storage, file->image, first, progress);
    }
    if (corrupt) storage.blocks.resize(blocksBefore);
    if (corrupt && deleteIfCorrupt) {
        file->image.Close();
        std::remove(hostPath.c_str());
        return {mapped, true};
    }
    storage.files.push_back(std::move(file));
    return {mapped, corrupt};
}

} // namespace pkg
