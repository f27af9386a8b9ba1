#include "install/wizard/layout.h"

namespace wiz {

Box ScaleToPage(const Box& units, int templateWidth, int templateHeight, int pageWidth,
                int pageHeight) {
    if (templateWidth <= 0 || templateHeight <= 0) return units;
    auto scale = [](int value, int page, int unitsTotal) {
        return int((long long)value * page / unitsTotal);
    };
    const int left = scale(units.x, pageWidth, templateWidth);
    const int top = scale(units.y, pageHeight, templateHeight);
    const int right = scale(units.x + units.width, pageWidth, templateWidth);
    const int bottom = scale(units.y + units.height, pageHeight, templateHeight);
    return {left, top, right - left, bottom - top};
}

Box FrameBox(const inst::AnimFrame& frame, int x, int y) {
    return {x - frame.minusLeft, y - frame.minusTop, frame.Width(), frame.Height()};
}

int ButtonFaceFrame(int id, bool focused) {
    static const struct {
        int id, frame;
    } kFaces[] = {{1009, 0}, {2, 2}, {1007, 4}, {1010, 6}, {1019, 8}, {1011, 10}};
    for (const auto& face : kFaces)
        if (face.id == id) return face.frame + (focused ? 1 : 0);
    return -1;
}

} // namespace wiz
