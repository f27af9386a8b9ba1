#include "install/unattended.h"

#include <SDL.h>

#include <cstdio>
#include <ctime>
#include <memory>

#include "SYS/msgbox.h"
#include "SYS/textcodec.h"
#include "install/host/session.h"
#include "install/package/packagemode.h"

namespace inst {
namespace {

struct FileCloser {
    void operator()(FILE* file) const { std::fclose(file); }
};

std::unique_ptr<FILE, FileCloser>& Log() {
    static std::unique_ptr<FILE, FileCloser> log;
    return log;
}

int& LoggedPercent() {
    static int percent = -1;
    return percent;
}

void WriteLog(const std::string& line) {
    FILE* log = Log().get();
    if (!log) return;
    char stamp[32];
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    std::strftime(stamp, sizeof stamp, "%Y-%m-%d %H:%M:%S", &local);
    std::fprintf(log, "%s %s\n", stamp, line.c_str());
    std::fflush(log);
}

} // namespace

bool BeginUnattendedRun(const std::string& logPath, std::string* error) {
    if (!logPath.empty()) {
        Log().reset(std::fopen(logPath.c_str(), "a"));
        if (!Log()) {
            *error = "cannot open the log " + logPath;
            return false;
        }
    }
    host::SetUnattended(true);
    // Windows that a mode opens (its progress windows) are made but never shown; programs it
    // starts keep the environment, so they still open on the desktop.
    SDL_SetHint(SDL_HINT_VIDEODRIVER, "dummy");
    sys::SetMessageBoxResponder(
        [](const std::string& text, const std::string& caption, unsigned type) {
            ReportLine(sys::Cp1252ToUtf8(caption) + ": " + sys::Cp1252ToUtf8(text));
            return UnattendedAnswer(type);
        });
    WriteLog("unattended run started");
    return true;
}

int UnattendedAnswer(unsigned type) {
    if ((type & 0xF) == sys::MB_ABORTRETRYIGNORE) return sys::IDABORT;
    return sys::DefaultAnswer(type);
}

void ReportLine(const std::string& line) {
    std::fprintf(stderr, "%s\n", line.c_str());
    WriteLog(line);
}

void LogLine(const std::string& line) {
    WriteLog(line);
}

void LogProgress(int percent) {
    if (percent <= LoggedPercent()) return;
    LoggedPercent() = percent;
    WriteLog("progress " + std::to_string(percent) + "%");
}

int RunUnattendedInstall(InstallerApp& app, int value) {
    const int code = pkg::InstallModePackages(app, value);
    if (code == 0) LogProgress(100); // the bars may stop short of it by rounding
    if (code == 0 && (app.flags & kRebootPending))
        ReportLine("install: restart the computer to complete the installation");
    return code;
}

} // namespace inst
