// An off-screen back buffer in the game's 16-bit format, for contact-sheet pages drawn with the
// game's own blitters, fonts and widgets.
#pragma once
#include <cstdint>

#include "GRAPH/Sprite.h"
#include "cvd.h"
#include "image.h"

namespace content {

class Canvas {
public:
    Canvas(int w, int h);
    Sprite* operator->() { return &sprite_; }
    Sprite* get() { return &sprite_; }
    int Width() const { return sprite_.width; }
    int Height() const { return sprite_.frameHeight; }

    uint16_t& At(int x, int y) {
        return reinterpret_cast<uint16_t*>(
            sprite_.pixels)[static_cast<size_t>(y) * sprite_.width + x];
    }
    // The rectangle as seen with the colour-vision deficiency.
    void Simulate(Deficiency d, int x0, int y0, int w, int h);
    Image ToImage();

private:
    Sprite sprite_;
};

// While alive, the game draws into the canvas instead of its back buffer.
class DrawingInto {
public:
    explicit DrawingInto(Canvas& canvas);
    ~DrawingInto();
    DrawingInto(const DrawingInto&) = delete;
    DrawingInto& operator=(const DrawingInto&) = delete;

private:
    Sprite* previous_;
};

} // namespace content
