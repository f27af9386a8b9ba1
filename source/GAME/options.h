// The options screen: difficulty, bubble set with its preview, display mode, the three volumes
// and the mouse sensitivity, every change applied at once.
#pragma once
#include <memory>

#include "GAME/Screen.h"

std::unique_ptr<Screen> MakeOptionsScreen();
