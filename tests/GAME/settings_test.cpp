#include "GAME/settings.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <clocale>
#include <climits>
#include <cmath>
#include <cstring>

#include "temp_folder.h"

namespace {

using SettingsTest = TempFolderTest;

TEST_F(SettingsTest, StringsShareOneBufferValidUntilTheNextRead) {
    WriteFile("game.ini", "[main]\r\nplayer=Ann\r\nname=Reefpop\r\n");
    const char* player = GetIniString(kGameIni, "main", "player");
    EXPECT_STREQ(player, "Ann");
    const char* name = GetIniString(kGameIni, "main", "name");
    EXPECT_EQ(player, name);
    EXPECT_STREQ(player, "Reefpop");
    EXPECT_STREQ(GetIniString(kGameIni, "main", "missing"), "");
    EXPECT_STREQ(GetIniString("nofile.ini", "main", "player"), "");

    std::string owned = "old";
    ReadIniString(owned, kGameIni, "main", "player");
    GetIniString(kGameIni, "main", "name");
    EXPECT_EQ(owned, "Ann");
}

TEST_F(SettingsTest, LongValuesAreCutToTheBuffer) {
    WriteFile("game.ini", "[main]\nlanguage=" + std::string(3000, 'L') + "\n");
    EXPECT_EQ(std::strlen(GetIniString(kGameIni, "main", "language")),
              size_t(kIniBufferSize - 1));
}

TEST_F(SettingsTest, FilesAreFoundBelowTheCurrentFolderIgnoringCase) {
    WriteFile("data/Main.INI", "[Button1]\nx=12\n");
    EXPECT_EQ(GetIniInt(kMainMenuIni, "button1", "X"), 12);
    EXPECT_EQ(GetIniInt((Folder() + "\\DATA\\main.ini").c_str(), "button1", "x"), 12);
}

TEST_F(SettingsTest, NumbersUseTheLeadingPartOfTheText) {
    WriteFile("game.ini", "[n]\n"
                          "a=12abc\nb=-3\nc=abc\nd=\ne=99999999999\nf=-99999999999\ng=  7\n"
                          "fa=0.5\nfb=2.5xyz\nfc=abc\nfd=  -1.25\nfe=1e3\nff=1e999\nfg=-1e999\n"
                          "fh=1e-999\nfi=0x10\nfj=+-1\nfk=.25\nfl=+4.\nfm=1,5\n");
    const struct {
        const char* key;
        int expected;
    } ints[] = {
        {"a", 12},      {"b", -3},       {"c", 0}, {"d", 0}, {"missing", 0},
        {"e", INT_MAX}, {"f", INT_MIN}, {"g", 7}, {"fa", 0},
    };
    for (const auto& c : ints) {
        SCOPED_TRACE(c.key);
        EXPECT_EQ(GetIniInt(kGameIni, "n", c.key), c.expected);
    }
    const struct {
        const char* key;
        float expected;
    } floats[] = {
        {"fa", 0.5f},  {"fb", 2.5f},      {"fc", 0.0f},       {"fd", -1.25f}, {"fe", 1000.0f},
        {"ff", HUGE_VALF}, {"fg", -HUGE_VALF}, {"fh", 0.0f}, {"fi", 0.0f},   {"fj", 0.0f},
        {"fk", 0.25f}, {"fl", 4.0f},      {"fm", 1.0f},       {"missing", 0.0f},
    };
    for (const auto& c : floats) {
        SCOPED_TRACE(c.key);
        EXPECT_EQ(GetIniFloat(kGameIni, "n", c.key), c.expected);
    }
}

TEST_F(SettingsTest, WritesIntegersAndFloatsAsTheOriginalDid) {
    WriteIniString(kGameIni, "main", "player", "Ann");
    WriteIniInt(kGameIni, "main", "diff", -1);
    WriteIniFloat(kGameIni, "main", "Sensitivity", 0.5f);
    WriteIniFloat(kGameIni, "main", "music", 1.0f / 3.0f);
    EXPECT_EQ(ReadFile("game.ini"),
              "[main]\r\nplayer=Ann\r\ndiff=-1\r\nSensitivity=0.500000\r\nmusic=0.333333\r\n");
    EXPECT_FLOAT_EQ(GetIniFloat(kGameIni, "main", "Sensitivity"), 0.5f);
}

// A desktop locale with a decimal comma must not leak into the files.
TEST_F(SettingsTest, NumbersIgnoreTheUserLocale) {
    std::string previous = std::setlocale(LC_ALL, nullptr);
    const char* commaLocales[] = {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "nl_NL.UTF-8"};
    bool switched = false;
    for (const char* name : commaLocales)
        if (std::setlocale(LC_ALL, name)) {
            switched = true;
            break;
        }
    if (!switched) GTEST_SKIP() << "no locale with a decimal comma installed";
    WriteIniFloat(kGameIni, "main", "sound", 0.75f);
    WriteFile("read.ini", "[main]\nx=2.5\n");
    float read = GetIniFloat("read.ini", "main", "x");
    std::setlocale(LC_ALL, previous.c_str());
    EXPECT_EQ(ReadFile("game.ini"), "[main]\r\nsound=0.750000\r\n");
    EXPECT_EQ(read, 2.5f);
}

TEST_F(SettingsTest, BubbleSetsAreTheEntriesOfDataEndingInBubble) {
    WriteFile("DATA/Classic.BUBBLE/0.tga", "");
    WriteFile("DATA/Odd.BUBBLE", "a plain file is listed too");
    WriteFile("DATA/pastel.bubble/0.tga", "");
    WriteFile("DATA/notes.bubble.txt", "");
    WriteFile("DATA/_bubble.tga", "");

    ScanBubbleSets();
    std::vector<std::string> sets = BubbleSets();
    std::sort(sets.begin(), sets.end());
    EXPECT_EQ(sets, (std::vector<std::string>{"DATA\\Classic.BUBBLE", "DATA\\Odd.BUBBLE",
                                              "DATA\\pastel.bubble"}));
    ScanBubbleSets(); // a rescan replaces the list
    EXPECT_EQ(BubbleSets().size(), 3u);
}

TEST_F(SettingsTest, NoDataFolderMeansNoBubbleSets) {
    ScanBubbleSets();
    EXPECT_TRUE(BubbleSets().empty());
}

} // namespace
