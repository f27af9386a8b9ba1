// The installer's one application object and the maps of named values every script and
// message draws on.
#pragma once
#include <map>
#include <string>

#include "install/skin.h"
#include "install/stringtable.h"

namespace inst {

// Names compare exactly; the map's order is the order parameter lines are written in.
using NameMap = std::map<std::string, std::string>;

enum InstallerFlag : unsigned {
    kRebootPending = 1u << 0,
    kDelayedOpsAllowed = 1u << 1,
};

struct InstallerApp {
    NameMap variables;
    NameMap scriptParams;
    // Both maps as they were before a further package's information file was read.
    NameMap savedVariables;
    NameMap savedParams;
    // The variables as the machine gave them at start-up: such a value expands to itself (it
    // is a path or a name, not a text with references), as long as nothing has replaced it.
    NameMap machineValues;
    unsigned flags = 0;
    StringTable strings;
    Skin skin;
    // The folder and file of the installer's own executable (host path).
    std::string exePath;
};

} // namespace inst
