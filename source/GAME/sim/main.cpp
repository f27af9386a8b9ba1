#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

#include "GAME/sim/simulator.h"

int main(int argc, char** argv) {
    SimOptions options;
    std::vector<ScriptCommand> script;
    std::string error;
    if (!ParseSimArguments(argc, argv, options, error) ||
        (!options.script.empty() && !ReadScriptFile(options.script, script, error))) {
        std::fprintf(stderr, "reefpop-sim: %s\n%s", error.c_str(), kSimUsage);
        return 2;
    }
    std::ios::sync_with_stdio(false);
    RunSimulation(options, script, std::cout);
    std::cout.flush();
    return 0;
}
