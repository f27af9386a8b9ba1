#include "GAME/level_rules.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <set>

#include "BASE/errlog.h"
#include "BASE/settings.h"

namespace {

constexpr const char* kMain = "main";

std::set<std::string>& WrittenNotes() {
    static std::set<std::string> notes;
    return notes;
}

// One gerr.log note per file, key and kind of limit in a run, however often the value is read.
void NoteLimit(long value, const char* file, const char* section, const char* key,
               const char* what) {
    std::string note = std::string(file) + " [" + section + "] " + key + " " + what;
    if (!WrittenNotes().insert(note).second) return;
    LogFailure(value, note.c_str(), __FILE__, __LINE__);
}

int Limited(int value, int low, int high, const char* file, const char* section, const char* key) {
    if (value < low) {
        NoteLimit(value, file, section, key,
                  ("below " + std::to_string(low) + "; using " + std::to_string(low)).c_str());
        return low;
    }
    if (value > high) {
        NoteLimit(value, file, section, key,
                  ("above " + std::to_string(high) + "; using " + std::to_string(high)).c_str());
        return high;
    }
    return value;
}

int ReadLimited(const char* file, const char* section, const char* key, int low, int high) {
    return Limited(GetIniInt(file, section, key), low, high, file, section, key);
}

// A missing factor reads as 0, which would divide the burst points by zero: such a factor counts
// as 1.
float ReadFactor(const char* file, const char* key) {
    const float factor = GetIniFloat(file, kMain, key);
    if (std::isfinite(factor) && factor >= kMinFactor && factor <= kMaxFactor) return factor;
    NoteLimit(long(std::isfinite(factor) ? factor : -1), file, kMain, key,
              "is not a usable factor; using 1");
    return 1.0f;
}

} // namespace

const char* RuleFileOf(int mode) {
    switch (mode) {
    case 1: return kPuzzleRules;
    case 2: return kPanicRules;
    default: return kArcadeRules;
    }
}

std::string LevelSection(int level) {
    return std::string(1, char('0' + std::clamp(level, 0, 9)));
}

const char* DifficultyKey(int difficulty) {
    if (difficulty < 0) return "easy";
    return difficulty > 0 ? "hard" : "normal";
}

float DifficultyFactor(const LevelParams& params, int difficulty) {
    if (difficulty < 0) return params.easy;
    return difficulty > 0 ? params.hard : params.normal;
}

int ReadTimeDown(int mode, int difficulty, int level, const LevelParams& params) {
    const char* file = RuleFileOf(mode);
    const std::string section = LevelSection(level);
    const double scaled =
        double(GetIniInt(file, section.c_str(), "TimeDown")) * DifficultyFactor(params, difficulty);
    const int truncated = int(std::clamp(scaled, double(INT32_MIN), double(INT32_MAX)));
    return Limited(truncated, kMinTimeDown, INT32_MAX, file, section.c_str(), "TimeDown");
}

LevelParams ReadLevelParams(int mode, int difficulty, int level) {
    const char* file = RuleFileOf(mode);
    const std::string section = LevelSection(level);
    const char* s = section.c_str();
    LevelParams p;
    p.width = ReadLimited(file, kMain, "width", 0, kMaxRowWidth);
    p.height = ReadLimited(file, kMain, "height", 0, kMaxFieldRows);
    // Rows below the danger line would only lose the level at once.
    p.depth = ReadLimited(file, kMain, "depth", 0, p.height);
    p.easy = ReadFactor(file, "easy");
    p.normal = ReadFactor(file, "normal");
    p.hard = ReadFactor(file, "hard");
    p.MulScore = ReadLimited(file, kMain, "MulScore", 0, kMaxTargetTerm);
    p.AddScore = ReadLimited(file, kMain, "AddScore", 0, kMaxTargetTerm);
    p.bubble = ReadLimited(file, s, "bubble", 0, kMaxColours);
    p.TimeDown = ReadTimeDown(mode, difficulty, level, p);
    p.LineAdd = ReadLimited(file, s, "LineAdd", 0, 1);
    p.BonusShot = ReadLimited(file, s, "BonusShot", 0, INT32_MAX);
    p.downshot = GetIniInt(file, s, "downshot");
    p.TimeShot = GetIniInt(file, s, "TimeShot");
    return p;
}

ScoreRules ReadScoreRules(float difficultyFactor) {
    ScoreRules rules;
    const int burst = ReadLimited(kScoreIni, kMain, "burst", 0, kMaxPoints);
    const float factor = difficultyFactor > 0 ? difficultyFactor : 1.0f;
    rules.burstPoints = int16_t(std::min(double(kMaxPoints), std::trunc(double(burst) / factor)));
    rules.fallPoints = int16_t(ReadLimited(kScoreIni, kMain, "fall", 0, kMaxPoints));
    return rules;
}

int64_t LevelTarget(const LevelParams& params, int level) {
    const int64_t n = int64_t(level) + 1;
    return int64_t(params.AddScore) * n + int64_t(params.MulScore) * n * (n + 1) / 2;
}

void ForgetRuleNotesForTesting() {
    WrittenNotes().clear();
}
