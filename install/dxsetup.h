// The DirectX set-up step: loads "DSETUP.dll" from a folder, shows its licence, runs it with
// a callback that shows its messages and follows its progress.
#pragma once
#include <string>

namespace inst {

class ScriptRunner;

// Message kinds and the progress record of the set-up library's callback.
constexpr unsigned kDsetupMessage = 10;
constexpr unsigned kDsetupProgress = 18;
constexpr unsigned kDsetupWarning = 19;
constexpr unsigned kDsetupFlagsAll = 0x10018; // core, display and sound drivers

struct DsetupProgress {
    unsigned phase;
    unsigned inPhaseMaximum;
    unsigned inPhaseProgress;
    unsigned overallMaximum;
    unsigned overallProgress;
};

// kind, message-box style, text (or null), progress record (kind 18) -> answer.
using DsetupCallback = unsigned (*)(unsigned kind, unsigned style, const char* text,
                                    const DsetupProgress* progress);

// The command behind DXSetup; runs the retry protocol itself. Success when skipped.
bool RunDirectXSetup(ScriptRunner& runner, const std::string& folder, bool silent,
                     bool showLicence);

} // namespace inst
