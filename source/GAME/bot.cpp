#include "GAME/bot.h"

#include <map>
#include <utility>

#include "GAME/flight.h"
#include "GAME/game_state.h"
#include "GAME/matching.h"

namespace {

// Trial shots make no sound, send the hero nothing and leave the game's score alone.
class SilentHooks : public PlayHooks {
public:
    void Sound(const char*) override {}
};

// Burst plus drop of the Loaded bubble settled at `landing`, on a copy of the level.
int TrialGain(const PlayState& play, Cell landing) {
    SilentHooks silent;
    PlayState trial = play;
    trial.hooks = &silent;
    const int loaded = trial.field.FindState(Loaded);
    if (loaded < 0) return 0;
    Bubble& shot = trial.field.list[size_t(loaded)];
    shot.state = Settled;
    trial.field.CellCentre(landing, shot.x, shot.y);
    const int score = Score, bestShot = BestShot;
    OnSettled(trial, size_t(loaded));
    Score = score;
    BestShot = bestShot;
    return trial.lastSettle.burst + trial.lastSettle.fell;
}

} // namespace

bool BotMayFire(const PlayState& play) {
    return !play.shotInFlight && !play.Ended() && play.intro.Ended(play.time) &&
           !play.cooldown.Running(play.time) && play.field.FindState(Loaded) >= 0;
}

BotChoice ChooseGreedyShot(const PlayState& play) {
    // Many angles land in the same cell: try each cell once.
    std::map<std::pair<int, int>, int> gains;
    BotChoice best;
    bool any = false;
    for (float angle = -kAngleLimit; angle <= kAngleLimit; angle += kBotAngleStep) {
        const Cell cell = GuideLanding(play, angle);
        const auto key = std::make_pair(cell.row, cell.col);
        auto found = gains.find(key);
        if (found == gains.end()) found = gains.emplace(key, TrialGain(play, cell)).first;
        const int gain = found->second;
        if (!any || gain > best.gain || (gain == best.gain && cell.row < best.landing.row)) {
            best = {angle, cell, gain};
            any = true;
        }
    }
    return best;
}
