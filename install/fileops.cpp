#include "install/fileops.h"

#include "install/host/hostfile.h"
#include "install/host/pending.h"
#include "install/script.h"
#include "install/variables.h"

#include "SYS/textcodec.h"
#include "install/host/guard.h"

#include <fstream>
#include <iterator>

namespace inst {

std::string NormalizePath(const std::string& path) {
    const size_t start = path.find_first_not_of(' ');
    if (start != std::string::npos &&
        sys::EqualIgnoringCase(std::string_view(path).substr(start, 5), "http:"))
        return path;
    std::string out;
    for (char c : path) {
        const bool separator = c == '/' || c == '\\';
        if (separator && !out.empty() && out.back() == '\\') continue;
        out += separator ? '\\' : c;
    }
    return out;
}

static bool DelayedAllowed(const ScriptRunner& runner) {
    return (runner.app.flags & kDelayedOpsAllowed) != 0;
}

static std::string WininitPath(ScriptRunner& runner) {
    return host::HostPath(runner.app.variables["DIR_WIN"] + "\\wininit.ini");
}

static bool IsSeparator(char c) {
    return c == '/' || c == '\\';
}

bool EnsureFolderPath(ScriptRunner& runner, const std::string& folder, size_t known) {
    // The part up to the first ':', '/' or '\' (a drive, or the root) is taken as existing.
    const size_t root = folder.find_first_of(":/\\");
    size_t prefix = root == std::string::npos ? 0 : root + 1;
    if (known > prefix && known <= folder.size()) prefix = known;
    std::string current = folder.substr(0, prefix);
    size_t i = prefix;
    while (i < folder.size()) {
        while (i < folder.size() && IsSeparator(folder[i])) ++i;
        const size_t start = i;
        while (i < folder.size() && !IsSeparator(folder[i])) ++i;
        if (i == start) break;
        if (!current.empty() && !IsSeparator(current.back())) current += '\\';
        current += folder.substr(start, i - start);
        if (host::PathExists(current)) continue;
        if (!host::MakeFolder(host::HostPath(current))) return false;
        runner.WriteLogLine({"UnDirDel", current, "DelSub", "=", "0"});
    }
    return true;
}

bool CreateTargetFile(ScriptRunner& runner, const std::string& path, bool allowStaging,
                      TargetFile* file, bool folderReady) {
    AbandonTargetFile(file);
    file->path = path;
    file->allowStaging = allowStaging;
    if (!folderReady && !EnsureFolderPath(runner, FolderOf(path))) return false;
    file->hostPath = host::HostPath(path);
    file->existed = host::KindOf(file->hostPath) != host::EntryKind::kMissing;
    const size_t slash = file->hostPath.rfind('/');
    const std::string folder =
        slash == std::string::npos ? "." : file->hostPath.substr(0, slash + 1);
    if (!host::CreateTempFile(folder, "lb_", &file->temp)) return false;
    runner.WriteLogLine({"UnFileDel", path});
    return true;
}

bool CommitTargetFile(ScriptRunner& runner, TargetFile* file) {
    if (!host::CloseTempFile(&file->temp)) {
        AbandonTargetFile(file);
        return false;
    }
    if (host::KindOf(file->hostPath) != host::EntryKind::kMissing &&
        !host::MayChange(file->hostPath)) {
        AbandonTargetFile(file);
        return false;
    }
    if (host::RenameOver(file->temp.path, file->hostPath) ||
        (file->allowStaging && DelayedAllowed(runner) &&
         DelayedReplace(runner, file->temp.path, file->hostPath))) {
        file->temp.path.clear();
        return true;
    }
    AbandonTargetFile(file);
    return false;
}

void AbandonTargetFile(TargetFile* file) {
    host::DiscardTempFile(&file->temp);
}

bool DeleteFileOrDelay(ScriptRunner& runner, const std::string& path) {
    const std::string hostPath = host::HostPath(path);
    if (host::KindOf(hostPath) == host::EntryKind::kMissing) return true;
    if (!host::MayChange(hostPath)) return false;
    if (host::RemoveEntry(hostPath)) return true;
    if (!DelayedAllowed(runner)) return false;
    const bool registered = runner.isNT ? host::ScheduleDelayedMove(hostPath, "")
                                        : AddWininitEntry(WininitPath(runner), "NUL", hostPath);
    if (registered) runner.app.flags |= kRebootPending;
    return registered;
}

bool RemoveDirOrDelay(ScriptRunner& runner, const std::string& folder) {
    const std::string hostPath = host::HostPath(folder);
    if (host::KindOf(hostPath) == host::EntryKind::kMissing) return true;
    if (!host::MayChange(hostPath)) return false;
    if (host::RemoveEmptyFolder(hostPath)) return true;
    if (!DelayedAllowed(runner)) return false;
    if (runner.isNT) host::ScheduleDelayedMove(hostPath, "");
    runner.app.flags |= kRebootPending;
    return true;
}

bool DelayedReplace(ScriptRunner& runner, const std::string& source, const std::string& target) {
    bool ok;
    if (runner.isNT) {
        ok = host::ScheduleDelayedMove(source, target);
    } else {
        const std::string wininit = WininitPath(runner);
        const std::string shortTarget = host::HostPath(target);
        ok = AddWininitEntry(wininit, "NUL", shortTarget) &&
             AddWininitEntry(wininit, shortTarget, host::HostPath(source));
    }
    if (ok) runner.app.flags |= kRebootPending;
    return ok;
}

bool AddWininitEntry(const std::string& wininitPath, const std::string& left,
                     const std::string& right) {
    std::string content;
    {
        std::ifstream in(wininitPath, std::ios::binary);
        content.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    const std::string entry = left + "=" + right + "\r\n";
    static const char kSection[] = "[Rename]\r\n";
    size_t section = std::string::npos;
    for (size_t at = 0; at < content.size();) {
        if (content.compare(at, sizeof kSection - 1, kSection) == 0) {
            section = at;
            break;
        }
        const size_t next = content.find('\n', at);
        if (next == std::string::npos) break;
        at = next + 1;
    }
    if (section != std::string::npos)
        content.insert(section + sizeof kSection - 1, entry);
    else
        content += std::string("\r\n") + kSection + entry;
    const std::string temp = wininitPath + ".new";
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        out << content;
        if (!out.flush()) return false;
    }
    return std::rename(temp.c_str(), wininitPath.c_str()) == 0;
}

} // namespace inst
