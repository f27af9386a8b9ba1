// The help screen: one of three help pages and a spinner to page through them.
#pragma once
#include <memory>

#include "GAME/Screen.h"

constexpr int kHelpPages = 3;

// The help screen showing page `page` (0...2; others show the first).
std::unique_ptr<Screen> MakeHelpScreen(int page);
