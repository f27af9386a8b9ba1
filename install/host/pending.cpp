#include "install/host/pending.h"

#include "install/host/diskops.h"
#include "install/host/guard.h"
#include "install/host/hostfile.h"
#include "install/host/userdirs.h"

#include <cstdio>
#include <fstream>

namespace host {

std::string PendingFilePath() {
    return InstallerStateFolder() + "/pending-operations";
}
static std::string RestartFilePath() {
    return InstallerStateFolder() + "/restart-requested";
}

bool ScheduleDelayedMove(const std::string& source, const std::string& target) {
    const std::string from = HostPath(source);
    const std::string to = target.empty() ? std::string() : HostPath(target);
    if (from.find_first_of("\t\n") != std::string::npos ||
        to.find_first_of("\t\n") != std::string::npos)
        return false; // the line format could not hold it
    if (!MakeFolders(InstallerStateFolder())) return false;
    FILE* f = std::fopen(PendingFilePath().c_str(), "ab");
    if (!f) return false;
    std::fprintf(f, "%s\t%s\n", from.c_str(), to.c_str());
    return std::fclose(f) == 0;
}

// The pending file is plain text in the user's folder: what it asks for passes the same guard
// as any other removal, and links are removed or replaced as links.
static bool CarryOut(const std::string& from, const std::string& to) {
    if (!to.empty()) {
        if (KindOf(to) != EntryKind::kMissing && !MayChange(to)) return false;
        return RenameOver(from, to);
    }
    if (KindOf(from) == EntryKind::kMissing) return true; // already gone
    if (!MayChange(from)) return false;
    return RemoveEntry(from) || RemoveEmptyFolder(from);
}

int RunPendingOperations() {
    const std::string path = PendingFilePath();
    std::ifstream in(path);
    if (!in) return 0;
    int failed = 0;
    std::string line;
    while (std::getline(in, line)) {
        const size_t tab = line.find('\t');
        if (tab == std::string::npos || tab == 0) continue; // not a line we wrote
        const std::string from = line.substr(0, tab), to = line.substr(tab + 1);
        if (!CarryOut(from, to)) {
            std::fprintf(stderr, "install: delayed operation on %s failed\n", from.c_str());
            ++failed;
        }
    }
    in.close();
    std::remove(path.c_str());
    return failed;
}

bool RecordRestartRequest() {
    if (!MakeFolders(InstallerStateFolder())) return false;
    FILE* f = std::fopen(RestartFilePath().c_str(), "wb");
    return f && std::fclose(f) == 0;
}

bool RestartRequested() {
    return KindOf(RestartFilePath()) != EntryKind::kMissing;
}

} // namespace host
