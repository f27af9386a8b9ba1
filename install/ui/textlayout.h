// Breaking text into the lines a control shows: at line ends (LF, CR LF) and, when a width is
// given, between words so that each line fits (a word wider than the line is cut between
// characters).
#pragma once
#include <cstddef>
#include <string>
#include <vector>

namespace ui {

struct TextLine {
    size_t start = 0;
    size_t length = 0;  // without the line end and the blanks it was broken at
};

// width <= 0 keeps every line whole.
std::vector<TextLine> BreakLines(const std::string& text, int width);

} // namespace ui
