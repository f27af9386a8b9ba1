#include "GAME/game_state.h"

int GameRunning = 0;
int Paused = 0;
int Score = 0;
int PlayTime = 0;
int BestShot = 0;
int DifficultyChanged = 0;
int BubbleSetChanged = 0;
