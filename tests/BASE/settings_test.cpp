#include "BASE/settings.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <clocale>
#include <climits>
#include <cmath>
#include <cstring>
#include <iterator>

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
    EXPECT_EQ(std::strlen(GetIniString(kGameIni, "main", "language")), size_t(kIniBufferSize - 1));
}

TEST_F(SettingsTest, FilesAreFoundBelowTheCurrentFolderIgnoringCase) {
    WriteFile("data/Main.INI", "[Button1]\nx=12\n");
    EXPECT_EQ(GetIniInt(kMainMenuIni, "button1", "X"), 12);
    EXPECT_EQ(GetIniInt((Folder() + "\\DATA\\main.ini").c_str(), "button1", "x"), 12);
}

TEST_F(SettingsTest, NumbersUseTheLeadingPartOfTheText) {
    const struct {
        const char* text;
        int asInt;
        float asFloat;
    } cases[] = {
        {"12abc", 12, 12.0f},
        {"-3", -3, -3.0f},
        {"abc", 0, 0.0f},
        {"", 0, 0.0f},
        {"99999999999", INT_MAX, 99999999999.0f},
        {"-99999999999", INT_MIN, -99999999999.0f},
        {"0.5", 0, 0.5f},
        {"2.5xyz", 2, 2.5f},
        {"-1.25", -1, -1.25f},
        {".25", 0, 0.25f},
        {"+4.", 4, 4.0f},
        {"1e3", 1, 1000.0f},
        {"1,5", 1, 1.0f},
        {"+-1", 0, 0.0f},
        {"0x10", 0, 0.0f},
        {"nan", 0, 0.0f},
        {"-inf", 0, 0.0f},
        {"1e999", 1, HUGE_VALF},
        {"-1e999", -1, -HUGE_VALF},
        {"1e-999", 1, 0.0f},
        {"1e99999999999999999999", 1, HUGE_VALF},
        {"0.0001e-99999999999999999999", 0, 0.0f},
    };
    std::string ini = "[n]\n";
    for (size_t i = 0; i < std::size(cases); ++i)
        ini += "k" + std::to_string(i) + "=" + cases[i].text + "\n";
    WriteFile("game.ini", ini);
    for (size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(cases[i].text);
        std::string key = "k" + std::to_string(i);
        EXPECT_EQ(GetIniInt(kGameIni, "n", key.c_str()), cases[i].asInt);
        EXPECT_EQ(GetIniFloat(kGameIni, "n", key.c_str()), cases[i].asFloat);
    }
    EXPECT_EQ(GetIniInt(kGameIni, "n", "missing"), 0);
    EXPECT_EQ(GetIniFloat(kGameIni, "n", "missing"), 0.0f);
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
    WriteFile("DATA/aqua.BUBBLE/0.tga", "");

    // Sorted ignoring case, so the `Bubble` index picks the same set on every disk.
    const std::vector<std::string> expected = {"DATA\\aqua.BUBBLE", "DATA\\Classic.BUBBLE",
                                               "DATA\\Odd.BUBBLE", "DATA\\pastel.bubble"};
    ScanBubbleSets();
    EXPECT_EQ(BubbleSets(), expected);
    ScanBubbleSets(); // a rescan replaces the list
    EXPECT_EQ(BubbleSets(), expected);
}

TEST_F(SettingsTest, NoDataFolderMeansNoBubbleSets) {
    ScanBubbleSets();
    EXPECT_TRUE(BubbleSets().empty());
}

} // namespace
