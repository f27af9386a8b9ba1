// Whether the installer's windows would reach a user.
#pragma once

namespace host {

// True when a desktop session is there (X11 or Wayland), or a video driver was chosen
// explicitly (SDL_VIDEODRIVER, as the tests' dummy driver is). Without either, the window
// layer would fall back to a screen nobody sees and a wizard would wait for ever.
bool DesktopPresent();

} // namespace host
