#include "install/gameinfo.h"

#include <gtest/gtest.h>

namespace {

inst::NameMap Parse(const std::string& bytes) {
    inst::NameMap values;
    inst::ParseGameInfo(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(), values);
    return values;
}

std::string Utf16(const std::u16string& text, bool mark = true) {
    std::string bytes = mark ? std::string("\xFF\xFE", 2) : std::string();
    for (char16_t c : text) {
        bytes += static_cast<char>(c & 0xFF);
        bytes += static_cast<char>(c >> 8);
    }
    return bytes;
}

TEST(GameInfo, Lines) {
    const struct {
        const char* text;
        inst::NameMap values;
    } cases[] = {
        {"GNAME = \"Reefpop\"", {{"GNAME", "Reefpop"}}},
        {"GNAME = Reefpop  ", {{"GNAME", "Reefpop"}}},
        {"DIR = \"C:\\Games\"", {{"DIR", "C:Games"}}},
        {"DIR = \"C:\\\\Games\"", {{"DIR", "C:\\Games"}}},
        {"DIR = C:\\Games", {{"DIR", "C:\\Games"}}},
        {"Q = \"a/\"b\" tail ignored\r\nN=1", {{"Q", "a\"b"}, {"N", "1"}}},
        {"  \r\n\r\n   KEY   =   value with  blanks   \r\n", {{"KEY", "value with  blanks"}}},
        {"# c\n; c\n// c\n\\\\ c\nA=1", {{"A", "1"}}},
        {"E=\nF=2", {{"E", ""}, {"F", "2"}}},
        {"E=", {{"E", ""}}},
        {"no equals here\nG=3", {{"G", "3"}}},
        {"OPEN = \"never closed", {}},
        {"= value", {}},
        {"A=1\nA=2", {{"A", "2"}}},
        {"ReqMem=64\r\nReqOsNT = 0", {{"ReqMem", "64"}, {"ReqOsNT", "0"}}},
        {"K=v\tt", {{"K", "v\tt"}}},
    };
    for (const auto& c : cases) EXPECT_EQ(Parse(c.text), c.values) << c.text;
}

TEST(GameInfo, Utf16CodePages) {
    const struct {
        const char* what;
        std::string bytes;
        std::string gname;
    } cases[] = {
        {"1252 by default", Utf16(u"GNAME=Caf\u00e9"), "Caf\xE9"},
        {"named 1251", Utf16(u"//codepage 1251\r\nGNAME=\u0418\u0433\u0440\u0430"),
         "\xC8\xE3\xF0\xE0"},
        {"mark in any case", Utf16(u"//CodePage 1251\r\nGNAME=\u0418"), "\xC8"},
        {"unknown code page", Utf16(u"//codepage 99999\r\nGNAME=Caf\u00e9"), "Caf\xE9"},
        {"no such character", Utf16(u"GNAME=\u0418x"), "?x"},
        {"broken surrogate", Utf16(u"GNAME=\xD800x"), "?x"},
        {"odd byte count", Utf16(u"GNAME=ab") + "\x41", "ab"},
    };
    for (const auto& c : cases) {
        const inst::NameMap values = Parse(c.bytes);
        auto it = values.find("GNAME");
        ASSERT_NE(it, values.end()) << c.what;
        EXPECT_EQ(it->second, c.gname) << c.what;
    }
}

// Without the byte-order mark the data is 8-bit text, so UTF-16 without it finds no "GNAME".
TEST(GameInfo, Utf16WithoutMarkIsReadAsBytes) {
    EXPECT_EQ(Parse(Utf16(u"GNAME=ab", false)).count("GNAME"), 0u);
}

TEST(GameInfo, ExistingNamesAreOverwritten) {
    inst::NameMap values{{"GNAME", "old"}, {"KEEP", "1"}};
    const std::string text = "GNAME=new";
    inst::ParseGameInfo(reinterpret_cast<const unsigned char*>(text.data()), text.size(), values);
    EXPECT_EQ(values, (inst::NameMap{{"GNAME", "new"}, {"KEEP", "1"}}));
}

} // namespace
