#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "SYS/window_software.h"
#include "SYS/window_view.h"

namespace {

using namespace sys;

TEST(SoftwarePresent, RecognisesRasterisersThatRunOnTheProcessor) {
    const struct {
        const char* renderer;
        bool software;
    } cases[] = {
        {"llvmpipe (LLVM 15.0.6, 256 bits)", true},
        {"softpipe", true},
        {"Software Rasterizer", true},
        {"Mesa X11 SWRAST", true},
        {"Mesa Intel(R) UHD Graphics 620 (KBL GT2)", false},
        {"AMD Radeon RX 6600 (radeonsi, navi23, LLVM 15.0.6, DRM 3.49)", false},
        {"NVIDIA GeForce GTX 1060/PCIe/SSE2", false},
        {"", false},
        {nullptr, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(IsSoftwareRasterizer(c.renderer), c.software)
            << (c.renderer ? c.renderer : "null");
}

uint32_t Xrgb(uint8_t r, uint8_t g, uint8_t b) {
    return 0xFF000000u | uint32_t(r) << 16 | uint32_t(g) << 8 | b;
}

TEST(SoftwarePresent, WidensChannelsByRepeatingTheirTopBits) {
    const struct {
        uint16_t rgb565;
        uint32_t xrgb;
    } cases[] = {
        {0x0000, Xrgb(0, 0, 0)},       {0xFFFF, Xrgb(255, 255, 255)}, {0xF800, Xrgb(255, 0, 0)},
        {0x07E0, Xrgb(0, 255, 0)},     {0x001F, Xrgb(0, 0, 255)},     {0x0821, Xrgb(8, 4, 8)},
        {0x8410, Xrgb(132, 130, 132)}, {0x7BEF, Xrgb(123, 125, 123)},
    };
    for (const auto& c : cases) {
        uint32_t out = 0;
        ScaleRGB565ToXRGB8888(&c.rgb565, 2, 1, 1, Rect{0, 0, 1, 1}, &out, 4, 1, 1);
        EXPECT_EQ(out, c.xrgb) << std::hex << c.rgb565;
    }
}

// A picture with a different value in every pixel, rows padded past the width.
struct Picture {
    int width, height, pitchPixels;
    std::vector<uint16_t> pixels;
    Picture(int w, int h)
        : width(w), height(h), pitchPixels(w + 3), pixels(size_t(pitchPixels) * h, 0xDEAD) {
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                pixels[size_t(y) * pitchPixels + x] = uint16_t(y * 1031 + x * 37 + 1);
    }
    uint16_t At(int x, int y) const { return pixels[size_t(y) * pitchPixels + x]; }
};

uint32_t Widened(uint16_t p) {
    uint32_t out = 0;
    ScaleRGB565ToXRGB8888(&p, 2, 1, 1, Rect{0, 0, 1, 1}, &out, 4, 1, 1);
    return out;
}

constexpr uint32_t kUntouched = 0x12345678;

// Every output pixel shows the picture pixel a mouse position there maps to, or is left alone
// when that pixel lies outside the clip.
void ExpectScaled(const Picture& picture, const Rect& clip, int outWidth, int outHeight) {
    const int outPitchPixels = outWidth + 5;
    std::vector<uint32_t> out(size_t(outPitchPixels) * outHeight, kUntouched);
    ScaleRGB565ToXRGB8888(picture.pixels.data(), picture.pitchPixels * 2, picture.width,
                          picture.height, clip, out.data(), outPitchPixels * 4, outWidth,
                          outHeight);
    const Viewport view{0, 0, outWidth, outHeight};
    int wrong = 0;
    for (int y = 0; y < outHeight && wrong < 5; ++y) {
        for (int x = 0; x < outPitchPixels && wrong < 5; ++x) {
            int px = 0, py = 0;
            WindowToPicture(view, picture.width, picture.height, x, y, px, py);
            const bool inClip = x < outWidth && px >= clip.left && px < clip.right &&
                                py >= clip.top && py < clip.bottom;
            const uint32_t expected = inClip ? Widened(picture.At(px, py)) : kUntouched;
            const uint32_t got = out[size_t(y) * outPitchPixels + x];
            if (got != expected) {
                ++wrong;
                ADD_FAILURE() << picture.width << "x" << picture.height << " to " << outWidth << "x"
                              << outHeight << ": output (" << x << ", " << y << ") is " << std::hex
                              << got << ", not " << expected;
            }
        }
    }
}

TEST(SoftwarePresent, ScalesToTheNearestPicturePixelWithinTheClip) {
    const struct {
        int width, height, outWidth, outHeight;
        Rect clip;
    } cases[] = {
        {37, 5, 37, 5, {0, 0, 37, 5}},    // same size; a width that is no multiple of a block
        {37, 5, 37, 5, {3, 1, 20, 4}},    // only the clip is written
        {16, 12, 48, 36, {0, 0, 16, 12}}, // a whole factor, as a scaled window
        {16, 12, 48, 36, {5, 2, 9, 11}},
        {37, 5, 74, 10, {0, 0, 37, 5}}, // twice and three times, with a part block at the end
        {37, 5, 74, 10, {3, 1, 20, 4}},
        {37, 5, 111, 15, {17, 0, 37, 5}},
        {64, 48, 144, 108, {0, 0, 64, 48}}, // 2.25, as 640x480 full screen on 1920x1080
        {64, 48, 144, 108, {7, 3, 61, 45}},
        {64, 48, 50, 31, {0, 0, 64, 48}}, // smaller than the picture
        {5, 3, 7, 7, {0, 0, 5, 3}},
        {8, 8, 8, 8, {-4, -4, 100, 100}}, // a clip beyond the picture is cut to it
    };
    for (const auto& c : cases)
        ExpectScaled(Picture(c.width, c.height), c.clip, c.outWidth, c.outHeight);
}

TEST(SoftwarePresent, EmptyClipWritesNothing) {
    Picture picture(8, 8);
    for (const Rect& clip : {Rect{4, 0, 4, 8}, Rect{0, 6, 8, 2}, Rect{9, 0, 12, 8}})
        ExpectScaled(picture, clip, 16, 16);
}

} // namespace

namespace {

// The output of ScaleChangesRGB565ToXRGB8888 after a first frame, with every pixel then marked,
// so a second frame shows which pixels it wrote.
struct ChangedFrame {
    Picture picture;
    int outWidth, outHeight;
    ShownPicture shown;
    std::vector<uint32_t> out;
    ChangedFrame(int w, int h, int ow, int oh)
        : picture(w, h), outWidth(ow), outHeight(oh), out(size_t(ow) * oh, 0) {
        const RowSpan all = Present(Rect{0, 0, w, h});
        EXPECT_EQ(all.top, 0);
        EXPECT_EQ(all.bottom, oh) << "the first frame is written whole";
        std::fill(out.begin(), out.end(), kUntouched);
    }
    RowSpan Present(const Rect& clip) {
        return ScaleChangesRGB565ToXRGB8888(picture.pixels.data(), picture.pitchPixels * 2,
                                            picture.width, picture.height, clip, shown, out.data(),
                                            outWidth * 4, outWidth, outHeight);
    }
    // Output pixels showing picture pixel (x, y).
    std::vector<size_t> Showing(int x, int y) const {
        std::vector<size_t> at;
        const Viewport view{0, 0, outWidth, outHeight};
        for (int oy = 0; oy < outHeight; ++oy)
            for (int ox = 0; ox < outWidth; ++ox) {
                int px = 0, py = 0;
                WindowToPicture(view, picture.width, picture.height, ox, oy, px, py);
                if (px == x && py == y) at.push_back(size_t(oy) * outWidth + ox);
            }
        return at;
    }
};

TEST(SoftwarePresent, LaterFramesWriteOnlyTheRunsThatChanged) {
    const struct {
        int width, height, outWidth, outHeight;
    } sizes[] = {{37, 6, 37, 6}, {37, 6, 111, 18}, {37, 6, 83, 13}};
    for (const auto& size : sizes) {
        SCOPED_TRACE(std::to_string(size.outWidth) + "x" + std::to_string(size.outHeight));
        ChangedFrame frame(size.width, size.height, size.outWidth, size.outHeight);
        const RowSpan nothing = frame.Present(Rect{0, 0, size.width, size.height});
        EXPECT_EQ(nothing.top, nothing.bottom) << "an unchanged frame writes no row";
        EXPECT_EQ(std::count(frame.out.begin(), frame.out.end(), kUntouched),
                  ptrdiff_t(frame.out.size()));

        // Pixel 20 of row 2 lies in the second run of 16, pixel 36 in the last, short one.
        frame.picture.pixels[size_t(2) * frame.picture.pitchPixels + 20] = 0xF800;
        frame.picture.pixels[size_t(4) * frame.picture.pitchPixels + 36] = 0x001F;
        const RowSpan rows = frame.Present(Rect{0, 0, size.width, size.height});
        EXPECT_EQ(rows.top, frame.Showing(20, 2).front() / size_t(size.outWidth));
        EXPECT_EQ(rows.bottom - 1, frame.Showing(36, 4).back() / size_t(size.outWidth));
        for (size_t i : frame.Showing(20, 2)) EXPECT_EQ(frame.out[i], Widened(0xF800));
        for (size_t i : frame.Showing(36, 4)) EXPECT_EQ(frame.out[i], Widened(0x001F));
        // Written: the runs holding a change (pixels 16-31 of row 2, 32-36 of row 4), nothing else.
        for (int y = 0; y < size.height; ++y)
            for (int x = 0; x < size.width; ++x) {
                const bool inChangedRun = (y == 2 && x >= 16 && x < 32) || (y == 4 && x >= 32);
                for (size_t i : frame.Showing(x, y)) {
                    if (inChangedRun)
                        EXPECT_EQ(frame.out[i], Widened(frame.picture.At(x, y))) << x << "," << y;
                    else
                        EXPECT_EQ(frame.out[i], kUntouched) << x << "," << y;
                }
            }
    }
}

TEST(SoftwarePresent, ChangesOutsideTheClipWaitForAFrameWhoseClipHoldsThem) {
    ChangedFrame frame(32, 4, 32, 4);
    frame.picture.pixels[1] = 0xFFFF;
    EXPECT_EQ(frame.Present(Rect{16, 0, 32, 4}).bottom, 0);
    EXPECT_EQ(frame.out[1], kUntouched);
    EXPECT_EQ(frame.Present(Rect{0, 0, 32, 4}).bottom, 1);
    EXPECT_EQ(frame.out[1], Widened(0xFFFF));
}

TEST(SoftwarePresent, AForgottenOrResizedPictureIsWrittenWhole) {
    ChangedFrame frame(20, 4, 40, 8);
    frame.shown.Forget();
    const RowSpan rows = frame.Present(Rect{0, 0, 1, 1}); // whatever the clip
    EXPECT_EQ(rows.top, 0);
    EXPECT_EQ(rows.bottom, 8);
    EXPECT_EQ(std::count(frame.out.begin(), frame.out.end(), kUntouched), 0);

    ChangedFrame other(20, 4, 40, 8);
    other.picture = Picture(10, 4); // a back buffer of another size
    other.outWidth = 20;
    EXPECT_EQ(other.Present(Rect{0, 0, 10, 4}).bottom, 8);
}

} // namespace
