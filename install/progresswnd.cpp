#include "install/progresswnd.h"

#include "SYS/window.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace inst {
namespace {

const int kWidth = 320, kBarHeight = 14, kMargin = 12;
bool gCommanded = false;

sys::LRESULT ProgressProc(unsigned message, sys::WPARAM wParam, sys::LPARAM lParam) {
    if (message == sys::WM_CLOSE || (message == sys::WM_KEYDOWN && wParam == sys::VK_ESCAPE)) {
        gCommanded = true;
        return 0;
    }
    return sys::DefWindowProc(message, wParam, lParam);
}

uint16_t Rgb565(unsigned r, unsigned g, unsigned b) {
    return static_cast<uint16_t>((r >> 3) << 11 | (g >> 2) << 5 | (b >> 3));
}

int HeightFor(int bars) { return kMargin + bars * (kBarHeight + kMargin); }

} // namespace

bool ProgressWindow::Open(const std::string& title, int bars) {
    Close();
    bars_ = std::clamp(bars, 1, 2);
    fractions_[0] = fractions_[1] = 0;
    gCommanded = false;
    const int height = HeightFor(bars_);
    if (!sys::RegisterWindowClass()) return false;
    const int x = std::max(0, (sys::DesktopWidth() - kWidth) / 2);
    const int y = std::max(0, (sys::DesktopHeight() - height) / 2);
    if (!sys::CreateMainWindow(title.c_str(), x, y, kWidth, height, ProgressProc)) return false;
    sys::ShowMainWindow();
    open_ = true;
    Draw();
    return true;
}

void ProgressWindow::SetBar(int index, int position, int range) {
    if (index < 0 || index >= bars_) return;
    fractions_[index] = range > 0 ? std::clamp(static_cast<double>(position) / range, 0.0, 1.0) : 0.0;
    Draw();
}

bool ProgressWindow::Pump() {
    sys::Msg msg;
    while (open_ && sys::PeekMessage(msg)) {
        sys::TranslateMessage(msg);
        sys::DispatchMessage(msg);
    }
    return !gCommanded;
}

void ProgressWindow::Close() {
    if (!open_) return;
    sys::DestroyMainWindow();
    open_ = false;
}

void ProgressWindow::Draw() {
    if (!open_) return;
    const int height = HeightFor(bars_);
    std::vector<uint16_t> pixels(static_cast<size_t>(kWidth) * height, Rgb565(239, 245, 228));
    for (int bar = 0; bar < bars_; ++bar) {
        const int top = kMargin + bar * (kBarHeight + kMargin);
        const int filled = static_cast<int>((kWidth - 2 * kMargin) * fractions_[bar]);
        for (int y = top; y < top + kBarHeight; ++y) {
            for (int x = kMargin; x < kWidth - kMargin; ++x) {
                const bool edge = y == top || y == top + kBarHeight - 1 || x == kMargin || x == kWidth - kMargin - 1;
                pixels[static_cast<size_t>(y) * kWidth + x] =
                    edge ? Rgb565(84, 0, 40) : x - kMargin < filled ? Rgb565(255, 115, 115) : Rgb565(255, 255, 255);
            }
        }
    }
    sys::Rect all;
    all.right = kWidth;
    all.bottom = height;
    sys::PresentRGB565(pixels.data(), kWidth * 2, kWidth, height, all);
}

} // namespace inst
