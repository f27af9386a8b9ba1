#include "GAME/Screen.h"

#include <algorithm>
#include <cmath>

#include "BASE/rnd.h"
#include "GAME/hero.h"
#include "GAME/run.h"
#include "GAME/waterfall_backdrop.h"
#include "GRAPH/Sprite.h"
#include "GRAPH/graph.h"

namespace {

constexpr int kScreenHeight = 480;
constexpr int kFlyAwayWidth = 640;
constexpr uint32_t kFrameInside = 0xff8dc1f9;

enum MenuPicture {
    kTopLeft,
    kTopRight,
    kBottomLeft,
    kBottomRight,
    kUp,
    kDown,
    kLeft,
    kRight,
    kPieces
};
const char* const kMenuPictureFiles[kPieces] = {
    "DATA\\Menu00.tga", "DATA\\Menu01.tga",   "DATA\\Menu10.tga",   "DATA\\Menu11.tga",
    "DATA\\MenuUp.tga", "DATA\\MenuDown.tga", "DATA\\MenuLeft.tga", "DATA\\MenuRight.tga"};
Sprite* MenuPictures[kPieces] = {};

bool IsEscapeKey(sys::WPARAM key) {
    return key == sys::VK_ESCAPE || key == 11;
}

} // namespace

void LoadMenuPictures() {
    for (int i = 0; i < kPieces; ++i) {
        if (MenuPictures[i]) continue;
        MenuPictures[i] = LoadSprite(kMenuPictureFiles[i], nullptr, false);
        if (MenuPictures[i]) MenuPictures[i]->AddRef();
    }
}

void ReleaseMenuPictures() {
    for (Sprite*& picture : MenuPictures) {
        if (picture) picture->Release();
        picture = nullptr;
    }
}

void DrawMenuFrame(int x, int y, int w, int h) {
    Sprite* target = RenderSurface;
    if (!target) return;
    Sprite* const* p = MenuPictures;
    const int cw = p[kTopLeft] ? p[kTopLeft]->width : 0;
    const int ch = p[kTopLeft] ? p[kTopLeft]->frameHeight : 0;
    auto corner = [&](Sprite* piece, int px, int py) {
        if (piece) target->DrawSprite(px, py, piece, OP_ALPHA, 0.0f);
    };
    auto edge = [&](Sprite* piece, int px, int py, int pw, int ph) {
        if (piece)
            target->StretchBlit(px, py, pw, ph, piece, 0, 0, piece->width, piece->frameHeight,
                                OP_ALPHA, 0.0f);
    };
    corner(p[kTopLeft], x, y);
    corner(p[kTopRight], x + w - cw, y);
    corner(p[kBottomLeft], x, y + h - ch);
    corner(p[kBottomRight], x + w - cw, y + h - ch);
    edge(p[kUp], x + cw, y, w - 2 * cw, ch);
    edge(p[kDown], x + cw, y + h - ch, w - 2 * cw, p[kDown] ? p[kDown]->frameHeight : 0);
    edge(p[kLeft], x, y + ch, cw, h - 2 * ch);
    edge(p[kRight], x + w - cw, y + ch, cw, h - 2 * ch);
    target->FillRect(x + cw, y + ch, x + w - cw, y + h - ch, kFrameInside);
}

Screen::Screen(const char* descriptionFile, int fly) : file(descriptionFile), flyMode(fly) {
    SetFont(MenuFont);
    Load(descriptionFile, "main");
}

Widget* Screen::AddFromFile(std::unique_ptr<Widget> widget, const char* section, int initialState) {
    Widget* added = AddChild(std::move(widget));
    added->SetFont(MenuFont);
    added->Load(file.c_str(), section);
    added->state = initialState;
    if (flyMode == 1 && added->x1 == 0 && added->y1 == 0) {
        const int centre = added->x + added->width / 2;
        const int count = ChildCount();
        const bool toRight = centre >= 300 && (centre > 340 || count % 2 == 0);
        added->x1 =
            int16_t(toRight ? added->x + added->width + kFlyAwayWidth : -added->x - added->width);
        added->y1 = 0;
    }
    return added;
}

void Screen::FocusFirst(int index) {
    currentIndex = -1;
    MoveFocus(index, 0);
}

int Screen::IndexOf(const Widget* child) const {
    for (int i = 0; i < ChildCount(); ++i)
        if (children[size_t(i)].get() == child) return i;
    return -1;
}

void Screen::ShiftDown(int dy) {
    y = homeY = int16_t(homeY + dy);
    for (auto& child : children) child->y = child->homeY = int16_t(child->homeY + dy);
}

int Screen::HandleMessage(unsigned message, sys::WPARAM wParam, sys::LPARAM lParam) {
    if (InTransition()) return 0;
    if (escapeIndex >= 0 && IsEscapeKey(wParam)) {
        if (message == sys::WM_KEYDOWN) {
            MoveFocus(escapeIndex, 0);
            return Button::HandleMessage(sys::WM_KEYDOWN, sys::VK_SPACE, 0);
        }
        if (message == sys::WM_KEYUP && currentIndex == escapeIndex)
            return Button::HandleMessage(sys::WM_KEYUP, sys::VK_SPACE, 0) ? 1 : 0;
    }
    // A consumed message may have closed this screen: nothing may follow.
    if (Button::HandleMessage(message, wParam, lParam)) return 1;
    if (message != sys::WM_KEYUP) return 0;
    const bool joystickMove = lParam == 0;
    switch (wParam) {
    case sys::VK_PRIOR:
    case sys::VK_HOME: MoveFocus(0, 1); return 0;
    case sys::VK_NEXT:
    case sys::VK_END: MoveFocus(ChildCount() - 1, -1); return 0;
    case 60:
        if (!joystickMove) return 0;
        [[fallthrough]];
    case sys::VK_UP: MoveFocus(currentIndex - 1, -1); return 0;
    case 61:
        if (!joystickMove) return 0;
        [[fallthrough]];
    case sys::VK_DOWN: MoveFocus(currentIndex + 1, 1); return 0;
    default: return 0;
    }
}

int Screen::OnChildAction(Widget* child) {
    if (InTransition()) return 0;
    result = IndexOf(child);
    transitionStart = clock;
    return 1;
}

int Screen::Update(float elapsedMs) {
    Backdrop.update(elapsedMs);
    if (result >= 0 && clock + elapsedMs - transitionStart > kTransitionMs) {
        OnResult(); // replaces or removes this screen
        return 1;
    }
    Widget::Update(elapsedMs);
    TheHero.update(elapsedMs);
    return 1;
}

int Screen::Draw() {
    if (hidden) return 0;
    const float t = clock - transitionStart;
    const bool closing = result >= 0;
    float f = 0.0f, g = 1.0f;
    if (t <= kTransitionMs) {
        g = t * 0.0033333334f;
        f = std::pow(std::max(0.0f, closing ? g : 1.0f - g), 1.2f);
    }
    x = homeX;
    y = homeY;
    if (!closing && flyMode == 1) {
        const double h = std::max(double(g), 0.01);
        const double bounce = std::sin(9.42 * h) * -0.01 / (h * h);
        const double rise = h < 0.5 ? h : 0.5;
        y = int16_t(homeY - rnd((2.0 * rise - 1.0 + bounce) * kScreenHeight));
    }
    for (auto& child : children) {
        const int ox = closing ? child->x2 : child->x1;
        const int oy = closing ? child->y2 : child->y1;
        child->x = int16_t(child->homeX + rnd(double(ox) * f));
        child->y = int16_t(child->homeY + rnd(double(oy) * f));
    }
    // The panel keeps its inside free of water, unless it is flying in or out; the foot of the
    // falling water splashes on its top edge.
    const bool panelStill = flyMode != 1 || f == 0.0f;
    if (panelStill) Backdrop.setFreeRect(x + 8, y + 8, width - 16, height - 16);
    Backdrop.draw();
    if (panelStill) Backdrop.drawFoot(y + 8);
    Backdrop.resetFrame();
    const bool coveredByWater = closing && flyMode == 1;
    if (coveredByWater && RenderSurface)
        RenderSurface->clip.top = int16_t(rnd(double(f) * kScreenHeight));
    if (pictures.empty())
        DrawMenuFrame(x, y, width, height);
    else if (pictures[0] && RenderSurface)
        RenderSurface->DrawSprite(x, y, pictures[0], 0, 0.0f);
    Widget::Draw();
    if (coveredByWater && RenderSurface) {
        RenderSurface->clip.top = 0;
        Backdrop.drawWaterLine(rnd(double(f) * kScreenHeight) + 32);
    }
    // Last, so the balloon stays readable over any panel.
    TheHero.draw();
    return 0;
}
