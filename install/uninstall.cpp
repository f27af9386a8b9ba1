#include "install/uninstall.h"

#include "SYS/files.h"
#include "SYS/msgbox.h"
#include "install/host/diskops.h"
#include "install/host/guard.h"
#include "install/host/hostfile.h"
#include "install/host/session.h"
#include "install/messages.h"
#include "install/progresswnd.h"

#include <chrono>
#include <cstdio>
#include <thread>
#include <vector>

namespace inst {

std::string ReceiptPathOf(const std::string& logPath) {
    // Only a dot in the file's own name counts, never one in a folder above it.
    const size_t slash = logPath.find_last_of("\\/");
    const size_t dot = logPath.rfind('.');
    const bool ownDot = dot != std::string::npos && (slash == std::string::npos || dot > slash);
    return (ownDot ? logPath.substr(0, dot + 1) : logPath + ".") + "hdr";
}

bool IsUninstallLog(const std::string& text) {
    static const char kSectionStart[] =
        ";*************************************\r\n;script started at ";
    return text.compare(0, sizeof kSectionStart - 1, kSectionStart) == 0;
}

static bool ReadLog(const std::string& logPath, std::string* text) {
    std::vector<unsigned char> bytes;
    if (!sys::ReadWholeFile(logPath, bytes)) return false;
    text->assign(bytes.begin(), bytes.end());
    return true;
}

BackwardsResult RunLogBackwards(InstallerApp& app, const std::string& logPath,
                                const ProgressCallback& progress) {
    std::string text;
    ScriptRunner runner(app);
    if (!ReadLog(logPath, &text) || !runner.Run(text.data(), text.size(), true, true, nullptr))
        return {false, false};
    return {true, runner.Run(text.data(), text.size(), true, false, progress)};
}

// The per-line progress step of a backwards run: move the bar, give the window a moment and
// its messages; a window told to close stops the run.
static ProgressCallback BarProgress(ProgressWindow& window, int barId) {
    return [&window, barId](double fraction) {
        if (!window.IsOpen()) return true;
        window.SetPos(barId, static_cast<int>(fraction * 100));
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
        return window.Pump();
    };
}

static void ShowFailure(InstallerApp& app) {
    ShowMessage(app, "MsgUserUnInstFailText", "MsgUserUnInstFailTitle",
                sys::MB_OK | sys::MB_ICONERROR);
}

int UninstallOne(InstallerApp& app, const std::string& logPath) {
    std::string text;
    if (!ReadLog(logPath, &text) || !IsUninstallLog(text)) {
        ShowFailure(app);
        return 4;
    }
    ScriptRunner runner(app);
    // The log's PrmSet lines restore the names (GNAME) the questions below show.
    if (!runner.Run(text.data(), text.size(), true, true, nullptr)) {
        ShowFailure(app);
        return 4;
    }
    if (ShowMessage(app, "MsgUserUnInstGameText", "MsgUserUnInstGameTitle",
                    sys::MB_YESNO | sys::MB_ICONQUESTION) != sys::IDYES)
        return 4;
    // Without a display, or in an unattended run, the uninstall runs without its window; a
    // window that cannot open on a display a person watches is a failure.
    ProgressWindow window;
    if (!window.Open(app, kUninstallDialog) && host::HasDisplay() && !host::Unattended()) {
        ShowFailure(app);
        return 4;
    }
    const bool ok = runner.Run(text.data(), text.size(), true, false, BarProgress(window, 1020));
    window.Close();
    if (!ok) return 4;
    ShowMessage(app, "MsgUserUnInstGameOk", "MsgUserUnInstGameTitle",
                sys::MB_OK | sys::MB_ICONINFORMATION);
    for (const std::string& file : {logPath, ReceiptPathOf(logPath)}) {
        const std::string hostPath = host::HostPath(file);
        if (host::KindOf(hostPath) == host::EntryKind::kFile && host::MayChange(hostPath))
            host::RemoveEntry(hostPath);
    }
    return 0;
}

int UninstallAll(InstallerApp& app) {
    if (ShowMessage(app, "MsgUserUnInstAllText", "MsgUserUnInstAllTitle",
                    sys::MB_YESNO | sys::MB_ICONQUESTION) != sys::IDYES)
        return 0;
    std::string folder = app.variables["DIR_INST"];
    while (!folder.empty() && (folder.back() == '\\' || folder.back() == '/')) folder.pop_back();
    std::vector<std::string> logs;
    for (const char* type : {"game", "lb"}) {
        for (const std::string& name : sys::FindFiles(folder + "\\" + type + "_*.log"))
            logs.push_back(folder + "\\" + name);
    }
    ProgressWindow window;
    window.Open(app, kUninstallAllDialog);
    window.SetRange(1024, 0, static_cast<int>(logs.size()));
    bool allSucceeded = true;
    for (size_t index = 0; index < logs.size(); ++index) {
        window.SetPos(1024, static_cast<int>(index));
        const BackwardsResult result = RunLogBackwards(app, logs[index], BarProgress(window, 1021));
        if (result.readable && !result.succeeded) {
            allSucceeded = false;
            break;
        }
    }
    window.Close();
    if (allSucceeded)
        ShowMessage(app, "MsgUserUnInstAllOk", "MsgUserUnInstAllTitle",
                    sys::MB_OK | sys::MB_ICONINFORMATION);
    else
        ShowFailure(app);
    return 0;
}

} // namespace inst
