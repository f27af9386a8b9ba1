// What the machine offers a game, measured the Linux way for the requirement check.
#pragma once
#include <string>

#include "install/requirements.h"

namespace host {

// The processor, graphics and sound, memory, system and web browser are measured once per run
// (the processor's speed takes 750 ms); the free space of the file system that holds gamesFolder
// (a host path, which need not exist yet) at every call.
inst::SystemInfo MeasureSystem(const std::string& gamesFolder);

// The free space, in MB, of the file system that holds the folder or its nearest existing parent.
int64_t FreeDiskMB(const std::string& folder);

} // namespace host
