#include "install/ui/controls.h"

#include "install/ui/textlayout.h"

namespace ui {

SkinStatic::SkinStatic(int id, const std::string& text, const sys::Rect& rect, TextAlign align,
                       bool singleLine)
    : Control(id, rect), align_(align), singleLine_(singleLine) {
    SetText(text);
}

void SkinStatic::Paint(Canvas& canvas) {
    const sys::Rect& r = Rect();
    canvas.Fill(r, Background());
    const int width = r.right - r.left;
    const std::string& text = Text();
    int baseline = r.top + FontAscent();
    for (const TextLine& line : BreakLines(text, singleLine_ ? 0 : width)) {
        if (baseline - FontAscent() >= r.bottom) break;
        const int lineWidth = TextWidth(text.data() + line.start, line.length);
        int x = r.left;
        if (align_ == TextAlign::Centre) x += (width - lineWidth) / 2;
        if (align_ == TextAlign::Right) x += width - lineWidth;
        DrawText(canvas, x, baseline, text.data() + line.start, line.length, kBlack);
        baseline += FontLineHeight();
    }
}

} // namespace ui
