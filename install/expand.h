// Variable substitution: "%NAME%" or "#NAME#" (either delimiter may open or close) is replaced
// by the value from ScriptParams, else from Variables (which is then copied into ScriptParams);
// an empty reference such as "%%" is a literal per-cent sign. Values are rescanned until a pass
// replaces nothing.
#pragma once
#include <string>

#include "install/app.h"

namespace inst {

// Passes, and growth beyond the text's own length, after which a value that keeps referring to
// itself stops being rescanned. A text that does not recurse is never cut.
constexpr int kMaxExpandPasses = 32;
constexpr size_t kMaxExpandedLength = 64u << 10;

// Unknown names and runaway self-references are reported by message box and set *failed. A
// value the machine gave (InstallerApp::machineValues) is inserted as it stands and never
// rescanned; "%~HH%" (two hex digits) is the byte HH, the form logs keep '#' and line breaks in.
std::string ExpandText(InstallerApp& app, const std::string& text, bool* failed = nullptr);

} // namespace inst
