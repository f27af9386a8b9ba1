#include "BASE/user_files.h"

#include <vector>

#include "BASE/settings.h"
#include "SYS/files.h"
#include "SYS/textcodec.h"
#include "SYS/user_folders.h"

namespace {

constexpr const char* kUserFiles[] = {kGameIni, kControlsIni, kHighscoreIni, kErrorLogFile};

std::string g_folder;

// The player's own copy starts as the shipped default; an existing copy is never replaced.
void SeedFromGameFolder(const std::string& folder, const char* name) {
    const std::string copy = folder + "/" + name;
    std::vector<unsigned char> bytes;
    if (sys::FileExists(copy) || !sys::ReadWholeFile(name, bytes)) return;
    sys::ReplaceFileAtomically(copy, std::string(bytes.begin(), bytes.end()));
}

} // namespace

void ChooseUserFilesFolder() {
    g_folder.clear();
    if (sys::FolderIsWritable(sys::GetCurrentFolder())) return;
    const std::string folder = sys::ConfigHome() + "/reefpop";
    if (!sys::MakeFolders(folder)) return;
    for (const char* name : {kGameIni, kControlsIni, kHighscoreIni})
        SeedFromGameFolder(folder, name);
    g_folder = folder;
}

const std::string& UserFilesFolder() {
    return g_folder;
}

std::string UserFilePath(const char* name) {
    if (g_folder.empty()) return name;
    for (const char* userFile : kUserFiles)
        if (sys::EqualIgnoringCase(name, userFile)) return g_folder + "/" + userFile;
    return name;
}
