#include "install/script.h"

#include "SYS/msgbox.h"
#include "install/commands.h"
#include "install/host/hostfile.h"
#include "install/expand.h"
#include "install/linereader.h"
#include "install/messages.h"

#include "SYS/textcodec.h"
#include "install/host/diskops.h"

#include <ctime>

namespace inst {

ScriptRunner::ScriptRunner(InstallerApp& app) : app(app) {}

ScriptRunner::~ScriptRunner() {
    if (log_) std::fclose(log_);
}

static const char kLogRule[] = ";*************************************";

bool ScriptRunner::OpenLog(const std::string& path) {
    if (path.empty()) return true;
    logStart_ = host::FileSize(host::HostPath(path));
    log_ = std::fopen(host::HostPath(path).c_str(), "ab");
    if (!log_) return false;
    logging = true;
    atLineStart = true;
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    std::fprintf(log_, "%s\r\n;script started at %u/%u/%u %u:%u:%u \r\n%s\r\n", kLogRule,
                 static_cast<unsigned>(local.tm_mday), static_cast<unsigned>(local.tm_mon + 1),
                 static_cast<unsigned>(local.tm_year + 1900), static_cast<unsigned>(local.tm_hour),
                 static_cast<unsigned>(local.tm_min), static_cast<unsigned>(local.tm_sec),
                 kLogRule);
    std::fflush(log_);
    return true;
}

std::string LogEscape(const std::string& text) {
    static const char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (char c : text) {
        const unsigned char byte = static_cast<unsigned char>(c);
        if (c == '%') {
            out += "%%";
        } else if (c == '#' || (byte < 0x20 && c != '\t')) {
            out += "%~";
            out += kHex[byte >> 4];
            out += kHex[byte & 15];
            out += '%';
        } else {
            out += c;
        }
    }
    return out;
}

void ScriptRunner::WriteLogToken(const std::string& value) {
    if (!logging || !log_ || expansionFailed) return;
    const std::string text = value == "=" ? value : LogEscape(value);
    if (!atLineStart) std::fputc(' ', log_);
    atLineStart = false;
    // Besides blanks and quotes, an '=' or a leading '\'' would read back as other tokens; the
    // bare "=" is the named-argument marker the handlers write.
    const bool plain = text == "=" || (text.find_first_of(" \"=") == std::string::npos &&
                                       (text.empty() || text[0] != '\''));
    if (plain) {
        std::fputs(text.c_str(), log_);
        return;
    }
    std::string quoted = "\"";
    for (char c : text) quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
    quoted += '"';
    std::fwrite(quoted.data(), 1, quoted.size(), log_);
}

void ScriptRunner::EndLogLine() {
    if (!logging || !log_ || expansionFailed) return;
    std::fputs("\r\n", log_);
    std::fflush(log_);
    atLineStart = true;
}

void ScriptRunner::WriteLogLine(std::initializer_list<std::string> tokens) {
    for (const std::string& token : tokens) WriteLogToken(token);
    EndLogLine();
}

void ScriptRunner::FinishLog() {
    if (!log_) return;
    // Copy first: expanding a value may add names to the map.
    const NameMap params = app.scriptParams;
    for (const auto& [name, value] : params) {
        // Only a value that is still the copy a reference took of Variables is a text with
        // references. Everything else is already expanded (PrmSet's arguments were when their
        // line ran; LOG_INST and the chosen folders are names), and expanding it again would
        // read a '%' or '#' in a folder name as a reference. The log's escapes keep such
        // characters for the replay.
        const auto variable = app.variables.find(name);
        const auto machine = app.machineValues.find(name);
        const bool fromVariables =
            variable != app.variables.end() && variable->second == value &&
            !(machine != app.machineValues.end() && machine->second == value);
        WriteLogLine({"PrmSet", name, fromVariables ? ExpandText(app, value) : value});
    }
    std::fclose(log_);
    log_ = nullptr;
    logging = false;
}

static void ScriptError(InstallerApp& app, const char* key, const std::string& command) {
    const unsigned style = sys::MB_OK | sys::MB_ICONERROR;
    if (command.empty())
        ShowMessage(app, key, "MsgIntErrTitleScriptErr", style);
    else
        ShowMessageF(app, key, "MsgIntErrTitleScriptErr", style, {command});
}

bool ScriptRunner::RunLine(const char* text, size_t length, bool paramPass) {
    ScriptLine line;
    if (!ParseScriptLine(text, length, &line)) return true;
    if (line.syntaxError) ScriptError(app, "MsgIntErrScriptSyntax", "");
    bool failed = false;
    for (std::string& argument : line.positional) argument = ExpandText(app, argument, &failed);
    for (auto& named : line.named) named.second = ExpandText(app, named.second, &failed);
    expansionFailed = failed;
    struct ClearFlag {
        bool& flag;
        ~ClearFlag() { flag = false; }
    } clear{expansionFailed};

    if (sys::EqualIgnoringCase(std::string_view(line.command).substr(0, 2), "u:")) {
        if (paramPass && logging) {
            WriteLogToken(line.command.substr(2));
            for (const std::string& argument : line.positional) WriteLogToken(argument);
            for (const auto& [name, value] : line.named) {
                WriteLogToken(name);
                WriteLogToken("=");
                WriteLogToken(value);
            }
            EndLogLine();
        }
        return true;
    }
    const CommandEntry* entry = FindCommand(line.command);
    if (!entry) {
        ScriptError(app, "MsgIntErrCmdNotFound", line.command);
        return false;
    }
    if ((entry->passClass == 0 && !paramPass) || (entry->passClass == 1 && paramPass)) return true;
    if (entry->passClass > 2) return true;
    if (line.positional.size() < entry->minArguments) {
        ScriptError(app, "MsgIntErrCmdCallNotValid", line.command);
        return false;
    }
    return entry->handler(*this, line);
}

bool ScriptRunner::Run(const char* text, size_t length, bool backwards, bool paramPass,
                       const ProgressCallback& progress) {
    LineReader reader(text, length, backwards);
    const char* line = nullptr;
    size_t lineLength = 0;
    while (reader.Next(&line, &lineLength)) {
        if (!RunLine(line, lineLength, paramPass) && !backwards) return false;
        if (progress) {
            const double fraction = length ? static_cast<double>(reader.Consumed()) / length : 0.0;
            if (!progress(fraction)) return false;
        }
    }
    return true;
}

bool RunCompleteScript(InstallerApp& app, const std::string& text, const std::string& logPath,
                       bool backwards) {
    ScriptRunner runner(app);
    if (!runner.OpenLog(logPath)) return false;
    bool ok = runner.Run(text.data(), text.size(), backwards, true, nullptr);
    if (ok) ok = runner.Run(text.data(), text.size(), backwards, false, nullptr);
    runner.FinishLog();
    return ok;
}

} // namespace inst
