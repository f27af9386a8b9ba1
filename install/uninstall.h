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

// The receipt beside a log: the text after the last '.' of the log's file name replaced by
// "hdr" ("hdr" appended when the name has none).
std::string ReceiptPathOf(const std::string& logPath);
// True for a text that begins with the section header every uninstall log we write opens with;
// any other file is refused by UninstallOne, so a file mistaken for a log deletes nothing.
bool IsUninstallLog(const std::string& text);
BackwardsResult RunLogBackwards(InstallerApp& app, const std::string& logPath,
                                const ProgressCallback& progress);
// Exit code 0 or 4.
int UninstallOne(InstallerApp& app, const std::string& logPath);
// Always 0.
int UninstallAll(InstallerApp& app);

} // namespace inst
