// Small helpers shared by the graphics tests: hand-made sprites, pixel access, TGA files written on
// the spot, and a fresh temporary folder as the current folder.
#pragma once
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "BASE/errlog.h"
#include "GRAPH/Sprite.h"
#include "GRAPH/Surface.h"
#include "GRAPH/graph.h"

namespace graphtest {

constexpr uint16_t kWhite = 0xFFFF, kRed = 0xF800, kGreen = 0x07E0, kBlue = 0x001F;

// A blank sprite made the way the loader makes one: its surface in the current format.
inline std::unique_ptr<Sprite> SurfaceSprite(int w, int h, int frames = 1) {
    auto s = std::make_unique<Sprite>();
    s->width = int16_t(w);
    s->frameHeight = int16_t(h);
    s->frameCount = int16_t(frames);
    s->Reload();
    return s;
}

// A sprite with its own 16-bit buffer (what 32-bit pictures get), optionally with an alpha plane.
inline std::unique_ptr<Sprite> BufferSprite(int w, int h, int frames = 1, bool withAlpha = false) {
    auto s = std::make_unique<Sprite>();
    s->width = int16_t(w);
    s->frameHeight = int16_t(h);
    s->frameCount = int16_t(frames);
    s->pitch = int16_t(w * 2);
    s->ownPixels.assign(size_t(w) * 2 * size_t(h) * size_t(frames), 0);
    s->pixels = s->ownPixels.data();
    if (withAlpha) s->alpha.assign(size_t(w) * size_t(h) * size_t(frames), 255);
    s->clip = ClipRect{0, 0, int16_t(w), int16_t(h)};
    return s;
}

inline uint16_t& At(Sprite& s, int x, int y) {
    if (!s.pixels) s.Lock();
    return reinterpret_cast<uint16_t*>(s.pixels + size_t(y) * size_t(s.pitch))[x];
}

inline void FillAll(Sprite& s, uint16_t value) {
    const int rows = s.frameHeight * s.frameCount;
    for (int y = 0; y < rows; ++y)
        for (int x = 0; x < s.width; ++x) At(s, x, y) = value;
}

inline int CountPixels(Sprite& s, uint16_t value) {
    int n = 0;
    for (int y = 0; y < s.frameHeight * s.frameCount; ++y)
        for (int x = 0; x < s.width; ++x) n += At(s, x, y) == value;
    return n;
}

// An uncompressed top-down TGA of 24 or 32 bits; `bgra` holds 3 or 4 bytes per pixel.
inline void WriteTga(const std::string& path, int w, int h, int bits,
                     const std::vector<uint8_t>& bgra) {
    uint8_t header[18] = {};
    header[2] = 2;
    header[12] = uint8_t(w);
    header[13] = uint8_t(w >> 8);
    header[14] = uint8_t(h);
    header[15] = uint8_t(h >> 8);
    header[16] = uint8_t(bits);
    header[17] = 0x20;
    FILE* f = std::fopen(path.c_str(), "wb");
    std::fwrite(header, 1, sizeof header, f);
    std::fwrite(bgra.data(), 1, bgra.size(), f);
    std::fclose(f);
}

// Every pixel the same 24-bit colour. Sized once: GCC 12 at -O3 takes insert() of a list in a
// loop for a buffer overflow.
inline std::vector<uint8_t> Solid(int w, int h, uint8_t b, uint8_t g, uint8_t r) {
    std::vector<uint8_t> v(size_t(w * h) * 3);
    for (size_t i = 0; i < v.size(); i += 3) v[i] = b, v[i + 1] = g, v[i + 2] = r;
    return v;
}

inline std::string ReadFile(const std::string& path) {
    std::string text;
    if (FILE* f = std::fopen(path.c_str(), "rb")) {
        char buf[4096];
        size_t n;
        while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) text.append(buf, n);
        std::fclose(f);
    }
    return text;
}

// Where `record` starts a line of the log (the module path is the line's first text), or npos.
inline size_t FindRecordAtLineStart(const std::string& log, const std::string& record) {
    for (size_t at = log.find(record); at != std::string::npos; at = log.find(record, at + 1))
        if (at == 0 || log[at - 1] == '\n') return at;
    return std::string::npos;
}

// Makes a fresh temporary folder the current one for the lifetime of the object; gerr.log is
// closed on both ends so records land in this folder.
class TempFolder {
public:
    TempFolder() {
        char pattern[] = "/tmp/graph_test_XXXXXX";
        path_ = mkdtemp(pattern);
        char buf[4096];
        old_ = getcwd(buf, sizeof buf) ? buf : "/";
        CloseErrorLog();
        if (chdir(path_.c_str()) != 0) std::abort();
    }
    ~TempFolder() {
        CloseErrorLog();
        if (chdir(old_.c_str()) != 0) std::abort();
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    const std::string& Path() const { return path_; }

private:
    std::string path_, old_;
};

} // namespace graphtest
