#include "install/fileops.h"

#include "install/host/hostfile.h"
#include "install/host/pending.h"
#include "install/script.h"
#include "install/variables.h"

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

namespace inst {

std::string NormalizePath(const std::string& path) {
    const size_t start = path.find_first_not_of(' ');
    if (start != std::string::npos && strncasecmp(path.c_str() + start, "http:", 5) == 0) return path;
    std::string out;
    for (char c : path) {
        const bool separator = c == '/' || c == '\\';
        if (separator && !out.empty() && out.back() == '\\') continue;
        out += separator ? '\\' : c;
    }
    return out;
}

static bool IsSeparator(char c) { return c == '/' || c == '\\'; }

bool EnsureFolderPath(ScriptRunner& runner, const std::string& folder) {
    // The part up to the first ':', '/' or '\' (a drive, or the root) is taken as existing.
    const size_t root = folder.find_first_of(":/\\");
    std::string current = root == std::string::npos ? std::string() : folder.substr(0, root + 1);
    size_t i = root == std::string::npos ? 0 : root + 1;
    while (i < folder.size()) {
        while (i < folder.size() && IsSeparator(folder[i])) ++i;
        const size_t start = i;
        while (i < folder.size() && !IsSeparator(folder[i])) ++i;
        if (i == start) break;
        if (!current.empty() && !IsSeparator(current.back())) current += '\\';
        current += folder.substr(start, i - start);
        if (host::PathExists(current)) continue;
        if (::mkdir(host::HostPath(current).c_str(), 0755) != 0) return false;
        runner.WriteLogLine({"UnDirDel", current, "DelSub", "=", "0"});
    }
    return true;
}

bool CreateTargetFile(ScriptRunner& runner, const std::string& path, bool allowStaging,
                      FILE** handle, bool* existed) {
    *handle = nullptr;
    *existed = host::PathExists(path);
    if (!EnsureFolderPath(runner, FolderOf(path))) return false;
    const std::string hostPath = host::HostPath(path);
    FILE* f = std::fopen(hostPath.c_str(), "r+b");
    if (!f) f = std::fopen(hostPath.c_str(), "wb");
    if (!f && allowStaging) {
        std::string pattern = host::HostPath(FolderOf(path)) + "lb_XXXXXX";
        const int fd = ::mkstemp(pattern.data());
        if (fd >= 0) {
            f = ::fdopen(fd, "wb");
            if (!f || !DelayedReplace(runner, pattern, hostPath)) {
                if (f) std::fclose(f);
                else ::close(fd);
                std::remove(pattern.c_str());
                return false;
            }
        }
    }
    if (!f) return false;
    *handle = f;
    runner.WriteLogLine({"UnFileDel", path});
    return true;
}

static bool DelayedAllowed(const ScriptRunner& runner) {
    return (runner.app.flags & kDelayedOpsAllowed) != 0;
}

static std::string WininitPath(ScriptRunner& runner) {
    return host::HostPath(runner.app.variables["DIR_WIN"] + "\\wininit.ini");
}

bool DeleteFileOrDelay(ScriptRunner& runner, const std::string& path) {
    const std::string hostPath = host::HostPath(path);
    struct stat st;
    if (::lstat(hostPath.c_str(), &st) != 0 || ::unlink(hostPath.c_str()) == 0) return true;
    if (!DelayedAllowed(runner)) return false;
    const bool registered = runner.isNT ? host::ScheduleDelayedMove(path, "")
                                        : AddWininitEntry(WininitPath(runner), "NUL", hostPath);
    if (registered) runner.app.flags |= kRebootPending;
    return registered;
}

bool RemoveDirOrDelay(ScriptRunner& runner, const std::string& folder) {
    const std::string hostPath = host::HostPath(folder);
    struct stat st;
    if (::stat(hostPath.c_str(), &st) != 0 || ::rmdir(hostPath.c_str()) == 0) return true;
    if (!DelayedAllowed(runner)) return false;
    if (runner.isNT) host::ScheduleDelayedMove(folder, "");
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
    if (section != std::string::npos) content.insert(section + sizeof kSection - 1, entry);
    else content += std::string("\r\n") + kSection + entry;
    const std::string temp = wininitPath + ".new";
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        out << content;
        if (!out.flush()) return false;
    }
    return std::rename(temp.c_str(), wininitPath.c_str()) == 0;
}

} // namespace inst
