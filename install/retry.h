// The Abort/Retry/Ignore protocol of commands that can fail for a reason the user may fix.
#pragma once
#include <functional>
#include <string>

#include "install/app.h"

namespace inst {

// A headless run answers with the default button (Retry); after this many retries in a row
// the operation gives up as if Abort had been chosen, so such a run cannot loop for ever.
constexpr int kMaxRetries = 100;

// Runs the operation; on failure shows the message (its "%s" is the argument) with Abort,
// Retry (default) and Ignore. Ignore counts as success, Abort as failure.
bool WithRetry(InstallerApp& app, const char* textKey, const char* titleKey,
               const std::string& argument, const std::function<bool()>& operation);

} // namespace inst
