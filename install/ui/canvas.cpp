#include "install/ui/canvas.h"

#include <algorithm>
#include <cstdio>
#include <memory>

#include "SYS/gdi_text.h"

namespace ui {
namespace {

// 8 points at 96 pixels per inch: a Windows font height of -(8 * 96 / 72).
constexpr int kSkinEmPixels = 8 * 96 / 72;

sys::TextFace* SkinFace() {
    static std::unique_ptr<sys::TextFace> face = [] {
        // Liberation Sans has Arial's metrics, so texts fill the skin's fields as they did.
        auto f = sys::TextFace::Open(
            {"/usr/share/fonts/truetype/liberation/LiberationSans-Regular.ttf",
             "/usr/share/fonts/truetype/liberation2/LiberationSans-Regular.ttf",
             "/usr/share/fonts/liberation/LiberationSans-Regular.ttf",
             "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf"},
            kSkinEmPixels, true);
        if (!f) std::fprintf(stderr, "install: no font for the wizard (install fonts-liberation)\n");
        return f;
    }();
    return face.get();
}

sys::Rect Intersect(const sys::Rect& a, const sys::Rect& b) {
    return {std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
            std::min(a.bottom, b.bottom)};
}

} // namespace

void Canvas::Resize(int w, int h, uint32_t colour) {
    width = std::max(w, 0);
    height = std::max(h, 0);
    pixels.assign(size_t(width) * size_t(height), colour);
    clip = {0, 0, width, height};
}

uint32_t Canvas::At(int x, int y) const {
    if (x < 0 || y < 0 || x >= width || y >= height) return 0;
    return pixels[size_t(y) * size_t(width) + size_t(x)];
}

void Canvas::Fill(const sys::Rect& area, uint32_t colour) {
    const sys::Rect r = Intersect(Intersect(area, clip), {0, 0, width, height});
    for (int y = r.top; y < r.bottom; ++y)
        std::fill_n(pixels.begin() + std::ptrdiff_t(size_t(y) * size_t(width) + size_t(r.left)),
                    std::max(r.right - r.left, 0), colour);
}

void Canvas::Outline(const sys::Rect& a, uint32_t colour) {
    Fill({a.left, a.top, a.right, a.top + 1}, colour);
    Fill({a.left, a.bottom - 1, a.right, a.bottom}, colour);
    Fill({a.left, a.top, a.left + 1, a.bottom}, colour);
    Fill({a.right - 1, a.top, a.right, a.bottom}, colour);
}

void Canvas::FocusRect(const sys::Rect& a, uint32_t colour) {
    // Every second pixel of the outline, as the focus rectangle is drawn.
    for (int x = a.left; x < a.right; x += 2) {
        Fill({x, a.top, x + 1, a.top + 1}, colour);
        Fill({x, a.bottom - 1, x + 1, a.bottom}, colour);
    }
    for (int y = a.top; y < a.bottom; y += 2) {
        Fill({a.left, y, a.left + 1, y + 1}, colour);
        Fill({a.right - 1, y, a.right, y + 1}, colour);
    }
}

void Canvas::Blit(const inst::Picture& picture, int srcX, int srcY, int w, int h, int dstX,
                  int dstY) {
    // Keep the source inside the picture, moving the destination along with it.
    if (srcX < 0) w += srcX, dstX -= srcX, srcX = 0;
    if (srcY < 0) h += srcY, dstY -= srcY, srcY = 0;
    w = std::min(w, picture.width - srcX);
    h = std::min(h, picture.height - srcY);
    const sys::Rect r = Intersect(Intersect({dstX, dstY, dstX + w, dstY + h}, clip), {0, 0, width, height});
    for (int y = r.top; y < r.bottom; ++y) {
        const uint32_t* from = picture.pixels.data() +
                               size_t(srcY + y - dstY) * size_t(picture.width) + size_t(srcX + r.left - dstX);
        std::copy_n(from, std::max(r.right - r.left, 0),
                    pixels.begin() + std::ptrdiff_t(size_t(y) * size_t(width) + size_t(r.left)));
    }
}

void Canvas::Draw(const inst::Picture& picture, int x, int y) {
    Blit(picture, 0, 0, picture.width, picture.height, x, y);
}

sys::Rect FrameRect(const inst::AnimFrame& frame, int anchorX, int anchorY) {
    return {anchorX - frame.minusLeft, anchorY - frame.minusTop, anchorX + frame.right16,
            anchorY + frame.bottom16};
}

void Canvas::DrawFrame(const inst::Picture& sheet, const inst::AnimFrame& frame, int anchorX,
                       int anchorY) {
    const sys::Rect r = FrameRect(frame, anchorX, anchorY);
    Blit(sheet, frame.x, frame.y, r.right - r.left, r.bottom - r.top, r.left, r.top);
}

bool FontReady() { return SkinFace() != nullptr; }

int FontAscent() {
    sys::TextFace* face = SkinFace();
    return face ? face->Ascent() : 0;
}

int FontLineHeight() {
    sys::TextFace* face = SkinFace();
    return face ? face->LineHeight() : 0;
}

int TextWidth(const char* text, size_t length) {
    sys::TextFace* face = SkinFace();
    return face ? face->Width(text, length) : 0;
}

int TextWidth(const std::string& text) { return TextWidth(text.data(), text.size()); }

void DrawText(Canvas& canvas, int x, int baseline, const char* text, size_t length,
              uint32_t colour) {
    sys::TextFace* face = SkinFace();
    if (!face || canvas.pixels.empty()) return;
    const sys::Rect r = Intersect(canvas.clip, {0, 0, canvas.width, canvas.height});
    if (r.right <= r.left || r.bottom <= r.top) return;
    sys::TextCanvas32 target;
    target.pixels = canvas.pixels.data();
    target.pitch = canvas.width * 4;
    target.clipLeft = r.left;
    target.clipTop = r.top;
    target.clipRight = r.right;
    target.clipBottom = r.bottom;
    face->Draw(target, x, baseline - face->Ascent(), text, length, colour);
}

void DrawText(Canvas& canvas, int x, int baseline, const std::string& text, uint32_t colour) {
    DrawText(canvas, x, baseline, text.data(), text.size(), colour);
}

} // namespace ui
