// The loaded packages: every package file's read-only image, and every verified block in
// load order with its start on the common progress scale.
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "install/package/blocks.h"
#include "install/host/mappedfile.h"

namespace pkg {

struct PackageBlock {
    BlockKind kind = BlockKind::kNone;
    const uint8_t* data = nullptr;
    uint32_t size = 0;
    uint64_t start = 0; // sum of the sizes of all blocks before it
};

struct PackageFile {
    std::string path; // as given to LoadPackageFile
    host::MappedFile image;
};

struct PackageStorage {
    std::vector<std::unique_ptr<PackageFile>> files;
    std::vector<PackageBlock> blocks;
    // At least 1, so the progress scale is always defined.
    uint64_t TotalSize() const;
    double ProgressScale() const { return 100.0 / double(TotalSize()); }
};

struct LoadResult {
    bool loaded; // the file could be mapped
    bool corrupt;
};

// Called while blocks are verified: the file's progress (0..1, by the block's start) and the
// current block's verified fraction.
using LoadProgress = std::function<void(double fileFraction, double blockFraction)>;

// Maps the file, finds the first block header and verifies the blocks that follow it without
// gaps up to the end of the image. A corrupt file adds no blocks (its image may be unmapped
// below them); with deleteIfCorrupt it is also dropped from the list and deleted.
LoadResult LoadPackageFile(PackageStorage& storage, const std::string& path, bool deleteIfCorrupt,
                           bool mustContain, const LoadProgress& progress = nullptr);

} // namespace pkg
