#include "GRAPH/GlyphTable.h"

#include <climits>

namespace {

// Decimal integers with an optional sign, white space between them.
class NumberCursor {
public:
    NumberCursor(const char* text, size_t size) : at_(text), end_(text + size) {}

    bool Next(long& value) {
        while (at_ < end_ && IsSpace(*at_)) ++at_;
        const char* p = at_;
        bool negative = false;
        if (p < end_ && (*p == '+' || *p == '-')) negative = *p++ == '-';
        if (p == end_ || *p < '0' || *p > '9') return false;
        long magnitude = 0;
        for (; p < end_ && *p >= '0' && *p <= '9'; ++p)
            if (magnitude <= INT_MAX) magnitude = magnitude * 10 + (*p - '0'); // saturates above
        at_ = p;
        value = negative ? -magnitude : magnitude;
        return true;
    }

private:
    static bool IsSpace(char c) {
        return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
    }
    const char* at_;
    const char* end_;
};

} // namespace

GlyphTableText ParseGlyphTable(const char* text, size_t size) {
    GlyphTableText table;
    if (text == nullptr) return table;
    NumberCursor numbers(text, size);
    long value = 0;
    if (!numbers.Next(value)) return table;
    table.spaceAdvance = int16_t(value);
    if (!numbers.Next(value)) return table;
    table.glyphHeight = int16_t(value);
    if (!numbers.Next(value)) return table;
    table.announcedLines = value < 0 ? 0 : value > INT_MAX ? INT_MAX : int(value);

    int read = 0;
    for (; read < table.announcedLines; ++read) {
        long code, x, y, width, ignored;
        if (!numbers.Next(code) || !numbers.Next(x) || !numbers.Next(y) || !numbers.Next(width))
            break;
        if (code < 0 || code > 255)
            ++table.badCodes;
        else
            table.lines.push_back({uint8_t(code), int16_t(x), int16_t(y), int16_t(width)});
        if (!numbers.Next(ignored)) {
            ++read;
            break;
        }
    }
    table.missingLines = table.announcedLines - read;
    return table;
}
