// A level's field without a screen around it: the rules' sounds, hero events and water-line
// disturbances are recorded, the score starts at 0, and bubbles can be put on chosen cells.
#pragma once
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "GAME/flight.h"
#include "GAME/game_state.h"
#include "GAME/play_state.h"

struct RecordingHooks : PlayHooks {
    std::vector<std::string> sounds;
    std::vector<int> events;
    std::vector<std::pair<int, WaterShape>> water;
    bool idle = true;

    void Sound(const char* name) override { sounds.push_back(name); }
    void HeroEvent(int event) override { events.push_back(event); }
    bool HeroIdle() override { return idle; }
    void WaterDisturb(int column, WaterShape shape) override { water.push_back({column, shape}); }
    int Count(const std::string& name) const {
        return int(std::count(sounds.begin(), sounds.end(), name));
    }
    bool Sent(int event) const {
        return std::find(events.begin(), events.end(), event) != events.end();
    }
};

class PlayTest : public ::testing::Test {
protected:
    PlayState play;
    RecordingHooks hooks;

    void SetUp() override {
        play.hooks = &hooks;
        Score = 0;
        BestShot = 0;
    }

    static LevelParams Rules(int width = 8, int height = 12, int depth = 0, int bubble = 4) {
        LevelParams rules;
        rules.width = width;
        rules.height = height;
        rules.depth = depth;
        rules.bubble = bubble;
        rules.TimeDown = 1000;
        return rules;
    }

    void Create(const LevelParams& rules, uint32_t seed = 4242) { CreateField(play, rules, seed); }

    // A settled bubble on a lattice cell; returns its index.
    size_t Place(int row, int col, int colour, int special = 0) {
        Bubble b;
        b.colour = int8_t(colour);
        b.special = int8_t(special);
        play.field.CellCentre({row, col}, b.x, b.y);
        play.field.list.push_back(b);
        return play.field.list.size() - 1;
    }

    int CountState(uint8_t state) const {
        return int(std::count_if(play.field.list.begin(), play.field.list.end(),
                                 [&](const Bubble& b) { return b.state == state; }));
    }
    const Bubble* At(int row, int col) const {
        for (const Bubble& b : play.field.list) {
            if (b.state != Settled) continue;
            const Cell c = play.field.CellOf(b.x, b.y);
            if (c.row == row && c.col == col) return &b;
        }
        return nullptr;
    }

    // Past the introduction and the cooldown: firing is allowed.
    void ReadyToFire() {
        play.time = std::max(play.time, 2000);
        play.cooldown.start = kTimerNotStarted;
    }

    // Runs 10 ms ticks of every record until no shot flies (at most `limit` ticks).
    int FlyUntilSettled(int limit = 2000) {
        int ticks = 0;
        while (play.shotInFlight && ticks < limit) {
            play.time += 10;
            AdvanceRecords(play, 10.0f);
            ++ticks;
        }
        return ticks;
    }
};

// An empty 8-wide field of seven colours, built up by hand with Place; nothing recorded yet.
class HandBuiltFieldTest : public PlayTest {
protected:
    void SetUp() override {
        PlayTest::SetUp();
        Create(Rules(8, 12, 0, 7));
        play.field.list.clear();
        hooks = RecordingHooks{};
        play.burstPoints = 10;
        play.fallPoints = 20;
    }
};
