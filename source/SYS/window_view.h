// Where the back buffer appears in the window: the whole client area when the sizes agree, the
// largest centred rectangle of the back buffer's aspect otherwise (full screen).
#pragma once

namespace sys {

struct Viewport {
    int x = 0, y = 0, width = 0, height = 0;
};

Viewport FitKeepingAspect(int outputWidth, int outputHeight, int pictureWidth, int pictureHeight);

// Window coordinates <-> back-buffer pixels for a picture shown in `view`. Points in the bars
// around the picture map outside it (negative, or at least the picture's size).
void WindowToPicture(const Viewport& view, int pictureWidth, int pictureHeight, int wx, int wy,
                     int& px, int& py);
void PictureToWindow(const Viewport& view, int pictureWidth, int pictureHeight, int px, int py,
                     int& wx, int& wy);

// The whole factor a window of width x height is shown at: a setting of 1 or more as it is;
// otherwise the largest factor that keeps it within three quarters of the desktop, at least 1.
// Either is held below the largest window a window system makes (16384 pixels a side).
int ChooseWindowScale(int setting, int desktopWidth, int desktopHeight, int width, int height);

} // namespace sys
