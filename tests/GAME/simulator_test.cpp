#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "GAME/game_state.h"
#include "GAME/sim/simulator.h"
#include "screen_fixture.h"

namespace {

bool Parse(std::vector<const char*> args, SimOptions& options, std::string& error) {
    args.insert(args.begin(), "reefpop-sim");
    return ParseSimArguments(int(args.size()), args.data(), options, error);
}

TEST(SimArguments, GoodAndBadArguments) {
    SimOptions options;
    std::string error;
    ASSERT_TRUE(Parse({"--mode", "2", "--difficulty", "-1", "--level", "12", "--seed", "4294967295",
                       "--dt", "2.5", "--bot", "greedy", "--levels", "3", "--ticks", "0", "--dump"},
                      options, error))
        << error;
    EXPECT_EQ(options.mode, 2);
    EXPECT_EQ(options.difficulty, -1);
    EXPECT_EQ(options.level, 12);
    EXPECT_EQ(options.seed, 4294967295u);
    EXPECT_TRUE(options.seedGiven);
    EXPECT_EQ(options.dt, 2.5f);
    EXPECT_TRUE(options.bot);
    EXPECT_EQ(options.levels, 3);
    EXPECT_EQ(options.ticks, 0);
    EXPECT_TRUE(options.dump);

    const std::vector<std::vector<const char*>> bad = {
        {"--mode", "3"},       {"--mode"},
        {"--difficulty", "2"}, {"--level", "-1"},
        {"--seed", "x"},       {"--seed", "-1"},
        {"--dt", "0"},         {"--dt", "1e9"},
        {"--dt", "nan"},       {"--bot", "smart"},
        {"--levels", "0"},     {"--ticks", "5x"},
        {"--frobnicate"},      {"--script", "a", "--bot", "greedy"},
    };
    for (const auto& args : bad) {
        SimOptions ignored;
        error.clear();
        EXPECT_FALSE(Parse(args, ignored, error)) << args[0];
        EXPECT_FALSE(error.empty()) << args[0];
    }
}

TEST(SimScript, LinesCommentsAndErrors) {
    std::vector<ScriptCommand> commands;
    std::string error;
    ASSERT_TRUE(ParseScript("# opening\n\n200 fire\r\n150 aim -0.5  # left\n150 turn 3\n300 swap\n",
                            commands, error))
        << error;
    ASSERT_EQ(commands.size(), 4u);
    EXPECT_EQ(commands[0].tick, 150); // by tick, file order kept within one tick
    EXPECT_EQ(commands[0].kind, ScriptCommand::Aim);
    EXPECT_EQ(commands[0].value, -0.5f);
    EXPECT_EQ(commands[1].kind, ScriptCommand::Turn);
    EXPECT_EQ(commands[2].kind, ScriptCommand::Fire);
    EXPECT_EQ(commands[3].kind, ScriptCommand::Swap);

    for (const char* bad :
         {"fire", "10 fire 3", "10 aim", "10 aim left", "-1 fire", "10 jump", "x fire"}) {
        commands.clear();
        EXPECT_FALSE(ParseScript(bad, commands, error)) << bad;
    }
    EXPECT_FALSE(ReadScriptFile("/nonexistent/script.txt", commands, error));
}

class SimRunTest : public ScreenTest {
protected:
    std::string Run(const SimOptions& options, const std::vector<ScriptCommand>& script) {
        std::ostringstream out;
        RunSimulation(options, script, out);
        return out.str();
    }
};

// One full row of three colours under a low ceiling: straight shots settle below it, and the
// run is the same for the same seed.
TEST_F(SimRunTest, ScriptedShotsSettleAndTheRunRepeats) {
    WriteFile("DATA/ArcadeScore.ini", "[main]\nwidth=8\nheight=10\ndepth=2\nnormal=1\nAddScore="
                                      "100000\n[0]\nbubble=3\nTimeDown=5000\n");
    WriteFile("DATA/score.ini", "[main]\nburst=10\nfall=20\n");
    SimOptions options;
    options.seedGiven = true;
    options.seed = 42;
    options.ticks = 600;
    options.dump = true;
    std::vector<ScriptCommand> script;
    std::string error;
    ASSERT_TRUE(
        ParseScript("100 fire\n160 aim 0.3\n160 fire\n250 aim -1\n250 fire\n", script, error));
    const std::string first = Run(options, script);
    EXPECT_EQ(first, Run(options, script));

    std::istringstream lines(first);
    std::string line;
    int settles = 0, bubbles = 0;
    std::string summary;
    while (std::getline(lines, line)) {
        if (line.rfind("settle t=", 0) == 0) ++settles;
        if (line.rfind("bubble ", 0) == 0) ++bubbles;
        if (line.rfind("summary ", 0) == 0) summary = line;
    }
    // The first shot is refused: the introduction lasts 1500 ms (150 ticks).
    EXPECT_EQ(settles, 2) << first;
    EXPECT_GE(bubbles, 16 + 2) << first;
    EXPECT_EQ(summary.rfind("summary mode=0 difficulty=0 levels=0 score=", 0), 0u) << summary;
    EXPECT_NE(summary.find(" shots=2"), std::string::npos) << summary;
}

TEST_F(SimRunTest, TheBotWinsAnEasyLevelAndStopsThere) {
    WriteFile("DATA/ArcadeScore.ini", "[main]\nwidth=8\nheight=10\ndepth=4\nnormal=1\nAddScore="
                                      "200\n[0]\nbubble=2\nTimeDown=5000\n");
    WriteFile("DATA/score.ini", "[main]\nburst=10\nfall=20\n");
    SimOptions options;
    options.seedGiven = true;
    options.seed = 3;
    options.bot = true;
    const std::string out = Run(options, {});
    EXPECT_NE(out.find("\nwon level=0 t="), std::string::npos) << out;
    EXPECT_NE(out.find("summary mode=0 difficulty=0 levels=1 "), std::string::npos) << out;
    EXPECT_EQ(GameRunning, 0);
}

} // namespace
