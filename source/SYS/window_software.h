// Presenting without a graphics processor: when the only renderer draws on the processor (SDL's
// software renderer, or OpenGL through a software rasteriser under a virtual X server), the
// window's own surface is cheaper than a GPU-style upload and textured quad, and the picture is
// scaled here with simple whole-pixel loops.
#pragma once
#include <cstdint>
#include <vector>

#include "SYS/window.h"

namespace sys {

// True when an OpenGL renderer string (glGetString(GL_RENDERER)) names a rasteriser that runs
// on the processor, such as Mesa's llvmpipe or softpipe.
bool IsSoftwareRasterizer(const char* glRenderer);

// Nearest-pixel scaling of an RGB565 picture (width x height, pitch in bytes) to an XRGB8888
// output of outWidth x outHeight (outPitch in bytes; the top byte is written 0xFF, so ARGB8888
// reads it as opaque). Only the output pixels whose picture pixel lies in `clip` are written;
// the rest of the output keeps what it held. Channels widen by repeating their top bits, so
// black stays 0 and full intensity becomes 0xFF.
void ScaleRGB565ToXRGB8888(const uint16_t* pixels, int pitch, int width, int height,
                           const Rect& clip, uint32_t* out, int outPitch, int outWidth,
                           int outHeight);

// The picture as last written to an output, so that the next frame converts only what changed.
struct ShownPicture {
    int width = 0, height = 0;
    std::vector<uint16_t> pixels; // empty: the output holds nothing known
    void Forget() { pixels.clear(); }
};

// Output rows [top, bottom) that a call wrote; empty when nothing changed.
struct RowSpan {
    int top = 0, bottom = 0;
};

// ScaleRGB565ToXRGB8888 for the runs of 16 pixels of `clip` that differ from `shown`, which then
// holds the new picture. When `shown` holds nothing or a picture of another size, the whole
// picture is written, whatever the clip, since the output has nothing of it yet.
RowSpan ScaleChangesRGB565ToXRGB8888(const uint16_t* pixels, int pitch, int width, int height,
                                     const Rect& clip, ShownPicture& shown, uint32_t* out,
                                     int outPitch, int outWidth, int outHeight);

} // namespace sys
