#include "install/ui/controls.h"

#include <algorithm>

#include "install/ui/press.h"

namespace ui {
namespace {

constexpr int kBoxSide = 13;
constexpr int kTextX = 17;
constexpr int kFocusX = 15;

// The standard check-box frame: a sunken 13 x 13 square, white inside (grey while pressed),
// with the tick drawn as a short and a long stroke.
void DrawBox(Canvas& canvas, int x, int y, bool pressed, bool ticked) {
    const sys::Rect box{x, y, x + kBoxSide, y + kBoxSide};
    canvas.Fill(box, Rgb(128, 128, 128));
    canvas.Fill({x + 1, y + 1, x + kBoxSide, y + kBoxSide}, kWhite);
    canvas.Fill({x + 1, y + 1, x + kBoxSide - 1, y + kBoxSide - 1}, Rgb(64, 64, 64));
    canvas.Fill({x + 2, y + 2, x + kBoxSide - 1, y + kBoxSide - 1}, Rgb(212, 208, 200));
    canvas.Fill({x + 2, y + 2, x + kBoxSide - 2, y + kBoxSide - 2},
                pressed ? Rgb(212, 208, 200) : kWhite);
    if (!ticked) return;
    // Strokes from (3,5) down to (5,7), then up to (9,3), three pixels thick.
    for (int i = 0; i < 7; ++i) {
        const int px = x + 3 + i;
        const int py = y + (i < 3 ? 5 + i : 9 - i);
        canvas.Fill({px, py, px + 1, py + 3}, kBlack);
    }
}

} // namespace

SkinCheck::SkinCheck(int id, const std::string& text, const sys::Rect& rect, bool ticked)
    : Control(id, rect) {
    SetText(text);
    SetTabStop(true);
    if (ticked) state_ |= kStateTicked;
}

void SkinCheck::SetCheck(WPARAM value) {
    const uint8_t before = state_;
    if (value == sys::BST_CHECKED)
        state_ |= kStateTicked;
    else
        state_ &= uint8_t(~kStateTicked);
    if (state_ != before) Invalidate();
}

LRESULT SkinCheck::Message(unsigned message, WPARAM wParam, LPARAM) {
    switch (message) {
    case sys::BM_GETCHECK:
        return Checked() ? LRESULT(sys::BST_CHECKED) : LRESULT(sys::BST_UNCHECKED);
    case sys::BM_SETCHECK: SetCheck(wParam); return 0;
    default:
        // A completed press flips the tick; the parent is not told.
        if (TrackPress(*this, state_, message, wParam)) {
            state_ ^= kStateTicked;
            Invalidate();
        }
        return 0;
    }
}

void SkinCheck::Paint(Canvas& canvas) {
    const sys::Rect& r = Rect();
    canvas.Fill(r, Background());
    const int height = r.bottom - r.top;
    DrawBox(canvas, r.left, r.top + (height - kBoxSide) / 2, (state_ & kStatePressed) != 0,
            Checked());
    const int lineTop = r.top + (height - FontLineHeight()) / 2;
    DrawText(canvas, r.left + kTextX, lineTop + FontAscent(), Text(), kBlack);
    if (state_ & kStateFocused) {
        const int right = std::min(r.right, r.left + kTextX + TextWidth(Text()) + 2);
        canvas.FocusRect({r.left + kFocusX, lineTop, right, lineTop + FontLineHeight()}, kBlack);
    }
}

bool SkinCheck::WantsKey(unsigned virtualKey) const {
    return IsPressKey(virtualKey);
}

} // namespace ui
