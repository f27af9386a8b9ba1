#include "install/linereader.h"
#include "install/scriptline.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

std::vector<std::string> ReadAll(const char* text, bool backwards) {
    inst::LineReader reader(text, std::strlen(text), backwards);
    std::vector<std::string> lines;
    const char* line;
    size_t length;
    while (reader.Next(&line, &length)) lines.emplace_back(line, length);
    EXPECT_EQ(reader.Consumed(), std::strlen(text));
    return lines;
}

TEST(LineReader, BothDirections) {
    const struct {
        const char* text;
        std::vector<std::string> forwards;
    } cases[] = {
        {"", {}},
        {"\r\n\n\r", {}},
        {"one", {"one"}},
        {"a\r\nb\nc\rd", {"a", "b", "c", "d"}},
        {"\r\n\r\na\r\n\r\n\r\nb\r\n", {"a", "b"}},
        {"  spaced  \n", {"  spaced  "}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ReadAll(c.text, false), c.forwards) << c.text;
        std::vector<std::string> backwards(c.forwards.rbegin(), c.forwards.rend());
        EXPECT_EQ(ReadAll(c.text, true), backwards) << c.text;
    }
}

TEST(LineReader, ConsumedCountsFromTheStartingEnd) {
    const char text[] = "ab\r\ncd";
    inst::LineReader back(text, 6, true);
    const char* line;
    size_t length;
    ASSERT_TRUE(back.Next(&line, &length));
    EXPECT_EQ(back.Consumed(), 2u);
    inst::LineReader forth(text, 6, false);
    ASSERT_TRUE(forth.Next(&line, &length));
    EXPECT_EQ(forth.Consumed(), 2u);
}

struct Parsed {
    bool hasCommand;
    std::string command;
    std::vector<std::string> positional;
    std::map<std::string, std::string> named;
    bool syntaxError;
};

TEST(ScriptLine, Parsing) {
    const struct {
        const char* line;
        Parsed expected;
    } cases[] = {
        {"RegSetStr HKLM \"software\\x y\" Name \"a \"\"b\"\" c\"",
         {true, "RegSetStr", {"HKLM", "software\\x y", "Name", "a \"b\" c"}, {}, false}},
        {"FilesProcess Owr=0", {true, "FilesProcess", {}, {{"Owr", "0"}}, false}},
        {"MakeLink a b Desk = \"x y\" Arg='-w'",
         {true, "MakeLink", {"a", "b"}, {{"Arg", "-w"}, {"Desk", "x y"}}, false}},
        {"Cmd = 1", {true, "Cmd", {}, {}, true}},
        {"Cmd a = 1 = 2", {true, "Cmd", {}, {{"a", "1"}}, true}},
        {"Cmd a=1 a=2", {true, "Cmd", {}, {{"a", "2"}}, false}},
        {"Cmd a \"\" b", {true, "Cmd", {"a"}, {}, false}},
        {"Cmd 'it''s' \"open", {true, "Cmd", {"it's", "open"}, {}, false}},
        {"Cmd a=", {true, "Cmd", {"a"}, {}, false}},
        {"Cmd x=\"=\"", {true, "Cmd", {}, {{"x", "="}}, false}},
        {"   ; a comment", {false, "", {}, {}, false}},
        {";", {false, "", {}, {}, false}},
        {"    ", {false, "", {}, {}, false}},
        {"\"\" a", {false, "", {}, {}, false}},
        {"Cmd\ta b", {true, "Cmd\ta", {"b"}, {}, false}},
        {"Cmd a ; not a comment", {true, "Cmd", {"a", ";", "not", "a", "comment"}, {}, false}},
        {"u:UnFileDel x", {true, "u:UnFileDel", {"x"}, {}, false}},
    };
    for (const auto& c : cases) {
        inst::ScriptLine line;
        const bool has = inst::ParseScriptLine(c.line, std::strlen(c.line), &line);
        EXPECT_EQ(has, c.expected.hasCommand) << c.line;
        if (!has) continue;
        EXPECT_EQ(line.command, c.expected.command) << c.line;
        EXPECT_EQ(line.positional, c.expected.positional) << c.line;
        EXPECT_EQ(line.named, c.expected.named) << c.line;
        EXPECT_EQ(line.syntaxError, c.expected.syntaxError) << c.line;
    }
}

TEST(ScriptLine, NamedAccessors) {
    inst::ScriptLine line;
    const char text[] = "C B1=1 B0=0 Byes=yes Bten=10 I=42x Ineg=-7 Ino=x T=\"a b\"";
    ASSERT_TRUE(inst::ParseScriptLine(text, std::strlen(text), &line));
    const struct {
        const char* name;
        bool boolean;
        int integer;
    } cases[] = {{"B1", true, 1},    {"B0", false, 0},    {"Byes", false, 0},
                 {"Bten", true, 10}, {"I", false, 42},    {"Ineg", false, -7},
                 {"Ino", false, 0},  {"Missing", true, 5}}; // absent: the defaults
    for (const auto& c : cases) {
        EXPECT_EQ(inst::ArgBool(line, c.name, true), c.boolean) << c.name;
        EXPECT_EQ(inst::ArgInt(line, c.name, 5), c.integer) << c.name;
    }
    EXPECT_EQ(inst::ArgText(line, "T", "d"), "a b");
    EXPECT_EQ(inst::ArgText(line, "none", "d"), "d");
}

} // namespace
