#include "GAME/bonuses.h"

#include <algorithm>

#include "GAME/matching.h"

namespace {

void HeroEventIfIdle(PlayState& play, int event) {
    if (play.hooks->HeroIdle()) play.hooks->HeroEvent(event);
}

void GuideOffIfUnset(int& guide) {
    if (guide == kGuideUnset) guide = 0;
}

// Settled grey bubbles take the rot bubble's colour, each with a sparkle.
void Rot(PlayState& play, int colour) {
    BubbleList& list = play.field.list;
    const size_t count = list.size(); // sparkles appended below are not bubbles
    for (size_t i = 0; i < count; ++i) {
        if (list[i].state != Settled || list[i].colour != kGrey) continue;
        list[i].colour = int8_t(colour);
        SpawnDebris(play, list[i].x, list[i].y, 5, 5, kDebrisSmall, 32, 32);
    }
}

} // namespace

int ChooseBonus(PlayState& play) {
    const int cap = play.field.HasGrey() ? kBonusRot : kBonusBomb;
    return kBonusTwoColour + play.field.RandA(std::min(play.level, cap - 16));
}

void MoveFieldUp(PlayState& play) {
    Playfield& field = play.field;
    if (field.ceiling == 0.0f) field.params.LineAdd = 1;
    if (field.params.LineAdd == 1)
        field.SwapFactors();
    else
        field.ceiling -= kRowPitch;
    field.ShiftDown(-kRowPitch);
}

void ApplyBonus(PlayState& play, size_t index, int& multiplier, int& guide) {
    PlayHooks& hooks = *play.hooks;
    switch (play.field.list[index].special) {
    case kBonusTwoColour: HeroEventIfIdle(play, 23); break;
    case kBonusX2:
        multiplier *= 2;
        hooks.Sound("BonusX");
        HeroEventIfIdle(play, 24);
        GuideOffIfUnset(guide);
        break;
    case kBonusHelp:
        hooks.Sound("Prompt");
        HeroEventIfIdle(play, 25);
        guide = 1;
        break;
    case kBonusUp:
        MoveFieldUp(play);
        hooks.Sound("up");
        HeroEventIfIdle(play, 26);
        GuideOffIfUnset(guide);
        break;
    case kBonusFreeze:
        HeroEventIfIdle(play, 29);
        play.freeze.Start(float(play.time), kFreezeMs);
        hooks.Sound("bonus_remove");
        break;
    case kBonusX3:
        multiplier *= 3;
        HeroEventIfIdle(play, 27);
        hooks.Sound("BonusX");
        GuideOffIfUnset(guide);
        break;
    case kBonusBomb:
        HeroEventIfIdle(play, 28);
        hooks.Sound("bomb");
        GuideOffIfUnset(guide);
        break;
    case kBonusRot:
        hooks.Sound("bonus_paint");
        HeroEventIfIdle(play, 30);
        Rot(play, play.field.list[index].colour);
        break;
    default: break;
    }
}

void FreezeTick(PlayState& play, float dt) {
    const LevelTimer& freeze = play.freeze;
    const float end = freeze.start + freeze.duration;
    // Only the tick within which the freeze ends plays the end sound.
    if (float(play.time) < end && end <= float(play.time) + dt) play.hooks->Sound("freezing_end");
    if (!play.hooks->HeroIdle()) return;
    const float e = float(play.time) - freeze.start;
    for (int secondsLeft = 1; secondsLeft <= 5; ++secondsLeft) {
        if (e > freeze.duration - 1000.0f * float(secondsLeft)) {
            play.hooks->HeroEvent(44 + secondsLeft);
            return;
        }
    }
}
