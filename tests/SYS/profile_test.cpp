#include "SYS/profile.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "temp_folder.h"

namespace {

namespace fs = std::filesystem;
using namespace std::string_literals;

using ProfileTest = TempFolderTest;

// Lines joined with the given line end.
std::string Lines(std::initializer_list<const char*> lines, const std::string& eol) {
    std::string text;
    for (const char* line : lines) text += std::string(line) + eol;
    return text;
}

std::string Read(const char* section, const char* key, const char* fallback, const char* file,
                 size_t size = 256) {
    std::vector<char> buffer(size + 1, '#');
    size_t length = sys::GetPrivateProfileString(section, key, fallback, buffer.data(), size, file);
    EXPECT_EQ(buffer[size], '#') << "wrote past the buffer";
    return std::string(buffer.data(), length);
}

TEST_F(ProfileTest, ReadsValuesTheWindowsWayWithEitherLineEnd) {
    for (const std::string eol : {"\r\n", "\n"}) {
        SCOPED_TRACE(eol.size() == 2 ? "CR LF" : "LF");
        WriteFile("test.ini",
                  Lines({"orphan=before any section", "; comment=not a key", "[Main]",
                         "  Key1 =  value one  ", "key2=\"quoted\"", "key3='single'",
                         "key4=\"unbalanced", "key5=", "novalue", "Key1=second",
                         "\tspaced\t=\t\"  kept  \"", "[main]", "key6=hidden by the first section",
                         "[ Spaced ]", "a = 1", "[other]", "x=y=z", "[unclosed", "u=v"},
                        eol));
        const struct {
            const char* section;
            const char* key;
            const char* fallback;
            const char* expected;
        } cases[] = {
            {"main", "key1", "-", "value one"}, // first match wins
            {"MAIN", "KEY2", "-", "quoted"},
            {"main", "key3", "-", "single"},
            {"main", "key4", "-", "\"unbalanced"},
            {"main", "key5", "-", ""},
            {"main", "novalue", "-", ""},
            {"main", "spaced", "-", "  kept  "},
            {"main", "key6", "dflt", "dflt"},
            {"main", "; comment", "dflt", "dflt"},
            {"main", "orphan", "dflt", "dflt"},
            {"spaced", "A", "-", "1"},
            {" Main ", " key2 ", "-", "quoted"},
            {"other", "x", "-", "y=z"},
            {"unclosed", "u", "-", "v"},
            {"nosection", "a", "def \t ", "def"}, // trailing blanks of a default are dropped
            {"main", "missing", nullptr, ""},
        };
        for (const auto& c : cases) {
            SCOPED_TRACE(std::string(c.section) + "/" + c.key);
            EXPECT_EQ(Read(c.section, c.key, c.fallback, "test.ini"), c.expected);
        }
    }
}

TEST_F(ProfileTest, MissingFileReadsAsDefaults) {
    EXPECT_EQ(Read("a", "b", "fallback", "none.ini"), "fallback");
    EXPECT_EQ(Read("a", nullptr, nullptr, "none.ini", 4), std::string(""));
    EXPECT_EQ(sys::GetPrivateProfileInt("a", "b", 17, "none.ini"), 17);
}

TEST_F(ProfileTest, ValuesAreCutToTheBuffer) {
    std::string longValue(100000, 'v');
    WriteFile("test.ini", "[s]\nk=abcdef\nlong=" + longValue + "\n");
    EXPECT_EQ(Read("s", "k", "", "test.ini", 4), "abc");
    EXPECT_EQ(Read("s", "k", "", "test.ini", 7), "abcdef");
    EXPECT_EQ(Read("s", "k", "", "test.ini", 1), "");
    EXPECT_EQ(Read("s", "nope", "default", "test.ini", 3), "de");
    EXPECT_EQ(Read("s", "long", "", "test.ini", 1024), longValue.substr(0, 1023));
    char untouched = '#';
    EXPECT_EQ(sys::GetPrivateProfileString("s", "k", "", &untouched, 0, "test.ini"), 0u);
    EXPECT_EQ(untouched, '#');
}

TEST_F(ProfileTest, NullKeyListsKeysAndNullSectionListsSections) {
    WriteFile("test.ini",
              "[One]\r\nb=1\r\na=2\r\nB=3\r\n;c=4\r\nbare\r\n[two]\r\n[ONE]\r\nz=9\r\n");
    const struct {
        const char* section;
        size_t size;
        std::string expected; // including the final '\0' pair
        size_t result;
    } cases[] = {
        {"one", 64, std::string("b\0a\0bare\0\0", 10), 9},
        {"two", 64, std::string("\0\0", 2), 0},
        {"three", 64, std::string("\0\0", 2), 0},
        {nullptr, 64, std::string("One\0two\0\0", 9), 8},
        {"one", 6, std::string("b\0a\0\0\0", 6), 4},  // cut inside the list: size - 2
        {nullptr, 6, std::string("One\0\0\0", 6), 4}, // the last name is cut
        {nullptr, 2, std::string("\0\0", 2), 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.section ? c.section : "(null)") + " " + std::to_string(c.size));
        std::vector<char> buffer(c.size + 1, '#');
        EXPECT_EQ(sys::GetPrivateProfileString(c.section, nullptr, "ignored", buffer.data(), c.size,
                                               "test.ini"),
                  c.result);
        EXPECT_EQ(std::string(buffer.data(), c.expected.size()), c.expected);
        EXPECT_EQ(buffer[c.size], '#');
    }
}

TEST_F(ProfileTest, IntegersReadLikeWindows) {
    WriteFile("test.ini", "[n]\na=42\nb=-17\nc=+8\nd=12abc\ne=abc\nf=\ng=\"7\"\nh=4294967297\n"
                          "i=- 5\nj=  -3x\n");
    const struct {
        const char* key;
        int expected;
    } cases[] = {
        {"a", 42}, {"b", -17}, {"c", 8},        {"d", 12},
        {"e", 0},  {"f", 99},  {"g", 7},        {"h", 1}, // 32-bit wrap
        {"i", 0},  {"j", -3},  {"missing", 99},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.key);
        EXPECT_EQ(sys::GetPrivateProfileInt("n", c.key, 99, "test.ini"), c.expected);
    }
}

TEST_F(ProfileTest, WritesChangeOnlyWhatTheyMustAndKeepTheLineEnds) {
    const struct {
        const char* name;
        std::string before;
        const char* section;
        const char* key;
        const char* value;
        std::string after;
    } cases[] = {
        {"new key after the section's last line, blank separator kept",
         "; top\n[a]\nx=1\n\n[b]\ny=2\n", "A", "z", "3", "; top\n[a]\nx=1\nz=3\n\n[b]\ny=2\n"},
        {"value replaced, key spelling and indentation kept", "[A]\r\n  Name = old\r\nother=1\r\n",
         "a", "NAME", "new", "[A]\r\n  Name=new\r\nother=1\r\n"},
        {"only the first of twin keys changes", "[a]\nk=1\nk=2\n", "a", "k", "3",
         "[a]\nk=3\nk=2\n"},
        {"new section at the end of a file without a final line end", "[a]\nx=1", "b", "k", "v",
         "[a]\nx=1\n[b]\nk=v\n"},
        {"new key after a last line without line end", "[a]\r\nx=1", "a", "y", "2",
         "[a]\r\nx=1\r\ny=2"},
        {"new key after a last line ended by a lone CR", "[a]\nx=1\r", "a", "y", "2",
         "[a]\nx=1\r\ny=2"},
        {"key into an empty section", "[a]\n[b]\n", "a", "k", "v", "[a]\nk=v\n[b]\n"},
        {"file without line ends gets CR LF", "", "s", "k", "v", "[s]\r\nk=v\r\n"},
        {"every copy of a key in the first section is deleted", "[a]\nx=1\ny=2\nX=3\n[b]\nx=4\n",
         "a", "x", nullptr, "[a]\ny=2\n[b]\nx=4\n"},
        {"every section of the name is deleted", "[a]\nx=1\n[b]\ny=2\n[A]\nz=3\n", "a", nullptr,
         nullptr, "[b]\ny=2\n"},
        {"deleting what is not there changes nothing", "[a]\nx=1\n", "a", "q", nullptr,
         "[a]\nx=1\n"},
        {"garbage lines survive", "\x01\xff[\0]x\n[a]\nx=1\n"s, "a", "x", "2",
         "\x01\xff[\0]x\n[a]\nx=2\n"s},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        WriteFile("test.ini", c.before);
        EXPECT_TRUE(sys::WritePrivateProfileString(c.section, c.key, c.value, "test.ini"));
        EXPECT_EQ(ReadFile("test.ini"), c.after);
    }
}

TEST_F(ProfileTest, WritingCreatesTheFileAndReadsBack) {
    ASSERT_TRUE(sys::WritePrivateProfileString("main", "player", "Ann", "game.ini"));
    ASSERT_TRUE(sys::WritePrivateProfileString("main", "diff", "-1", "game.ini"));
    ASSERT_TRUE(sys::WritePrivateProfileString("fx", "gravity", "0.5", "game.ini"));
    EXPECT_EQ(ReadFile("game.ini"), "[main]\r\nplayer=Ann\r\ndiff=-1\r\n[fx]\r\ngravity=0.5\r\n");
    EXPECT_EQ(Read("MAIN", "Player", "", "game.ini"), "Ann");
    EXPECT_EQ(sys::GetPrivateProfileInt("main", "diff", 0, "game.ini"), -1);
}

TEST_F(ProfileTest, FileNamesAreWindowsNames) {
    WriteFile("DATA/Game.INI", "[a]\nk=1\n");
    EXPECT_EQ(Read("a", "k", "", "data\\game.ini"), "1");
    ASSERT_TRUE(sys::WritePrivateProfileString("a", "k", "2", "DATA\\GAME.ini"));
    EXPECT_EQ(ReadFile("DATA/Game.INI"), "[a]\nk=2\n");
    EXPECT_EQ(std::distance(fs::directory_iterator("DATA"), fs::directory_iterator()), 1);
}

TEST_F(ProfileTest, RefusesWritesThatWouldChangeTheFileStructure) {
    const std::string before = "[a]\nx=1\n";
    const struct {
        const char* section;
        const char* key;
        const char* value;
    } cases[] = {
        {"a", "x", "1\n[evil]"}, {"a", "x", "1\r"}, {"a", "x\ny", "1"}, {"a\nb", "x", "1"},
        {"a", "k=v", "1"},       {"a", "[b]", "1"}, {"a", ";c", "1"},   {nullptr, "x", "1"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.key) + "=" + c.value);
        WriteFile("test.ini", before);
        EXPECT_FALSE(sys::WritePrivateProfileString(c.section, c.key, c.value, "test.ini"));
        EXPECT_EQ(ReadFile("test.ini"), before);
    }
}

TEST_F(ProfileTest, FailedWritesLeaveNothingBehind) {
    EXPECT_FALSE(sys::WritePrivateProfileString("a", "k", "v", "missing\\game.ini"));
    EXPECT_FALSE(fs::exists("missing"));
    EXPECT_TRUE(sys::WritePrivateProfileString("a", "k", nullptr, "none.ini"));
    EXPECT_TRUE(sys::WritePrivateProfileString("a", nullptr, nullptr, "none.ini"));
    EXPECT_FALSE(fs::exists("none.ini"));
    fs::create_directory("folder.ini");
    EXPECT_FALSE(sys::WritePrivateProfileString("a", "k", "v", "folder.ini"));
    EXPECT_TRUE(fs::is_directory("folder.ini"));
    EXPECT_EQ(std::distance(fs::directory_iterator("."), fs::directory_iterator()), 1);
}

TEST_F(ProfileTest, ReadOnlyFileStaysAsItIs) {
    // The player made it read-only; the suite may run as root, whom the permissions alone would
    // not stop.
    const std::string before = "[main]\r\nplayer=Ann\r\n";
    WriteFile("game.ini", before);
    fs::permissions("game.ini",
                    fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    EXPECT_FALSE(sys::WritePrivateProfileString("main", "player", "Bob", "game.ini"));
    EXPECT_FALSE(sys::WritePrivateProfileString("main", "diff", "1", "GAME.INI"));
    EXPECT_EQ(ReadFile("game.ini"), before);
    EXPECT_EQ(fs::status("game.ini").permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    EXPECT_EQ(std::distance(fs::directory_iterator("."), fs::directory_iterator()), 1);
    // Made writable again, it takes the change.
    fs::permissions("game.ini", fs::perms::owner_write, fs::perm_options::add);
    EXPECT_TRUE(sys::WritePrivateProfileString("main", "player", "Bob", "game.ini"));
    EXPECT_EQ(ReadFile("game.ini"), "[main]\r\nplayer=Bob\r\n");
}

} // namespace
