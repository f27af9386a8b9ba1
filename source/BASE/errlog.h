// gerr.log: failures of system calls are appended there, never shown to the player. The log is
// opened by the first record of a run, so a run without failures leaves no trace.
#pragma once

// Writes one record: "<source> line: <line>  -  <expression> = <value>\n" (after the run's
// two header lines if this is the run's first record). Result codes were 32-bit on Windows, so
// the value is written as a signed 32-bit number (an HRESULT such as 0x887601C2 is negative).
void LogFailure(long value, const char* expression, const char* sourcePath, int line);
// Writes text without a line break (the symbolic name after a DirectDraw-style record).
void LogText(const char* text);
// A record and the text that completes it, with no other thread's record between them. Every
// write is serialised: the sound thread logs its refill failures too.
void LogFailureWithText(long value, const char* expression, const char* sourcePath, int line,
                        const char* text);
// Closes the log; the next record of the run reopens it without a new header.
void CloseErrorLog();
// Tests: closes the log and makes the next record start a new run with its own header pair.
void StartNewErrorLogRunForTesting();

// Evaluates a result code once and logs it when non-zero; yields the code.
#define ERR_CHECK(expr)                                                                            \
    ([&]() -> long {                                                                               \
        long err_check_value_ = long(expr);                                                        \
        if (err_check_value_ != 0) LogFailure(err_check_value_, #expr, __FILE__, __LINE__);        \
        return err_check_value_;                                                                   \
    }())

// Like ERR_CHECK, and also writes the code's symbolic name from `nameOf` (no line break).
#define ERR_CHECK_NAMED(expr, nameOf)                                                              \
    ([&]() -> long {                                                                               \
        long err_check_value_ = long(expr);                                                        \
        if (err_check_value_ != 0)                                                                 \
            LogFailureWithText(err_check_value_, #expr, __FILE__, __LINE__,                        \
                               nameOf(err_check_value_));                                          \
        return err_check_value_;                                                                   \
    }())
