#include "install/wizard/finish.h"

#include "install/host/exec.h"

namespace wiz {

std::optional<std::string> ProgramToStart(const inst::NameMap& scriptParams, bool startTicked) {
    const auto it = scriptParams.find(startTicked ? "GEXE" : "LB_EXE");
    if (it == scriptParams.end() || it->second.empty()) return std::nullopt;
    return it->second;
}

bool StartInstalledProgram(const std::string& program) {
    const size_t cut = program.find_last_of("\\/");
    const std::string folder =
        cut == std::string::npos ? std::string() : program.substr(0, cut + 1);
    return host::StartProgram(program, {}, folder, false);
}

} // namespace wiz
