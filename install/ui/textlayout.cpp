#include "install/ui/textlayout.h"

#include "install/ui/canvas.h"

namespace ui {
namespace {

// Breaks the paragraph [start, end) (no line ends inside) into lines no wider than width.
void BreakParagraph(const std::string& text, size_t start, size_t end, int width,
                    std::vector<TextLine>& lines) {
    size_t lineStart = start;
    while (true) {
        size_t lastBreak = std::string::npos; // a blank the line may end at
        int used = 0;
        size_t i = lineStart;
        for (; i < end; ++i) {
            if (text[i] == ' ') lastBreak = i;
            const int advance = TextWidth(&text[i], 1);
            if (used + advance > width && i > lineStart && text[i] != ' ') break;
            used += advance;
        }
        if (i >= end) {
            lines.push_back({lineStart, end - lineStart});
            return;
        }
        size_t lineEnd = lastBreak != std::string::npos ? lastBreak : i;
        size_t length = lineEnd - lineStart;
        while (length > 0 && text[lineStart + length - 1] == ' ') --length;
        lines.push_back({lineStart, length});
        lineStart = lineEnd;
        while (lineStart < end && text[lineStart] == ' ') ++lineStart;
        if (lineStart >= end) return;
    }
}

} // namespace

std::vector<TextLine> BreakLines(const std::string& text, int width) {
    std::vector<TextLine> lines;
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find('\n', start);
        const bool last = end == std::string::npos;
        if (last) end = text.size();
        size_t paragraphEnd = end;
        if (paragraphEnd > start && text[paragraphEnd - 1] == '\r') --paragraphEnd;
        if (width > 0 && paragraphEnd > start)
            BreakParagraph(text, start, paragraphEnd, width, lines);
        else
            lines.push_back({start, paragraphEnd - start});
        if (last) break;
        start = end + 1;
    }
    return lines;
}

} // namespace ui
