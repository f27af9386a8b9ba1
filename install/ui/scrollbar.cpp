#include "install/ui/scrollbar.h"

#include <algorithm>

namespace ui {
namespace {

constexpr uint32_t kTrack = Rgb(240, 240, 240);
constexpr uint32_t kFace = Rgb(205, 205, 205);
constexpr uint32_t kArrow = Rgb(96, 96, 96);
constexpr int kMinThumb = 8;

sys::Rect Shifted(const sys::Rect& r, int dx, int dy) {
    return {r.left + dx, r.top + dy, r.right + dx, r.bottom + dy};
}

int ArrowSide(const sys::Rect& area) {
    return std::min(area.right - area.left, (area.bottom - area.top) / 2);
}

} // namespace

sys::Rect ScrollBar::Thumb() const {
    const int arrow = ArrowSide(area);
    const int trackTop = area.top + arrow, trackBottom = area.bottom - arrow;
    const int track = std::max(trackBottom - trackTop, 0);
    if (Range() == 0 || total <= 0) return {area.left, trackTop, area.right, trackBottom};
    const int size = std::min(track, std::max(kMinThumb, int(int64_t(track) * visible / total)));
    const int top =
        trackTop + int(int64_t(track - size) * std::clamp(position, 0, Range()) / Range());
    return {area.left, top, area.right, top + size};
}

ScrollBar::Part ScrollBar::HitTest(int x, int y) const {
    if (x < area.left || x >= area.right || y < area.top || y >= area.bottom) return Part::None;
    const int arrow = ArrowSide(area);
    if (y < area.top + arrow) return Part::UpArrow;
    if (y >= area.bottom - arrow) return Part::DownArrow;
    const sys::Rect thumb = Thumb();
    if (y < thumb.top) return Part::PageUp;
    if (y >= thumb.bottom) return Part::PageDown;
    return Part::Thumb;
}

int ScrollBar::PositionForThumbTop(int y) const {
    const int arrow = ArrowSide(area);
    const sys::Rect thumb = Thumb();
    const int free = (area.bottom - arrow) - (area.top + arrow) - (thumb.bottom - thumb.top);
    if (free <= 0 || Range() == 0) return 0;
    const int offset = std::clamp(y - (area.top + arrow), 0, free);
    return int((int64_t(offset) * Range() + free / 2) / free);
}

void ScrollBar::Paint(Canvas& canvas, int dx, int dy) const {
    const sys::Rect bar = Shifted(area, dx, dy);
    canvas.Fill(bar, kTrack);
    const int arrow = ArrowSide(area);
    const sys::Rect up{bar.left, bar.top, bar.right, bar.top + arrow};
    const sys::Rect down{bar.left, bar.bottom - arrow, bar.right, bar.bottom};
    for (const sys::Rect& box : {up, down}) {
        canvas.Fill(box, kFace);
        canvas.Outline(box, kArrow);
    }
    // Small triangles pointing up and down.
    const int cx = (bar.left + bar.right) / 2;
    for (int row = 0; row < 4; ++row) {
        const int upY = up.top + arrow / 2 - 2 + row, downY = down.top + arrow / 2 + 1 - row;
        canvas.Fill({cx - row, upY, cx + row + 1, upY + 1}, kArrow);
        canvas.Fill({cx - row, downY, cx + row + 1, downY + 1}, kArrow);
    }
    if (Range() > 0) {
        const sys::Rect thumb = Shifted(Thumb(), dx, dy);
        canvas.Fill(thumb, kFace);
        canvas.Outline(thumb, kArrow);
    }
}

int ScrollBar::PositionAfterClick(Part part) const {
    switch (part) {
    case Part::UpArrow: return position - 1;
    case Part::DownArrow: return position + 1;
    case Part::PageUp: return position - visible;
    case Part::PageDown: return position + visible;
    default: return position;
    }
}

int PositionAfterWheel(WPARAM wParam, int current, int perNotch) {
    const int turn = int16_t(uint16_t(wParam >> 16));
    return current - turn * perNotch / sys::WHEEL_DELTA;
}

bool IsScrollKey(unsigned virtualKey) {
    switch (virtualKey) {
    case sys::VK_UP:
    case sys::VK_DOWN:
    case sys::VK_PRIOR:
    case sys::VK_NEXT:
    case sys::VK_HOME:
    case sys::VK_END: return true;
    default: return false;
    }
}

int PositionAfterKey(unsigned virtualKey, int current, int page, int last) {
    int to = current;
    switch (virtualKey) {
    case sys::VK_UP: to = current - 1; break;
    case sys::VK_DOWN: to = current + 1; break;
    case sys::VK_PRIOR: to = current - page; break;
    case sys::VK_NEXT: to = current + page; break;
    case sys::VK_HOME: to = 0; break;
    case sys::VK_END: to = last; break;
    default: break;
    }
    return std::clamp(to, 0, std::max(last, 0));
}

} // namespace ui
