#include "install/ui/controls.h"

#include "install/ui/page.h"

namespace ui {

Control::Control(int id, const sys::Rect& rect) : id_(id), rect_(rect) {}

void Control::Move(const sys::Rect& rect) {
    rect_ = rect;
    Invalidate();
}

void Control::SetText(const std::string& text) {
    text_ = text;
    Invalidate();
}

void Control::Show(bool visible) {
    if (visible_ == visible) return;
    visible_ = visible;
    if (!visible && page_) {
        if (page_->Capture() == this) page_->ReleaseCapture();
        if (page_->Focus() == this) page_->SetFocus(nullptr);
    }
    Invalidate();
}

void Control::SetBackground(uint32_t colour) {
    background_ = colour;
    Invalidate();
}

bool Control::HasFocus() const { return page_ && page_->Focus() == this; }

LRESULT Control::Message(unsigned, WPARAM, LPARAM) { return 0; }

bool Control::WantsKey(unsigned) const { return false; }

void Control::Invalidate() {
    if (page_) page_->Invalidate();
}

void Control::Notify(int code, LPARAM lParam) {
    if (page_) page_->Command(id_, code, lParam);
}

} // namespace ui
