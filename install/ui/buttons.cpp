#include "install/ui/controls.h"

#include "install/ui/press.h"

namespace ui {
namespace {

// Baseline of a push button's text below the button's top.
constexpr int kButtonBaseline = 15;

void DrawCentred(Canvas& canvas, const sys::Rect& r, int baseline, const std::string& text,
                 uint32_t colour) {
    const int x = r.left + (r.right - r.left - TextWidth(text)) / 2;
    DrawText(canvas, x, baseline, text, colour);
}

} // namespace

PushButton::PushButton(int id, const std::string& text, const sys::Rect& rect)
    : Control(id, rect) {
    SetText(text);
    SetTabStop(true);
}

LRESULT PushButton::Message(unsigned message, WPARAM wParam, LPARAM) {
    if (TrackPress(*this, state_, message, wParam)) Notify(kNotifyClicked);
    return 0;
}

bool PushButton::WantsKey(unsigned virtualKey) const { return IsPressKey(virtualKey); }

SkinButton::SkinButton(int id, const std::string& text, const inst::Picture& sheet,
                       const inst::AnimFrame& normal, const inst::AnimFrame& focused)
    : PushButton(id, text, FrameRect(normal, 0, 0)), sheet_(sheet), normal_(normal),
      focused_(focused) {}

void SkinButton::Paint(Canvas& canvas) {
    // The face covers the whole button, so there is no separate erasing.
    const bool focused = (state_ & kStateFocused) != 0;
    const inst::AnimFrame& face = focused ? focused_ : normal_;
    const sys::Rect& r = Rect();
    canvas.Blit(sheet_, face.x, face.y, face.Width(), face.Height(), r.left, r.top);
    DrawCentred(canvas, r, r.top + kButtonBaseline, Text(),
                focused ? kButtonTextFocused : kButtonTextNormal);
}

PlainButton::PlainButton(int id, const std::string& text, const sys::Rect& rect)
    : PushButton(id, text, rect) {}

void PlainButton::Paint(Canvas& canvas) {
    const sys::Rect& r = Rect();
    const bool pressed = (state_ & kStatePressed) != 0;
    canvas.Fill(r, Rgb(225, 225, 225));
    canvas.Outline(r, pressed ? Rgb(0, 84, 153) : Rgb(173, 173, 173));
    if (state_ & kStateFocused) {
        canvas.Outline({r.left + 1, r.top + 1, r.right - 1, r.bottom - 1}, Rgb(0, 120, 215));
        canvas.FocusRect({r.left + 3, r.top + 3, r.right - 3, r.bottom - 3}, kBlack);
    }
    const int shift = pressed ? 1 : 0;
    const int baseline = r.top + (r.bottom - r.top - FontLineHeight()) / 2 + FontAscent() + shift;
    DrawCentred(canvas, {r.left + shift, r.top, r.right + shift, r.bottom}, baseline, Text(), kBlack);
}

} // namespace ui
