// Variable substitution over arbitrary text, with variables that refer to each other.
#include <cstddef>
#include <cstdint>
#include <string>

#include "SYS/msgbox.h"
#include "install/expand.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static bool quiet = [] {
        sys::SetMessageBoxResponder(
            [](const std::string&, const std::string&, unsigned) { return sys::IDOK; });
        return true;
    }();
    (void)quiet;
    inst::InstallerApp app;
    const std::string text(reinterpret_cast<const char*>(data), size);
    // The first line holds the values of A and B, the rest is expanded.
    const size_t split = text.find('\n');
    const std::string values = split == std::string::npos ? std::string() : text.substr(0, split);
    const size_t bar = values.find('|');
    app.variables["A"] = values.substr(0, bar);
    app.scriptParams["B"] = bar == std::string::npos ? std::string() : values.substr(bar + 1);
    const std::string out =
        inst::ExpandText(app, split == std::string::npos ? text : text.substr(split + 1));
    if (out.size() > inst::kMaxExpandedLength + size) __builtin_trap();
    return 0;
}
