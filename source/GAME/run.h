// The game program's entry point and heartbeat: start-up, the main loop, shutdown.
#pragma once
#include <string>

#include "SYS/winmsg.h"

class Font;

// Runs the whole life cycle and returns the exit code (0).
int WinMain(int argc, char** argv);

// The life cycle in its three parts, so that tests can put their own screens between them.
// StartUp reads game.ini, creates the window and loads what the screens share; false when another
// copy runs (it has been brought to the front, and nothing else was done).
bool StartUp(int argc, char** argv);
// Ticks and draws the root widget until the quit message; returns its exit code.
int RunMainLoop();
// Tears everything down and writes the settings back to game.ini.
void ShutDown();

// The window procedure of the main window.
sys::LRESULT GameWindowProc(unsigned message, sys::WPARAM wParam, sys::LPARAM lParam);

// Adds `step` to LoadProgress (at most 1.0) and shows one frame. Start-up only.
void AdvanceLoading(float step);

// Folder of the executable, without a trailing separator (the current folder when the command
// line does not name one); the sound modules build full file names from it.
extern std::string ProgramFolder;
extern int ActiveFlag;     // 1 while the game is active and not minimised
extern float LoadProgress; // 0..1 during start-up, read by the loading screen
extern Font* MenuFont;     // DATA\FontMenu.tga, lent to every screen
