// Contact-sheet pages of the menu screens, drawn by the game itself: each screen is built by the
// game's own builder from its description file, shown as the only screen of the root widget over
// the waterfall backdrop with the hero, run through the game's logic ticks and drawn into an
// off-screen back buffer. Run with the game folder as current directory.
#pragma once
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "canvas.h"

class Screen;

namespace content {

// A description file and the game's builder for the screen that reads it, with sample values
// where the game passes some (a level, a mode, a page).
struct SheetScreen {
    std::string file;
    std::function<std::unique_ptr<Screen>()> make;
};
// Every menu screen the game builds, by description file (ignoring case); null for a file no
// builder reads.
const SheetScreen* FindSheetScreen(const std::string& descriptionFile);

// What start-up gives every screen: game.ini's settings and volumes, the bubble sets, the key
// bindings, the menu font and the shared panel frame. ReleaseScreenResources gives them back.
void LoadScreenResources();
void ReleaseScreenResources();
// The backdrop and the hero as start-up leaves them: loaded afresh, their clocks at 0.
void RestartScene();

// Shows the screen alone, runs `ticks` logic ticks at game.ini's rate (the first one at once,
// as the main loop does) and draws the frame into the canvas; every screen is removed after.
void RenderScreen(Canvas& canvas, const SheetScreen& screen, int ticks);

// The screens of the manifest's list, four to a page, as contact-screens-N.png; false (after
// printing why) when a screen has no builder or a page cannot be written.
bool DrawScreenPages(const std::vector<std::string>& descriptionFiles, const std::string& outDir);

} // namespace content
