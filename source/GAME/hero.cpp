#include "GAME/hero.h"

#include <algorithm>
#include <cmath>

#include "BASE/settings.h"
#include "GAME/game_ini.h"
#include "GRAPH/Sprite.h"
#include "GRAPH/font.h"
#include "GRAPH/graph.h"
#include "SOUND/Gsound.h"
#include "SOUND/music.h"

Hero TheHero;

namespace {

constexpr const char* kHeroIni = "DATA\\hero.ini";
constexpr const char* kHeroFont = "DATA\\herofont.tga";
constexpr const char* kBalloon = "DATA\\BlaBla.tga";
constexpr const char* kLevelUpMusic = "DATA\\SOUND\\levelup.ogg";
constexpr float kForever = 1e30f;
constexpr int kIdleAnimation = 3;
constexpr int kFirstSpeaking = 7, kLastSpeaking = 9;

struct AnimationEntry {
    const char* section;
    const char* sound;
};
const AnimationEntry kAnimationTable[Hero::kAnimations + 1] = {
    {nullptr, nullptr},      {"birth", "hero_appear"}, {"hello", "hello"},
    {"stop0", nullptr},      {"stop1", "stop1"},       {"stop2", "stop2"},
    {"stop3", "stop3"},      {"speak1", "speak1"},     {"speak2", "speak2"},
    {"speak3", "speak3"},    {"speak1", "ready"},      {"go", "go"},
    {"levelup", "levelup"},  {"warning", "warning"},   {"defeat0", "defeat0"},
    {"defeat1", "defeat1"},  {"bestshot", "bestshot"}, {"joy", "joy"},
    {"win1", "piano_begin"}, {"win2", nullptr},
};

const char* const kTextKeys[Hero::kTexts + 1] = {
    nullptr,
    "MenuHello",
    "MenuStart",
    "MenuOptions",
    "MenuHelp",
    "MenuScores",
    "MenuRelax",
    "MenuExit",
    nullptr,
    "MenuResume",
    "MenuAbort",
    "GameReady",
    "GameGo",
    "GameBestShot",
    "BonusColor",
    "BonusX2",
    "BonusHelp",
    "BonusUp",
    "BonusX3",
    "BonusBomb",
    "BonusFreeze",
    "BonusRot",
    "Return",
    "OptionsBubble",
    "OptionsScreen",
    "OptionsMusic",
    "OptionsSound",
    "OptionsAmbient",
    "OptionsSensitivity",
    "OptionsDifficulty",
    "OptionsControls",
    "ControlsLeft",
    "ControlsRight",
    "ControlsShot",
    "ControlsSwap",
    "ControlsReset",
    "Count1",
    "Count2",
    "Count3",
    "Count4",
    "Count5",
    "MenuGames",
};

int ToInt16(int v) {
    return std::clamp(v, -32768, 32767);
}

// The duration of one play: negative, non-numeric or missing times play in no time at all.
float UsableTime(int ms) {
    return ms > 0 ? float(ms) : 0.0f;
}

// Cuts the picture into `length` frames stacked vertically (at least one, at most one per row)
// played over `time` ms.
int CutIntoFrames(Sprite* picture, int length, float time) {
    const int rows = picture ? picture->frameHeight * picture->frameCount : 0;
    length = std::clamp(length, 1, std::max(rows, 1));
    if (picture && rows > 0) {
        picture->frameCount = int16_t(length);
        picture->frameHeight = int16_t(rows / length);
        picture->clip.bottom = picture->frameHeight;
        picture->frameScale = time > 0.0f ? 1.0f / time : 1.0f;
    }
    return length;
}

bool IsTextEvent(int n) {
    return (n >= 4 && n <= 9) || n == 11 || n == 12 || (n >= 23 && n <= 49);
}

} // namespace

const char* Hero::TextKey(int n) {
    return n >= 0 && n <= kTexts ? kTextKeys[n] : nullptr;
}

const char* Hero::AnimationSection(int n) {
    return n >= 1 && n <= kAnimations ? kAnimationTable[n].section : nullptr;
}

void Hero::load() {
    release();
    for (int n = 1; n <= kAnimations; ++n) {
        HeroAnimation& a = animations[n];
        const char* section = kAnimationTable[n].section;
        a.x = ToInt16(GetIniInt(kHeroIni, section, "x"));
        a.y = ToInt16(GetIniInt(kHeroIni, section, "y"));
        a.time = UsableTime(GetIniInt(kHeroIni, section, "time"));
        const int length = GetIniInt(kHeroIni, section, "length");
        ReadIniString(a.name, kHeroIni, section, "name");
        a.sound = kAnimationTable[n].sound;
        if (!a.name.empty()) a.picture = LoadSprite(a.name.c_str(), nullptr, false);
        if (a.picture) a.picture->AddRef();
        a.length = CutIntoFrames(a.picture, length, a.time);
    }
    for (int n = 1; n <= kTexts; ++n) {
        if (!kTextKeys[n]) continue;
        for (int i = 0; i < 3; ++i) {
            const std::string key = std::string(kTextKeys[n]) + char('1' + i);
            ReadIniString(texts[n].line[i], LanguageFile.c_str(), "hero", key.c_str());
        }
    }
    font = LoadFont(kHeroFont);
    balloon = LoadSprite(kBalloon, nullptr, false);
    if (balloon) balloon->AddRef();
}

void Hero::release() {
    for (HeroAnimation& a : animations) {
        if (a.picture) a.picture->Release();
        a = HeroAnimation{};
    }
    for (HeroText& t : texts) t = HeroText{};
    if (font) ReleaseFont(font);
    font = nullptr;
    if (balloon) balloon->Release();
    balloon = nullptr;
    currentEvent = 0;
    text = anim = 0;
    eventTimer = animTimer = textTimer = TimerPair{};
}

float Hero::animationTime(int n) const {
    return n >= 1 && n <= kAnimations ? animations[n].time : 0.0f;
}

void Hero::startAnimation(int n, bool withSound) {
    anim = n;
    animTimer.Start(clock, animationTime(n));
    if (withSound && n >= 1 && n <= kAnimations && animations[n].sound)
        PlaySound(animations[n].sound, kChannelEffects);
}

void Hero::play(int textNumber, int animNumber) {
    text = textNumber;
    eventTimer.Start(clock, animationTime(animNumber));
    textTimer.Start(clock, animationTime(animNumber));
    startAnimation(animNumber, true);
}

void Hero::say(int textNumber) {
    text = textNumber;
    const HeroText& t = texts[std::clamp(textNumber, 0, kTexts)];
    const float duration = std::max(1000.0f, 200.0f * float(t.line[0].size() + t.line[1].size()));
    eventTimer.Start(clock, duration);
    textTimer.Start(clock, duration);
    if (!speaking()) speak();
}

bool Hero::speaking() const {
    return anim >= kFirstSpeaking && anim <= kLastSpeaking && !animTimer.Ended(clock);
}

void Hero::speak() {
    startAnimation(kFirstSpeaking + random.Next() / 10923, true);
}

void Hero::event(int n) {
    if (n == currentEvent) return;
    currentEvent = n;
    switch (n) {
    case 0:
        text = 0;
        anim = 0;
        break;
    case 1:
        text = 0;
        eventTimer.Start(clock, kForever);
        textTimer.Start(clock, kForever);
        startAnimation(kIdleAnimation, false);
        break;
    case 2: play(0, 1); break;
    case 3: play(1, 2); break;
    case 13: play(11, 10); break;
    case 14: play(12, 11); break;
    case 15: play(0, 12); break;
    case 16: play(0, 13); break;
    case 17: play(0, 14); break;
    case 18: play(0, 15); break;
    case 19: play(13, 16); break;
    case 20: play(0, 17); break;
    case 21: play(0, 18); break;
    case 22:
        SwitchMusic(kLevelUpMusic, true, false);
        play(0, 19);
        break;
    default:
        if ((n >= 4 && n <= 9) || n == 11 || n == 12)
            say(n - 2);
        else if (n >= 23 && n <= 50)
            say(n - 9);
        break; // other numbers only become the current event
    }
}

void Hero::update(float dt) {
    if (std::isfinite(dt)) clock += dt;
    const int e = currentEvent;
    if (e == 0) return;
    if (e == 1) {
        idleStep();
    } else if (e == 2) {
        if (eventTimer.Ended(clock)) event(3);
    } else if (IsTextEvent(e)) {
        if (eventTimer.Ended(clock))
            event(1);
        else if (animTimer.Ended(clock))
            idleStep();
    } else if (e == 17 || e == 21) {
        if (eventTimer.Ended(clock)) event(e + 1);
    } else if (e == 18 || e == 22) {
        if (animTimer.Ended(clock)) animTimer.start = clock; // loops silently until the next event
    } else if (eventTimer.Ended(clock)) {
        event(1);
    }
}

void Hero::idleStep() {
    if (!animTimer.Ended(clock)) return;
    int next = kIdleAnimation;
    if (anim == kIdleAnimation) {
        const int a = (random.Next() * 40) >> 15;
        next = a < 2 ? 4 : a < 4 ? 5 : a < 6 ? 6 : kIdleAnimation;
    }
    startAnimation(next, true);
}

void Hero::draw() {
    if (!RenderSurface) return;
    if (anim >= 1 && anim <= kAnimations && animations[anim].picture) {
        const HeroAnimation& a = animations[anim];
        RenderSurface->DrawSprite(a.x, a.y, a.picture, 0, animTimer.Progress(clock) * a.time);
    }
    if (text < 1 || text > kTexts) return;
    const int w = balloon ? balloon->width : 0, h = balloon ? balloon->frameHeight : 0;
    if (balloon) RenderSurface->DrawSprite(kBalloonX, kBalloonY, balloon, OP_MASK, 0.0f);
    const std::string* line = texts[text].line;
    const int cx = kBalloonX + w / 2;
    auto put = [&](const std::string& s, int y) {
        DrawText(RenderSurface, font, cx, y, s.c_str(), 0.0f, 0, 0);
    };
    if (line[1].empty()) {
        put(line[0], 235 + h / 2);
    } else if (!line[2].empty()) {
        put(line[0], kBalloonY + h / 4);
        put(line[1], kBalloonY + 2 * h / 4);
        put(line[2], kBalloonY + 3 * h / 4);
    } else {
        put(line[0], kBalloonY + h / 3);
        put(line[1], 232 + 2 * h / 3);
    }
}
