#include "install/ui/press.h"

#include "install/ui/page.h"

namespace ui {

bool IsPressKey(WPARAM virtualKey) {
    return virtualKey == sys::VK_RETURN || virtualKey == sys::VK_SPACE;
}

bool TrackPress(Control& control, uint8_t& state, unsigned message, WPARAM wParam) {
    const uint8_t before = state;
    Page* page = control.Owner();
    bool completed = false;
    switch (message) {
    case sys::WM_SETFOCUS: state |= kStateFocused; break;
    case sys::WM_KILLFOCUS: state &= uint8_t(~(kStateFocused | kStatePressed)); break;
    case sys::WM_CAPTURECHANGED: state &= uint8_t(~kStatePressed); break;
    case sys::WM_LBUTTONDOWN:
    case sys::WM_LBUTTONDBLCLK:
        if (page) page->SetFocus(&control);
        state |= kStatePressed;
        if (page) page->SetCapture(&control);
        break;
    case sys::WM_LBUTTONUP:
        if (state & kStatePressed) {
            state &= uint8_t(~kStatePressed);
            if (page && page->Capture() == &control) page->ReleaseCapture();
            completed = true;
        }
        break;
    case sys::WM_KEYDOWN:
        if (IsPressKey(wParam)) state |= kStatePressed;
        break;
    case sys::WM_KEYUP:
        if (IsPressKey(wParam) && (state & kStatePressed)) {
            state &= uint8_t(~kStatePressed);
            completed = true;
        }
        break;
    default: break;
    }
    if (state != before && page) page->Invalidate();
    return completed;
}

} // namespace ui
