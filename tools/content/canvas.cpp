#include "canvas.h"

#include "GRAPH/graph.h"

namespace content {

namespace {

void Unpack(uint16_t v, const PixelFormatDesc& f, uint8_t rgb[3]) {
    const int bits[3] = {f.RedBits(), f.GreenBits(), f.BlueBits()};
    const int shifts[3] = {f.RedShift(), f.GreenShift(), f.BlueShift()};
    for (int c = 0; c < 3; ++c) {
        const int raw = (v >> shifts[c]) & ((1 << bits[c]) - 1);
        rgb[c] = static_cast<uint8_t>((raw << (8 - bits[c])) | (raw >> (2 * bits[c] - 8)));
    }
}

} // namespace

Canvas::Canvas(int w, int h) {
    sprite_.width = static_cast<int16_t>(w);
    sprite_.frameHeight = static_cast<int16_t>(h);
    sprite_.pitch = static_cast<int16_t>(w * 2);
    sprite_.ownPixels.assign(static_cast<size_t>(w) * 2 * h, 0);
    sprite_.pixels = sprite_.ownPixels.data();
    sprite_.clip = ClipRect{0, 0, static_cast<int16_t>(w), static_cast<int16_t>(h)};
}

void Canvas::Simulate(Deficiency d, int x0, int y0, int w, int h) {
    const PixelFormatDesc& f = CurrentPixelFormat();
    for (int y = y0; y < y0 + h && y < Height(); ++y)
        for (int x = x0; x < x0 + w && x < Width(); ++x) {
            uint8_t rgb[3];
            Unpack(At(x, y), f, rgb);
            SimulateDeficiency(d, rgb);
            At(x, y) = static_cast<uint16_t>(
                ColourToPixel((uint32_t(rgb[0]) << 16) | (uint32_t(rgb[1]) << 8) | rgb[2]));
        }
}

Image Canvas::ToImage() {
    const PixelFormatDesc& f = CurrentPixelFormat();
    Image img(Width(), Height());
    for (int y = 0; y < Height(); ++y)
        for (int x = 0; x < Width(); ++x) {
            uint8_t* p = img.At(x, y);
            Unpack(At(x, y), f, p);
            p[3] = 255;
        }
    return img;
}

DrawingInto::DrawingInto(Canvas& canvas) : previous_(RenderSurface) {
    RenderSurface = canvas.get();
}
DrawingInto::~DrawingInto() {
    RenderSurface = previous_;
}

} // namespace content
