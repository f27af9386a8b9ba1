#include "install/cmdline.h"

#include "SYS/msgbox.h"
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
        {RunPackageInstall, CheckNamedPackage, "PackInst",
         "[PackName]\ninstall [PackName] pakage", 1, 1, true},
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

int RunLaunchMode(InstallerApp& app, const std::vector<std::string>& tokens) {
    const LaunchMode* mode = ChooseLaunchMode(tokens);
    if (!mode) {
        if (!tokens.empty()) sys::MessageBox(UsageText(), "Ussage", sys::MB_OK);
        return kExitStartupFailed;
    }
    const std::vector<std::string> arguments(tokens.begin() + (mode->name ? 1 : 0), tokens.end());
    if (mode->check && !mode->check(app, arguments, mode->value)) return kExitStartupFailed;
    return mode->run(app, arguments, mode->value);
}

} // namespace inst
