#include "install/host/guard.h"

#include "SYS/files.h"
#include "install/host/userdirs.h"

#include <dirent.h>
#include <sys/stat.h>

#include <climits>
#include <cstdio>
#include <cstdlib>

namespace host {
namespace {

struct Folder {
    std::string lexical; // absolute, without ".", ".." or repeated '/'
    std::string real;    // through every link
};

std::vector<Folder>& Protected() {
    static std::vector<Folder> folders;
    return folders;
}
std::vector<Folder>& Touchable() {
    static std::vector<Folder> folders;
    return folders;
}

std::string Lexical(const std::string& path) {
    std::string absolute = path;
    if (absolute.empty() || absolute[0] != '/') absolute = sys::GetCurrentFolder() + "/" + absolute;
    std::vector<std::string> parts;
    size_t start = 0;
    while (start <= absolute.size()) {
        size_t end = absolute.find('/', start);
        if (end == std::string::npos) end = absolute.size();
        const std::string part = absolute.substr(start, end - start);
        if (part == "..") {
            if (!parts.empty()) parts.pop_back();
        } else if (!part.empty() && part != ".") {
            parts.push_back(part);
        }
        start = end + 1;
    }
    std::string out;
    for (const std::string& part : parts) out += "/" + part;
    return out.empty() ? "/" : out;
}

// The path with every link above its last component resolved (the last one is what is
// removed or replaced, so it is taken as it stands).
std::string RealForm(const std::string& lexical) {
    std::string folder = lexical, rest;
    while (folder.size() > 1) {
        const size_t slash = folder.rfind('/');
        rest = folder.substr(slash) + rest;
        folder = slash == 0 ? "/" : folder.substr(0, slash);
        char buffer[PATH_MAX];
        if (::realpath(folder.c_str(), buffer)) {
            const std::string real = buffer;
            return (real == "/" ? "" : real) + rest;
        }
    }
    return lexical;
}

// `path` is the folder or holds it.
bool SameOrAbove(const std::string& path, const std::string& folder) {
    if (path == "/") return true;
    return folder.compare(0, path.size(), path) == 0 &&
           (folder.size() == path.size() || folder[path.size()] == '/');
}

bool StrictlyBelow(const std::string& path, const std::string& folder) {
    return path != folder && SameOrAbove(folder, path);
}

// A folder of its own (not a link to one) that holds nothing.
bool IsEmptyFolder(const std::string& path) {
    struct stat st;
    if (::lstat(path.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return false;
    DIR* dir = ::opendir(path.c_str());
    if (!dir) return false;
    bool empty = true;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        if (name != "." && name != "..") {
            empty = false;
            break;
        }
    }
    ::closedir(dir);
    return empty;
}

Folder Make(const std::string& hostPath) {
    Folder folder;
    folder.lexical = Lexical(hostPath);
    char buffer[PATH_MAX];
    folder.real = ::realpath(folder.lexical.c_str(), buffer) ? std::string(buffer) : folder.lexical;
    return folder;
}

void Refuse(const std::string& path, const char* reason) {
    std::fprintf(stderr, "install: refused to remove or replace %s: %s\n", path.c_str(), reason);
    if (!MakeFolders(InstallerStateFolder())) return;
    if (FILE* f = std::fopen(RefusalLogPath().c_str(), "ab")) {
        std::fprintf(f, "%s\t%s\n", path.c_str(), reason);
        std::fclose(f);
    }
}

} // namespace

void SetGuardedFolders(const std::vector<std::string>& protectedFolders,
                       const std::vector<std::string>& touchableFolders) {
    Protected().clear();
    Touchable().clear();
    for (const std::string& folder : protectedFolders)
        if (!folder.empty()) Protected().push_back(Make(folder));
    for (const std::string& folder : touchableFolders) AddTouchableFolder(folder);
}

void AddTouchableFolder(const std::string& hostFolder) {
    if (!hostFolder.empty()) Touchable().push_back(Make(hostFolder));
}

bool MayChange(const std::string& hostPath) {
    const std::string lexical = Lexical(hostPath);
    const std::string real = RealForm(lexical);
    if (lexical == "/" || real == "/") {
        Refuse(lexical, "it is the root of the file system");
        return false;
    }
    for (const Folder& folder : Protected()) {
        if (SameOrAbove(lexical, folder.lexical) || SameOrAbove(real, folder.real) ||
            SameOrAbove(lexical, folder.real) || SameOrAbove(real, folder.lexical)) {
            Refuse(lexical, "it is, or holds, a folder of the desktop, HOME or the installer");
            return false;
        }
    }
    for (const Folder& folder : Touchable()) {
        if ((StrictlyBelow(lexical, folder.lexical) || StrictlyBelow(lexical, folder.real)) &&
            (StrictlyBelow(real, folder.real) || StrictlyBelow(real, folder.lexical)))
            return true;
        // Such a folder itself (the games folder an install made), once empty: removing it
        // loses nothing.
        if ((lexical == folder.lexical || real == folder.real) && IsEmptyFolder(real)) return true;
    }
    Refuse(lexical, "it lies outside the folders an installation may change");
    return false;
}

std::string RefusalLogPath() {
    return InstallerStateFolder() + "/refused-operations";
}

} // namespace host
