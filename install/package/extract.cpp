#include "install/package/extract.h"

#include <algorithm>
#include <cstring>
#include <set>
#include <vector>

#include "SYS/msgbox.h"
#include "SYS/textcodec.h"
#include "install/host/diskops.h"
#include "install/expand.h"
#include "install/fileops.h"
#include "install/host/hostfile.h"
#include "install/messages.h"
#include "install/package/entries.h"
#include "install/package/inflate.h"
#include "install/retry.h"

namespace pkg {

static void ShowCorrupt(inst::InstallerApp& app) {
    inst::ShowMessage(app, "MsgUserErrFileCorrupt", "MsgUserErrTitlePackage",
                      sys::MB_OK | sys::MB_ICONERROR);
}

static std::string ParamOrVariable(inst::InstallerApp& app, const std::string& name) {
    auto it = app.scriptParams.find(name);
    if (it != app.scriptParams.end()) return it->second;
    it = app.variables.find(name);
    return it != app.variables.end() ? it->second : std::string();
}

// "~" + stem + "." + mark + "." + extension; "~" + name for a name without a '.'.
static std::string OverrideName(std::string_view name, const std::string& mark) {
    const size_t dot = name.rfind('.');
    if (dot == std::string_view::npos) return "~" + std::string(name);
    return "~" + std::string(name.substr(0, dot)) + "." + mark + std::string(name.substr(dot));
}

static bool FindInTable(const PackageBlock& block, uint32_t table, uint32_t count,
                        const std::string& name, StorageEntry* found) {
    for (uint32_t i = 0; i < count; ++i) {
        StorageEntry entry;
        if (!ReadEntry(block, table, i, &entry)) return false;
        if (sys::EqualIgnoringCase(entry.name, name)) {
            *found = entry;
            return true;
        }
    }
    return false;
}

// True when a regular file at the host path was written after the given time (a link there
// is not a file of ours and is replaced, never written through).
static bool DiskFileIsNewer(const std::string& hostPath, uint64_t fileTime) {
    uint64_t onDisk;
    return host::LastWriteFileTime(hostPath, &onDisk) && onDisk > fileTime;
}

enum class Written { kOk, kFailed, kCorrupt };

// Programs and scripts get execute permission where they can be read, so the installed game
// and its launchers can start it (Windows needed no such bit).
static void MarkIfProgram(FILE* f, const uint8_t* head, size_t size) {
    const bool program = (size >= 4 && std::memcmp(head,
                                                   "\x7f"
                                                   "ELF",
                                                   4) == 0) ||
                         (size >= 2 && head[0] == '#' && head[1] == '!');
    if (program) host::MarkExecutable(f);
}

// Writes the entry's content into the open, emptied file.
static Written WriteEntry(const PackageBlock& block, const StorageEntry& entry, FILE* f,
                          const ExtractProgress& progress) {
    const uint8_t* data = block.data + entry.offset;
    const uint32_t stored = entry.StoredSize();
    auto report = [&](size_t done) {
        if (!progress) return true;
        const double fileFraction = stored ? double(done) / double(stored) : 1.0;
        return progress(double(entry.offset + done) / double(block.size), fileFraction);
    };
    if (!entry.IsCompressed()) {
        MarkIfProgram(f, data, entry.size);
        for (size_t done = 0; done < entry.size;) {
            if (!report(done)) return Written::kFailed;
            const size_t piece = std::min<size_t>(kPiece, entry.size - done);
            if (std::fwrite(data + done, 1, piece, f) != piece) return Written::kFailed;
            done += piece;
        }
        return Written::kOk;
    }
    bool stopped = false;
    bool shortWrite = false;
    const bool ok = InflateStream(
        data, entry.packedSize, entry.size,
        [&](const uint8_t* bytes, size_t n) {
            if (std::ftell(f) == 0) MarkIfProgram(f, bytes, n);
            shortWrite = std::fwrite(bytes, 1, n, f) != n;
            return !shortWrite;
        },
        [&](size_t consumed) {
            stopped = !report(consumed);
            return !stopped;
        });
    if (ok) return Written::kOk;
    return stopped || shortWrite ? Written::kFailed : Written::kCorrupt;
}

namespace {

struct Walk {
    inst::ScriptRunner& runner;
    const PackageBlock& block;
    bool overwrite;
    const ExtractProgress& progress;
    std::string mark;
    // Every table is walked once and no more entries than the block can hold, so a table
    // pointing back at itself or an ancestor cannot loop.
    std::set<uint32_t> visited;
    uint64_t entryBudget;
    struct Pending {
        std::string folder;
        uint32_t table;
        int depth;
        bool made; // the folder was made (or found) by the walk; the destination is not
    };
    std::vector<Pending> stack;

    Written File(const Pending& at, uint32_t count, const StorageEntry& listed);
    Written Folder(const Pending& at, const StorageEntry& entry);
    Written Table(const Pending& pending);
};

} // namespace

Written Walk::File(const Pending& at, uint32_t count, const StorageEntry& listed) {
    inst::InstallerApp& app = runner.app;
    const std::string& folder = at.folder;
    const uint32_t table = at.table;
    // Without a destination, files land relative to the current folder, never at its root.
    const std::string path =
        folder.empty() ? std::string(listed.name) : folder + "\\" + std::string(listed.name);
    if (!overwrite && DiskFileIsNewer(host::HostPath(path), listed.fileTime)) return Written::kOk;
    const bool staging = overwrite && (app.flags & inst::kDelayedOpsAllowed);
    StorageEntry entry = listed;
    StorageEntry replacement;
    if (FindInTable(block, table, count, OverrideName(listed.name, mark), &replacement) &&
        !replacement.IsFolder())
        entry = replacement;
    Written result = Written::kOk;
    // The folder exists already: it was made before its table was walked.
    const bool ok =
        inst::WithRetry(app, "MsgUserErrFileCreate", "MsgUserErrTitlePackage", path, [&] {
            result = Written::kOk;
            inst::TargetFile file;
            if (!inst::CreateTargetFile(runner, path, staging, &file, at.made)) return false;
            result = WriteEntry(block, entry, file.handle(), progress);
            if (result == Written::kOk && !host::SetFileTimes(file.handle(), entry.fileTime))
                result = Written::kFailed;
            if (result != Written::kOk) {
                inst::AbandonTargetFile(&file);
                return true; // a damaged entry or a stop is not retried
            }
            return inst::CommitTargetFile(runner, &file);
        });
    // Ignore in the retry dialog counts as success.
    return ok ? result : Written::kFailed;
}

// An expanded folder name may be a whole path ("%DIR_GAMES%"), but never climb out of one.
static bool ClimbsUp(const std::string& path) {
    size_t start = 0;
    while (start <= path.size()) {
        const size_t end = std::min(path.find_first_of("\\/", start), path.size());
        if (path.compare(start, end - start, "..") == 0 && end - start == 2) return true;
        start = end + 1;
    }
    return false;
}

// Deeper nesting than any game needs is a damaged or hostile package.
constexpr int kMaxFolderDepth = 64;

Written Walk::Folder(const Pending& at, const StorageEntry& entry) {
    const std::string& folder = at.folder;
    const int depth = at.depth + 1;
    if (depth > kMaxFolderDepth) return Written::kCorrupt;
    const std::string name = inst::ExpandText(runner.app, std::string(entry.name));
    if (ClimbsUp(name)) return Written::kCorrupt;
    const std::string path = folder.empty() ? name : folder + "\\" + name;
    // Only the new part below the existing parent is looked at, so each folder costs one
    // resolution whatever its depth.
    if (!inst::WithRetry(runner.app, "MsgUserErrDirCreate", "MsgUserErrTitlePackage", path, [&] {
            return inst::EnsureFolderPath(runner, path, at.made ? folder.size() : 0);
        }))
        return Written::kFailed;
    stack.push_back({path, entry.offset, depth, true});
    return Written::kOk;
}

Written Walk::Table(const Pending& pending) {
    const uint32_t table = pending.table;
    uint32_t count;
    if (!visited.insert(table).second || !TableCount(block, table, &count) || count > entryBudget)
        return Written::kCorrupt;
    entryBudget -= count;
    for (uint32_t i = 0; i < count; ++i) {
        StorageEntry entry;
        if (!ReadEntry(block, table, i, &entry)) return Written::kCorrupt;
        if (entry.name.front() == '~') continue;
        const Written result =
            entry.IsFolder() ? Folder(pending, entry) : File(pending, count, entry);
        if (result != Written::kOk) return result;
    }
    return Written::kOk;
}

bool ExtractFiles(inst::ScriptRunner& runner, const PackageBlock& block, const std::string& source,
                  const std::string& destination, bool overwrite, const ExtractProgress& progress) {
    inst::InstallerApp& app = runner.app;
    if (block.kind != BlockKind::kContainer) return false;
    uint32_t start = kContainerHeaderSize;
    if (!source.empty()) {
        StorageEntry entry;
        const Lookup found = FindEntry(block, source, &entry);
        if (found == Lookup::kCorrupt) {
            ShowCorrupt(app);
            return false;
        }
        if (found == Lookup::kNotFound || !entry.IsFolder()) {
            inst::ShowMessageF(app, "MsgIntErrPackRoot", "MsgIntErrTitleScriptErr",
                               sys::MB_OK | sys::MB_ICONERROR,
                               {BlockTypeText(block), BlockIdText(block)});
            return false;
        }
        start = entry.offset;
    }
    Walk walk{runner,
              block,
              overwrite,
              progress,
              ParamOrVariable(app, "DMARK_LOC"),
              {},
              block.size / kEntrySize,
              {}};
    walk.stack.push_back({destination, start, 0, false});
    while (!walk.stack.empty()) {
        const Walk::Pending pending = walk.stack.back();
        walk.stack.pop_back();
        const Written result = walk.Table(pending);
        if (result == Written::kCorrupt) ShowCorrupt(app);
        if (result != Written::kOk) return false;
    }
    return true;
}

} // namespace pkg
