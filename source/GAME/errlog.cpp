#include "GAME/errlog.h"

#include <cstdio>
#include <ctime>

#include "SYS/files.h"

namespace {

constexpr const char* kLogName = "gerr.log";

struct ErrorLog {
    FILE* file = nullptr;
    bool headerWritten = false;

    ~ErrorLog() {
        if (file) std::fclose(file);
    }

    // Opens in append mode; the header pair is written once per run.
    bool Open() {
        if (file) return true;
        file = sys::OpenFile(kLogName, "a");
        if (!file) return false;
        if (!headerWritten) {
            headerWritten = true;
            std::fprintf(file,
                         "------------------- Compilation data: %s time: %s -------------------\n",
                         __DATE__, __TIME__);
            std::time_t now = std::time(nullptr);
            std::tm local{};
            localtime_r(&now, &local);
            std::fprintf(file,
                         "------------------- Run data: %d:%d:%d time: %d:%d:%d "
                         "-------------------\n",
                         local.tm_mday, local.tm_mon + 1, local.tm_year + 1900, local.tm_hour,
                         local.tm_min, local.tm_sec);
        }
        return true;
    }
};

ErrorLog g_log;

} // namespace

void LogFailure(long value, const char* expression, const char* sourcePath, int line) {
    if (!g_log.Open()) return;
    std::fprintf(g_log.file, "%s line: %d  -  %s = %ld\n", sourcePath, line, expression, value);
    std::fflush(g_log.file);
}

void LogText(const char* text) {
    if (!g_log.Open()) return;
    std::fputs(text, g_log.file);
    std::fflush(g_log.file);
}

void CloseErrorLog() {
    if (g_log.file) std::fclose(g_log.file);
    g_log.file = nullptr;
}
