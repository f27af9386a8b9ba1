#include "SYS/textcodec.h"

#include <algorithm>
#include <cstdint>

namespace sys {
namespace {

// Code points of bytes 0x80-0x9F; the undefined bytes keep their own number.
constexpr char16_t kHighControls[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, //
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F, //
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, //
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178, //
};

uint32_t CodePointOf(unsigned char byte) {
    if (byte >= 0x80 && byte < 0xA0) return kHighControls[byte - 0x80];
    return byte;
}

void AppendUtf8(std::string& out, uint32_t cp) {
    if (cp < 0x80) {
        out += char(cp);
    } else if (cp < 0x800) {
        out += char(0xC0 | (cp >> 6));
        out += char(0x80 | (cp & 0x3F));
    } else {
        out += char(0xE0 | (cp >> 12));
        out += char(0x80 | ((cp >> 6) & 0x3F));
        out += char(0x80 | (cp & 0x3F));
    }
}

constexpr char kNoForm = '?';

char Cp1252Of(uint32_t cp) {
    if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) return char(cp);
    for (int i = 0; i < 32; ++i)
        if (kHighControls[i] == cp) return char(0x80 + i);
    return kNoForm;
}

// Decodes one UTF-8 sequence at text[pos]; returns its length, or 0 when it is malformed
// (bad lead or continuation byte, truncated, overlong, surrogate or beyond U+10FFFF).
size_t DecodeUtf8(const std::string& text, size_t pos, uint32_t& cp) {
    unsigned char lead = static_cast<unsigned char>(text[pos]);
    size_t length;
    uint32_t minimum;
    if (lead < 0x80) {
        cp = lead;
        return 1;
    } else if ((lead & 0xE0) == 0xC0) {
        length = 2, minimum = 0x80, cp = lead & 0x1F;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3, minimum = 0x800, cp = lead & 0x0F;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4, minimum = 0x10000, cp = lead & 0x07;
    } else {
        return 0;
    }
    if (text.size() - pos < length) return 0;
    for (size_t i = 1; i < length; ++i) {
        unsigned char next = static_cast<unsigned char>(text[pos + i]);
        if ((next & 0xC0) != 0x80) return 0;
        cp = (cp << 6) | (next & 0x3F);
    }
    if (cp < minimum || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
    return length;
}

} // namespace

std::string Cp1252ToUtf8(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) AppendUtf8(out, CodePointOf(static_cast<unsigned char>(c)));
    return out;
}

std::string Utf8ToCp1252(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    size_t pos = 0;
    while (pos < text.size()) {
        uint32_t cp = 0;
        size_t length = DecodeUtf8(text, pos, cp);
        if (length == 0) {
            out += kNoForm;
            ++pos;
        } else {
            out += Cp1252Of(cp);
            pos += length;
        }
    }
    return out;
}

bool IsUtf8(const std::string& text) {
    uint32_t cp = 0;
    for (size_t pos = 0; pos < text.size();) {
        const size_t length = DecodeUtf8(text, pos, cp);
        if (length == 0) return false;
        pos += length;
    }
    return true;
}

char LowerCp1252(char c) {
    unsigned char byte = static_cast<unsigned char>(c);
    if (byte >= 'A' && byte <= 'Z') return char(byte + 0x20);
    if (byte == 0x8A || byte == 0x8C || byte == 0x8E) return char(byte + 0x10); // S, OE, Z caron
    if (byte == 0x9F) return char(0xFF);                                        // Y diaeresis
    if (byte >= 0xC0 && byte <= 0xDE && byte != 0xD7) return char(byte + 0x20); // not 0xD7 (x)
    return c;
}

char UpperCp1252(char c) {
    unsigned char byte = static_cast<unsigned char>(c);
    if (byte >= 'a' && byte <= 'z') return char(byte - 0x20);
    if (byte == 0x9A || byte == 0x9C || byte == 0x9E) return char(byte - 0x10); // s, oe, z caron
    if (byte == 0xFF) return char(0x9F);                                        // y diaeresis
    if (byte >= 0xE0 && byte <= 0xFE && byte != 0xF7) return char(byte - 0x20); // not 0xF7 (/)
    return c;
}

bool EqualIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (LowerCp1252(a[i]) != LowerCp1252(b[i])) return false;
    return true;
}

bool LessIgnoringCase(std::string_view a, std::string_view b) {
    const size_t common = std::min(a.size(), b.size());
    for (size_t i = 0; i < common; ++i) {
        const auto upperA = static_cast<unsigned char>(UpperCp1252(a[i]));
        const auto upperB = static_cast<unsigned char>(UpperCp1252(b[i]));
        if (upperA != upperB) return upperA < upperB;
    }
    return a.size() < b.size();
}

} // namespace sys
