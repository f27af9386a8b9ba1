// The lines of a text held in memory, forwards or backwards. Any run of CR and LF separates
// lines, so empty lines produce nothing.
#pragma once
#include <cstddef>

namespace inst {

class LineReader {
public:
    LineReader(const char* text, size_t length, bool backwards);
    // The next line (without line breaks); false when none is left.
    bool Next(const char** line, size_t* length);
    // Bytes consumed so far: from the start (forwards) or from the end (backwards).
    size_t Consumed() const { return backwards_ ? length_ - position_ : position_; }

private:
    const char* text_;
    size_t length_;
    bool backwards_;
    size_t position_;
};

} // namespace inst
