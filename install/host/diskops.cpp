#include "install/host/diskops.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace host {

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

static EntryKind KindOfMode(mode_t mode) {
    if (S_ISREG(mode)) return EntryKind::kFile;
    if (S_ISDIR(mode)) return EntryKind::kFolder;
    if (S_ISLNK(mode)) return EntryKind::kLink;
    return EntryKind::kOther;
}

EntryKind KindOf(const std::string& hostPath) {
    struct stat st;
    if (::lstat(hostPath.c_str(), &st) != 0) return EntryKind::kMissing;
    return KindOfMode(st.st_mode);
}

bool LastWriteFileTime(const std::string& hostPath, uint64_t* fileTime) {
    struct stat st;
    if (::lstat(hostPath.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
    *fileTime = FileTimeFromUnix(st.st_mtim.tv_sec, st.st_mtim.tv_nsec);
    return true;
}

bool RemoveEntry(const std::string& hostPath) {
    const EntryKind kind = KindOf(hostPath);
    if (kind == EntryKind::kMissing) return true;
    if (kind == EntryKind::kFolder) return false;
    return ::unlink(hostPath.c_str()) == 0 || errno == ENOENT;
}

bool RemoveEmptyFolder(const std::string& hostPath) {
    switch (KindOf(hostPath)) {
    case EntryKind::kMissing: return true;
    case EntryKind::kFolder: return ::rmdir(hostPath.c_str()) == 0 || errno == ENOENT;
    case EntryKind::kLink: return ::unlink(hostPath.c_str()) == 0;
    default: return false;
    }
}

bool MakeFolder(const std::string& hostPath) {
    return ::mkdir(hostPath.c_str(), 0755) == 0;
}

// Opens a folder for listing without following a link at its own name.
static DIR* OpenFolderAt(int parent, const char* name, int* fd) {
    *fd = ::openat(parent, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (*fd < 0) return nullptr;
    const int listing = ::dup(*fd);
    DIR* dir = listing >= 0 ? ::fdopendir(listing) : nullptr;
    if (!dir) {
        if (listing >= 0) ::close(listing);
        ::close(*fd);
        *fd = -1;
    }
    return dir;
}

static std::vector<FolderEntry> Entries(DIR* dir, int fd) {
    std::vector<FolderEntry> entries;
    while (dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        if (name == "." || name == "..") continue;
        struct stat st;
        const EntryKind kind = ::fstatat(fd, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0
                                   ? KindOfMode(st.st_mode)
                                   : EntryKind::kMissing;
        if (kind != EntryKind::kMissing) entries.push_back({name, kind});
    }
    return entries;
}

bool ListFolder(const std::string& hostPath, std::vector<FolderEntry>* entries) {
    entries->clear();
    int fd;
    DIR* dir = OpenFolderAt(AT_FDCWD, hostPath.c_str(), &fd);
    if (!dir) return false;
    *entries = Entries(dir, fd);
    ::closedir(dir);
    ::close(fd);
    return true;
}

// Empties the folder open as `fd`; every descent goes through openat with O_NOFOLLOW, so a
// link met on the way, or swapped in meanwhile, is never entered.
static void RemoveBelow(int fd, DIR* dir, const std::string& path, std::vector<FolderEntry>* left) {
    for (const FolderEntry& entry : Entries(dir, fd)) {
        const std::string childPath = path + "/" + entry.name;
        if (entry.kind == EntryKind::kFolder) {
            int child;
            if (DIR* childDir = OpenFolderAt(fd, entry.name.c_str(), &child)) {
                RemoveBelow(child, childDir, childPath, left);
                ::closedir(childDir);
                ::close(child);
            }
            if (::unlinkat(fd, entry.name.c_str(), AT_REMOVEDIR) != 0 && errno != ENOENT)
                left->push_back({childPath, EntryKind::kFolder});
        } else if (::unlinkat(fd, entry.name.c_str(), 0) != 0 && errno != ENOENT) {
            left->push_back({childPath, entry.kind});
        }
    }
}

void RemoveTree(const std::string& hostPath, std::vector<FolderEntry>* left) {
    const EntryKind kind = KindOf(hostPath);
    if (kind != EntryKind::kFolder) {
        if (!RemoveEntry(hostPath)) left->push_back({hostPath, kind});
        return;
    }
    int fd;
    if (DIR* dir = OpenFolderAt(AT_FDCWD, hostPath.c_str(), &fd)) {
        RemoveBelow(fd, dir, hostPath, left);
        ::closedir(dir);
        ::close(fd);
    }
    if (!RemoveEmptyFolder(hostPath)) left->push_back({hostPath, EntryKind::kFolder});
}

bool CreateTempFile(const std::string& hostFolder, const char* prefix, TempFile* temp) {
    std::string pattern = hostFolder;
    if (!pattern.empty() && pattern.back() != '/') pattern += '/';
    pattern += std::string(prefix) + "XXXXXX";
    const int fd = ::mkostemp(pattern.data(), O_CLOEXEC);
    if (fd < 0) return false;
    // Ordinary permissions, as a file created under its own name would get.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    ::fchmod(fd, 0666 & ~mask);
    temp->file = ::fdopen(fd, "w+b");
    if (!temp->file) {
        ::close(fd);
        ::unlink(pattern.c_str());
        return false;
    }
    temp->path = pattern;
    return true;
}

bool CloseTempFile(TempFile* temp) {
    if (!temp->file) return false;
    bool ok = std::fflush(temp->file) == 0;
    ok = std::fclose(temp->file) == 0 && ok;
    temp->file = nullptr;
    return ok;
}

bool RenameOver(const std::string& fromHostPath, const std::string& toHostPath) {
    return ::rename(fromHostPath.c_str(), toHostPath.c_str()) == 0;
}

void DiscardTempFile(TempFile* temp) {
    if (temp->file) std::fclose(temp->file);
    temp->file = nullptr;
    if (!temp->path.empty()) ::unlink(temp->path.c_str());
    temp->path.clear();
}

bool SetFileTimes(FILE* file, uint64_t fileTime) {
    struct timespec times[2];
    int64_t seconds;
    long nanoseconds;
    UnixFromFileTime(fileTime, &seconds, &nanoseconds);
    times[0].tv_sec = times[1].tv_sec = time_t(seconds);
    times[0].tv_nsec = times[1].tv_nsec = nanoseconds;
    return std::fflush(file) == 0 && ::futimens(::fileno(file), times) == 0;
}

void MarkExecutable(FILE* file) {
    struct stat st;
    if (::fstat(::fileno(file), &st) == 0)
        ::fchmod(::fileno(file), st.st_mode | ((st.st_mode & 0444) >> 2));
}

uint64_t FileSize(const std::string& hostPath) {
    struct stat st;
    return ::lstat(hostPath.c_str(), &st) == 0 && S_ISREG(st.st_mode) ? uint64_t(st.st_size) : 0;
}

bool TruncateFile(const std::string& hostPath, uint64_t size) {
    return ::truncate(hostPath.c_str(), off_t(size)) == 0;
}

std::string OwnExecutablePath(const char* fallback) {
    char self[PATH_MAX] = {};
    const ssize_t length = ::readlink("/proc/self/exe", self, sizeof self - 1);
    return length > 0 ? std::string(self, size_t(length)) : std::string(fallback ? fallback : "");
}

} // namespace host
