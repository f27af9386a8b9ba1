#include "BASE/errlog.h"

#include <cstdint>
#include <cstdio>
#include <ctime>
#include <mutex>

#include "BASE/settings.h"
#include "BASE/user_files.h"
#include "SYS/files.h"

namespace {

// Plain values without a destructor: a record written while other globals are destroyed still
// finds them intact, and the C run-time closes the stream at exit (every write is flushed).
FILE* g_logFile = nullptr;
bool g_headerWritten = false;
// The sound thread logs the failures of its refills too: one writer at a time, so the log is
// opened once and a record and the text that completes it stay together.
std::mutex g_logLock;

void WriteHeader(FILE* file) {
    std::fprintf(file, "------------------- Compilation data: %s time: %s -------------------\n",
                 __DATE__, __TIME__);
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    std::fprintf(file,
                 "------------------- Run data: %d:%d:%d time: %d:%d:%d -------------------\n",
                 local.tm_mday, local.tm_mon + 1, local.tm_year + 1900, local.tm_hour, local.tm_min,
                 local.tm_sec);
}

// Opens in append mode; the header pair is written once per run.
bool OpenLog() {
    if (g_logFile) return true;
    g_logFile = sys::OpenFile(UserFilePath(kErrorLogFile), "a");
    if (!g_logFile) return false;
    if (!g_headerWritten) {
        g_headerWritten = true;
        WriteHeader(g_logFile);
    }
    return true;
}

void WriteRecord(long value, const char* expression, const char* sourcePath, int line) {
    if (!OpenLog()) return;
    std::fprintf(g_logFile, "%s line: %d  -  %s = %ld\n", sourcePath, line, expression,
                 long(int32_t(uint32_t(value))));
    std::fflush(g_logFile);
}

void WriteText(const char* text) {
    if (!text || !OpenLog()) return;
    std::fputs(text, g_logFile);
    std::fflush(g_logFile);
}

void CloseLog() {
    if (g_logFile) std::fclose(g_logFile);
    g_logFile = nullptr;
}

} // namespace

void LogFailure(long value, const char* expression, const char* sourcePath, int line) {
    std::lock_guard<std::mutex> hold(g_logLock);
    WriteRecord(value, expression, sourcePath, line);
}

void LogText(const char* text) {
    std::lock_guard<std::mutex> hold(g_logLock);
    WriteText(text);
}

void LogFailureWithText(long value, const char* expression, const char* sourcePath, int line,
                        const char* text) {
    std::lock_guard<std::mutex> hold(g_logLock);
    WriteRecord(value, expression, sourcePath, line);
    WriteText(text);
}

void CloseErrorLog() {
    std::lock_guard<std::mutex> hold(g_logLock);
    CloseLog();
}

void StartNewErrorLogRunForTesting() {
    std::lock_guard<std::mutex> hold(g_logLock);
    CloseLog();
    g_headerWritten = false;
}
