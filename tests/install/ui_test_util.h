// A page window under the dummy video driver, driven with messages posted to its queue as the
// window system would post them, and helpers that read what was drawn.
#pragma once
#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "SYS/window.h"
#include "install/ui/page.h"

namespace uitest {

constexpr int kWidth = 381, kHeight = 359;

class PageTest : public ::testing::Test {
public:
    void SetUp() override {
        if (!page.Create("Test page", kWidth, kHeight)) GTEST_SKIP() << "no window can be made";
        page.SetCommandHandler([this](ui::Page&, int id, int code, sys::LPARAM lParam) {
            commands.push_back({id, code, lParam});
        });
    }
    void TearDown() override { page.Close(); }

    void Post(unsigned message, sys::WPARAM wParam = 0, sys::LPARAM lParam = 0) {
        sys::PostMessage(message, wParam, lParam);
        page.PumpMessages();
    }
    void Key(unsigned vk) {
        Post(sys::WM_KEYDOWN, vk, sys::MakeKeyLParam(1, 0, false, false));
        Post(sys::WM_KEYUP, vk, sys::MakeKeyLParam(1, 0, false, true));
    }
    void KeyWith(unsigned modifier, unsigned vk) {
        Post(sys::WM_KEYDOWN, modifier, sys::MakeKeyLParam(1, 0, false, false));
        Key(vk);
        Post(sys::WM_KEYUP, modifier, sys::MakeKeyLParam(1, 0, false, true));
    }
    void Type(const std::string& text) {
        for (char c : text) Post(sys::WM_CHAR, sys::WPARAM(uint8_t(c)), 1);
    }
    void Down(int x, int y, sys::WPARAM keys = sys::MK_LBUTTON) {
        Post(sys::WM_LBUTTONDOWN, keys, sys::MakePointLParam(x, y));
    }
    void Up(int x, int y) { Post(sys::WM_LBUTTONUP, 0, sys::MakePointLParam(x, y)); }
    void Click(int x, int y) {
        Down(x, y);
        Up(x, y);
    }
    void Move(int x, int y, sys::WPARAM keys = 0) {
        Post(sys::WM_MOUSEMOVE, keys, sys::MakePointLParam(x, y));
    }
    void Wheel(int x, int y, int notches) {
        const sys::WPARAM turn = sys::WPARAM(uint16_t(int16_t(notches * sys::WHEEL_DELTA))) << 16;
        Post(sys::WM_MOUSEWHEEL, turn, sys::MakePointLParam(x, y));
    }
    const ui::Canvas& Drawn() {
        page.Redraw();
        return page.Pixels();
    }
    // Pixels of exactly `colour` inside r.
    int Count(const sys::Rect& r, uint32_t colour) {
        const ui::Canvas& c = Drawn();
        int n = 0;
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x) n += c.At(x, y) == colour;
        return n;
    }

    struct CommandSeen {
        int id, code;
        sys::LPARAM lParam;
        bool operator==(const CommandSeen& o) const {
            return id == o.id && code == o.code && lParam == o.lParam;
        }
    };
    ui::Page page;
    std::vector<CommandSeen> commands;
};

inline void PrintTo(const PageTest::CommandSeen& c, std::ostream* os) {
    *os << "{" << c.id << ", " << c.code << ", " << c.lParam << "}";
}

} // namespace uitest
