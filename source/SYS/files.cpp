#include "SYS/files.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <memory>

#include "SYS/textcodec.h"

namespace sys {
namespace {

std::string ToSlashes(std::string name) {
    for (char& c : name)
        if (c == '\\') c = '/';
    return name;
}

std::string Join(const std::string& folder, const std::string& name) {
    if (folder.empty()) return name;
    if (folder.back() == '/') return folder + name;
    return folder + "/" + name;
}

bool EntryExists(const std::string& path) {
    struct stat info;
    return lstat(path.c_str(), &info) == 0;
}

using DirHandle = std::unique_ptr<DIR, int (*)(DIR*)>;

DirHandle OpenFolder(const std::string& folder) {
    return DirHandle(opendir(folder.empty() ? "." : folder.c_str()), closedir);
}

// The entry of `folder` whose name equals `name` ignoring case; when several do, the smallest
// byte-wise so the choice does not depend on the listing order. Empty when there is none.
std::string FindIgnoringCase(const std::string& folder, const std::string& name) {
    DirHandle dir = OpenFolder(folder);
    if (!dir) return {};
    std::string best;
    while (dirent* entry = readdir(dir.get())) {
        std::string candidate = entry->d_name;
        if (!EqualIgnoringCase(candidate, name)) continue;
        if (best.empty() || candidate < best) best = candidate;
    }
    return best;
}

bool WildcardMatch(std::string_view pattern, std::string_view name) {
    size_t p = 0, n = 0;
    size_t starP = std::string_view::npos, starN = 0;
    while (n < name.size()) {
        if (p < pattern.size() && pattern[p] == '*') {
            starP = p++;
            starN = n;
        } else if (p < pattern.size() &&
                   (pattern[p] == '?' || LowerCp1252(pattern[p]) == LowerCp1252(name[n]))) {
            ++p;
            ++n;
        } else if (starP != std::string_view::npos) {
            p = starP + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*') ++p;
    return p == pattern.size();
}

// Windows lets a trailing ".*" match names without an extension too, so "*.*" lists everything.
bool PatternMatches(std::string_view pattern, std::string_view name) {
    if (WildcardMatch(pattern, name)) return true;
    size_t size = pattern.size();
    return size >= 2 && pattern.substr(size - 2) == ".*" &&
           WildcardMatch(pattern.substr(0, size - 2), name);
}

} // namespace

std::string ResolvePath(const std::string& windowsName) {
    std::string name = ToSlashes(windowsName);
    if (name.empty()) return name;
    std::string resolved = name[0] == '/' ? "/" : "";
    bool folderExists = true; // below a missing folder nothing can be found
    size_t start = 0;
    while (start < name.size()) {
        size_t end = name.find('/', start);
        if (end == std::string::npos) end = name.size();
        std::string component = name.substr(start, end - start);
        start = end + 1;
        if (component.empty()) continue;
        std::string path = Join(resolved, component);
        if (folderExists && component != "." && component != ".." && !EntryExists(path)) {
            std::string match = FindIgnoringCase(resolved, component);
            if (match.empty())
                folderExists = false;
            else
                path = Join(resolved, match);
        }
        resolved = path;
    }
    if (name.back() == '/' && resolved.back() != '/') resolved += '/';
    return resolved;
}

FILE* OpenFile(const std::string& windowsName, const char* mode) {
    return std::fopen(ResolvePath(windowsName).c_str(), mode);
}

bool FileExists(const std::string& windowsName) {
    struct stat info;
    return stat(ResolvePath(windowsName).c_str(), &info) == 0;
}

bool ReadWholeFile(const std::string& windowsName, std::vector<unsigned char>& bytes) {
    bytes.clear();
    std::unique_ptr<FILE, int (*)(FILE*)> file(OpenFile(windowsName, "rb"), std::fclose);
    if (!file) return false;
    struct stat info;
    if (fstat(fileno(file.get()), &info) != 0 || !S_ISREG(info.st_mode)) return false;
    // The size is only a hint: the file may change while it is read.
    bytes.reserve(size_t(info.st_size));
    unsigned char chunk[65536];
    size_t got;
    while ((got = std::fread(chunk, 1, sizeof chunk, file.get())) > 0)
        bytes.insert(bytes.end(), chunk, chunk + got);
    if (!std::ferror(file.get())) return true;
    bytes.clear();
    return false;
}

bool ReplaceFileAtomically(const std::string& windowsName, const std::string& bytes) {
    std::string target = ResolvePath(windowsName);
    // Write through a symbolic link rather than replacing the link by a file.
    if (char* real = realpath(target.c_str(), nullptr)) {
        target = real;
        std::free(real);
    }
    struct stat old;
    bool replacing = stat(target.c_str(), &old) == 0;
    if (replacing && !S_ISREG(old.st_mode)) return false;
    // A file the user may not write, or has made read-only, stays as it is: the rename would
    // replace it regardless of its own permissions (and root may write any file).
    constexpr mode_t kAnyWrite = S_IWUSR | S_IWGRP | S_IWOTH;
    if (replacing && ((old.st_mode & kAnyWrite) == 0 || access(target.c_str(), W_OK) != 0))
        return false;

    static std::atomic<unsigned> counter{0};
    std::string temporary;
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        temporary = target + ".~" + std::to_string(getpid()) + "-" + std::to_string(counter++);
        fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST) return false;
    }
    if (fd < 0) return false;
    bool ok = !replacing || fchmod(fd, old.st_mode & 07777) == 0;
    for (size_t done = 0; ok && done < bytes.size();) {
        ssize_t wrote = write(fd, bytes.data() + done, bytes.size() - done);
        if (wrote < 0 && errno == EINTR) continue;
        ok = wrote > 0;
        if (ok) done += size_t(wrote);
    }
    ok = ok && fsync(fd) == 0;
    ok = close(fd) == 0 && ok;
    ok = ok && rename(temporary.c_str(), target.c_str()) == 0;
    if (!ok) unlink(temporary.c_str());
    return ok;
}

std::vector<std::string> FindFiles(const std::string& windowsPattern) {
    std::string pattern = ToSlashes(windowsPattern);
    size_t slash = pattern.rfind('/');
    std::string folder, spec = pattern;
    if (slash != std::string::npos) {
        folder = slash == 0 ? "/" : pattern.substr(0, slash);
        spec = pattern.substr(slash + 1);
    }
    std::vector<std::string> names;
    if (spec.empty()) return names;
    DirHandle dir = OpenFolder(ResolvePath(folder));
    if (!dir) return names;
    // Windows lists the folder itself and its parent first, whatever the file system does.
    for (const char* special : {".", ".."})
        if (PatternMatches(spec, special)) names.push_back(special);
    const size_t firstEntry = names.size();
    while (dirent* entry = readdir(dir.get())) {
        std::string_view entryName = entry->d_name;
        if (entryName == "." || entryName == "..") continue;
        if (PatternMatches(spec, entryName)) names.emplace_back(entryName);
    }
    std::sort(names.begin() + ptrdiff_t(firstEntry), names.end(),
              [](const std::string& a, const std::string& b) {
                  return LessIgnoringCase(a, b) || (!LessIgnoringCase(b, a) && a < b);
              });
    return names;
}

std::string GetCurrentFolder() {
    std::string buffer(256, '\0');
    while (getcwd(&buffer[0], buffer.size()) == nullptr) {
        if (errno != ERANGE) return ".";
        buffer.resize(buffer.size() * 2);
    }
    buffer.resize(buffer.find('\0'));
    return buffer;
}

bool SetCurrentFolder(const std::string& path) {
    return chdir(ResolvePath(path).c_str()) == 0;
}

} // namespace sys
