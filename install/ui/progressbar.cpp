#include "install/ui/controls.h"

#include <algorithm>

namespace ui {

ProgressBar::ProgressBar(int id, const sys::Rect& rect) : Control(id, rect) {
    SetBackground(Rgb(230, 230, 230));
}

void ProgressBar::SetRange(int low, int high) {
    low_ = low;
    high_ = std::max(low, high);
    pos_ = std::clamp(pos_, low_, high_);
    Invalidate();
}

void ProgressBar::SetPos(int position) {
    const int clamped = std::clamp(position, low_, high_);
    if (clamped == pos_) return;
    pos_ = clamped;
    Invalidate();
}

void ProgressBar::Paint(Canvas& canvas) {
    const sys::Rect& r = Rect();
    canvas.Fill(r, Background());
    canvas.Outline(r, Rgb(188, 188, 188));
    const int inner = std::max(r.right - r.left - 2, 0);
    const int span = high_ - low_;
    const int filled = span > 0 ? int(int64_t(inner) * (pos_ - low_) / span) : 0;
    canvas.Fill({r.left + 1, r.top + 1, r.left + 1 + filled, r.bottom - 1}, Rgb(6, 176, 37));
}

} // namespace ui
