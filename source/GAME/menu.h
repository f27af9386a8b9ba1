// The menu flow: loading, title, main menu, relax page, pause menu, abort confirmation, exit
// screen and the end-of-game step.
#pragma once
#include <memory>

#include "GAME/Screen.h"

constexpr const char* kTitleMusic = "DATA\\SOUND\\music.ogg";
constexpr float kLoadingTimeoutMs = 7000.0f;

std::unique_ptr<Screen> MakeLoadingScreen();
std::unique_ptr<Screen> MakeTitleScreen();
std::unique_ptr<Screen> MakeMainMenu();
std::unique_ptr<Screen> MakeRelaxPage();
std::unique_ptr<Screen> MakePauseMenu();
std::unique_ptr<Screen> MakeAbortConfirmation();
std::unique_ptr<Screen> MakeExitScreen();

// The main menu's `start`: mode arcade, counters reset, every screen removed, a new game.
void StartNewGame();
// After a game over or an abort: the title music comes back, then the name entry when the score
// enters the current mode's table, otherwise the main menu; either replaces all screens.
void RunEndOfGame();
// The return button of the options, help and high-score pages: `page` gives way to the pause
// menu while a game runs, else to the main menu.
void ReturnFromPage(Widget* page);
