#include "SYS/window_view.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace sys {

Viewport FitKeepingAspect(int outputWidth, int outputHeight, int pictureWidth, int pictureHeight) {
    if (outputWidth <= 0 || outputHeight <= 0 || pictureWidth <= 0 || pictureHeight <= 0)
        return {0, 0, outputWidth > 0 ? outputWidth : 0, outputHeight > 0 ? outputHeight : 0};
    // Compare the aspects exactly in integers: width-limited when out.w / out.h <= pic.w / pic.h.
    Viewport view;
    if (int64_t(outputWidth) * pictureHeight <= int64_t(outputHeight) * pictureWidth) {
        view.width = outputWidth;
        view.height = int(int64_t(outputWidth) * pictureHeight / pictureWidth);
    } else {
        view.height = outputHeight;
        view.width = int(int64_t(outputHeight) * pictureWidth / pictureHeight);
    }
    view.x = (outputWidth - view.width) / 2;
    view.y = (outputHeight - view.height) / 2;
    return view;
}

int ChooseWindowScale(int setting, int desktopWidth, int desktopHeight, int width, int height) {
    if (width <= 0 || height <= 0) return 1;
    // No window system makes windows wider than this; a larger setting would only fail.
    constexpr int kLargestSide = 16384;
    const int largest = std::max(1, kLargestSide / std::max(width, height));
    if (setting >= 1) return std::min(setting, largest);
    const int64_t byWidth = int64_t(desktopWidth) * 3 / (int64_t(width) * 4);
    const int64_t byHeight = int64_t(desktopHeight) * 3 / (int64_t(height) * 4);
    return int(std::clamp<int64_t>(std::min(byWidth, byHeight), 1, largest));
}

void WindowToPicture(const Viewport& view, int pictureWidth, int pictureHeight, int wx, int wy,
                     int& px, int& py) {
    if (view.width <= 0 || view.height <= 0) {
        px = wx;
        py = wy;
        return;
    }
    px = int(std::floor(double(wx - view.x) * pictureWidth / view.width));
    py = int(std::floor(double(wy - view.y) * pictureHeight / view.height));
}

void PictureToWindow(const Viewport& view, int pictureWidth, int pictureHeight, int px, int py,
                     int& wx, int& wy) {
    if (pictureWidth <= 0 || pictureHeight <= 0) {
        wx = px;
        wy = py;
        return;
    }
    // The centre of the back-buffer pixel, so mapping back lands on the same pixel.
    wx = view.x + int(std::floor((px + 0.5) * view.width / pictureWidth));
    wy = view.y + int(std::floor((py + 0.5) * view.height / pictureHeight));
}

} // namespace sys
