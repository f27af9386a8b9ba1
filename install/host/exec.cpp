#include "install/host/exec.h"

#include "install/host/diskops.h"
#include "install/host/hostfile.h"

#include <cctype>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace host {
namespace {

// "http://…", "mailto:…": a scheme of two or more characters before the first ':' (one letter
// would be a drive).
bool IsAddress(const std::string& text) {
    const size_t colon = text.find(':');
    if (colon == std::string::npos || colon < 2) return false;
    for (size_t i = 0; i < colon; ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (!std::isalnum(c) && c != '+' && c != '-' && c != '.') return false;
    }
    return std::isalpha(static_cast<unsigned char>(text[0])) != 0;
}

// Starts argv[0] (looked up on PATH when searchPath is set).
bool Spawn(std::vector<std::string> argvText, bool searchPath, const std::string& workingFolder,
           bool waitExit) {
    std::vector<char*> argv;
    for (std::string& a : argvText) argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (!workingFolder.empty())
        posix_spawn_file_actions_addchdir_np(&actions, HostPath(workingFolder).c_str());
    pid_t pid = 0;
    const int error = searchPath
                          ? posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ)
                          : posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (error != 0) return false;
    if (waitExit) {
        int status = 0;
        while (::waitpid(pid, &status, 0) < 0) {
        }
        // glibc reports a failed exec as exit status 127 from the child
        if (WIFEXITED(status) && WEXITSTATUS(status) == 127) return false;
    }
    return true;
}

} // namespace

bool StartProgram(const std::string& program, const std::vector<std::string>& arguments,
                  const std::string& workingFolder, bool waitExit) {
    // Documents and addresses open with the desktop's opener, as the shell's execute does.
    if (IsAddress(program)) return Spawn({"xdg-open", program}, true, "", waitExit);
    std::vector<std::string> argvText{program};
    argvText.insert(argvText.end(), arguments.begin(), arguments.end());
    // A bare program name that is not a file here is looked up on PATH.
    if (program.find_first_of("/\\") == std::string::npos && !PathExists(program))
        return Spawn(argvText, true, workingFolder, waitExit);
    const std::string path = HostPath(program);
    const EntryKind kind = KindOf(path);
    if (kind == EntryKind::kMissing) return false;
    if (::access(path.c_str(), X_OK) == 0 && !IsFolder(program)) {
        argvText[0] = path;
        return Spawn(argvText, false, workingFolder, waitExit);
    }
    return Spawn({"xdg-open", path}, true, workingFolder, waitExit);
}

} // namespace host
