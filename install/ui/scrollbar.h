// The vertical scroll bar the text view and the list view draw at their right edge: an arrow
// box at each end and a thumb whose size and place show the visible part of the content.
#pragma once
#include "SYS/window.h"
#include "install/ui/canvas.h"
#include "install/ui/controls.h"

namespace ui {

constexpr int kScrollBarWidth = 16;

struct ScrollBar {
    sys::Rect area;    // where the bar is, in the coordinates it is drawn and hit in
    int total = 0;     // content units (lines, rows)
    int visible = 0;   // units that fit
    int position = 0;  // first unit shown

    enum class Part { None, UpArrow, DownArrow, PageUp, PageDown, Thumb };

    int Range() const { return total > visible ? total - visible : 0; }  // largest position
    sys::Rect Thumb() const;
    Part HitTest(int x, int y) const;
    // The position that puts the thumb's top at y (for dragging).
    int PositionForThumbTop(int y) const;
    void Paint(Canvas& canvas, int offsetX, int offsetY) const;
    // The position after a click on `part`: an arrow moves one unit, the track a page.
    int PositionAfterClick(Part part) const;
};

// Where a WM_MOUSEWHEEL turn (its wParam) moves `current`, `perNotch` units a notch.
int PositionAfterWheel(WPARAM wParam, int current, int perNotch);

// Up, Down, Page Up, Page Down, Home and End move through lines or rows.
bool IsScrollKey(unsigned virtualKey);
// Where such a key moves from `current`, with `page` units a page, kept within [0, last].
int PositionAfterKey(unsigned virtualKey, int current, int page, int last);

} // namespace ui
