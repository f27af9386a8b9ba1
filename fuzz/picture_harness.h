// Shared by the picture-reader fuzz targets: the input becomes a file whose name selects the
// reader, is opened like the sprite loader opens it, and every frame is converted at the
// reported size (and at a smaller one, which averages) into bounded buffers.
#pragma once
#include <stdlib.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "GRAPH/PictureReader.h"

namespace fuzzpicture {

// One temporary file per fuzzing process, removed at exit.
inline const std::string& InputPath(const char* extension) {
    static std::string path = [extension] {
        std::string pattern = std::string("/tmp/reefpop_fuzz_XXXXXX") + extension;
        const int fd = mkstemps(pattern.data(), int(std::string(extension).size()));
        if (fd < 0) std::abort();
        close(fd);
        return pattern;
    }();
    static const bool removeAtExit = [] {
        std::atexit([] { std::remove(path.c_str()); });
        return true;
    }();
    (void)removeAtExit;
    return path;
}

inline int FuzzReader(const char* extension, const uint8_t* data, size_t size) {
    const std::string& path = InputPath(extension);
    FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) std::abort();
    if (size > 0) std::fwrite(data, 1, size, file);
    std::fclose(file);

    std::unique_ptr<PictureReader> reader = ReaderFor(path.c_str());
    if (!reader) std::abort();
    if (reader->Open(path.c_str()) != 0) return 0;

    // What every reader promises about an opened picture.
    const int64_t w = std::llabs(int64_t(reader->width));
    const int64_t h = std::llabs(int64_t(reader->height));
    if (w > kMaxPictureSide || h > kMaxPictureSide || reader->frameCount < 1) std::abort();
    if (w * h > (int64_t(1) << 20)) return 0; // keep each run quick

    const int frames = reader->frameCount < 4 ? reader->frameCount : 4;
    std::vector<uint8_t> pixels(size_t(w * h) * 2), plane(size_t(w * h));
    for (int f = 0; f < frames; ++f) {
        const int position = (reader->length / reader->frameCount) * f;
        reader->ReadPixels(pixels.data(), position, 2, int(w) * 2, 5, 6, 5, 0, 11, 5, 0, 0, int(w),
                           int(h));
        reader->ReadChannel(plane.data(), position, 1, int(w), 8, 0, int(w), int(h));
        reader->ReadPixels(pixels.data(), position, 2, int(w) * 2, 5, 6, 5, 0, 11, 5, 0, 0,
                           int(w + 1) / 2, int(h + 1) / 2);
    }
    return 0;
}

} // namespace fuzzpicture
