// The shared values of the game in progress that the menus read and reset.
#pragma once

extern int GameRunning; // 1 while a game object exists; menu pages then return to the pause menu
extern int Paused;      // set whenever the pause menu or a page opened from it is pushed
extern int Score;
extern int PlayTime; // ms
extern int BestShot;
extern int DifficultyChanged; // set by the options screen, read by the game
extern int BubbleSetChanged;
