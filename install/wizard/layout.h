// Where a page's controls go: template rectangles scaled to the background, push buttons
// where their skin faces say.
#pragma once
#include "install/skin.h"

namespace wiz {

struct Box {
    int x = 0, y = 0, width = 0, height = 0;
    bool operator==(const Box& o) const {
        return x == o.x && y == o.y && width == o.width && height == o.height;
    }
};

// A template rectangle (dialog units of a dialog templateWidth x templateHeight) on a page
// of pageWidth x pageHeight pixels.
Box ScaleToPage(const Box& units, int templateWidth, int templateHeight, int pageWidth,
                int pageHeight);

// The rectangle a frame covers when drawn with its anchor at (x, y).
Box FrameBox(const inst::AnimFrame& frame, int x, int y);

// The face frame of a push button (not focused / focused), or -1 for an identifier without a face.
int ButtonFaceFrame(int id, bool focused);

} // namespace wiz
