#include "SYS/textcodec.h"

#include <gtest/gtest.h>

namespace {

struct ByteCase {
    unsigned char byte;
    const char* utf8;
};

TEST(Cp1252, EachByteHasItsWindowsCharacter) {
    const ByteCase cases[] = {
        {'A', "A"},
        {0x80, "\xE2\x82\xAC"}, // euro sign
        {0x85, "\xE2\x80\xA6"}, // ellipsis
        {0x8A, "\xC5\xA0"},     // S caron
        {0x99, "\xE2\x84\xA2"}, // trade mark
        {0x9F, "\xC5\xB8"},     // Y diaeresis
        // The five undefined bytes become the control characters of their own number.
        {0x81, "\xC2\x81"},
        {0x8D, "\xC2\x8D"},
        {0x8F, "\xC2\x8F"},
        {0x90, "\xC2\x90"},
        {0x9D, "\xC2\x9D"},
        {0xA0, "\xC2\xA0"},
        {0xE9, "\xC3\xA9"},
        {0xFF, "\xC3\xBF"},
    };
    for (const ByteCase& c : cases) {
        SCOPED_TRACE(int(c.byte));
        std::string single(1, char(c.byte));
        EXPECT_EQ(sys::Cp1252ToUtf8(single), c.utf8);
        EXPECT_EQ(sys::Utf8ToCp1252(c.utf8), single);
    }
}

TEST(Cp1252, AllBytesSurviveTheRoundTrip) {
    std::string all;
    for (int byte = 0; byte < 256; ++byte) all += char(byte);
    EXPECT_EQ(sys::Utf8ToCp1252(sys::Cp1252ToUtf8(all)), all);
}

TEST(Cp1252, CharactersWithoutFormAndMalformedUtf8BecomeQuestionMarks) {
    const struct {
        const char* utf8;
        const char* expected;
    } cases[] = {
        {"a\xE4\xB8\xAD"
         "b",
         "a?b"},                   // a CJK character
        {"\xF0\x9F\x90\xA0", "?"}, // outside the basic plane
        {"\xC2\x80", "?"},         // a control character Windows-1252 lacks
        {"\xC3", "?"},             // cut short at the end
        {"\xE2\x82"
         "x",
         "??x"},                      // cut short before a plain character
        {"\xC0\xAF", "??"},           // overlong '/'
        {"\xED\xA0\x80", "???"},      // a surrogate
        {"\xF4\x90\x80\x80", "????"}, // beyond U+10FFFF
        {"\x80z", "?z"},              // stray continuation byte
        {"caf\xC3\xA9 \xE2\x82\xAC", "caf\xE9 \x80"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.utf8);
        EXPECT_EQ(sys::Utf8ToCp1252(c.utf8), c.expected);
    }
}

TEST(Cp1252, NamesCompareIgnoringCaseIncludingAccentedLetters) {
    const struct {
        const char* a;
        const char* b;
        bool equal;
    } cases[] = {
        {"Classic.BUBBLE", "classic.bubble", true},
        {"\xC9t\xE9", "\xE9T\xC9", true}, // E acute
        {"\x8A\x8C\x8E\x9F", "\x9A\x9C\x9E\xFF", true},
        {"\xD7", "\xF7", false}, // multiplication and division signs are not a letter pair
        {"\xDF", "\xFF", false},
        {"abc", "abcd", false},
        {"[", "{", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.a) + " / " + c.b);
        EXPECT_EQ(sys::EqualIgnoringCase(c.a, c.b), c.equal);
    }
}

} // namespace
