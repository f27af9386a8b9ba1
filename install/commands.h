// The command table of the script language and its dispatch data.
#pragma once
#include <string>

#include "install/scriptline.h"

namespace inst {

class ScriptRunner;
using CommandHandler = bool (*)(ScriptRunner& runner, const ScriptLine& line);

// passClass: 0 runs in the ParamPass only, 1 in the WorkPass only, 2 in both.
struct CommandEntry {
    const char* name;
    const char* alias; // or null
    CommandHandler handler;
    unsigned minArguments;
    unsigned passClass;
};

// Name, then alias, ignoring case; null when unknown.
const CommandEntry* FindCommand(const std::string& word);

} // namespace inst
