#include "install/ui/page.h"

#include <algorithm>

namespace ui {
namespace {

Page* gCurrent = nullptr;

bool Contains(const sys::Rect& r, int x, int y) {
    return x >= r.left && x < r.right && y >= r.top && y < r.bottom;
}

bool IsMouseMessage(unsigned message) {
    return message >= sys::WM_MOUSEMOVE && message <= sys::WM_MOUSEWHEEL;
}

bool IsButtonOrCheck(const Control* c) {
    return dynamic_cast<const PushButton*>(c) || dynamic_cast<const SkinCheck*>(c);
}

} // namespace

Page::~Page() {
    Close();
}

Page* Page::Current() {
    return gCurrent;
}

bool Page::Create(const std::string& caption, int clientWidth, int clientHeight) {
    if (open_ || sys::MainWindowExists() || clientWidth <= 0 || clientHeight <= 0) return false;
    if (!sys::RegisterWindowClass()) return false;
    const int x = std::max(0, (sys::DesktopWidth() - clientWidth) / 2);
    const int y = std::max(0, (sys::DesktopHeight() - clientHeight) / 2);
    if (!sys::CreateMainWindow(caption.c_str(), x, y, clientWidth, clientHeight, WindowProc))
        return false;
    sys::SetMainWindowBordered(true);
    contents_ = Contents{};
    contents_.caption = caption;
    capture_ = nullptr;
    shiftHeld_ = controlHeld_ = false;
    canvas_.Resize(clientWidth, clientHeight, kSkinBackground);
    open_ = true;
    dirty_ = true;
    gCurrent = this;
    return true;
}

void Page::Show() {
    if (!open_) return;
    sys::ShowMainWindow();
    if (!Focus()) MoveFocus(1, false);
    Redraw();
}

void Page::Close() {
    if (!open_) return;
    if (gCurrent == this) gCurrent = nullptr;
    open_ = false;
    capture_ = nullptr;
    sys::SetMouseCapture(false);
    sys::DestroyMainWindow();
    contents_ = Contents{};
}

void Page::SetCaption(const std::string& caption) {
    contents_.caption = caption;
    if (open_) sys::SetMainWindowTitle(caption.c_str());
}

bool Page::SetIconPng(const unsigned char* data, size_t size) {
    return open_ && sys::SetMainWindowIconPng(data, size);
}

template <class T> T* Page::Adopt(std::unique_ptr<T> control) {
    T* raw = control.get();
    raw->page_ = this;
    contents_.controls.push_back(std::move(control));
    Invalidate();
    return raw;
}

SkinButton* Page::AddButton(int id, const std::string& text, const inst::Picture& sheet,
                            const inst::AnimFrame& normal, const inst::AnimFrame& focused) {
    return Adopt(std::make_unique<SkinButton>(id, text, sheet, normal, focused));
}

PlainButton* Page::AddPlainButton(int id, const std::string& text, const sys::Rect& rect) {
    return Adopt(std::make_unique<PlainButton>(id, text, rect));
}

SkinCheck* Page::AddCheck(int id, const std::string& text, const sys::Rect& rect, bool ticked) {
    return Adopt(std::make_unique<SkinCheck>(id, text, rect, ticked));
}

SkinStatic* Page::AddStatic(int id, const std::string& text, const sys::Rect& rect, TextAlign align,
                            bool singleLine) {
    return Adopt(std::make_unique<SkinStatic>(id, text, rect, align, singleLine));
}

Edit* Page::AddEdit(int id, const std::string& text, const sys::Rect& rect) {
    return Adopt(std::make_unique<Edit>(id, text, rect));
}

TextView* Page::AddTextView(int id, const sys::Rect& rect) {
    return Adopt(std::make_unique<TextView>(id, rect));
}

ProgressBar* Page::AddProgressBar(int id, const sys::Rect& rect) {
    return Adopt(std::make_unique<ProgressBar>(id, rect));
}

ListView* Page::AddListView(int id, const sys::Rect& rect) {
    return Adopt(std::make_unique<ListView>(id, rect));
}

Control* Page::Item(int id) const {
    for (const auto& c : contents_.controls)
        if (c->Id() == id) return c.get();
    return nullptr;
}

LRESULT Page::SendItemMessage(int id, unsigned message, WPARAM wParam, LPARAM lParam) {
    Control* c = Item(id);
    return c ? c->Message(message, wParam, lParam) : 0;
}

std::vector<Control*> Page::Controls() const {
    std::vector<Control*> all;
    for (const auto& c : contents_.controls) all.push_back(c.get());
    return all;
}

void Page::SetFocus(Control* control) {
    if (control && (!control->Visible() || control->Owner() != this)) return;
    Control* old = contents_.focus;
    if (old == control) return;
    contents_.focus = control;
    if (old) old->Message(sys::WM_KILLFOCUS, 0, 0);
    if (control && contents_.focus == control) control->Message(sys::WM_SETFOCUS, 0, 0);
    Invalidate();
}

void Page::SetCapture(Control* control) {
    if (capture_ == control) return;
    Control* old = capture_;
    capture_ = control;
    sys::SetMouseCapture(control != nullptr);
    if (old) old->Message(sys::WM_CAPTURECHANGED, 0, 0);
}

void Page::ReleaseCapture() {
    SetCapture(nullptr);
}

void Page::SetBackgroundPainter(Painter painter) {
    contents_.painter = std::move(painter);
    Invalidate();
}

void Page::Command(int id, int code, LPARAM lParam) {
    Dispatch({sys::WM_COMMAND, MakeCommand(id, code), lParam});
}

sys::LRESULT Page::WindowProc(unsigned message, WPARAM wParam, LPARAM lParam) {
    if (gCurrent) {
        gCurrent->Dispatch({message, wParam, lParam});
        return 0;
    }
    return sys::DefWindowProc(message, wParam, lParam);
}

void Page::Dispatch(const sys::Msg& msg) {
    // A copy runs, so the hook may close the page or replace itself.
    if (const Hook hook = contents_.hook; hook && hook(*this, msg)) return;
    if (open_) Route(msg);
}

void Page::ForgetInput() {
    ReleaseCapture();
    shiftHeld_ = controlHeld_ = false;
}

void Page::Route(const sys::Msg& msg) {
    switch (msg.message) {
    case sys::WM_COMMAND:
        if (const CommandHandler handler = contents_.commandHandler)
            handler(*this, CommandId(msg.wParam), CommandCode(msg.wParam), msg.lParam);
        return;
    case sys::WM_CLOSE:
        // Closing the window is the Cancel command, as in a dialog.
        Command(2, kNotifyClicked);
        return;
    case sys::WM_ERASEBKGND:
    case sys::WM_SIZE: Invalidate(); return;
    case sys::WM_SETFOCUS:
        if (!Focus()) MoveFocus(1, false);
        return;
    case sys::WM_KILLFOCUS: ForgetInput(); return;
    case sys::WM_KEYDOWN:
    case sys::WM_KEYUP:
    case sys::WM_CHAR: RouteKey(msg); return;
    case sys::WM_SYSKEYDOWN:
    case sys::WM_SYSKEYUP:
        // Alt+F4 comes back here as WM_CLOSE.
        sys::DefWindowProc(msg.message, msg.wParam, msg.lParam);
        return;
    default:
        if (IsMouseMessage(msg.message)) RouteMouse(msg);
        return;
    }
}

void Page::RouteKey(const sys::Msg& msg) {
    const unsigned key = unsigned(msg.wParam);
    if (msg.message != sys::WM_CHAR) {
        const bool down = msg.message == sys::WM_KEYDOWN;
        if (key == sys::VK_SHIFT) shiftHeld_ = down;
        if (key == sys::VK_CONTROL) controlHeld_ = down;
    }
    Control* focus = Focus();
    if (msg.message == sys::WM_KEYDOWN && !(focus && focus->WantsKey(key)) && Navigate(key)) return;
    if (focus) focus->Message(msg.message, msg.wParam, msg.lParam);
}

bool Page::Navigate(unsigned key) {
    switch (key) {
    case sys::VK_TAB:
        MoveFocus(shiftHeld_ ? -1 : 1, false);
        // As in a dialog, an edit reached with Tab has its whole text selected.
        if (auto* edit = dynamic_cast<Edit*>(Focus())) edit->Select(0, edit->Text().size());
        return true;
    case sys::VK_RETURN: {
        Control* button = Item(contents_.defaultButton);
        if (button && button->Visible()) Command(contents_.defaultButton, kNotifyClicked);
        return true;
    }
    case sys::VK_ESCAPE: Command(2, kNotifyClicked); return true;
    case sys::VK_LEFT:
    case sys::VK_UP: MoveFocus(-1, true); return true;
    case sys::VK_RIGHT:
    case sys::VK_DOWN: MoveFocus(1, true); return true;
    default: return false;
    }
}

void Page::MoveFocus(int step, bool buttonsOnly) {
    std::vector<Control*> stops;
    for (const auto& c : contents_.controls)
        if (c->Visible() && c->TabStop() && (!buttonsOnly || IsButtonOrCheck(c.get())))
            stops.push_back(c.get());
    if (stops.empty()) return;
    if (buttonsOnly && !IsButtonOrCheck(Focus())) return;
    const auto at = std::find(stops.begin(), stops.end(), Focus());
    const int count = int(stops.size());
    int index;
    if (at == stops.end())
        index = step > 0 ? 0 : count - 1;
    else
        index = ((int(at - stops.begin()) + step) % count + count) % count;
    SetFocus(stops[size_t(index)]);
}

Control* Page::ControlAt(int x, int y) const {
    for (const auto& c : contents_.controls)
        if (c->Visible() && Contains(c->Rect(), x, y)) return c.get();
    return nullptr;
}

void Page::RouteMouse(const sys::Msg& msg) {
    const int x = sys::PointX(msg.lParam), y = sys::PointY(msg.lParam);
    if (msg.message == sys::WM_MOUSEMOVE && !capture_) {
        // Hovering shows the focus look on skinned buttons and check boxes.
        Control* under = ControlAt(x, y);
        if (under && under->FocusOnHover() && under != Focus()) SetFocus(under);
    }
    Control* target = capture_ ? capture_ : ControlAt(x, y);
    if (msg.message == sys::WM_MOUSEWHEEL && !target) target = Focus();
    if (!target) return;
    const sys::Rect& r = target->Rect();
    target->Message(msg.message, msg.wParam, sys::MakePointLParam(x - r.left, y - r.top));
}

bool Page::PumpMessages() {
    sys::Msg msg;
    while (open_ && EndCode() == 0 && sys::PeekMessage(msg)) {
        sys::TranslateMessage(msg);
        sys::DispatchMessage(msg);
    }
    if (open_ && dirty_) Redraw();
    return open_ && EndCode() == 0;
}

int Page::Run() {
    while (PumpMessages()) sys::WaitMessage();
    return open_ ? EndCode() : 2;
}

void Page::SwapContents(Contents& other) {
    ForgetInput();
    Control* oldFocus = contents_.focus;
    std::swap(contents_, other);
    if (oldFocus) oldFocus->Message(sys::WM_KILLFOCUS, 0, 0);
    if (contents_.focus) contents_.focus->Message(sys::WM_SETFOCUS, 0, 0);
    if (open_) sys::SetMainWindowTitle(contents_.caption.c_str());
    Invalidate();
}

int Page::RunModal(const std::function<void(Page& page)>& build) {
    if (!open_) return 2;
    Contents layer;
    layer.caption = contents_.caption;
    SwapContents(layer);
    build(*this);
    if (!Focus()) MoveFocus(1, false);
    Redraw();
    const int code = Run();
    if (open_) SwapContents(layer);
    return code;
}

void Page::Paint() {
    canvas_.clip = {0, 0, canvas_.width, canvas_.height};
    if (contents_.painter)
        contents_.painter(canvas_);
    else
        canvas_.Fill(canvas_.clip, kSkinBackground);
    for (const auto& c : contents_.controls) {
        if (!c->Visible()) continue;
        const sys::Rect& r = c->Rect();
        canvas_.clip = {std::max(r.left, 0), std::max(r.top, 0), std::min(r.right, canvas_.width),
                        std::min(r.bottom, canvas_.height)};
        c->Paint(canvas_);
    }
    canvas_.clip = {0, 0, canvas_.width, canvas_.height};
}

void Page::Present() {
    sys::PresentRGB32(canvas_.pixels.data(), canvas_.width * 4, canvas_.width, canvas_.height,
                      {0, 0, canvas_.width, canvas_.height});
}

void Page::Redraw() {
    if (!open_) return;
    Paint();
    Present();
    dirty_ = false;
}

} // namespace ui
