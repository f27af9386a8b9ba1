#include "GRAPH/RdrGenerator.h"

#include <algorithm>
#include <array>

#include "SYS/crt_rand.h"

namespace {

constexpr int kSide = 256;
constexpr int kGrid = 8;             // control values per side
constexpr int kCell = kSide / kGrid; // pixels between control values
constexpr int kFrames = 20;
constexpr int kImages = kFrames / 2;
constexpr int kLengthMs = 4000;
constexpr int kWarmUpSteps = 10;
constexpr int kLowest = 38;
constexpr int kHighest = 217;
constexpr int kMaxVelocity = 16;
constexpr size_t kImageBytes = size_t(kSide) * kSide * 3;

using ColourTable = std::array<std::array<uint8_t, 3>, 256>;

// Black, except two ramps that rise over entries 64-127 and fall over 128-191: bright lines
// appear where the field crosses the middle of its range.
ColourTable MakeColourTable() {
    ColourTable table{};
    for (int i = 0; i < 64; ++i) {
        const std::array<uint8_t, 3> entry = {uint8_t(i > 32 ? 2 * i - 63 : 0),
                                              uint8_t(i > 56 ? i - 8 : 0), uint8_t(i)};
        table[size_t(64 + i)] = entry;
        table[size_t(191 - i)] = entry;
    }
    return table;
}

// The 8 x 8 control values, each drifting with a random-walk velocity between the bounds.
struct ControlField {
    std::array<uint8_t, kGrid * kGrid> value;
    std::array<int, kGrid * kGrid> velocity{};

    ControlField() { value.fill(uint8_t(kHighest)); }

    void Step() {
        for (size_t i = 0; i < value.size(); ++i) {
            velocity[i] =
                std::clamp(velocity[i] + sys::crt_rand() % 17 - 8, -kMaxVelocity, kMaxVelocity);
            value[i] = uint8_t(value[i] + velocity[i]);
            if (value[i] > kHighest) {
                value[i] = uint8_t(kHighest);
                velocity[i] = -velocity[i];
            }
            if (value[i] < kLowest) {
                value[i] = uint8_t(kLowest);
                velocity[i] = -velocity[i];
            }
        }
    }
};

// Fills the 256 samples of one periodic line (every `step` bytes) from its 8 control points with
// the Catmull-Rom cubic in 8.8 fixed point, exactly as the original did.
void InterpolateLine(uint8_t* line, ptrdiff_t step) {
    auto point = [&](int k) { return int(line[step * kCell * ((k + kGrid) % kGrid)]); };
    for (int k = 1; k <= kGrid; ++k) {
        const int p0 = point(k - 1) * 256;
        const int p1 = point(k) * 256;
        const int m0 = (point(k) * 256 - point(k - 2) * 256) / 2;
        const int m1 = (point(k + 1) * 256 - point(k - 1) * 256) / 2;
        const int c2 = 3 * (p1 - p0) - 2 * m0 - m1;
        const int c3 = 2 * (p0 - p1) + m0 + m1;
        uint8_t* out = line + step * kCell * (k - 1);
        for (int i = 0; i < kCell; ++i) {
            const int t = i * (256 / kCell);
            const int t1 = (t * t) >> 8;
            const int t2 = (t * t * t) >> 16;
            const int v = (((c2 * t1) >> 8) + p0 + ((m0 * t) >> 8) + ((c3 * t2) >> 8)) >> 8;
            out[step * i] = uint8_t(v);
        }
    }
}

void DrawImage(const ControlField& field, const ColourTable& colours, uint8_t* image) {
    std::array<uint8_t, kSide * kSide> intensity{};
    for (int gy = 0; gy < kGrid; ++gy)
        for (int gx = 0; gx < kGrid; ++gx)
            intensity[size_t(gy * kCell * kSide + gx * kCell)] =
                field.value[size_t(gy * kGrid + gx)];
    for (int gx = 0; gx < kGrid; ++gx) InterpolateLine(&intensity[size_t(gx * kCell)], kSide);
    for (int y = 0; y < kSide; ++y) InterpolateLine(&intensity[size_t(y * kSide)], 1);
    for (size_t i = 0; i < intensity.size(); ++i) {
        const auto& entry = colours[intensity[i]];
        image[3 * i] = entry[0];
        image[3 * i + 1] = entry[1];
        image[3 * i + 2] = entry[2];
    }
}

} // namespace

int RdrGenerator::Open(const char*) {
    static const ColourTable colours = MakeColourTable();
    ControlField field;
    for (int i = 0; i < kWarmUpSteps; ++i) field.Step();
    images_.assign(kImageBytes * kImages, 0);
    for (int j = 0; j < kImages; ++j) {
        field.Step();
        DrawImage(field, colours, &images_[kImageBytes * size_t(j)]);
    }
    width = kSide;
    height = kSide;
    bitsPerPixel = 24;
    frameCount = kFrames;
    length = kLengthMs;
    return 0;
}

bool RdrGenerator::FrameAt(int position, PixelSource& source) {
    if (images_.empty() || !SetBgrChannels(24, source)) return false;
    int time = position % kLengthMs;
    if (time < 0) time += kLengthMs;
    const int frame = time * kFrames / kLengthMs;
    const int image = frame < kImages ? frame : kFrames - 1 - frame;
    source.firstRow = &images_[kImageBytes * size_t(image)];
    source.pitch = kSide * 3;
    source.width = kSide;
    source.height = kSide;
    source.bottomUp = false;
    return true;
}
