// The rules of one level as read from the current mode's rule file; absent keys read as 0.
#pragma once

struct LevelParams {
    // Section "main".
    int width = 0;                        // bubbles per row
    int height = 0;                       // rows from the top to the danger line
    int depth = 0;                        // rows generated at level start
    float easy = 0, normal = 0, hard = 0; // difficulty factors
    int MulScore = 0;
    int AddScore = 0;
    // The level's own section.
    int bubble = 0; // number of colours
    int TimeDown =
        0;           // ms per pixel of descent at a full field, already times the difficulty factor
    int LineAdd = 0; // 1: new rows are added at the top
    int BonusShot = 0; // every n-th bubble made carries a bonus; 0 for none
    int downshot = 0;
    int TimeShot = 0;
};
