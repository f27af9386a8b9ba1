#include "install/ui/controls.h"

#include <algorithm>

#include "install/ui/page.h"
#include "install/ui/scrollbar.h"
#include "install/ui/textlayout.h"

namespace ui {
namespace {

constexpr int kPadding = 3;
constexpr int kWheelLines = 3; // lines a wheel notch scrolls
constexpr uint32_t kBorder = Rgb(122, 122, 122);

} // namespace

TextView::TextView(int id, const sys::Rect& rect) : Control(id, rect) {
    SetTabStop(true);
    SetBackground(kWhite);
    Layout();
}

void TextView::SetText(const std::string& text) {
    Control::SetText(text);
    shown_ = text;
    for (char& c : shown_) {
        const uint8_t b = uint8_t(c);
        if ((b < 32 && c != '\n' && c != '\r') || b == 127) c = ' ';
    }
    laidOut_ = false;
    top_ = 0;
    Layout();
}

sys::Rect TextView::BarArea() const {
    const int w = Rect().right - Rect().left, h = Rect().bottom - Rect().top;
    return {w - 1 - kScrollBarWidth, 1, w - 1, h - 1};
}

void TextView::Layout() {
    const int width = BarArea().left - 2 * kPadding;
    if (laidOut_ && width == layoutWidth_) return;
    laidOut_ = true;
    layoutWidth_ = width;
    lines_.clear();
    for (const TextLine& line : BreakLines(shown_, std::max(width, 1)))
        lines_.emplace_back(line.start, line.length);
    ScrollTo(top_);
}

int TextView::VisibleLines() const {
    const int height = Rect().bottom - Rect().top - 2 * kPadding;
    const int line = FontLineHeight();
    return line > 0 ? std::max(height / line, 1) : 1;
}

void TextView::ScrollTo(int line) {
    const int last = std::max(LineCount() - VisibleLines(), 0);
    const int clamped = std::clamp(line, 0, last);
    if (clamped == top_) return;
    top_ = clamped;
    Invalidate();
}

LRESULT TextView::Message(unsigned message, WPARAM wParam, LPARAM lParam) {
    Layout();
    ScrollBar bar{BarArea(), LineCount(), VisibleLines(), top_};
    const int x = sys::PointX(lParam), y = sys::PointY(lParam);
    switch (message) {
    case sys::WM_MOUSEWHEEL: ScrollTo(PositionAfterWheel(wParam, top_, kWheelLines)); return 0;
    case sys::WM_LBUTTONDOWN:
    case sys::WM_LBUTTONDBLCLK:
        if (Owner()) Owner()->SetFocus(this);
        if (bar.HitTest(x, y) == ScrollBar::Part::Thumb) {
            dragOffset_ = y - bar.Thumb().top;
            if (Owner()) Owner()->SetCapture(this);
        } else {
            ScrollTo(bar.PositionAfterClick(bar.HitTest(x, y)));
        }
        return 0;
    case sys::WM_MOUSEMOVE:
        if (dragOffset_ >= 0) ScrollTo(bar.PositionForThumbTop(y - dragOffset_));
        return 0;
    case sys::WM_LBUTTONUP:
        if (dragOffset_ >= 0 && Owner() && Owner()->Capture() == this) Owner()->ReleaseCapture();
        dragOffset_ = -1;
        return 0;
    case sys::WM_CAPTURECHANGED: dragOffset_ = -1; return 0;
    case sys::WM_SETFOCUS:
    case sys::WM_KILLFOCUS: Invalidate(); return 0;
    case sys::WM_KEYDOWN:
        if (IsScrollKey(unsigned(wParam)))
            ScrollTo(PositionAfterKey(unsigned(wParam), top_, VisibleLines(), LineCount()));
        return 0;
    default: return 0;
    }
}

bool TextView::WantsKey(unsigned virtualKey) const {
    return IsScrollKey(virtualKey);
}

void TextView::Paint(Canvas& canvas) {
    Layout();
    const sys::Rect& r = Rect();
    canvas.Fill(r, Background());
    canvas.Outline(r, kBorder);
    const sys::Rect bar = BarArea();
    const sys::Rect saved = canvas.clip;
    canvas.clip = {std::max(saved.left, r.left + 1), std::max(saved.top, r.top + 1),
                   std::min(saved.right, r.left + bar.left), std::min(saved.bottom, r.bottom - 1)};
    int baseline = r.top + kPadding + FontAscent();
    for (int i = top_; i < LineCount() && i < top_ + VisibleLines() + 1; ++i) {
        DrawText(canvas, r.left + kPadding, baseline, shown_.data() + lines_[size_t(i)].first,
                 lines_[size_t(i)].second, kBlack);
        baseline += FontLineHeight();
    }
    canvas.clip = saved;
    ScrollBar{bar, LineCount(), VisibleLines(), top_}.Paint(canvas, r.left, r.top);
}

} // namespace ui
