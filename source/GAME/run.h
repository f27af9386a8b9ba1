// The game program's entry point and heartbeat: start-up, the main loop, shutdown.
#pragma once

// Runs the whole life cycle and returns the exit code (0).
int WinMain(int argc, char** argv);
