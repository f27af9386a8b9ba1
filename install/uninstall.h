// Uninstalling: a package's log run backwards, one package or all of them.
#pragma once
#include <string>

#include "install/app.h"
#include "install/script.h"

namespace inst {

struct BackwardsResult {
    bool readable;
    bool succeeded;
};

// The receipt beside a log: the text after the log's last '.' replaced by "hdr".
std::string ReceiptPathOf(const std::string& logPath);
BackwardsResult RunLogBackwards(InstallerApp& app, const std::string& logPath,
                                const ProgressCallback& progress);
// Exit code 0 or 4.
int UninstallOne(InstallerApp& app, const std::string& logPath);
// Always 0.
int UninstallAll(InstallerApp& app);

} // namespace inst
