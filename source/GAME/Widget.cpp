#include "GAME/Widget.h"

#include <string>

#include "BASE/settings.h"
#include "GRAPH/Sprite.h"
#include "GRAPH/font.h"
#include "SOUND/Gsound.h"

bool IsPointerMessage(unsigned message) {
    switch (message) {
    case sys::WM_MOUSEMOVE:
    case sys::WM_LBUTTONDOWN:
    case sys::WM_LBUTTONUP:
    case sys::WM_RBUTTONDOWN:
    case sys::WM_RBUTTONUP:
    case sys::WM_MBUTTONDOWN:
    case sys::WM_MBUTTONUP: return true;
    default: return false;
    }
}

int PointerX(sys::LPARAM lParam) {
    return int(uint32_t(lParam) & 0xFFFF);
}
int PointerY(sys::LPARAM lParam) {
    return int((uint32_t(lParam) >> 16) & 0xFFFF);
}

namespace {

int16_t IniShort(const char* file, const char* section, const char* key) {
    return int16_t(GetIniInt(file, section, key));
}

// Widgets taken out of the tree while a message or an update travels through it. The handlers
// still on the call stack may touch them after the action they reported replaced their screen
// (a spinner goes on to its other arrow), so they are destroyed once the outermost call returns.
int TreeBusy = 0;
std::vector<std::unique_ptr<Widget>> Retired;

void DestroyRetired() {
    std::vector<std::unique_ptr<Widget>> batch = std::move(Retired);
    Retired.clear();
}

// Marks the tree busy for the lifetime of one call from outside (the main loop, a test).
class BusyTree {
public:
    BusyTree() { ++TreeBusy; }
    ~BusyTree() {
        if (--TreeBusy == 0) DestroyRetired();
    }
    BusyTree(const BusyTree&) = delete;
    BusyTree& operator=(const BusyTree&) = delete;
};

} // namespace

Widget::~Widget() {
    children.clear();
    for (Sprite* picture : pictures)
        if (picture) picture->Release();
    if (font) font->Release();
}

void Widget::Load(const char* file, const char* section) {
    x = homeX = IniShort(file, section, "x");
    y = homeY = IniShort(file, section, "y");
    width = IniShort(file, section, "xs");
    height = IniShort(file, section, "ys");
    x1 = IniShort(file, section, "x1");
    y1 = IniShort(file, section, "y1");
    x2 = IniShort(file, section, "x2");
    y2 = IniShort(file, section, "y2");
    ReadIniString(caption, file, section, "name");
    xalign = IniShort(file, section, "xalign");
    ReadIniString(sndNormalActive, file, section, "sndNormalActive");
    ReadIniString(sndActivePress, file, section, "sndActivePress");
    // One picture per state, in state order, up to the first key that is missing or empty.
    static const char* const kStateKeys[] = {"ignore", "normal", "active", "press"};
    for (const char* key : kStateKeys) {
        const std::string name = GetIniString(file, section, key);
        if (name.empty()) break;
        Sprite* picture = LoadSprite(name.c_str(), nullptr, false);
        if (picture) picture->AddRef();
        pictures.push_back(picture);
    }
}

int Widget::HandleMessage(unsigned message, sys::WPARAM wParam, sys::LPARAM lParam) {
    if (IsPointerMessage(message)) {
        const int px = PointerX(lParam);
        const int py = PointerY(lParam);
        for (int i = 0; i < ChildCount(); ++i) {
            const Widget& child = *children[size_t(i)];
            if (child.state != STATE_IGNORE && child.Contains(px, py)) {
                MoveFocus(i, 1);
                break;
            }
        }
    }
    Widget* focused = FocusedChild();
    return focused ? focused->HandleMessage(message, wParam, lParam) : 0;
}

int Widget::OnChildAction(Widget* /*child*/) {
    return parent ? parent->OnChildAction(this) : 0;
}

int Widget::OnFocusChanged() {
    return 0;
}

int Widget::Update(float elapsedMs) {
    clock += elapsedMs;
    for (int i = ChildCount() - 1; i >= 0; --i) {
        // A child may remove itself or others while it updates.
        if (i >= ChildCount()) continue;
        if (children[size_t(i)]->Update(elapsedMs)) break;
    }
    return 0;
}

int Widget::Draw() {
    if (hidden) return 0;
    for (int i = 0; i < ChildCount(); ++i)
        if (children[size_t(i)]->Draw()) break;
    return 0;
}

Widget* Widget::AddChild(std::unique_ptr<Widget> child) {
    Widget* added = child.get();
    children.push_back(std::move(child));
    added->parent = this;
    added->SetFont(font);
    currentIndex = ChildCount() - 1;
    return added;
}

int Widget::RemoveChild(Widget* child) {
    for (size_t i = 0; i < children.size(); ++i) {
        if (children[i].get() != child) continue;
        std::unique_ptr<Widget> removed = std::move(children[i]);
        children.erase(children.begin() + long(i));
        removed->parent = nullptr; // a retired widget reports to nobody
        if (TreeBusy > 0)
            Retired.push_back(std::move(removed));
        else
            removed.reset();
        if (currentIndex > ChildCount() - 1) {
            currentIndex = ChildCount() - 1;
            OnFocusChanged();
        }
        return 1;
    }
    return 0;
}

void Widget::SetValue(float /*value*/) {}

float Widget::GetValue() {
    return 0.0f;
}

void Widget::SetState(int newState) {
    if (parent && newState == STATE_IGNORE && parent->FocusedChild() == this)
        parent->currentIndex = -1;
    if (state == STATE_NORMAL && newState == STATE_ACTIVE) PlaySound(sndNormalActive.c_str(), 0);
    if (state == STATE_ACTIVE && newState == STATE_PRESS) PlaySound(sndActivePress.c_str(), 0);
    state = newState;
}

void Widget::Notify(int /*value*/) {}

void Widget::OnResult() {}

Widget* Widget::FocusedChild() const {
    if (currentIndex < 0 || currentIndex >= ChildCount()) return nullptr;
    return children[size_t(currentIndex)].get();
}

void Widget::MoveFocus(int index, int step) {
    const int count = ChildCount();
    if (count == 0) {
        currentIndex = -1;
        return;
    }
    if (Widget* focused = FocusedChild()) {
        if (index == currentIndex) return;
        if (focused->state == STATE_ACTIVE || focused->state == STATE_PRESS)
            focused->SetState(STATE_NORMAL);
    }
    const int direction = step != 0 ? step : (index > currentIndex) - (index < currentIndex);
    for (int tries = 0; tries < count; ++tries) {
        const int i = (count + index % count) % count;
        Widget& child = *children[size_t(i)];
        if (child.state == STATE_NORMAL) {
            currentIndex = i;
            if (step != 0)
                child.SetState(STATE_ACTIVE);
            else
                child.state = STATE_ACTIVE;
            OnFocusChanged();
            return;
        }
        index += direction;
    }
    currentIndex = -1;
}

void Widget::SetFont(Font* newFont) {
    if (newFont) newFont->AddRef();
    if (font) font->Release();
    font = newFont;
}

bool Widget::Contains(int px, int py) const {
    return x <= px && px < x + width && y <= py && py < y + height;
}

namespace {

// Input goes to the newest screen only. Hit-testing the screens would hand the focus to a screen
// lying underneath (the game below the pause menu) whenever the pointer leaves the top panel.
class RootContainer : public Widget {
public:
    int HandleMessage(unsigned message, sys::WPARAM wParam, sys::LPARAM lParam) override {
        BusyTree busy;
        Widget* top = FocusedChild();
        return top ? top->HandleMessage(message, wParam, lParam) : 0;
    }
    int Update(float elapsedMs) override {
        BusyTree busy;
        return Widget::Update(elapsedMs);
    }
};

} // namespace

Widget& RootWidget() {
    static RootContainer root;
    return root;
}

Widget* PushScreen(std::unique_ptr<Widget> screen) {
    return RootWidget().AddChild(std::move(screen));
}

void ReplaceScreen(Widget* old, std::unique_ptr<Widget> next) {
    // A screen already replaced during this message (its handler acted twice) replaces nothing.
    if (!RootWidget().RemoveChild(old)) return;
    if (next) RootWidget().AddChild(std::move(next));
}

void ReplaceAllScreens(std::unique_ptr<Widget> next) {
    Widget& root = RootWidget();
    while (root.ChildCount() > 0) root.RemoveChild(root.children.front().get());
    if (next) root.AddChild(std::move(next));
}
