#include "screen_pages.h"

#include <algorithm>
#include <cstdio>

#include "BASE/settings.h"
#include "BASE/user_files.h"
#include "GAME/Screen.h"
#include "GAME/controls_screen.h"
#include "GAME/game_ini.h"
#include "GAME/game_state.h"
#include "GAME/help.h"
#include "GAME/hero.h"
#include "GAME/highscore.h"
#include "GAME/input.h"
#include "GAME/levelup_screen.h"
#include "GAME/menu.h"
#include "GAME/options.h"
#include "GAME/run.h"
#include "GAME/waterfall_backdrop.h"
#include "GRAPH/font.h"
#include "SOUND/Gsound.h"
#include "ini_file.h"
#include "picture.h"

namespace content {

namespace {

// Long enough for every opening transition and for the hero to have started its greeting.
constexpr int kSettleTicks = 150;

// The game in progress that the level-up, name-entry and pause screens report on.
void SampleGame() {
    Score = 15300;
    PlayTime = 125000;
    BestShot = 1250;
    LoadProgress = 1.0f;
}

const std::vector<SheetScreen>& SheetScreens() {
    static const std::vector<SheetScreen> screens = {
        {kLoadingIni, [] { return MakeLoadingScreen(); }},
        {"DATA\\logo.ini", [] { return MakeTitleScreen(); }},
        {"DATA\\main.ini", [] { return MakeMainMenu(); }},
        {"DATA\\relax.ini", [] { return MakeRelaxPage(); }},
        {"DATA\\menu.ini", [] { return MakePauseMenu(); }},
        {"DATA\\abort.ini", [] { return MakeAbortConfirmation(); }},
        {"DATA\\exit.ini", [] { return MakeExitScreen(); }},
        {"DATA\\option.ini", [] { return MakeOptionsScreen(); }},
        {"DATA\\redefine.ini", [] { return MakeRedefineScreen(); }},
        {kKeyDialogIni, [] { return MakeKeyDialog(1); }},
        {"DATA\\score.ini", [] { return MakeHighscoreScreen(0, -1); }},
        {"DATA\\clear.ini", [] { return MakeClearConfirmation(); }},
        {"DATA\\name.ini", [] { return MakeNameEntry(); }},
        {kLevelUpIni, [] { return MakeLevelUpScreen(4, 125000, 1250); }},
        {kHelpIni, [] { return MakeHelpScreen(0); }},
    };
    return screens;
}

} // namespace

const SheetScreen* FindSheetScreen(const std::string& descriptionFile) {
    for (const SheetScreen& s : SheetScreens())
        if (EqualsIgnoringCase(s.file, descriptionFile)) return &s;
    return nullptr;
}

void LoadScreenResources() {
    ReadGameIni();
    // The option screen's sliders show the sound channels' volumes.
    SetChannelVolume(GetIniFloat(kGameIni, "main", "sound"), 0);
    SetChannelVolume(GetIniFloat(kGameIni, "main", "music"), 1);
    SetChannelVolume(GetIniFloat(kGameIni, "main", "ambient"), 2);
    ScanBubbleSets();
    LoadBindings(UserFilePath(kControlsIni).c_str());
    MenuFont = LoadFont(kMenuFontFile);
    LoadMenuPictures();
}

void ReleaseScreenResources() {
    ReplaceAllScreens(nullptr);
    TheHero.release();
    TheHero = Hero{};
    Backdrop.release();
    Backdrop = WaterfallBackdrop{};
    ReleaseMenuPictures();
    if (MenuFont) ReleaseFont(MenuFont);
    MenuFont = nullptr;
}

void RestartScene() {
    Backdrop.release();
    Backdrop = WaterfallBackdrop{};
    Backdrop.create();
    TheHero.release();
    TheHero = Hero{};
    TheHero.load();
}

void RenderScreen(Canvas& canvas, const SheetScreen& screen, int ticks) {
    ReplaceAllScreens(screen.make());
    Widget& root = RootWidget();
    const float period = float(1000.0 / LogicFPS);
    for (int i = 0; i < ticks && root.ChildCount() > 0; ++i) root.Update(period);
    {
        DrawingInto into(canvas);
        canvas->FillRect(0, 0, canvas.Width(), canvas.Height(), 0xff000000);
        root.Draw();
    }
    ReplaceAllScreens(nullptr);
}

bool DrawScreenPages(const std::vector<std::string>& descriptionFiles, const std::string& outDir) {
    SampleGame();
    LoadScreenResources();
    const int perPage = 4, gap = 10, top = 30;
    bool ok = true;
    for (size_t first = 0; first < descriptionFiles.size() && ok; first += perPage) {
        Canvas page(2 * 640 + 3 * gap, 2 * (480 + top) + gap);
        page->FillRect(0, 0, page.Width(), page.Height(), 0xffdde6ee);
        for (size_t i = first; i < std::min(descriptionFiles.size(), first + perPage); ++i) {
            const SheetScreen* screen = FindSheetScreen(descriptionFiles[i]);
            if (!screen) {
                std::fprintf(stderr, "content_sheet: no screen of the game reads %s\n",
                             descriptionFiles[i].c_str());
                ok = false;
                continue;
            }
            const int col = int((i - first) % 2), row = int((i - first) / 2);
            const int x = gap + col * (640 + gap), y = top + row * (480 + top);
            RestartScene();
            Canvas shot(640, 480);
            RenderScreen(shot, *screen, kSettleTicks);
            page->BlitRect(x, y, 640, 480, shot.get(), 0, 0, 0, 0);
            DrawText(page.get(), MenuFont, x, y - 4, screen->file.c_str(), 0.0f, -1, 1);
        }
        ok = ok && WritePng(page.ToImage(), outDir + "/contact-screens-" +
                                                std::to_string(first / perPage + 1) + ".png");
    }
    ReleaseScreenResources();
    return ok;
}

} // namespace content
