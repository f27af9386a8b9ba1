// reefpop-sim: plays levels headless on the real game screen, with the logic tick as the only
// clock and no window or sound device, as fast as the machine allows. Its output lines are the
// events of play, for tests, balance measurements and benchmarks.
#pragma once
#include <cstdint>
#include <iosfwd>
#include <string>
#include <vector>

constexpr long long kSimMaxTicks = 1000000;

struct SimOptions {
    int mode = 0;
    int difficulty = 0;
    int level = 0;
    bool seedGiven = false;
    uint32_t seed = 0; // generator A's seed instead of the calendar time (level L uses seed + L)
    float dt = 10.0f;  // logic tick, ms
    std::string script;
    bool bot = false;
    int levels = 1;
    long long ticks = -1; // -1: until the last level ends, at most kSimMaxTicks
    bool dump = false;
};

// One line of a script: at the start of `tick` (counted from each level's creation) the action
// takes effect.
struct ScriptCommand {
    enum Kind { Aim, Turn, Fire, Swap };
    long long tick = 0;
    Kind kind = Fire;
    float value = 0; // radians for Aim, the amount for Turn
};

extern const char kSimUsage[];

// False, with the reason, for arguments that cannot be used.
bool ParseSimArguments(int argc, const char* const* argv, SimOptions& options, std::string& error);
// Lines "<tick> aim <radians>", "<tick> turn <amount>", "<tick> fire", "<tick> swap"; '#' starts
// a comment. False, with the reason, for an unreadable file or a line that is none of these.
bool ParseScript(const std::string& text, std::vector<ScriptCommand>& commands, std::string& error);
bool ReadScriptFile(const std::string& file, std::vector<ScriptCommand>& commands,
                    std::string& error);

struct SimSummary {
    int levelsWon = 0;
    int shots = 0;
    long long ticks = 0;
};
// Plays from the options' level in the current folder (the game folder) and writes the event
// lines and the summary to `out`.
SimSummary RunSimulation(const SimOptions& options, const std::vector<ScriptCommand>& script,
                         std::ostream& out);
