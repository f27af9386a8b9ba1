#include "GAME/highscore.h"

#include <gtest/gtest.h>

#include <string>

#include "BASE/settings.h"
#include "GAME/game_state.h"
#include "GAME/game_ini.h"
#include "SYS/msgbox.h"
#include "screen_fixture.h"

namespace {

TEST(HighscoreRows, ParseAsTheGameReadsThem) {
    struct Case {
        const char* text;
        const char* name;
        int value;
        bool empty;
    };
    const Case cases[] = {
        {"Ann, 5000", "Ann", 5000, false},
        {"Ann,5000", "Ann", 5000, false},
        {"Ann", "Ann", 0, false},
        {"", "", 0, true},
        {"Ann,12abc", "Ann", 12, false},
        {"Ann,x12", "Ann", 0, false},
        {"A,nn, 7", "A", 0, false},
        {",  -3", "", -3, false},
        {"Big,99999999999", "Big", 2147483647, false},
    };
    for (const Case& c : cases) {
        const HighscoreRow row = ParseHighscoreRow(c.text);
        EXPECT_EQ(row.name, c.name) << c.text;
        EXPECT_EQ(row.value, c.value) << c.text;
        EXPECT_EQ(row.empty, c.empty) << c.text;
    }
    EXPECT_EQ(FormatHighscoreRow("Ann", 5000), "Ann, 5000");
    EXPECT_STREQ(HighscoreSection(1), "puzzle");
    EXPECT_STREQ(HighscoreSection(7), "arcade");
}

class Highscores : public ScreenTest {
protected:
    static void WriteTable(const char* section, const std::vector<int>& values) {
        for (size_t i = 0; i < values.size(); ++i)
            WriteIniString(kHighscoreIni, section, std::to_string(i).c_str(),
                           FormatHighscoreRow("p" + std::to_string(i), values[i]).c_str());
    }
    static std::vector<std::string> Rows(const char* section) {
        std::vector<std::string> rows;
        for (int i = 0; i < kHighscoreRows; ++i)
            rows.push_back(GetIniString(kHighscoreIni, section, std::to_string(i).c_str()));
        return rows;
    }
};

TEST_F(Highscores, InsertionMovesWorseRowsDownAndDropsTheLast) {
    WriteTable("arcade", {5000, 4000, 3500, 3000, 2500, 2000, 1500, 1000, 750, 500});
    EXPECT_TRUE(ScoreEntersTable(0, 4500));
    EXPECT_EQ(InsertHighscore(0, "New", 4500), 1);
    const std::vector<std::string> expected = {"p0, 5000", "New, 4500", "p1, 4000", "p2, 3500",
                                               "p3, 3000", "p4, 2500",  "p5, 2000", "p6, 1500",
                                               "p7, 1000", "p8, 750"};
    EXPECT_EQ(Rows("arcade"), expected);
    // An equal score goes below the row it equals.
    EXPECT_EQ(InsertHighscore(0, "Tie", 3500), 4);
    EXPECT_EQ(Rows("arcade")[3], "p2, 3500");
    EXPECT_EQ(Rows("arcade")[4], "Tie, 3500");
    EXPECT_FALSE(ScoreEntersTable(0, 1000)); // row 9 now holds 1000
}

TEST_F(Highscores, EmptyTablesAndScoreZero) {
    EXPECT_FALSE(ScoreEntersTable(0, 0));
    EXPECT_TRUE(ScoreEntersTable(0, 1));
    EXPECT_EQ(InsertHighscore(0, "Ann", 0), -1);
    EXPECT_EQ(InsertHighscore(0, "Ann", 10), 0);
    EXPECT_EQ(Rows("arcade")[0], "Ann, 10");
    EXPECT_EQ(Rows("arcade")[1], ", 0"); // an empty row moving down is a nameless 0
    // A time table's empty rows hold 0, which no time beats.
    EXPECT_EQ(InsertHighscore(1, "Ann", 60000), -1);
    WriteTable("puzzle", {50000, 90000});
    EXPECT_EQ(InsertHighscore(1, "Ann", 60000), 1);
    EXPECT_EQ(Rows("puzzle")[2], "p1, 90000"); // pushed down onto an empty row, not lost
    EXPECT_EQ(Rows("puzzle")[3], ", 0");
    // Rows holding a nameless 0 are free too: the next insertion loses nothing either.
    EXPECT_EQ(InsertHighscore(1, "Bob", 55000), 1);
    const std::vector<std::string> expected = {"p0, 50000", "Bob, 55000", "Ann, 60000", "p1, 90000",
                                               ", 0",       ", 0",        ", 0",        ", 0",
                                               ", 0",       ", 0"};
    EXPECT_EQ(Rows("puzzle"), expected);
}

TEST_F(Highscores, ScreenNumbersTheRanksAndNamesItsModeWhereTheDescriptionPlacesThem) {
    WriteFile("DATA/score.ini", "[start]\nys=20\n[score]\nys=20\n[rank]\nxs=30\nys=20\n"
                                "[mode]\nxs=100\nys=20\nmode0=Arcade\nmode1=Puzzle\nmode2=Panic\n");
    PushScreen(MakeHighscoreScreen(1, -1));
    Widget& screen = *RootWidget().children.back();
    ASSERT_EQ(screen.ChildCount(), 2 + 3 * kHighscoreRows + 1);
    const size_t firstRank = 2 + 2 * kHighscoreRows;
    EXPECT_EQ(screen.children[firstRank]->caption, "1.");
    EXPECT_EQ(screen.children[firstRank + 9]->caption, "10.");
    EXPECT_EQ(screen.children[firstRank + 9]->y, 9 * 20); // beside the tenth row
    EXPECT_EQ(screen.children.back()->caption, "Puzzle");
}

TEST_F(Highscores, ScreenShowsRowsAndClearingEmptiesThem) {
    WriteFile("DATA/score.ini", "[start]\nys=20\nname=---\n[score]\nys=20\nname=pts:\n");
    WriteTable("panic", {300, 200});
    GameType = 2;
    PushScreen(MakeHighscoreScreen(2, 1));
    Widget& screen = *RootWidget().children.back();
    ASSERT_EQ(screen.ChildCount(), 2 + 2 * kHighscoreRows);
    EXPECT_EQ(screen.children[4]->caption, "p1");
    EXPECT_EQ(screen.children[5]->caption, "pts:200");
    EXPECT_EQ(screen.children[5]->y, 20);
    EXPECT_EQ(screen.children[6]->caption, "---"); // empty rows keep the file's caption
    EXPECT_EQ(screen.children[7]->caption, "pts:0");
    ASSERT_FALSE(screen.children[4]->pictures.empty()); // the highlighted row
    EXPECT_TRUE(screen.children[2]->pictures.empty());

    // Clear table, then `yes` on the confirmation.
    RootWidget().HandleMessage(sys::WM_KEYUP, sys::VK_DOWN, 0);
    RootWidget().HandleMessage(sys::WM_KEYDOWN, sys::VK_RETURN, 0);
    RootWidget().HandleMessage(sys::WM_KEYUP, sys::VK_RETURN, 0);
    RootWidget().HandleMessage(sys::WM_KEYUP, sys::VK_UP, 0);
    RootWidget().HandleMessage(sys::WM_KEYDOWN, sys::VK_RETURN, 0);
    RootWidget().HandleMessage(sys::WM_KEYUP, sys::VK_RETURN, 0);
    const std::string file = ReadFile("highscore.ini");
    for (int i = 0; i < kHighscoreRows; ++i)
        EXPECT_NE(file.find(std::to_string(i) + "="), std::string::npos) << file;
    EXPECT_EQ(Rows("panic"), std::vector<std::string>(kHighscoreRows));
    EXPECT_EQ(static_cast<Screen*>(RootWidget().children.back().get())->file, kScoreIni);
}

TEST_F(Highscores, NameEntryTakesTheNameOnEnterTwiceOrEscape) {
    WriteFile("DATA/name.ini", "[edit]\nxs=200\nys=20\n");
    for (bool escape : {false, true}) {
        ReplaceAllScreens(nullptr);
        WriteIniString(kHighscoreIni, "arcade", "0", "");
        PlayerName = "Al";
        Score = 900;
        ReplaceAllScreens(MakeNameEntry());
        RootWidget().Update(400.0f); // the name entry opens with its transition
        for (char c : std::string("ex,"))
            RootWidget().HandleMessage(sys::WM_CHAR, sys::WPARAM(c), 0);
        if (escape) {
            RootWidget().HandleMessage(sys::WM_KEYDOWN, sys::VK_ESCAPE, 0);
            RootWidget().HandleMessage(sys::WM_KEYUP, sys::VK_ESCAPE, 0);
        } else {
            for (int i = 0; i < 2; ++i) {
                RootWidget().HandleMessage(sys::WM_KEYDOWN, sys::VK_RETURN, 0);
                RootWidget().HandleMessage(sys::WM_KEYUP, sys::VK_RETURN, 0);
                EXPECT_EQ(PlayerName, i == 0 ? "Al" : "Alex"); // the first Enter only moves to `ok`
            }
        }
        EXPECT_EQ(PlayerName, "Alex");
        EXPECT_EQ(Rows("arcade")[0], "Alex, 900");
        EXPECT_EQ(static_cast<Screen*>(RootWidget().children.back().get())->file, kScoreIni);
    }
}

} // namespace
