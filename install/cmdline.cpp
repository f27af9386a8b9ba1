#include "install/cmdline.h"

#include "SYS/msgbox.h"
#include "install/gamefolders.h"
#include "install/modes.h"

#include "SYS/textcodec.h"

namespace inst {

std::vector<std::string> SplitCommandLine(const std::string& text) {
    std::vector<std::string> tokens;
    size_t i = 0;
    const size_t n = text.size();
    while (true) {
        while (i < n && text[i] == ' ') ++i;
        if (i >= n) break;
        std::string token;
        if (text[i] == '"') {
            for (++i; i < n; ++i) {
                if (text[i] != '"') {
                    token += text[i];
                } else if (i + 1 < n && text[i + 1] == '"') {
                    token += '"';
                    ++i;
                } else {
                    ++i;
                    break;
                }
            }
        } else {
            while (i < n && text[i] != ' ') token += text[i++];
        }
        tokens.push_back(token);
    }
    return tokens;
}

const std::vector<LaunchMode>& LaunchModes() {
    static const std::vector<LaunchMode> modes = {
        {RunPackageInstall, CheckNamedPackage, "PackInst", "[PackName]\ninstall [PackName] pakage",
         1, 1, true},
        {RunScriptInstall, nullptr, "ScriptInst",
         "[ScriptFileName] (UInstLogName = 0)\nexec install [InstScriptFileName] script, write "
         "uinst log to (UInstLogName)",
         0, 1, false},
        {RunScriptUninstall, nullptr, "ScriptUInst",
         "[UInstScriptFileName]\nexec uinst [UInstScriptFileName] script", 0, 1, true},
        {RunUninstallAll, nullptr, "UInstAllLBAndKV", "remove all LB info and KV games from pc", 0,
         0, true},
        {RunPackageInstall, CheckNamedPackage, "InstDownGame",
         "[GamePackFullFileName]\ninstall downloaded game", 2, 1, true},
        {RunPackageInstall, CheckDownloadedLobbyPackages, "InstDownLB",
         "install downloaded lb files", 3, 0, true},
        {RunPackageInstall, CheckAppendedPackages, nullptr, "install files from this install exe",
         0, 0, true},
    };
    return modes;
}

const LaunchMode* ChooseLaunchMode(const std::vector<std::string>& tokens) {
    for (const LaunchMode& mode : LaunchModes()) {
        const size_t wanted = static_cast<size_t>(mode.argumentCount) + (mode.name ? 1 : 0);
        const bool countOk = mode.exact ? tokens.size() == wanted : tokens.size() >= wanted;
        if (!countOk) continue;
        if (mode.name && !sys::EqualIgnoringCase(tokens[0], mode.name)) continue;
        return &mode;
    }
    return nullptr;
}

std::string UsageText() {
    std::string text;
    bool first = true;
    for (const LaunchMode& mode : LaunchModes()) {
        if (!first) text += "-----------------\n";
        first = false;
        text += mode.name ? mode.name : "(default)";
        text += "\n";
        text += mode.help;
        text += "\n";
    }
    return text;
}

bool IsPackageMode(const LaunchMode& mode) {
    return mode.run == RunPackageInstall;
}

const char* ExitCodeMeaning(int code) {
    switch (code) {
    case kExitOk: return "the launch mode finished successfully (UInstAllLBAndKV always does)";
    case kExitNoPackageInfo: return "a package mode could not read its package information";
    case kExitInstallFailed:
        return "a package install failed, was cancelled or its licence was not accepted";
    case kExitStartupFailed:
        return "start-up failed, no launch mode matched, an option was wrong or the packages' "
               "check failed";
    case kExitScriptFailed:
        return "ScriptInst or ScriptUInst failed, or a wizard window could not be created";
    default: return "unknown";
    }
}

namespace {

struct OptionSpec {
    const char* name;
    std::string CommandOptions::*text; // null for a switch
    bool CommandOptions::*flag;        // null for an option with a value
};

const OptionSpec kOptions[] = {
    {"--help", nullptr, &CommandOptions::help},
    {"--unattended", nullptr, &CommandOptions::unattended},
    {"--accept-licence", nullptr, &CommandOptions::acceptLicence},
    {"--destination", &CommandOptions::destination, nullptr},
    {"--group", &CommandOptions::group, nullptr},
    {"--log", &CommandOptions::logFile, nullptr},
};

const OptionSpec* FindOption(const std::string& name) {
    for (const OptionSpec& spec : kOptions)
        if (name == spec.name) return &spec;
    return nullptr;
}

// A group is a folder below the start menu: relative, and never climbing out of it.
bool GroupStaysInMenu(const std::string& group) {
    if (group.find_first_not_of("/\\") == std::string::npos) return false;
    if (group[0] == '/' || group[0] == '\\' || group.find(':') != std::string::npos) return false;
    size_t start = 0;
    while (start <= group.size()) {
        size_t end = group.find_first_of("/\\", start);
        if (end == std::string::npos) end = group.size();
        const std::string part = group.substr(start, end - start);
        if (part == "." || part == "..") return false;
        start = end + 1;
    }
    return true;
}

} // namespace

bool ParseCommandOptions(const std::vector<std::string>& tokens, CommandOptions* options,
                         std::vector<std::string>* modeTokens, std::string* error) {
    *options = CommandOptions();
    modeTokens->clear();
    for (size_t i = 0; i < tokens.size(); ++i) {
        const std::string& token = tokens[i];
        if (token == "--") {
            modeTokens->insert(modeTokens->end(), tokens.begin() + i + 1, tokens.end());
            break;
        }
        if (token.compare(0, 2, "--") != 0) {
            modeTokens->push_back(token);
            continue;
        }
        const size_t equals = token.find('=');
        const std::string name = token.substr(0, equals);
        const OptionSpec* spec = FindOption(name);
        if (!spec) {
            *error = "unknown option " + name;
            return false;
        }
        if (spec->flag) {
            if (equals != std::string::npos) {
                *error = name + " takes no value";
                return false;
            }
            options->*spec->flag = true;
            continue;
        }
        std::string value;
        if (equals != std::string::npos) {
            value = token.substr(equals + 1);
        } else if (i + 1 < tokens.size()) {
            value = tokens[++i];
        } else {
            *error = name + " needs a value";
            return false;
        }
        if (value.empty()) {
            *error = name + " needs a value that is not empty";
            return false;
        }
        options->*spec->text = value;
    }
    return true;
}

bool OptionsFitMode(const CommandOptions& options, const LaunchMode* mode, std::string* error) {
    if (!options.unattended && (options.acceptLicence || !options.logFile.empty())) {
        *error = options.acceptLicence ? "--accept-licence needs --unattended"
                                       : "--log needs --unattended";
        return false;
    }
    const bool settings = !options.destination.empty() || !options.group.empty();
    if (settings && mode && !IsPackageMode(*mode)) {
        *error =
            std::string("--destination and --group are settings of a package install, not of ") +
            mode->name;
        return false;
    }
    if (!options.group.empty() && !GroupStaysInMenu(options.group)) {
        *error = "the group \"" + options.group + "\" must be a folder name inside the start menu";
        return false;
    }
    return true;
}

std::string HelpText(const std::string& programName) {
    std::string text = "Usage: " + programName + " [options] [launch mode and its arguments]\n\n";
    text +=
        "Installs the games packed into this program or lying beside it as downloaded packages,\n"
        "runs install scripts and uninstalls what it installed. Without a launch mode it\n"
        "installs the packages appended to itself, through its wizard.\n\n"
        "Options:\n"
        "  --unattended       no windows and no questions: every question takes its default\n"
        "                     answer, an error that offers to retry ends the run instead, and\n"
        "                     messages go to stderr\n"
        "  --accept-licence   with --unattended: accept the licence of the packages installed;\n"
        "                     an unattended install refuses to start without it\n"
        "  --destination DIR  the folder for the games (kept for later installs)\n"
        "  --group NAME       the start-menu folder for the games' launchers (kept too)\n"
        "  --log FILE         with --unattended: append progress and messages to FILE\n"
        "  --help             show this text\n"
        "  --                 the tokens that follow are the launch mode's, even those\n"
        "                     starting with \"--\"\n"
        "An option with a value may also be written as --name=value.\n\n"
        "Launch modes (names in any letter case):\n";
    for (const LaunchMode& mode : LaunchModes()) {
        const std::string help = mode.help;
        const size_t lineBreak = help.find('\n');
        std::string line = mode.name ? mode.name : "(no launch mode)";
        if (lineBreak != std::string::npos) line += " " + help.substr(0, lineBreak);
        text += "  " + line + "\n      " +
                (lineBreak == std::string::npos ? help : help.substr(lineBreak + 1)) + "\n";
    }
    text += "\nExit codes:\n";
    for (int code = kExitOk; code <= kExitScriptFailed; ++code)
        text += "  " + std::to_string(code) + "  " + ExitCodeMeaning(code) + "\n";
    return text;
}

int RunLaunchMode(InstallerApp& app, const std::vector<std::string>& tokens,
                  const CommandOptions& options) {
    const LaunchMode* mode = ChooseLaunchMode(tokens);
    if (!mode) {
        if (!tokens.empty()) sys::MessageBox(UsageText(), "Ussage", sys::MB_OK);
        return kExitStartupFailed;
    }
    const std::vector<std::string> arguments(tokens.begin() + (mode->name ? 1 : 0), tokens.end());
    if (mode->check && !mode->check(app, arguments, mode->value)) return kExitStartupFailed;
    if (IsPackageMode(*mode) && !UseChosenFolders(app, options.destination, options.group))
        return kExitInstallFailed;
    return mode->run(app, arguments, mode->value);
}

} // namespace inst
