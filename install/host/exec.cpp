#include "install/host/exec.h"

#include "install/host/hostfile.h"

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace host {

bool StartProgram(const std::string& program, const std::vector<std::string>& arguments,
                  const std::string& workingFolder, bool waitExit) {
    const std::string path = HostPath(program);
    if (::access(path.c_str(), X_OK) != 0) return false;
    std::vector<std::string> argvText{path};
    argvText.insert(argvText.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& a : argvText) argv.push_back(a.data());
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (!workingFolder.empty())
        posix_spawn_file_actions_addchdir_np(&actions, HostPath(workingFolder).c_str());
    pid_t pid = 0;
    const int error = posix_spawn(&pid, path.c_str(), &actions, nullptr, argv.data(), environ);
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

} // namespace host
