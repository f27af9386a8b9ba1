// What the platform layer's own modules share about the main window.
#pragma once
#include <SDL.h>

namespace sys {

// The SDL window behind the main window, or null (for message boxes' parent and for tests).
SDL_Window* MainSdlWindow();

// Minimises and restores the window, which brings it to the front.
void BringMainWindowToFront();

// Answers the requests of copies started after this one (non-blocking; called by the pump).
void ServeFrontRequests();
// How many such requests this process has answered.
int FrontRequestsServed();

} // namespace sys
