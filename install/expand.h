// Variable substitution: "%NAME%" or "#NAME#" (either delimiter may open or close) is replaced
// by the value from ScriptParams, else from Variables (which is then copied into ScriptParams);
// an empty reference such as "%%" is a literal per-cent sign. Values are rescanned until a pass
// replaces nothing.
#pragma once
#include <string>

#include "install/app.h"

namespace inst {

// Passes and length after which a value that keeps referring to itself stops being rescanned.
constexpr int kMaxExpandPasses = 32;
constexpr size_t kMaxExpandedLength = 64u << 10;

// Unknown names and runaway self-references are reported by message box.
std::string ExpandText(InstallerApp& app, const std::string& text);

} // namespace inst
