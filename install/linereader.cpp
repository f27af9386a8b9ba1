#include "install/linereader.h"

namespace inst {

static bool IsBreak(char c) {
    return c == '\r' || c == '\n';
}

LineReader::LineReader(const char* text, size_t length, bool backwards)
    : text_(text), length_(text ? length : 0), backwards_(backwards),
      position_(backwards ? length_ : 0) {}

bool LineReader::Next(const char** line, size_t* length) {
    if (backwards_) {
        while (position_ > 0 && IsBreak(text_[position_ - 1])) --position_;
        if (position_ == 0) return false;
        const size_t end = position_;
        while (position_ > 0 && !IsBreak(text_[position_ - 1])) --position_;
        *line = text_ + position_;
        *length = end - position_;
        return true;
    }
    while (position_ < length_ && IsBreak(text_[position_])) ++position_;
    if (position_ >= length_) return false;
    const size_t start = position_;
    while (position_ < length_ && !IsBreak(text_[position_])) ++position_;
    *line = text_ + start;
    *length = position_ - start;
    return true;
}

} // namespace inst
