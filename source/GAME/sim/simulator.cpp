#include "GAME/sim/simulator.h"

#include <algorithm>
#include <cerrno>
#include <cinttypes>
#include <cstdarg>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fstream>
#include <ostream>
#include <sstream>

#include "BASE/settings.h"
#include "GAME/Widget.h"
#include "GAME/bot.h"
#include "GAME/flight.h"
#include "GAME/game_ini.h"
#include "GAME/game_screen.h"
#include "GAME/game_state.h"
#include "GAME/levelup_screen.h"
#include "GAME/run.h"

const char kSimUsage[] =
    "usage: reefpop-sim [--mode 0|1|2] [--difficulty -1|0|1] [--level N] [--seed S] [--dt MS]\n"
    "                   [--script FILE | --bot greedy] [--levels K] [--ticks T] [--dump]\n"
    "Plays levels of the game in the current folder (the game folder) without window or sound.\n"
    "  --seed S      generator A's seed instead of the calendar time (level L uses S + L)\n"
    "  --dt MS       logic tick in ms, above 0 and at most 1000 (default 10)\n"
    "  --script FILE lines '<tick> aim <radians>', '<tick> turn <amount>', '<tick> fire',\n"
    "                '<tick> swap' ('#' starts a comment); ticks count from each level's start\n"
    "  --bot greedy  a simple player that takes the shot bursting or dropping the most\n"
    "  --levels K    plays on through the level-up screen for K levels (default 1); stops at a "
    "defeat\n"
    "  --ticks T     stops after T ticks (default: when the last level ends, at most 1000000)\n"
    "  --dump        after the last tick, one line per record: bubble <x> <y> <colour> <special> "
    "<state>\n";

namespace {

constexpr int kMaxLevel = 1000000;
constexpr float kMaxDt = 1000.0f;
constexpr long long kMaxTicksArgument = 1000000000LL;

// A whole decimal number, nothing else.
bool ParseInteger(const char* text, long long low, long long high, long long& value) {
    if (!text || !*text) return false;
    char* end = nullptr;
    errno = 0;
    const long long parsed = std::strtoll(text, &end, 10);
    if (errno || *end || parsed < low || parsed > high) return false;
    value = parsed;
    return true;
}

bool ParseNumber(const char* text, float& value) {
    if (!text || !*text) return false;
    char* end = nullptr;
    const double parsed = std::strtod(text, &end);
    if (*end || !std::isfinite(parsed) || std::fabs(parsed) > 1e30) return false;
    value = float(parsed);
    return true;
}

// The screen on top of the root widget.
Widget* TopScreen() {
    Widget& root = RootWidget();
    return root.ChildCount() > 0 ? root.children.back().get() : nullptr;
}

bool IsLevelUp(const Widget* screen) {
    const auto* panel = dynamic_cast<const Screen*>(screen);
    return panel && panel->file == kLevelUpIni;
}

void Apply(PlayState& play, const ScriptCommand& command) {
    switch (command.kind) {
    case ScriptCommand::Aim:
        play.angle = std::clamp(command.value, -kAngleLimit, kAngleLimit);
        break;
    case ScriptCommand::Turn: Turn(play, command.value); break;
    case ScriptCommand::Fire: Fire(play); break;
    case ScriptCommand::Swap: Swap(play); break;
    }
}

void PrintLine(std::ostream& out, const char* format, ...) __attribute__((format(printf, 2, 3)));
void PrintLine(std::ostream& out, const char* format, ...) {
    char line[256];
    va_list args;
    va_start(args, format);
    std::vsnprintf(line, sizeof line, format, args);
    va_end(args);
    out << line << '\n';
}

// Plays one run. The game screen of the level in play is watched between ticks; the level-up
// screen is confirmed as a player would, once its opening is over.
class SimRun {
public:
    SimRun(const SimOptions& options, const std::vector<ScriptCommand>& script, std::ostream& out)
        : options_(options), script_(script), out_(out) {}

    SimSummary Play() {
        const long long limit = options_.ticks >= 0 ? options_.ticks : kSimMaxTicks;
        StartLevel(options_.level);
        while (summary_.ticks < limit && !finished_) {
            Widget* top = TopScreen();
            if (auto* game = dynamic_cast<GameScreen*>(top)) {
                PlayTick(game);
            } else if (IsLevelUp(top) && summary_.levelsWon < options_.levels) {
                ConfirmLevelUp(static_cast<Screen*>(top));
            } else if (top) {
                Tick(); // the last level-up screen, when more ticks were asked for
            } else {
                break;
            }
        }
        if (options_.dump)
            if (auto* game = dynamic_cast<GameScreen*>(TopScreen())) Dump(*game);
        PrintLine(out_, "summary mode=%d difficulty=%d levels=%d score=%d playtime=%d shots=%d",
                  options_.mode, options_.difficulty, summary_.levelsWon, Score, PlayTime,
                  summary_.shots);
        return summary_;
    }

private:
    void Tick() {
        RootWidget().Update(options_.dt);
        ++summary_.ticks;
    }

    void PlayTick(GameScreen* game) {
        if (game != current_) {
            current_ = game;
            levelTick_ = 0;
            settled_ = 0;
            reportedEnd_ = false;
            nextCommand_ = 0;
        }
        PlayState& play = game->play;
        while (nextCommand_ < script_.size() && script_[nextCommand_].tick < levelTick_)
            ++nextCommand_;
        while (nextCommand_ < script_.size() && script_[nextCommand_].tick == levelTick_)
            Apply(play, script_[nextCommand_++]);
        if (options_.bot && BotMayFire(play)) {
            play.angle = ChooseGreedyShot(play).angle;
            Fire(play);
        }
        Tick();
        ++levelTick_;
        if (TopScreen() != game) return; // the level gave way to the level-up screen
        Report(*game);
    }

    void Report(GameScreen& game) {
        PlayState& play = game.play;
        if (play.settledShots != settled_) {
            settled_ = play.settledShots;
            ++summary_.shots;
            const SettleReport& s = play.lastSettle;
            PrintLine(out_,
                      "settle t=%d row=%d col=%d colour=%d special=%d burst=%d fell=%d score=%d",
                      play.time, s.row, s.col, s.colour, s.special, s.burst, s.fell, Score);
        }
        if (reportedEnd_) return;
        if (play.Lost()) {
            reportedEnd_ = true;
            PrintLine(out_, "lost level=%d t=%d score=%d", play.level, play.time, Score);
            finished_ = options_.ticks < 0;
        } else if (play.Won()) {
            reportedEnd_ = true;
            ++summary_.levelsWon;
            PrintLine(out_, "won level=%d t=%d score=%d", play.level, play.time, Score);
            finished_ = options_.ticks < 0 && summary_.levelsWon >= options_.levels;
        }
    }

    void ConfirmLevelUp(Screen* levelUp) {
        while (levelUp->InTransition() && summary_.ticks < kSimMaxTicks) {
            Tick();
            if (TopScreen() != levelUp) return;
        }
        RootWidget().HandleMessage(sys::WM_KEYDOWN, sys::VK_RETURN, 0);
        RootWidget().HandleMessage(sys::WM_KEYUP, sys::VK_RETURN, 0);
        current_ = nullptr; // the next level's screen may take the old one's address
    }

    void Dump(const GameScreen& game) {
        for (const Bubble& b : game.play.field.list)
            PrintLine(out_, "bubble %.3f %.3f %d %d %d", double(b.x), double(b.y), b.colour,
                      b.special, b.state);
    }

    const SimOptions& options_;
    const std::vector<ScriptCommand>& script_;
    std::ostream& out_;
    SimSummary summary_;
    GameScreen* current_ = nullptr;
    long long levelTick_ = 0;
    int settled_ = 0;
    size_t nextCommand_ = 0;
    bool reportedEnd_ = false;
    bool finished_ = false;
};

} // namespace

bool ParseSimArguments(int argc, const char* const* argv, SimOptions& options, std::string& error) {
    bool scriptGiven = false;
    for (int i = 1; i < argc; ++i) {
        const std::string name = argv[i];
        const char* value = i + 1 < argc ? argv[i + 1] : nullptr;
        long long number = 0;
        auto needs = [&](bool ok) {
            if (!ok) error = "bad or missing value for " + name;
            if (ok) ++i;
            return ok;
        };
        if (name == "--dump") {
            options.dump = true;
        } else if (name == "--mode") {
            if (!needs(ParseInteger(value, 0, 2, number))) return false;
            options.mode = int(number);
        } else if (name == "--difficulty") {
            if (!needs(ParseInteger(value, -1, 1, number))) return false;
            options.difficulty = int(number);
        } else if (name == "--level") {
            if (!needs(ParseInteger(value, 0, kMaxLevel, number))) return false;
            options.level = int(number);
        } else if (name == "--seed") {
            if (!needs(ParseInteger(value, 0, UINT32_MAX, number))) return false;
            options.seed = uint32_t(number);
            options.seedGiven = true;
        } else if (name == "--dt") {
            float dt = 0;
            if (!needs(ParseNumber(value, dt) && dt > 0 && dt <= kMaxDt)) return false;
            options.dt = dt;
        } else if (name == "--script") {
            if (!needs(value != nullptr && *value)) return false;
            options.script = value;
            scriptGiven = true;
        } else if (name == "--bot") {
            if (!needs(value != nullptr && std::strcmp(value, "greedy") == 0)) return false;
            options.bot = true;
        } else if (name == "--levels") {
            if (!needs(ParseInteger(value, 1, kMaxLevel, number))) return false;
            options.levels = int(number);
        } else if (name == "--ticks") {
            if (!needs(ParseInteger(value, 0, kMaxTicksArgument, number))) return false;
            options.ticks = number;
        } else {
            error = "unknown argument " + name;
            return false;
        }
    }
    if (scriptGiven && options.bot) {
        error = "--script and --bot exclude each other";
        return false;
    }
    return true;
}

bool ParseScript(const std::string& text, std::vector<ScriptCommand>& commands,
                 std::string& error) {
    std::istringstream lines(text);
    std::string line;
    int number = 0;
    while (std::getline(lines, line)) {
        ++number;
        line = line.substr(0, line.find('#'));
        std::istringstream words(line);
        std::string tickText, action, valueText, rest;
        if (!(words >> tickText)) continue; // blank or comment
        words >> action >> valueText >> rest;
        ScriptCommand command;
        long long tick = 0;
        bool ok = ParseInteger(tickText.c_str(), 0, kMaxTicksArgument, tick) && rest.empty();
        command.tick = tick;
        if (ok && (action == "aim" || action == "turn")) {
            command.kind = action == "aim" ? ScriptCommand::Aim : ScriptCommand::Turn;
            ok = ParseNumber(valueText.c_str(), command.value);
        } else if (ok && (action == "fire" || action == "swap")) {
            command.kind = action == "fire" ? ScriptCommand::Fire : ScriptCommand::Swap;
            ok = valueText.empty();
        } else {
            ok = false;
        }
        if (!ok) {
            error = "script line " + std::to_string(number) +
                    " is not '<tick> aim|turn <number>' or '<tick> fire|swap'";
            return false;
        }
        commands.push_back(command);
    }
    std::stable_sort(
        commands.begin(), commands.end(),
        [](const ScriptCommand& a, const ScriptCommand& b) { return a.tick < b.tick; });
    return true;
}

bool ReadScriptFile(const std::string& file, std::vector<ScriptCommand>& commands,
                    std::string& error) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream text;
    if (!in || !(text << in.rdbuf())) {
        // An empty file has nothing to copy; only a file that cannot be opened is unreadable.
        if (!in.is_open()) {
            error = "cannot read script " + file;
            return false;
        }
    }
    return ParseScript(text.str(), commands, error);
}

SimSummary RunSimulation(const SimOptions& options, const std::vector<ScriptCommand>& script,
                         std::ostream& out) {
    GameType = options.mode;
    Difficulty = options.difficulty;
    Score = 0;
    PlayTime = 0;
    BestShot = 0;
    DifficultyChanged = 0;
    Sensitivity = GetIniFloat(kGameIni, "main", "Sensitivity");
    ReadIniString(LanguageFile, kGameIni, "main", "language");
    PlaySetup& setup = CurrentPlaySetup();
    setup.display = false;
    const uint32_t seed = options.seedGiven ? options.seed : uint32_t(std::time(nullptr));
    setup.seed = [seed](int level) { return seed + uint32_t(level); };
    SimRun run(options, script, out);
    const SimSummary summary = run.Play();
    ReplaceAllScreens(nullptr);
    setup = PlaySetup{};
    return summary;
}
