#include "GAME/widgets.h"

#include <algorithm>
#include <string>

#include "BASE/rnd.h"
#include "BASE/settings.h"
#include "GRAPH/Sprite.h"
#include "GRAPH/font.h"
#include "GRAPH/graph.h"
#include "SOUND/Gsound.h"

namespace {

constexpr int kMaxItems = 10; // keys "0" ... "9"
constexpr int kSliderItems = 2;
constexpr int kSliderMargin = 8;        // the track starts and ends 8 pixels inside the slider
constexpr float kSliderKeyStep = 0.05f; // a key press moves a slider by a twentieth

bool IsButtonDown(unsigned message) {
    return message == sys::WM_LBUTTONDOWN || message == sys::WM_LBUTTONDBLCLK ||
           message == sys::WM_RBUTTONDOWN || message == sys::WM_RBUTTONDBLCLK;
}

Sprite* PictureFor(const Widget& widget, int state) {
    if (state < 0 || size_t(state) >= widget.pictures.size()) return nullptr;
    return widget.pictures[size_t(state)];
}

int ReportTo(Widget* parent, Widget* child) {
    return parent ? parent->OnChildAction(child) : 0;
}

void PlaceOver(Widget& item, const Widget& owner, int left, int itemWidth) {
    item.x = item.homeX = int16_t(left);
    item.y = item.homeY = owner.y;
    item.width = int16_t(itemWidth);
    item.height = owner.height;
    item.SetFont(owner.font);
    item.state = STATE_NORMAL;
}

} // namespace

bool IsSelectKey(sys::WPARAM key) {
    return key == 10 || key == sys::VK_RETURN || key == sys::VK_SPACE;
}

// Left and Right, and the joystick's left (59) and right (58), step a focused option widget:
// -1, +1, or 0 for any other message. Like the screen's focus keys they act on release, so a held
// joystick direction, which repeats its key-down every poll, steps once.
int OptionStep(unsigned message, sys::WPARAM key) {
    if (message != sys::WM_KEYUP) return 0;
    if (key == sys::VK_LEFT || key == 59) return -1;
    if (key == sys::VK_RIGHT || key == 58) return 1;
    return 0;
}

std::vector<std::unique_ptr<Widget>> LoadItems(const char* file, const char* section, int limit) {
    std::vector<std::unique_ptr<Widget>> items;
    for (int i = 0; i < limit; ++i) {
        // Copied at once: the INI buffer is shared with the item's own reads.
        const std::string itemSection = GetIniString(file, section, std::to_string(i).c_str());
        if (itemSection.empty()) break;
        auto item = std::make_unique<Button>();
        item->Load(file, itemSection.c_str());
        items.push_back(std::move(item));
    }
    return items;
}

// ---- Button ----

int Button::HandleMessage(unsigned message, sys::WPARAM wParam, sys::LPARAM lParam) {
    if (Widget::HandleMessage(message, wParam, lParam)) return 1;
    return RunButtonStates(message, wParam, lParam);
}

int Button::RunButtonStates(unsigned message, sys::WPARAM wParam, sys::LPARAM lParam) {
    if (state == STATE_IGNORE) return 0;
    const int old = state;
    int next = old;
    switch (message) {
    case sys::WM_KEYDOWN:
        if (old == STATE_ACTIVE && IsSelectKey(wParam)) next = STATE_PRESS;
        break;
    case sys::WM_KEYUP:
        if (old == STATE_PRESS && IsSelectKey(wParam)) next = STATE_ACTIVE;
        break;
    case sys::WM_LBUTTONDOWN:
    case sys::WM_LBUTTONDBLCLK:
    case sys::WM_RBUTTONDOWN:
    case sys::WM_RBUTTONDBLCLK:
        if (!Contains(PointerX(lParam), PointerY(lParam))) return 0;
        next = STATE_PRESS;
        break;
    case sys::WM_LBUTTONUP:
    case sys::WM_RBUTTONUP:
        if (!Contains(PointerX(lParam), PointerY(lParam))) return 0;
        next = STATE_ACTIVE;
        break;
    default: return 0;
    }
    if (next == old && message == sys::WM_KEYDOWN) return 0;
    if (next == old && message == sys::WM_KEYUP) return 0;
    SetState(next);
    // The parent may destroy this widget while it acts: nothing may follow.
    if (old == STATE_PRESS && next == STATE_ACTIVE) return ReportTo(parent, this);
    return 1;
}

void Button::DrawStatePicture() {
    Sprite* picture = PictureFor(*this, state);
    if (picture && RenderSurface) RenderSurface->DrawSprite(x, y, picture, OP_MASK, 0.0f);
}

void Button::DrawCaption(int left) {
    if (caption.empty() || !RenderSurface) return;
    const int anchor = xalign < 0 ? left : x + width / 2;
    const int top = y + height / 2 + (state == STATE_PRESS ? 2 : 0);
    DrawText(RenderSurface, font, anchor, top, caption.c_str(), 0.0f, xalign, 0);
}

int Button::Draw() {
    if (hidden) return 0;
    DrawStatePicture();
    DrawCaption(x);
    return Widget::Draw();
}

// ---- WideButton ----

void WideButton::Load(const char* file, const char* section) {
    Button::Load(file, section);
    static const char* const kCaps[] = {"DATA\\buttonleft_n.tga",  "DATA\\buttonleft_n.tga",
                                        "DATA\\buttonleft_a.tga",  "DATA\\buttonleft_p.tga",
                                        "DATA\\buttonright_n.tga", "DATA\\buttonright_n.tga",
                                        "DATA\\buttonright_a.tga", "DATA\\buttonright_p.tga"};
    pictures.resize(4, nullptr); // the caps always sit in slots 4 to 11
    for (const char* name : kCaps) {
        Sprite* cap = LoadSprite(name, nullptr, false);
        if (cap) cap->AddRef();
        pictures.push_back(cap);
    }
}

int WideButton::Draw() {
    if (hidden) return 0;
    Sprite* middle = PictureFor(*this, state);
    if (middle && RenderSurface) {
        Sprite* leftCap = PictureFor(*this, state + 4);
        Sprite* rightCap = PictureFor(*this, state + 8);
        const int leftWidth = leftCap ? leftCap->width : 0;
        const int rightWidth = rightCap ? rightCap->width : 0;
        RenderSurface->StretchBlit(x + leftWidth, y, width - leftWidth - rightWidth,
                                   middle->frameHeight, middle, 0, 0, middle->width,
                                   middle->frameHeight, OP_MASK, 0.0f);
        if (leftCap) RenderSurface->DrawSprite(x, y, leftCap, OP_MASK, 0.0f);
        if (rightCap) RenderSurface->DrawSprite(x + width - rightWidth, y, rightCap, OP_MASK, 0.0f);
    }
    DrawCaption(x);
    return Widget::Draw();
}

// ---- Slider ----

void Slider::Load(const char* file, const char* section) {
    Button::Load(file, section);
    items = LoadItems(file, section, kSliderItems);
    for (auto& item : items) PlaceOver(*item, *this, x, width);
}

int Slider::HandleMessage(unsigned message, sys::WPARAM wParam, sys::LPARAM lParam) {
    if (const int step = OptionStep(message, wParam); step != 0 && state == STATE_ACTIVE) {
        value = std::clamp(value + float(step) * kSliderKeyStep, 0.0f, 1.0f);
        SetState(STATE_PRESS); // sounds as a click does
        SetState(STATE_ACTIVE);
        return ReportTo(parent, this);
    }
    int result = Button::HandleMessage(message, wParam, lParam);
    if (!IsPointerMessage(message)) return result;
    if (state == STATE_PRESS && (message == sys::WM_LBUTTONUP || message == sys::WM_RBUTTONUP ||
                                 message == sys::WM_MBUTTONUP))
        SetState(STATE_ACTIVE);
    const int px = PointerX(lParam);
    const int track = width - 2 * kSliderMargin;
    // A slider too narrow for a track has no value to drag.
    if (state == STATE_PRESS && track > 0 && Contains(px, PointerY(lParam))) {
        value = float(px - x - kSliderMargin) / float(track);
        if (value < 0.02f) value = 0.0f;
        if (value > 0.98f) value = 1.0f;
        result = ReportTo(parent, this);
    }
    return result;
}

int Slider::Draw() {
    if (hidden || !RenderSurface) return 0;
    const int split = rnd(double(width - 2 * kSliderMargin) * double(value)) + kSliderMargin;
    Sprite* filled = items.size() > 1 ? PictureFor(*items[1], state) : nullptr;
    Sprite* empty = items.empty() ? nullptr : PictureFor(*items[0], state);
    if (filled)
        RenderSurface->StretchBlit(x, y, split, height, filled, 0, 0, split, height, OP_MASK, 0.0f);
    if (empty)
        RenderSurface->StretchBlit(x + split, y, width - split, height, empty, split, 0,
                                   width - split, height, OP_MASK, 0.0f);
    return 0;
}

// ---- ValueList ----

void ValueList::Load(const char* file, const char* section) {
    Widget::Load(file, section);
    for (auto& item : LoadItems(file, section, kMaxItems)) AddItem(std::move(item));
}

void ValueList::AddItem(std::unique_ptr<Widget> item) {
    PlaceItem(*item);
    item->parent = this;
    items.push_back(std::move(item));
    if (currentIndex < 0) currentIndex = 0;
}

void ValueList::PlaceItem(Widget& item) {
    PlaceOver(item, *this, x, width);
}

void ValueList::SetValue(float value) {
    const int index = rnd(value);
    if (index >= 0 && index < int(items.size())) currentIndex = index;
}

void ValueList::Step(int delta) {
    const int count = int(items.size());
    if (count == 0) return;
    currentIndex = ((currentIndex + delta) % count + count) % count;
}

int ValueList::HandleMessage(unsigned message, sys::WPARAM wParam, sys::LPARAM lParam) {
    if (state == STATE_IGNORE) return 0;
    const int old = state;
    int next = old;
    if (const int step = OptionStep(message, wParam); step != 0) {
        if (old != STATE_ACTIVE) return 0;
        SetState(STATE_PRESS); // sounds as a click does
        Step(step);
        SetState(STATE_ACTIVE);
        return ReportTo(parent, this);
    }
    if (message == sys::WM_KEYDOWN) {
        if (old != STATE_ACTIVE || !IsSelectKey(wParam)) return 0;
        next = STATE_PRESS;
    } else if (message == sys::WM_KEYUP) {
        if (old != STATE_PRESS || !IsSelectKey(wParam)) return 0;
        Step(1);
        next = STATE_ACTIVE;
    } else if (IsButtonDown(message)) {
        next = STATE_PRESS; // it only hears the mouse while it has the focus: no hit test
    } else if (message == sys::WM_LBUTTONUP || message == sys::WM_RBUTTONUP) {
        if (!Contains(PointerX(lParam), PointerY(lParam))) return 0;
        Step(message == sys::WM_LBUTTONUP ? 1 : -1);
        next = STATE_ACTIVE;
    } else {
        return 0;
    }
    SetState(next);
    if (old == STATE_PRESS && next == STATE_ACTIVE) return ReportTo(parent, this);
    return 1;
}

int ValueList::Update(float elapsedMs) {
    clock += elapsedMs;
    if (currentIndex >= 0 && currentIndex < int(items.size()))
        items[size_t(currentIndex)]->Update(elapsedMs);
    return 0;
}

int ValueList::Draw() {
    if (hidden || currentIndex < 0 || currentIndex >= int(items.size())) return 0;
    Widget& item = *items[size_t(currentIndex)];
    item.state = state; // the item shows the list's focus and press
    return item.Draw();
}

// ---- Spinner ----

void Spinner::Load(const char* file, const char* section) {
    Widget::Load(file, section);
    leftArrow = std::make_unique<Button>();
    rightArrow = std::make_unique<Button>();
    for (Button* arrow : {leftArrow.get(), rightArrow.get()}) {
        arrow->parent = this;
        arrow->SetFont(font);
        arrow->Load(file, arrow == leftArrow.get() ? "left" : "right");
        arrow->state = STATE_NORMAL;
        arrow->y = y;
    }
    leftArrow->x = x;
    rightArrow->x = int16_t(x + width - rightArrow->width);
    for (auto& item : LoadItems(file, section, kMaxItems)) AddItem(std::move(item));
}

void Spinner::PlaceItem(Widget& item) {
    const int leftWidth = leftArrow ? leftArrow->width : 0;
    const int rightWidth = rightArrow ? rightArrow->width : 0;
    PlaceOver(item, *this, x + leftWidth, width - leftWidth - rightWidth);
}

int Spinner::HandleMessage(unsigned message, sys::WPARAM wParam, sys::LPARAM lParam) {
    if (OptionStep(message, wParam) != 0) return ValueList::HandleMessage(message, wParam, lParam);
    if (state == STATE_IGNORE || !IsPointerMessage(message) || !leftArrow) return 0;
    const int px = PointerX(lParam), py = PointerY(lParam);
    int result = 0;
    bool overArrow = false;
    for (Button* arrow : {leftArrow.get(), rightArrow.get()}) {
        if (arrow->Contains(px, py)) {
            overArrow = true;
            if (arrow->state == STATE_NORMAL) arrow->SetState(STATE_ACTIVE);
            result = arrow->HandleMessage(message, wParam, lParam);
        } else {
            arrow->SetState(STATE_NORMAL);
        }
    }
    if (!overArrow && currentIndex >= 0 && currentIndex < int(items.size()) &&
        items[size_t(currentIndex)]->Contains(px, py))
        result = ValueList::HandleMessage(message, wParam, lParam);
    return result;
}

int Spinner::OnChildAction(Widget* child) {
    if (child == leftArrow.get()) Step(-1);
    if (child == rightArrow.get()) Step(1);
    return ReportTo(parent, this);
}

int Spinner::Update(float elapsedMs) {
    if (leftArrow) {
        leftArrow->Update(elapsedMs);
        rightArrow->Update(elapsedMs);
    }
    return ValueList::Update(elapsedMs);
}

int Spinner::Draw() {
    if (hidden) return 0;
    if (leftArrow) {
        leftArrow->Draw();
        rightArrow->Draw();
    }
    return ValueList::Draw();
}

// ---- TextField ----

void TextField::SetValue(float value) {
    caret = rnd(value);
}

int TextField::HandleMessage(unsigned message, sys::WPARAM wParam, sys::LPARAM lParam) {
    (void)lParam;
    const int length = int(caption.size());
    // A caret placed outside the text by code edits at the nearest end.
    const int c = std::clamp(caret, 0, length);
    auto moved = [this](int to) {
        caret = to;
        PlaySound(sndActivePress.c_str(), 0);
        return 1;
    };
    switch (message) {
    case sys::WM_KEYDOWN:
    case sys::WM_SYSKEYDOWN:
        switch (wParam) {
        case sys::VK_BACK:
            if (c == 0) return 0;
            caption.erase(size_t(c - 1), 1);
            caret = c - 1;
            return 1;
        case sys::VK_DELETE:
            if (c < length) caption.erase(size_t(c), 1);
            return 0;
        case sys::VK_LEFT: return moved(std::max(0, c - 1));
        case sys::VK_RIGHT: return moved(c < length ? c + 1 : length);
        case sys::VK_PRIOR:
        case sys::VK_HOME: return moved(0);
        case sys::VK_NEXT:
        case sys::VK_END: return moved(length);
        default: return 0;
        }
    case sys::WM_KEYUP:
    case sys::WM_SYSKEYUP: return wParam >= sys::VK_PRIOR && wParam <= sys::VK_HOME ? 1 : 0;
    case sys::WM_CHAR: {
        if (wParam < 32 || wParam > 255) return 0;
        PlaySound(sndActivePress.c_str(), 0);
        std::string longer = caption;
        longer.insert(size_t(c), 1, char(wParam));
        if (TextWidth(font, longer.c_str(), -1) < width) {
            caption = std::move(longer);
            caret = c + 1;
        }
        return 0;
    }
    default: return 0;
    }
}

int TextField::Draw() {
    if (hidden) return 0;
    DrawStatePicture();
    if (RenderSurface) {
        const int top = y + height / 2 + (state == STATE_PRESS ? 2 : 0);
        if (!caption.empty())
            DrawText(RenderSurface, font, x + 7, top, caption.c_str(), 0.0f, -1, 0);
        const bool focused = state == STATE_ACTIVE || state == STATE_PRESS;
        if (focused && (int(clock) & 512)) {
            const int before =
                TextWidth(font, caption.c_str(), std::clamp(caret, 0, int(caption.size())));
            DrawText(RenderSurface, font, x + 3 + before, y + height / 2, "|", float(state) * 0.25f,
                     xalign, 0);
        }
    }
    return Widget::Draw();
}
