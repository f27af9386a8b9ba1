// The press-and-release behaviour the skinned push button and check box share: mouse down
// takes the focus, sets pressed and captures the mouse; mouse up while pressed clears it and
// releases the capture; Enter or Space down/up do the same without capture. Losing the focus
// clears focused and pressed, losing the capture clears pressed.
#pragma once
#include <cstdint>

#include "install/ui/controls.h"

namespace ui {

bool IsPressKey(WPARAM virtualKey);

// Applies one message to the control's state byte (redrawing when it changed); true when it
// completed a press.
bool TrackPress(Control& control, uint8_t& state, unsigned message, WPARAM wParam);

} // namespace ui
