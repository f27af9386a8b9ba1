// Running a helper program of the desktop and reading what it prints (a chooser's answer).
#pragma once
#include <string>
#include <vector>

namespace host {

// True when `program` (a bare name) is an executable file in a folder of PATH.
bool OnPath(const std::string& program);

// Runs argv (argv[0] looked up on PATH), waits for it and collects its standard output (at most
// maxOutput bytes are kept). False when it could not be started or did not exit normally;
// otherwise *exitCode is its exit status.
bool RunForOutput(const std::vector<std::string>& argv, std::string* output, int* exitCode,
                  size_t maxOutput = 65536);

} // namespace host
