#include "GAME/menu.h"

#include <iterator>

#include "BASE/settings.h"
#include "GAME/game_ini.h"
#include "GAME/game_screen.h"
#include "GAME/game_state.h"
#include "GAME/help.h"
#include "GAME/hero.h"
#include "GAME/highscore.h"
#include "GAME/options.h"
#include "GAME/run.h"
#include "GAME/waterfall_backdrop.h"
#include "GRAPH/Sprite.h"
#include "SOUND/Gsound.h"
#include "SOUND/music.h"

namespace {

constexpr const char* kLogoIni = "DATA\\logo.ini";
constexpr const char* kRelaxIni = "DATA\\relax.ini";
constexpr const char* kAbortIni = "DATA\\abort.ini";
constexpr const char* kExitIni = "DATA\\exit.ini";
constexpr const char* kTitlePicture = "DATA\\game.tga";
constexpr int kMainMenuDrop = 40;
constexpr int kTitleX = 125, kTitleY = 80;
constexpr int kFirstMenuEvent = 4; // start 4 ... exit 9

bool IsAnyKeyOrClick(unsigned message) {
    return message == sys::WM_KEYDOWN || message == sys::WM_LBUTTONDOWN;
}

class LoadingScreen : public Screen {
public:
    LoadingScreen() : Screen(kLoadingIni, 0) {
        AddLabel("logo");
        press_ = AddLabel("press");
        press_->hidden = 1;
        bar_ = AddFromFile(std::make_unique<Slider>(), "loading", STATE_NORMAL);
        bar_->SetValue(0.0f);
        FocusFirst(0);
        transitionStart = 0.0f;
    }

    int Update(float elapsedMs) override {
        if (bar_->GetValue() < LoadProgress) bar_->SetValue(LoadProgress);
        if (bar_->GetValue() >= 1.0f) press_->hidden = 0;
        if (clock > kLoadingTimeoutMs) {
            HandleMessage(sys::WM_KEYDOWN, 0, 0); // as if a key had been pressed
            return 1;
        }
        Widget::Update(elapsedMs);
        return 1;
    }

    int HandleMessage(unsigned message, sys::WPARAM, sys::LPARAM) override {
        if (LoadProgress < 1.0f || !IsAnyKeyOrClick(message)) return 0;
        ReplaceScreen(this, MakeTitleScreen());
        return 1;
    }

private:
    Widget* bar_ = nullptr;
    Widget* press_ = nullptr;
};

// A page that gives way to the next screen at the first key or click.
class KeyPage : public Screen {
public:
    using Next = std::unique_ptr<Screen> (*)();
    KeyPage(const char* descriptionFile, Next next) : Screen(descriptionFile, 0), next_(next) {}

    int HandleMessage(unsigned message, sys::WPARAM, sys::LPARAM) override {
        if (!IsAnyKeyOrClick(message)) return 0;
        if (next_)
            ReplaceScreen(this, next_());
        else
            ReplaceAllScreens(nullptr); // the program ends after the next logic tick
        return 1;
    }

private:
    Next next_;
};

class MainMenu : public Screen {
public:
    MainMenu() : Screen(kMainMenuIni, 1) {
        for (const char* section : {"start", "option", "help", "score", "relax", "exit"})
            AddButton(section);
        ShiftDown(kMainMenuDrop);
        title_ = LoadSprite(kTitlePicture, nullptr, false);
        if (title_) title_->AddRef();
        FocusFirst(0);
        transitionStart = clock;
    }
    ~MainMenu() override {
        if (title_) title_->Release();
    }

    int Draw() override {
        Screen::Draw();
        drawWavy(title_, kTitleX, kTitleY, clock);
        return 0;
    }

    int OnFocusChanged() override {
        if (currentIndex >= 0) TheHero.event(kFirstMenuEvent + currentIndex);
        return 0;
    }

    void OnResult() override {
        switch (result) {
        case 0: StartNewGame(); break;
        case 1: ReplaceScreen(this, MakeOptionsScreen()); break;
        case 2: ReplaceScreen(this, MakeHelpScreen(GameType)); break;
        case 3: ReplaceScreen(this, MakeHighscoreScreen(GameType, -1)); break;
        case 4: ReplaceScreen(this, MakeRelaxPage()); break;
        default: ReplaceAllScreens(MakeExitScreen()); break;
        }
    }

private:
    Sprite* title_ = nullptr;
};

bool IsPauseKey(sys::WPARAM key) {
    return key == sys::VK_PAUSE || key == 'P';
}

class PauseMenu : public Screen {
public:
    PauseMenu() : Screen(kInGameMenuIni, 1) {
        AddWideButton("resume");
        for (const char* section : {"options", "help", "score", "abort", "exit"})
            AddButton(section);
        Paused = 1;
        FocusFirst(0);
        escapeIndex = 0;
        transitionStart = clock;
    }

    int HandleMessage(unsigned message, sys::WPARAM wParam, sys::LPARAM lParam) override {
        if (IsPauseKey(wParam) && message == sys::WM_KEYDOWN) {
            MoveFocus(escapeIndex, 0);
            return InTransition() ? 0 : Button::HandleMessage(sys::WM_KEYDOWN, sys::VK_SPACE, 0);
        }
        if (IsPauseKey(wParam) && message == sys::WM_KEYUP) {
            if (InTransition() || currentIndex != escapeIndex) return 0;
            return Button::HandleMessage(sys::WM_KEYUP, sys::VK_SPACE, 0) ? 1 : 0;
        }
        return Screen::HandleMessage(message, wParam, lParam);
    }

    int OnFocusChanged() override {
        static const int kEvents[] = {11, 5,  6,
                                      7,  12, 9}; // resume, options, help, score, abort, exit
        if (currentIndex >= 0 && currentIndex < int(std::size(kEvents)))
            TheHero.event(kEvents[currentIndex]);
        return 0;
    }

    void OnResult() override {
        std::unique_ptr<Screen> next;
        switch (result) {
        case 0: break;
        case 1: next = MakeOptionsScreen(); break;
        case 2: next = MakeHelpScreen(GameType); break;
        case 3: next = MakeHighscoreScreen(GameType, -1); break;
        case 4: next = MakeAbortConfirmation(); break;
        default: ReplaceAllScreens(MakeExitScreen()); return;
        }
        if (result >= 1 && result <= 3) Paused = 1;
        ReplaceScreen(this, std::move(next));
    }
};

class AbortConfirmation : public Screen {
public:
    AbortConfirmation() : Screen(kAbortIni, 0) {
        AddWideButton("yes");
        AddWideButton("no");
        AddButton("line1"); // enabled: the keys can focus them, and choosing one refuses
        AddButton("line2");
        FocusFirst(1);
        escapeIndex = 1;
        transitionStart = kOpenAtOnce;
    }

    // Acts at once; this screen is gone afterwards.
    int OnChildAction(Widget* child) override {
        if (IndexOf(child) == 0) {
            RunEndOfGame();
        } else {
            ReplaceScreen(this, MakePauseMenu());
        }
        return 1;
    }
};

} // namespace

std::unique_ptr<Screen> MakeLoadingScreen() {
    return std::make_unique<LoadingScreen>();
}

std::unique_ptr<Screen> MakeTitleScreen() {
    auto title = std::make_unique<KeyPage>(kLogoIni, &MakeMainMenu);
    title->AddLabel("logo");
    const char* const lines[] = {"line1", "line2", "line3", "line4",
                                 "line5", "line6", "line7", "line8"};
    for (const char* line : lines) title->AddLabel(line);
    title->transitionStart = title->clock;
    TheHero.event(2); // its birth, followed by the greeting
    return title;
}

std::unique_ptr<Screen> MakeMainMenu() {
    return std::make_unique<MainMenu>();
}

std::unique_ptr<Screen> MakeRelaxPage() {
    auto relax = std::make_unique<KeyPage>(kRelaxIni, &MakeMainMenu);
    relax->transitionStart = kOpenAtOnce;
    TheHero.event(0);
    return relax;
}

std::unique_ptr<Screen> MakePauseMenu() {
    return std::make_unique<PauseMenu>();
}

std::unique_ptr<Screen> MakeAbortConfirmation() {
    return std::make_unique<AbortConfirmation>();
}

std::unique_ptr<Screen> MakeExitScreen() {
    auto exit = std::make_unique<KeyPage>(kExitIni, nullptr);
    exit->AddLabel("logo");
    exit->transitionStart = kOpenAtOnce;
    TheHero.event(0);
    if (Sound* ambient = CurrentAmbient()) ambient->Stop();
    if (Sound* music = CurrentMusic()) music->Stop();
    return exit;
}

void StartNewGame() {
    GameType = 0;
    BestShot = 0;
    Score = 0;
    PlayTime = 0;
    StartLevel(0);
}

void RunEndOfGame() {
    SwitchMusic(kTitleMusic, true, true);
    if (ScoreEntersTable(GameType, Score))
        ReplaceAllScreens(MakeNameEntry());
    else
        ReplaceAllScreens(MakeMainMenu());
}

void ReturnFromPage(Widget* page) {
    ReplaceScreen(page, GameRunning ? MakePauseMenu() : MakeMainMenu());
}
