#include "install/package/extract.h"

#include <algorithm>
#include <cstring>
#include <set>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>
#include <vector>

#include "SYS/msgbox.h"
#include "install/expand.h"
#include "install/fileops.h"
#include "install/host/hostfile.h"
#include "install/messages.h"
#include "install/package/entries.h"
#include "install/package/inflate.h"
#include "install/retry.h"

namespace pkg {

constexpr uint64_t kUnixEpochFileTime = 116444736000000000ull;
constexpr uint64_t kTicksPerSecond = 10000000ull;

uint64_t FileTimeFromUnix(int64_t seconds, long nanoseconds) {
    if (seconds < 0) return 0;
    return kUnixEpochFileTime + uint64_t(seconds) * kTicksPerSecond + uint64_t(nanoseconds) / 100;
}

void UnixFromFileTime(uint64_t fileTime, int64_t* seconds, long* nanoseconds) {
    const uint64_t ticks = fileTime > kUnixEpochFileTime ? fileTime - kUnixEpochFileTime : 0;
    *seconds = int64_t(ticks / kTicksPerSecond);
    *nanoseconds = long(ticks % kTicksPerSecond) * 100;
}

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
        if (entry.name.size() == name.size() &&
            ::strncasecmp(entry.name.data(), name.data(), name.size()) == 0) {
            *found = entry;
            return true;
        }
    }
    return false;
}

// True when a file at the host path was written after the given time.
static bool DiskFileIsNewer(const std::string& hostPath, uint64_t fileTime) {
    struct stat st;
    if (::stat(hostPath.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
    return FileTimeFromUnix(st.st_mtim.tv_sec, st.st_mtim.tv_nsec) > fileTime;
}

static bool SetFileTime(FILE* f, uint64_t fileTime) {
    struct timespec times[2];
    int64_t seconds;
    long nanoseconds;
    UnixFromFileTime(fileTime, &seconds, &nanoseconds);
    times[0].tv_sec = times[1].tv_sec = time_t(seconds);
    times[0].tv_nsec = times[1].tv_nsec = nanoseconds;
    return std::fflush(f) == 0 && ::futimens(::fileno(f), times) == 0;
}

enum class Written { kOk, kFailed, kCorrupt };

// Programs and scripts get execute permission where they can be read, so the installed game
// and its launchers can start it (Windows needed no such bit).
static void MarkIfProgram(FILE* f, const uint8_t* head, size_t size) {
    const bool program = (size >= 4 && std::memcmp(head, "\x7f" "ELF", 4) == 0) ||
                         (size >= 2 && head[0] == '#' && head[1] == '!');
    struct stat st;
    if (program && ::fstat(::fileno(f), &st) == 0)
        ::fchmod(::fileno(f), st.st_mode | ((st.st_mode & 0444) >> 2));
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
    std::vector<std::pair<std::string, uint32_t>> stack;

    Written File(const std::string& folder, uint32_t table, uint32_t count,
                 const StorageEntry& listed);
    Written Folder(const std::string& folder, const StorageEntry& entry);
    Written Table(const std::string& folder, uint32_t table);
};

} // namespace

Written Walk::File(const std::string& folder, uint32_t table, uint32_t count,
                   const StorageEntry& listed) {
    inst::InstallerApp& app = runner.app;
    // Without a destination, files land relative to the current folder, never at its root.
    const std::string path =
        folder.empty() ? std::string(listed.name) : folder + "\\" + std::string(listed.name);
    const std::string hostPath = host::HostPath(path);
    if (!overwrite && DiskFileIsNewer(hostPath, listed.fileTime)) return Written::kOk;
    const bool staging = overwrite && (app.flags & inst::kDelayedOpsAllowed);
    FILE* f = nullptr;
    bool existed = false;
    if (!inst::WithRetry(app, "MsgUserErrFileCreate", "MsgUserErrTitlePackage", path, [&] {
            return inst::CreateTargetFile(runner, path, staging, &f, &existed);
        }))
        return Written::kFailed;
    if (!f) return Written::kOk;  // ignored in the retry dialog
    StorageEntry entry = listed;
    StorageEntry replacement;
    if (FindInTable(block, table, count, OverrideName(listed.name, mark), &replacement) &&
        !replacement.IsFolder())
        entry = replacement;
    Written result = Written::kFailed;
    if (::ftruncate(::fileno(f), 0) == 0) {
        std::rewind(f);
        result = WriteEntry(block, entry, f, progress);
        if (result == Written::kOk && !SetFileTime(f, entry.fileTime)) result = Written::kFailed;
    }
    if (std::fclose(f) != 0 && result == Written::kOk) result = Written::kFailed;
    return result;
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

Written Walk::Folder(const std::string& folder, const StorageEntry& entry) {
    const std::string name = inst::ExpandText(runner.app, std::string(entry.name));
    if (ClimbsUp(name)) return Written::kCorrupt;
    const std::string path = folder.empty() ? name : folder + "\\" + name;
    if (!inst::WithRetry(runner.app, "MsgUserErrDirCreate", "MsgUserErrTitlePackage", path,
                         [&] { return inst::EnsureFolderPath(runner, path); }))
        return Written::kFailed;
    stack.emplace_back(path, entry.offset);
    return Written::kOk;
}

Written Walk::Table(const std::string& folder, uint32_t table) {
    uint32_t count;
    if (!visited.insert(table).second || !TableCount(block, table, &count) ||
        count > entryBudget)
        return Written::kCorrupt;
    entryBudget -= count;
    for (uint32_t i = 0; i < count; ++i) {
        StorageEntry entry;
        if (!ReadEntry(block, table, i, &entry)) return Written::kCorrupt;
        if (entry.name.front() == '~') continue;
        const Written result =
            entry.IsFolder() ? Folder(folder, entry) : File(folder, table, count, entry);
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
    Walk walk{runner, block, overwrite, progress, ParamOrVariable(app, "DMARK_LOC"), {},
              block.size / kEntrySize, {}};
    walk.stack.emplace_back(destination, start);
    while (!walk.stack.empty()) {
        auto [folder, table] = walk.stack.back();
        walk.stack.pop_back();
        const Written result = walk.Table(folder, table);
        if (result == Written::kCorrupt) ShowCorrupt(app);
        if (result != Written::kOk) return false;
    }
    return true;
}

} // namespace pkg
