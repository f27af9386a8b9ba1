#include "GAME/game_screen.h"

#include <algorithm>
#include <ctime>

#include "BASE/rnd.h"
#include "BASE/settings.h"
#include "GAME/bonuses.h"
#include "GAME/field_draw.h"
#include "GAME/flight.h"
#include "GAME/game_ini.h"
#include "GAME/game_state.h"
#include "GAME/input.h"
#include "GAME/levelup_screen.h"
#include "GAME/menu.h"
#include "GAME/run.h"
#include "GRAPH/Sprite.h"
#include "GRAPH/font.h"
#include "GRAPH/graph.h"
#include "SOUND/Gsound.h"
#include "SOUND/music.h"
#include "SYS/window.h"

namespace {

constexpr const char* kDrumsMusic = "DATA\\SOUND\\drums.ogg";
constexpr const char* kGameplayMusic = "DATA\\SOUND\\gameplay.ogg";
constexpr const char* kGameOverMusic = "DATA\\SOUND\\gameover.ogg";

constexpr int kScreenWidth = 640;
constexpr int kScreenHeight = 480;
constexpr int kBeamCentre = 602;
constexpr int kGaugeX = 29;
constexpr int kGaugeBottom = 99;
constexpr int kCaptionDrop = 20;
constexpr int kValueDrop = 50;
constexpr uint32_t kWaterFill = 0x801e91c5;
constexpr float kWarningBand = 16.0f;
constexpr int kWaterSurfaceLift = 14;
constexpr float kAmbientLow = 0.4f;

// Hero events of a level.
constexpr int kHeroReady = 13;
constexpr int kHeroGo = 14;
constexpr int kHeroWin = 15;
constexpr int kHeroWarning = 16;
constexpr int kHeroDefeat = 17;

bool IsPauseKey(sys::WPARAM key) {
    return key == sys::VK_PAUSE || key == sys::VK_ESCAPE || key == 'P';
}

bool IsPressMessage(unsigned message) {
    return message == sys::WM_KEYDOWN || message == sys::WM_LBUTTONDOWN ||
           message == sys::WM_RBUTTONDOWN || message == sys::WM_MBUTTONDOWN;
}

std::string CurrentBubbleSet() {
    const auto& sets = BubbleSets();
    return BubbleSet >= 0 && BubbleSet < int(sets.size()) ? sets[size_t(BubbleSet)] : std::string();
}

} // namespace

PlaySetup& CurrentPlaySetup() {
    static PlaySetup setup;
    return setup;
}

GameScreen::GameScreen(int level)
    : Screen("", 0), scene_(MakeLevelScene(CurrentPlaySetup().display)) {
    const PlaySetup& setup = CurrentPlaySetup();
    GameRunning = 1;
    if (setup.display) SwitchMusic(kDrumsMusic, false, true);

    rules = ReadLevelParams(GameType, Difficulty, level);
    ReadScoreRulesFor(Difficulty);
    play.velocityWave = GetIniFloat(kGameIni, "fx", "VelocityWave");
    play.sensitivity = Sensitivity;
    ReadIniString(scoreCaption_, LanguageFile.c_str(), "game", "score");
    ReadIniString(levelCaption_, LanguageFile.c_str(), "game", "level");
    levelText = std::to_string(level + 1);

    play.hooks = this;
    play.level = level;
    const uint32_t seedA = setup.seed ? setup.seed(level) : uint32_t(std::time(nullptr));
    CreateField(play, rules, seedA);
    surfaceY = rnd(DangerLine() + kWaterSurfaceLift) + play.field.originY;

    if (setup.display) {
        sprites_ = std::make_unique<FieldSprites>();
        sprites_->Load(CurrentBubbleSet());
        background_ = LoadHeldSprite("DATA\\background.tga");
        sidePanel_ = LoadHeldSprite("DATA\\Side_Menu.tga");
        defeatBanner_ = LoadHeldSprite("DATA\\defeat.tga");
        levelUpBanner_ = LoadHeldSprite("DATA\\levelup.tga");
        beam_ = LoadHeldSprite("DATA\\balka_center.tga");
        wave_ = LoadHeldSprite("DATA\\wave.tga");
        gauge_ = LoadHeldSprite("DATA\\thermometr.tga");
    }
    Sound("field_on");
    cursorShown_ = true; // the first update hides it
    HeroEvent(kHeroReady);
    playTimeAtStart = PlayTime;
}

GameScreen::~GameScreen() {
    for (Sprite** sprite :
         {&background_, &sidePanel_, &defeatBanner_, &levelUpBanner_, &beam_, &wave_, &gauge_})
        ReleaseHeldSprite(*sprite);
    GameRunning = 0;
}

void GameScreen::Sound(const char* name) {
    PlaySound(name, kChannelEffects);
}
void GameScreen::HeroEvent(int event) {
    scene_->HeroEvent(event);
}
bool GameScreen::HeroIdle() {
    return scene_->HeroIdle();
}
void GameScreen::WaterDisturb(int column, WaterShape shape) {
    scene_->DisturbWater(column, shape);
}

void GameScreen::ReadScoreRulesFor(int difficulty) {
    const ScoreRules points = ReadScoreRules(DifficultyFactor(rules, difficulty));
    play.burstPoints = points.burstPoints;
    play.fallPoints = points.fallPoints;
}

// The options changed the difficulty while this level was paused.
void GameScreen::RereadDifficulty() {
    DifficultyChanged = 0;
    rules.TimeDown = ReadTimeDown(GameType, Difficulty, play.level, rules);
    play.field.params.TimeDown = rules.TimeDown;
    ReadScoreRulesFor(Difficulty);
}

void GameScreen::SetAmbientVolume(float volume) {
    if (::Sound* ambient = CurrentAmbient()) ambient->SetVolume(volume);
}

void GameScreen::HideCursor() {
    if (!cursorShown_) return;
    cursorShown_ = false;
    if (!CurrentPlaySetup().display) return;
    sys::ShowCursor(false);
    sys::SetCursorPos(kScreenWidth / 2, kScreenHeight / 2);
}

int GameScreen::OnFocusChanged() {
    if (parent && parent->FocusedChild() == this) HideCursor();
    return 0;
}

void GameScreen::OpenPause() {
    SetAmbientVolume(1.0f);
    cursorShown_ = true;
    if (CurrentPlaySetup().display) sys::ShowCursor(true);
    PushScreen(MakePauseMenu());
}

int GameScreen::HandleMessage(unsigned message, sys::WPARAM wParam, sys::LPARAM lParam) {
    if (IsPressMessage(message)) {
        if (play.Lost()) {
            // The flood has to finish before a key or a click may end the game.
            if (play.defeat.Ended(play.time) &&
                (message == sys::WM_KEYDOWN || message == sys::WM_LBUTTONDOWN))
                EndGame();
            return 1;
        }
        if (play.Won()) return 1;
        int strength = 0;
        const int action = ActionOf(message, wParam, lParam, &strength);
        if (action > 0) HandleAction(play, action, strength);
        return 1;
    }
    if (message == sys::WM_KEYUP && IsPauseKey(wParam)) {
        if (!play.defeat.Ended(play.time) && !play.win.Ended(play.time)) OpenPause();
        return 1;
    }
    if (message == sys::WM_MOUSEMOVE) {
        const int px = PointerX(lParam);
        const int py = PointerY(lParam);
        if (px != kScreenWidth / 2 || py != kScreenHeight / 2) {
            if (CurrentPlaySetup().display) sys::SetCursorPos(kScreenWidth / 2, kScreenHeight / 2);
            Turn(play, float(kScreenWidth / 2 - px));
        }
        return 1;
    }
    if ((message == sys::WM_SIZE || message == sys::WM_ACTIVATEAPP) && !ActiveFlag) {
        OpenPause();
        return 1;
    }
    return 0;
}

float GameScreen::SceneLevel() const {
    if (play.fadeOut.Started(play.time)) return play.fadeOut.Progress(play.time);
    if (play.fadeIn.Running(play.time)) return 1.0f - play.fadeIn.Progress(play.time);
    return 0.0f;
}

int GameScreen::Update(float dt) {
    if (DifficultyChanged) RereadDifficulty();
    HideCursor();
    clock += dt;
    play.time += rnd(dt);
    scene_->UpdateBackdrop(dt);
    const Playfield& field = play.field;
    surfaceY = rnd((DangerLine() + kWaterSurfaceLift) * (1.0f - play.defeat.Progress(play.time))) +
               field.originY;
    const float risingX = float(play.field.RandB(field.W) + field.originX + 8);
    scene_->UpdateWater(dt, risingX, float(field.gunY + field.originY), surfaceY, field.originX);
    scene_->UpdateHero(dt);

    if (!play.fadeOut.Started(play.time))
        SetAmbientVolume(kAmbientLow +
                         (1.0f - kAmbientLow) * (1.0f - play.fadeIn.Progress(play.time)));
    else
        SetAmbientVolume(kAmbientLow + (1.0f - kAmbientLow) * play.fadeOut.Progress(play.time));

    if (play.win.Ended(play.time)) {
        LeaveForLevelUp(); // this screen is gone
        return 0;
    }
    AdvanceRecords(play, dt);
    AdvanceRing(play, dt);
    if (play.intro.Ended(play.time) && !play.go.Started(play.time)) {
        play.go.Start(float(play.time), kGoMs);
        HeroEvent(kHeroGo);
        if (CurrentPlaySetup().display) SwitchMusic(kGameplayMusic, true, true);
    }
    if (play.banner.Ended(play.time) && !play.fadeOut.Started(play.time)) {
        play.fadeOut.Start(float(play.time), kFadeMs);
        Sound("field_off");
    }
    if (!play.Ended() && play.intro.Ended(play.time)) {
        PlayTime += rnd(dt);
        if (!play.FreezeRunning())
            play.field.Descend(dt);
        else
            FreezeTick(play, dt);
        EndCheck();
    }
    return 0;
}

// Defeat is checked before the score, so a shot that crosses the danger line loses even when it
// reaches the target.
void GameScreen::EndCheck() {
    const float danger = DangerLine();
    bool warning = false;
    for (const Bubble& b : play.field.list) {
        if (b.state != Settled) continue;
        if (b.y >= danger) {
            play.defeat.Start(float(play.time), kDefeatMs);
            if (CurrentPlaySetup().display) SwitchMusic(kGameOverMusic, false, true);
            HeroEvent(kHeroDefeat);
            return;
        }
        if (b.y >= danger - kWarningBand) warning = true;
    }
    if (Score >= Target()) {
        play.win.Start(float(play.time), kWinMs);
        play.banner.Start(float(play.time), kBannerMs);
        if (::Sound* music = CurrentMusic()) music->Stop();
        HeroEvent(kHeroWin);
        return;
    }
    if (warning) HeroEvent(kHeroWarning);
}

void GameScreen::LeaveForLevelUp() {
    SetAmbientVolume(1.0f);
    OpenLevelUp(play.level + 1, PlayTime - playTimeAtStart, BestShot);
}

void GameScreen::EndGame() {
    SetAmbientVolume(1.0f);
    PlayTime = kLostPlayTime;
    if (CurrentPlaySetup().display) SwitchMusic(kTitleMusic, true, true);
    RunEndOfGame(); // replaces every screen, this one included
}

int GameScreen::Draw() {
    if (!RenderSurface) return 0;
    Sprite& target = *RenderSurface;
    if (BubbleSetChanged && sprites_) {
        BubbleSetChanged = 0;
        sprites_->LoadBubbleSet(CurrentBubbleSet());
    }
    const Playfield& field = play.field;
    const float q = SceneLevel();
    const int sceneTop = rnd(float(kScreenHeight - field.originY) * q) + field.originY;
    scene_->DrawBackdrop(field.originX, sceneTop, field.W, field.H, sceneTop);

    target.clip.top = int16_t(std::clamp(sceneTop, 0, kScreenHeight));
    if (background_) target.DrawSprite(field.originX, field.originY, background_, 0, 0.0f);
    if (sprites_) DrawRecords(play, *sprites_);
    scene_->DrawRisingBubbles();
    DrawWaterSurface();
    if (sprites_) {
        DrawAimGuide(play, *sprites_);
        DrawLauncher(play, *sprites_);
    }
    target.clip.top = 0;
    if (sprites_) DrawNextBubble(play, *sprites_);

    DrawBeam(q);
    DrawSidePanels();
    DrawGauge();
    DrawBanners();
    scene_->DrawHero();
    return 0;
}

void GameScreen::DrawWaterSurface() {
    const Playfield& field = play.field;
    if (!wave_) return;
    for (int i = 0; 2 * i + 2 <= field.W; ++i) {
        const int x = field.originX + 2 * i;
        const int top = surfaceY + scene_->WaterHeight(i) / 8;
        RenderSurface->BlitRect(x, top, 2, wave_->frameHeight, wave_, 2 * i, 0, OP_ALPHA, 0.0f);
        RenderSurface->FillRect(x, top + wave_->frameHeight, x + 2, kScreenHeight, kWaterFill);
    }
}

void GameScreen::DrawBeam(float q) {
    if (!beam_) return;
    const int h = beam_->frameHeight;
    const int bottom = play.field.originY + rnd(float(h - play.field.originY + kScreenHeight) * q);
    RenderSurface->DrawSprite((kBeamCentre - beam_->width) / 2, bottom - h, beam_, 0, 0.0f);
}

void GameScreen::DrawSidePanels() {
    if (!sidePanel_) return;
    const int x = kScreenWidth - sidePanel_->width;
    const int h = sidePanel_->frameHeight;
    const std::string score = std::to_string(Score);
    const struct {
        int top;
        const std::string& caption;
        const std::string& value;
    } panels[] = {{0, scoreCaption_, score}, {h, levelCaption_, levelText}};
    for (const auto& panel : panels) {
        RenderSurface->DrawSprite(x, panel.top, sidePanel_, OP_ALPHA, 0.0f);
        if (!MenuFont) continue;
        DrawText(RenderSurface, MenuFont, x + sidePanel_->width / 2, panel.top + kCaptionDrop,
                 panel.caption.c_str(), 0.0f, 0, 0);
        DrawText(RenderSurface, MenuFont, x + sidePanel_->width / 2, panel.top + kValueDrop,
                 panel.value.c_str(), 0.0f, 0, 0);
    }
}

void GameScreen::DrawGauge() {
    if (!gauge_) return;
    float f = 1.0f;
    const int64_t span = Target() - PreviousTarget();
    if (span > 0) f = float(double(Score - PreviousTarget()) / double(span));
    if (play.fadeOut.Started(play.time)) f = 1.0f - play.fadeOut.Progress(play.time);
    f = std::clamp(f, 0.0f, 1.0f);
    const int h = gauge_->frameHeight;
    const int rows = rnd(f * float(h));
    if (rows <= 0) return;
    RenderSurface->BlitRect(kGaugeX, kGaugeBottom + h - rows, gauge_->width, rows, gauge_, 0,
                            h - rows, 0, 0.0f);
}

void GameScreen::DrawBanners() {
    const Playfield& field = play.field;
    auto centred = [&](Sprite* banner) {
        scene_->DrawWavy(banner, field.originX + (field.W - banner->width) / 2,
                         (kScreenHeight - banner->frameHeight) / 2, float(play.time));
    };
    if (defeatBanner_ && play.defeat.Started(play.time)) centred(defeatBanner_);
    if (levelUpBanner_ && play.banner.Started(play.time)) centred(levelUpBanner_);
}

void StartLevel(int level) {
    ReplaceAllScreens(std::make_unique<GameScreen>(level));
}
