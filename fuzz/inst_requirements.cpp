// Requirement keys and texts from a package's information file: the first lines are "Key=value"
// pairs read as the package's variables, the rest is a text for the placeholder formatter.
#include <cstddef>
#include <cstdint>
#include <string>

#include "install/requirements.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);
    inst::NameMap variables;
    size_t at = 0;
    for (size_t end; (end = input.find('\n', at)) != std::string::npos; at = end + 1) {
        const std::string line = input.substr(at, end - at);
        const size_t equals = line.find('=');
        if (equals == std::string::npos) break;
        variables[line.substr(0, equals)] = line.substr(equals + 1);
    }
    inst::Requirements req;
    inst::ReadRequirementKeys(variables, &req);
    inst::SystemInfo machine;
    inst::AllRequirementsMet(req, machine);
    const std::string text = input.substr(at);
    const std::string out = inst::FormatRequirement(text, req);
    // Every placeholder is at most two characters after "%" and yields a bounded text.
    if (out.size() > text.size() * 128 + 128) __builtin_trap();
    for (const inst::RequirementRow& row : inst::RequirementRows(req)) (void)row;
    return 0;
}
