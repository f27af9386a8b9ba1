// The script interpreter: runs a text of command lines forwards (install) or backwards
// (uninstall log) in one of two passes, and writes the uninstall log.
#pragma once
#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>

#include "install/app.h"
#include "install/scriptline.h"

namespace inst {

// Gets the consumed fraction after each line; false stops the run.
using ProgressCallback = std::function<bool(double fraction)>;

class ScriptRunner {
public:
    explicit ScriptRunner(InstallerApp& app);
    ~ScriptRunner();
    ScriptRunner(const ScriptRunner&) = delete;
    ScriptRunner& operator=(const ScriptRunner&) = delete;

    // Appends to the log (created if missing) and writes its three header lines; an empty path
    // means no log. False when the file cannot be opened.
    bool OpenLog(const std::string& path);
    // paramPass true runs the ParamPass, false the WorkPass.
    bool Run(const char* text, size_t length, bool backwards, bool paramPass,
             const ProgressCallback& progress);
    // One PrmSet line per ScriptParams entry, then the log is closed.
    void FinishLog();

    void WriteLogToken(const std::string& text);
    void EndLogLine();
    void WriteLogLine(std::initializer_list<std::string> tokens);

    InstallerApp& app;
    bool logging = false;
    bool atLineStart = true;
    // The NT family records delayed operations with the host; the other family uses wininit.ini.
    bool isNT = true;
    bool filesProcessed = false;
    // Set while a line whose expansion reported an error runs: it writes no undo line, since
    // what such a line would name is not what the script meant.
    bool expansionFailed = false;
    // Set while a package's script runs: FilesProcess extracts the package's files with it
    // (source folder, destination folder, overwrite).
    std::function<bool(const std::string&, const std::string&, bool)> extractFiles;
    bool HasLog() const { return log_ != nullptr; }
    // The log's length before this run appended to it: where this run's section starts.
    uint64_t LogStart() const { return logStart_; }

private:
    bool RunLine(const char* line, size_t length, bool paramPass);
    FILE* log_ = nullptr;
    uint64_t logStart_ = 0;
};

// How a value is written into a log so that reading it back, which expands it, gives the same
// text: '%' as "%%", and '#' and the control characters (a line break would end the line) as
// "%~HH%" with the byte in hex.
std::string LogEscape(const std::string& text);

// OpenLog, the ParamPass and, when it succeeded, the WorkPass, then the parameter lines.
bool RunCompleteScript(InstallerApp& app, const std::string& text, const std::string& logPath,
                       bool backwards);

} // namespace inst
