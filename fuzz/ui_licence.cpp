// A package's licence shown in the wizard's text view: any bytes (NULs, line ends of every kind,
// undefined Windows-1252 bytes, words longer than the view) are broken into lines and drawn.
// The first byte picks the view's width (2 to 128 pixels, even; letters from 'A' give the
// narrowest).
#include <cstddef>
#include <cstdint>
#include <string>

#include "install/ui/controls.h"
#include "install/ui/textlayout.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    const int width = 2 + (data[0] & 0x3F) * 2;
    const std::string text(reinterpret_cast<const char*>(data + 1), size - 1);
    // Lines follow each other through the text and never reach past it.
    size_t end = 0;
    for (const ui::TextLine& line : ui::BreakLines(text, width - 25)) {
        if (line.start < end || line.start + line.length > text.size()) __builtin_trap();
        end = line.start + line.length;
    }
    ui::TextView view(1015, {0, 0, width, 120});
    view.SetText(text);
    ui::Canvas canvas;
    canvas.Resize(width, 120, ui::kWhite);
    view.Paint(canvas);
    view.Message(sys::WM_KEYDOWN, sys::VK_END, 0);
    if (view.TopLine() < 0 || view.TopLine() >= view.LineCount()) __builtin_trap();
    view.Paint(canvas);
    return 0;
}
